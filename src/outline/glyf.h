#pragma once
#include <cstdint>

#include "sfnt/location.h"
#include "outline/outline.h"
#include "outline/working_values.h"
#include "sfnt/failure.h"
#include "tables/font_state.h"

// Flag bits of a simple glyph's points.
enum SimpleGlyphFlag : int {
    ON_CURVE = 0x01,
    X_SHORT = 0x02,            // the x delta is one byte
    Y_SHORT = 0x04,            // the y delta is one byte
    REPEAT = 0x08,             // the next byte repeats this flag that many more times
    X_SAME_OR_POSITIVE = 0x10, // with X_SHORT: add the byte; without: x unchanged
    Y_SAME_OR_POSITIVE = 0x20,
};

// The classic view's limits (codes 11 and 12); the decoder reads any glyph.
inline constexpr int MaxContours = 2000;
inline constexpr int MaxPoints = 2000;

enum class OutlineStatus {
    Decoded,   // a simple glyph with contours
    Empty,     // no contours, or no data
    Composite, // built from other glyphs: see ResolveGlyph
    Abandoned, // the glyph cannot be drawn (codes 12, 15)
};

struct DecodedOutline {
    OutlineStatus status = OutlineStatus::Empty;
    Failure failure; // when Abandoned
};

// Reads simple glyph `glyph` at `location` (only the default location for
// now) from the font's glyf table into `outline`, whose storage is reused.
// Sets the NumberOfContours and PointCount working values. Malformed data
// gives Abandoned with its failure; nothing is read outside the file.
// Coordinates are those the file gives, wrapped to 16 bits as it holds them.
// The glyph must have an entry in GlyphOffset and the next one.
DecodedOutline DecodeOutline(const FontState& font, int glyph, const Location& location, Contours& outline,
                             WorkingValues& work);

// The classic view's limit on a TrueType simple glyph, read from its header
// before anything else of it: more than MaxContours contours (code 11) or
// MaxPoints points (code 12). Every other view draws such glyphs; nothing
// for a CFF glyph, an empty one, a composite or a header past the file.
MaybeFailure ClassicRefusal(const FontState& font, int glyph, const WorkingValues& work);
