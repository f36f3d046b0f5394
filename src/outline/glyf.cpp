#include "outline/glyf.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace {

// Every point index the contour walk will visit must be a decoded point.
// The walk goes from one contour's start to its last point and takes the
// start again to close; contour ends that go backwards draw nothing but move
// the next start. Ends that point outside the glyph's own points (not in
// increasing order, or a negative last end) cannot be drawn.
bool contoursFitPoints(const std::vector<int>& ends, int pointCount)
{
    int start = 0;
    for (const int end : ends) {
        const int stop = end + 1;
        if (start < 0 || start >= pointCount)
            return false;
        if (stop > start && stop - 1 >= pointCount)
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

// Contour ends are signed 16-bit values: a glyph has at most 32768 points.
constexpr std::size_t MaxGlyfPoints = 32768;
using PointFlags = std::array<std::uint8_t, MaxGlyfPoints>;

// Reads one axis' deltas, which the reader has checked as a whole, into
// points[i].*Axis. Coordinates are held as signed 16-bit values: a damaged
// glyph may run past that range, and the running value then wraps. The bits
// and the axis are template arguments: this loop runs for every point.
template <int ShortBit, int SameOrPositiveBit, std::int32_t OutlinePoint::*Axis>
void readAxis(std::span<const std::uint8_t> deltas, const PointFlags& flags, std::span<OutlinePoint> points)
{
    const std::uint8_t* at = deltas.data();
    std::uint16_t value = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int f = flags[i];
        if (f & ShortBit) {
            const int delta = *at++;
            value = std::uint16_t(value + ((f & SameOrPositiveBit) ? delta : -delta));
        } else if (!(f & SameOrPositiveBit)) {
            value = std::uint16_t(value + (at[0] << 8 | at[1]));
            at += 2;
        }
        points[i].*Axis = std::int16_t(value);
    }
}

// Contour ends and the instructions after them; the box was stored by the loader.
bool readContourEnds(ByteReader& r, int numberOfContours, std::vector<int>& ends)
{
    r.skip(8); // xMin, yMin, xMax, yMax
    ends.resize(std::size_t(numberOfContours));
    for (int& end : ends)
        end = ReadShort(r);
    const unsigned instructionLength = ReadUShort(r);
    if (!r.ok())
        return false;
    r.skip(instructionLength);
    return r.ok();
}

// The flags and each point's kind, and how many bytes of x and of y deltas
// follow them; false when the flags run past the end of the file. A point
// takes at most two bytes of flags (a flag and its repeat count), so the
// bytes read from are as many of those as the file holds.
bool readFlags(ByteReader& r, PointFlags& flags, std::span<OutlinePoint> points, std::size_t& xBytes,
               std::size_t& yBytes)
{
    if (!r.ok())
        return false;
    const std::size_t start = r.pos();
    const std::span<const std::uint8_t> bytes = r.bytes(std::min(2 * points.size(), r.size() - start));
    std::size_t at = 0;
    xBytes = yBytes = 0;
    for (std::size_t i = 0; i < points.size();) {
        if (at == bytes.size())
            return false;
        const std::uint8_t f = bytes[at++];
        std::size_t count = 1;
        if (f & REPEAT) {
            if (at == bytes.size())
                return false;
            count += bytes[at++]; // a count beyond the last point is taken whole
        }
        count = std::min(count, points.size() - i);
        const int sizes = DeltaSizes[f];
        xBytes += std::size_t(sizes & 3) * count;
        yBytes += std::size_t(sizes >> 2) * count;
        const PointKind kind = (f & ON_CURVE) ? PointKind::OnCurve : PointKind::QuadraticOff;
        for (const std::size_t end = i + count; i < end; ++i) {
            flags[i] = f;
            points[i].kind = kind;
        }
    }
    r.seek(start + at);
    return true;
}

// The points of a glyph whose contour ends are read; r stands at its flags.
DecodedOutline readPoints(ByteReader& r, Contours& o, const WorkingValues& work, int glyph)
{
    PointFlags flags;
    o.points.resize(std::size_t(work.PointCount));
    std::size_t xBytes = 0, yBytes = 0;
    const bool flagsRead = readFlags(r, flags, o.points, xBytes, yBytes);
    const auto xDeltas = r.bytes(xBytes);
    const auto yDeltas = r.bytes(yBytes);
    if (!flagsRead || !r.ok())
        return {OutlineStatus::Abandoned, {ReadPastEnd, work, "glyph " + std::to_string(glyph)}};
    readAxis<X_SHORT, X_SAME_OR_POSITIVE, &OutlinePoint::x>(xDeltas, flags, o.points);
    readAxis<Y_SHORT, Y_SAME_OR_POSITIVE, &OutlinePoint::y>(yDeltas, flags, o.points);
    return {OutlineStatus::Decoded, {}};
}

// DecodeOutline without emptying the outline of a glyph that is not drawn:
// storage already there is reused as it stands.
DecodedOutline decodeSimpleGlyph(const FontState& font, int glyph, Contours& o, WorkingValues& work)
{
    // A glyph without data (its offset equals the next one's) is empty; the
    // bytes there belong to the next glyph and are not read.
    if (font.GlyphOffset[std::size_t(glyph)] == font.GlyphOffset[std::size_t(glyph) + 1]) {
        work.NumberOfContours = 0;
        return {OutlineStatus::Empty, {}};
    }

    ByteReader r(font.FontBytes);
    const auto pastEnd = [&]() -> DecodedOutline {
        return {OutlineStatus::Abandoned, {ReadPastEnd, work, "glyph " + std::to_string(glyph)}};
    };

    r.seek(std::size_t(font.Glyf.Offset) + font.GlyphOffset[std::size_t(glyph)]);
    const int numberOfContours = ReadShort(r);
    work.NumberOfContours = numberOfContours;
    if (!r.ok())
        return pastEnd();
    if (numberOfContours < 0)
        return {OutlineStatus::Composite, {}};
    if (numberOfContours == 0)
        return {OutlineStatus::Empty, {}};
    if (!readContourEnds(r, numberOfContours, o.ends))
        return pastEnd();

    work.PointCount = o.ends.back() + 1;
    if (!contoursFitPoints(o.ends, work.PointCount))
        return {OutlineStatus::Abandoned, {TooManyPoints, work, {}}};
    return readPoints(r, o, work, glyph);
}

} // namespace

DecodedOutline DecodeOutline(const FontState& font, int glyph, const Location&, Contours& o, WorkingValues& work)
{
    DecodedOutline decoded = decodeSimpleGlyph(font, glyph, o, work);
    if (decoded.status != OutlineStatus::Decoded) {
        o.ends.clear();
        o.points.clear();
    }
    return decoded;
}
