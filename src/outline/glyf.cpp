#include "outline/glyf.h"

#include <array>
#include <span>
#include <string>

namespace {

// Every point index the contour walk will visit must be a decoded point.
// The walk goes from one contour's start to its last point and takes the
// start again to close; contour ends that go backwards draw nothing but move
// the next start. Ends that point outside the glyph's own points (not in
// increasing order, or a negative last end) cannot be drawn.
bool contoursFitPoints(const GlyphOutline& o)
{
    int start = 0;
    for (int c = 1; c <= o.NumberOfContours; ++c) {
        const int stop = o.EndPts[std::size_t(c)] + 1;
        if (start < 0 || start >= o.PointCount)
            return false;
        if (stop > start && stop - 1 >= o.PointCount)
            return false;
        start = stop;
    }
    return true;
}

// The bytes each point's flags give its x and y deltas.
constexpr std::uint8_t deltaSize(int f, int shortBit, int sameOrPositiveBit)
{
    return (f & shortBit) ? 1 : (f & sameOrPositiveBit) ? 0 : 2;
}

// Both sizes of every flag byte, x in bits 0-1 and y in bits 2-3: one look-up a point.
constexpr auto DeltaSizes = [] {
    std::array<std::uint8_t, 256> sizes{};
    for (int f = 0; f < 256; ++f)
        sizes[std::size_t(f)] = std::uint8_t(deltaSize(f, X_SHORT, X_SAME_OR_POSITIVE)
                                             | deltaSize(f, Y_SHORT, Y_SAME_OR_POSITIVE) << 2);
    return sizes;
}();

// Reads one axis' deltas, which the reader has checked as a whole, into
// Points[i].*axis. Coordinates are held as signed 16-bit values: a damaged
// glyph may run past that range, and the running value then wraps.
void readAxis(std::span<const std::uint8_t> deltas, GlyphOutline& o, int shortBit, int sameOrPositiveBit,
              std::int32_t GlyphPoint::*axis)
{
    std::size_t at = 0;
    std::uint16_t value = 0;
    for (int i = 0; i < o.PointCount; ++i) {
        const int f = o.PointFlags[std::size_t(i)];
        if (f & shortBit) {
            const std::uint16_t delta = deltas[at++];
            value = std::uint16_t((f & sameOrPositiveBit) ? value + delta : value - delta);
        } else if (!(f & sameOrPositiveBit)) {
            value = std::uint16_t(value + (deltas[at] << 8 | deltas[at + 1]));
            at += 2;
        }
        o.Points[std::size_t(i)].*axis = std::int16_t(value);
    }
}

// Contour ends and the instructions after them; the box was stored by the loader.
bool readContourEnds(ByteReader& r, GlyphOutline& o)
{
    r.skip(8); // xMin, yMin, xMax, yMax
    o.EndPts.resize(std::size_t(o.NumberOfContours) + 1);
    for (int c = 1; c <= o.NumberOfContours; ++c)
        o.EndPts[std::size_t(c)] = ReadShort(r);
    o.InstructionLength = ReadUShort(r);
    if (!r.ok())
        return false;
    r.skip(o.InstructionLength);
    return r.ok();
}

// The flags, and how many bytes of x and of y deltas follow them.
void readFlags(ByteReader& r, GlyphOutline& o, std::size_t& xBytes, std::size_t& yBytes)
{
    o.PointFlags.resize(std::size_t(o.PointCount));
    xBytes = yBytes = 0;
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
        o.PointFlags[std::size_t(i)] = std::uint8_t(f);
        const int sizes = DeltaSizes[std::size_t(f)];
        xBytes += std::size_t(sizes & 3);
        yBytes += std::size_t(sizes >> 2);
    }
}

} // namespace

OutlineStatus DecodeOutline(int glyph, const FontState& font, GlyphOutline& o, WorkingValues& work, MessageSink& sink)
{
    o.NumberOfContours = 0;
    o.PointCount = 0;
    // A glyph without data (its offset equals the next one's) is empty; the
    // bytes there belong to the next glyph and are not read.
    if (font.GlyphOffset[std::size_t(glyph)] == font.GlyphOffset[std::size_t(glyph) + 1]) {
        work.NumberOfContours = 0;
        return OutlineStatus::Empty;
    }

    ByteReader r(font.FontBytes);
    const auto pastEnd = [&] {
        ShowError(ReadPastEnd, work, sink, "glyph " + std::to_string(glyph));
        return OutlineStatus::Abandoned;
    };

    r.seek(std::size_t(font.Glyf.Offset) + font.GlyphOffset[std::size_t(glyph)]);
    o.NumberOfContours = ReadShort(r);
    work.NumberOfContours = o.NumberOfContours;
    if (!r.ok())
        return pastEnd();
    if (o.NumberOfContours < 0)
        return OutlineStatus::Composite;
    if (o.NumberOfContours == 0)
        return OutlineStatus::Empty;
    if (o.NumberOfContours > MaxContours) {
        ShowError(TooManyContours, work, sink);
        return OutlineStatus::Abandoned;
    }
    if (!readContourEnds(r, o))
        return pastEnd();

    o.PointCount = o.EndPts[std::size_t(o.NumberOfContours)] + 1;
    work.PointCount = o.PointCount;
    if (o.PointCount > MaxPoints || !contoursFitPoints(o)) {
        ShowError(TooManyPoints, work, sink);
        return OutlineStatus::Abandoned;
    }

    std::size_t xBytes, yBytes;
    readFlags(r, o, xBytes, yBytes);
    const auto xDeltas = r.bytes(xBytes);
    const auto yDeltas = r.bytes(yBytes);
    if (!r.ok())
        return pastEnd();
    o.Points.resize(std::size_t(o.PointCount));
    readAxis(xDeltas, o, X_SHORT, X_SAME_OR_POSITIVE, &GlyphPoint::X);
    readAxis(yDeltas, o, Y_SHORT, Y_SAME_OR_POSITIVE, &GlyphPoint::Y);
    return OutlineStatus::Decoded;
}
