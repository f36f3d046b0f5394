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
constexpr std::uint64_t deltaSize(int f, int shortBit, int sameOrPositiveBit)
{
    return (f & shortBit) ? 1 : (f & sameOrPositiveBit) ? 0 : 2;
}

// Both sizes of every flag byte, x in the low half and y in the high one, so
// that one sum over the points counts the bytes of both.
constexpr auto DeltaSizes = [] {
    std::array<std::uint64_t, 256> sizes{};
    for (int f = 0; f < 256; ++f)
        sizes[std::size_t(f)] = deltaSize(f, X_SHORT, X_SAME_OR_POSITIVE)
                              | deltaSize(f, Y_SHORT, Y_SAME_OR_POSITIVE) << 32;
    return sizes;
}();

// A glyph's flags, one a point, and the bytes copied where they need padding;
// kept from glyph to glyph, so that reading a font allocates little. (Contour
// ends are signed 16-bit values: a glyph has at most 32768 points.)
struct PointScratch {
    std::vector<std::uint8_t> flags, padded;
};

// A point's kind is its ON_CURVE bit.
static_assert(int(PointKind::OnCurve) == ON_CURVE && int(PointKind::QuadraticOff) == 0);

// Contour ends and the instructions after them; the box was stored by the loader.
bool readContourEnds(ByteReader& r, int numberOfContours, std::vector<int>& ends)
{
    r.skip(8); // xMin, yMin, xMax, yMax
    // A damaged header can claim 32 767 contours in a few bytes: nothing is
    // sized by the count until the bytes are there.
    if (!r.canRead(2 * std::size_t(numberOfContours) + 2))
        return false;
    // Checked once for the whole array: a damaged glyph's thousands of ends
    // cost no check each.
    const std::span<const std::uint8_t> bytes = r.bytes(2 * std::size_t(numberOfContours));
    ends.resize(std::size_t(numberOfContours));
    for (std::size_t i = 0; i < ends.size(); ++i)
        ends[i] = std::int16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    const unsigned instructionLength = ReadUShort(r);
    if (!r.ok())
        return false;
    r.skip(instructionLength);
    return r.ok();
}

// The next n bytes of r and `ahead` bytes after them to read ahead into:
// the file's where it holds them, else n copied into `padded` with zeros
// after them. r stands after the n bytes, failed if they are not there.
std::span<const std::uint8_t> withPadding(ByteReader& r, std::size_t n, std::size_t ahead,
                                          std::vector<std::uint8_t>& padded)
{
    if (r.canRead(n + ahead)) {
        const std::span<const std::uint8_t> bytes = r.bytes(n + ahead);
        r.seek(r.pos() - ahead);
        return bytes;
    }
    const std::span<const std::uint8_t> bytes = r.bytes(n);
    padded.assign(bytes.begin(), bytes.end());
    padded.resize(n + ahead, 0);
    return padded;
}

// One flag a point, its repeats expanded, and how many bytes of x and of y
// deltas follow them; false when the flags run past the end of the file. A
// point takes at most two bytes of flags (a flag and its repeat count), so
// the bytes read from are as many of those as the file holds, padded with
// zeros near its end; reading into the padding fails.
bool readFlags(ByteReader& r, std::span<std::uint8_t> flags, std::vector<std::uint8_t>& padded, std::size_t& xBytes,
               std::size_t& yBytes)
{
    if (!r.ok())
        return false;
    const std::size_t start = r.pos();
    const std::size_t available = std::min(2 * flags.size(), r.size() - start);
    const std::uint8_t* at = withPadding(r, available, 2 * flags.size() - available, padded).data();
    const std::uint8_t* const first = at;
    std::uint64_t sizes = 0;
    for (std::size_t i = 0; i < flags.size();) {
        const std::uint8_t f = *at++;
        flags[i++] = f;
        sizes += DeltaSizes[f];
        if (f & REPEAT) {
            // a count beyond the last point is taken whole
            const std::size_t count = std::min(std::size_t(*at++), flags.size() - i);
            sizes += DeltaSizes[f] * count;
            std::fill_n(flags.begin() + std::ptrdiff_t(i), count, f);
            i += count;
        }
    }
    const auto used = std::size_t(at - first);
    if (used > available)
        return false;
    xBytes = sizes & 0xFFFFFFFF;
    yBytes = sizes >> 32;
    r.seek(start + used);
    return true;
}

// How a flag byte reads one axis' delta: byteSign times the next byte plus
// the next two bytes masked by wordMask, then size bytes on. Both readings are
// made and one kept by arithmetic, not by a branch: the flags of real glyphs
// vary too much to predict. The bytes after the deltas are padding for it.
struct DeltaRule {
    std::int8_t byteSign = 0;    // 1, -1, or 0 when the delta is not one byte
    std::uint8_t size = 0;       // bytes of the delta
    std::uint16_t wordMask = 0;  // 0xFFFF when the delta is two bytes
};

template <int ShortBit, int SameOrPositiveBit>
constexpr auto DeltaRules = [] {
    std::array<DeltaRule, 256> rules{};
    for (int f = 0; f < 256; ++f) {
        const bool same = f & SameOrPositiveBit;
        DeltaRule& rule = rules[std::size_t(f)];
        rule.size = std::uint8_t(deltaSize(f, ShortBit, SameOrPositiveBit));
        rule.byteSign = std::int8_t((f & ShortBit) ? (same ? 1 : -1) : 0);
        rule.wordMask = (f & ShortBit) || same ? 0 : 0xFFFF;
    }
    return rules;
}();

template <int ShortBit, int SameOrPositiveBit>
std::uint16_t nextDelta(int f, const std::uint8_t*& at)
{
    const DeltaRule rule = DeltaRules<ShortBit, SameOrPositiveBit>[std::size_t(f)];
    const auto word = std::uint16_t(at[0] << 8 | at[1]);
    const auto delta = std::uint16_t(at[0] * rule.byteSign + (word & rule.wordMask));
    at += rule.size;
    return delta;
}

// The points of a glyph whose contour ends are read; r stands at its flags.
// Coordinates are held as signed 16-bit values: a damaged glyph may run past
// that range, and the running value then wraps.
DecodedOutline readPoints(ByteReader& r, Contours& o, const WorkingValues& work, int glyph)
{
    thread_local PointScratch scratch;
    const auto pointCount = std::size_t(work.PointCount);
    if (scratch.flags.size() < pointCount) // never shrunk: growing it again would fill it
        scratch.flags.resize(pointCount);
    const std::span<std::uint8_t> flags = std::span(scratch.flags).first(pointCount);
    std::size_t xBytes = 0, yBytes = 0;
    const bool flagsRead = readFlags(r, flags, scratch.padded, xBytes, yBytes);
    // x, y, and 2 bytes for a word read at the last delta
    const std::span<const std::uint8_t> deltas = withPadding(r, xBytes + yBytes, 2, scratch.padded);
    if (!flagsRead || !r.ok())
        return {OutlineStatus::Abandoned, {ReadPastEnd, work, "glyph " + std::to_string(glyph)}};
    const std::uint8_t* x = deltas.data();
    const std::uint8_t* y = x + xBytes;
    o.points.resize(flags.size());
    std::uint16_t xValue = 0, yValue = 0;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const int f = flags[i];
        xValue = std::uint16_t(xValue + nextDelta<X_SHORT, X_SAME_OR_POSITIVE>(f, x));
        yValue = std::uint16_t(yValue + nextDelta<Y_SHORT, Y_SAME_OR_POSITIVE>(f, y));
        o.points[i] = {std::int16_t(xValue), std::int16_t(yValue), PointKind(f & ON_CURVE)};
    }
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

MaybeFailure ClassicRefusal(const FontState& font, int g, const WorkingValues& work)
{
    const auto k = std::size_t(g);
    if (font.Cff || k + 1 >= font.GlyphOffset.size() || font.GlyphOffset[k] == font.GlyphOffset[k + 1])
        return std::nullopt;
    ByteReader r(font.FontBytes);
    r.seek(std::size_t(font.Glyf.Offset) + font.GlyphOffset[k]);
    WorkingValues at = work;
    at.NumberOfContours = ReadShort(r);
    if (!r.ok() || at.NumberOfContours <= 0)
        return std::nullopt;
    if (at.NumberOfContours > MaxContours)
        return Failure{TooManyContours, at, {}};
    r.skip(8 + 2 * std::size_t(at.NumberOfContours - 1)); // the box, then up to the last contour's end
    at.PointCount = ReadShort(r) + 1;
    if (r.ok() && at.PointCount > MaxPoints)
        return Failure{TooManyPoints, at, {}};
    return std::nullopt;
}
