#pragma once
#include <cstdint>
#include <vector>

#include "sfnt/errors.h"
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

inline constexpr int MaxContours = 2000;
inline constexpr int MaxPoints = 2000;

// A simple glyph's coordinates fit in 16 bits; a component moved into place
// by its composite may not.
struct GlyphPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

// One simple glyph's outline as read from glyf.
struct GlyphOutline {
    int NumberOfContours = 0;
    std::vector<int> EndPts; // EndPts[c], c = 1..NumberOfContours: last point of contour c
    unsigned InstructionLength = 0;
    int PointCount = 0;
    std::vector<std::uint8_t> PointFlags; // PointCount entries
    std::vector<GlyphPoint> Points;       // PointCount entries
    bool CubicOffCurve = false;           // CFF: off-curve points are cubic control points, two between on-curve ones
};

enum class OutlineStatus {
    Decoded,   // a simple glyph with contours
    Empty,     // no contours, or no data
    Composite, // built from other glyphs: see ResolveGlyph
    Abandoned, // an error was shown (codes 11, 12, 15)
};

// Reads glyph `glyph` from the font's glyf table into `outline`. Sets the
// NumberOfContours and PointCount working values. Malformed data is reported
// through ShowError and gives Abandoned; nothing is read outside the file.
// The glyph must have an entry in GlyphOffset and the next one.
OutlineStatus DecodeOutline(int glyph, const FontState& font, GlyphOutline& outline, WorkingValues& work,
                            MessageSink& sink);
