#include "glyph/outline.h"

#include <string>

namespace {

// Coordinates are held as signed 16-bit values; a damaged glyph may run past
// that range, and the running value then wraps rather than overflowing.
std::int16_t wrap16(int v)
{
    return std::int16_t(std::uint16_t(unsigned(v) & 0xFFFFu));
}

// Every point index the contour walk will visit must be a decoded point.
// The walk goes from one contour's start to its last point and takes the
// start again to close; contour ends that go backwards draw nothing but move
// the next start. Ends that point outside the glyph's own points (not in
// increasing order, or a negative last end) cannot be drawn.
bool contoursFitPoints(const GlyphOutline& o)
{
    int start = 0;
    for (int c = 1; c <= o.NumberOfContours; ++c) {
        const int stop = o.EndPts[c] + 1;
        if (start < 0 || start >= o.PointCount)
            return false;
        if (stop > start && stop - 1 >= o.PointCount)
            return false;
        start = stop;
    }
    return true;
}

// Reads the coordinate deltas of one axis into Points[i].X or .Y.
template <typename Set>
void readCoordinates(ByteReader& r, GlyphOutline& o, int shortBit, int sameOrPositiveBit, Set set)
{
    int value = 0;
    for (int i = 0; i < o.PointCount; ++i) {
        const int f = o.PointFlags[i];
        if (f & shortBit) {
            const int delta = r.u8();
            value = (f & sameOrPositiveBit) ? value + delta : value - delta;
        } else if (!(f & sameOrPositiveBit)) {
            value += ReadShort(r);
        }
        value = wrap16(value);
        set(o.Points[i], std::int16_t(value));
    }
}

} // namespace

OutlineStatus DecodeOutline(int glyph, FontState& font, GlyphOutline& o, MessageSink& sink)
{
    // Glyph 3 is never drawn, whatever it holds.
    if (glyph == 3)
        return OutlineStatus::NotDrawn;
    // A glyph without data (its offset equals the next one's) is empty; the
    // bytes there belong to the next glyph and are not read.
    if (font.GlyphOffset[glyph] == font.GlyphOffset[glyph + 1]) {
        font.NumberOfContours = 0;
        return OutlineStatus::Empty;
    }

    ByteReader& r = font.FontFile;
    const auto pastEnd = [&] {
        r.clearFailure();
        ShowError(ReadPastEnd, font, sink, "glyph " + std::to_string(glyph));
        return OutlineStatus::Abandoned;
    };

    r.clearFailure();
    r.seek(std::size_t(font.TableOffset) + font.GlyphOffset[glyph]);
    o.NumberOfContours = ReadShort(r);
    font.NumberOfContours = o.NumberOfContours;
    if (!r.ok())
        return pastEnd();
    if (o.NumberOfContours <= 0)
        return OutlineStatus::Empty;
    if (o.NumberOfContours > MaxContours) {
        ShowError(TooManyContours, font, sink);
        return OutlineStatus::Abandoned;
    }

    // The view draws from the box the loader stored; these are working values only.
    font.GlyphXMin = ReadShort(r);
    font.GlyphYMin = ReadShort(r);
    font.GlyphXMax = ReadShort(r);
    font.GlyphYMax = ReadShort(r);
    for (int c = 1; c <= o.NumberOfContours; ++c)
        o.EndPts[c] = ReadShort(r);
    o.InstructionLength = ReadUShort(r);
    if (!r.ok())
        return pastEnd();
    r.skip(o.InstructionLength);
    if (!r.ok())
        return pastEnd();

    o.PointCount = o.EndPts[o.NumberOfContours] + 1;
    font.PointCount = o.PointCount;
    if (o.PointCount > MaxPoints || !contoursFitPoints(o)) {
        ShowError(TooManyPoints, font, sink);
        return OutlineStatus::Abandoned;
    }

    int repeat = 0;
    int f = 0;
    for (int i = 0; i < o.PointCount; ++i) {
        if (repeat != 0) {
            --repeat;
        } else {
            f = r.u8();
            if (f & REPEAT)
                repeat = r.u8();
        }
        o.PointFlags[i] = std::uint8_t(f);
    }
    readCoordinates(r, o, X_SHORT, X_SAME_OR_POSITIVE, [](GlyphPoint& p, std::int16_t v) { p.X = v; });
    readCoordinates(r, o, Y_SHORT, Y_SAME_OR_POSITIVE, [](GlyphPoint& p, std::int16_t v) { p.Y = v; });
    if (!r.ok())
        return pastEnd();
    return OutlineStatus::Decoded;
}
