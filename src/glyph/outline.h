#pragma once
#include <array>
#include <cstdint>

#include "font/errors.h"
#include "font/font_state.h"

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

struct GlyphPoint {
    std::int16_t X = 0;
    std::int16_t Y = 0;
};

// One simple glyph's outline as read from glyf.
struct GlyphOutline {
    int NumberOfContours = 0;
    std::array<int, MaxContours + 1> EndPts{}; // EndPts[c], c = 1..NumberOfContours: last point of contour c
    unsigned InstructionLength = 0;
    int PointCount = 0;
    std::array<std::uint8_t, MaxPoints + 1> PointFlags{};
    std::array<GlyphPoint, MaxPoints + 1> Points{};
};

enum class OutlineStatus {
    Decoded,   // a simple glyph: draw it
    NotDrawn,  // glyph 3: nothing at all
    Empty,     // no contours, a composite, or no data: the empty mark
    Abandoned, // an error was shown (codes 11, 12, 15)
};

// Reads glyph `glyph` from glyf (at font.TableOffset) through font.FontFile.
// Sets font.NumberOfContours, the glyph box working values and font.PointCount.
// Malformed data is reported through ShowError and gives Abandoned; nothing
// is read outside the file. The glyph must have an entry in GlyphOffset and the next one.
OutlineStatus DecodeOutline(int glyph, FontState& font, GlyphOutline& outline, MessageSink& sink);
