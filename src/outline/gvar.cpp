#include "outline/gvar.h"

#include <algorithm>
#include <string>

#include "tables/font_state.h"

namespace {

constexpr int AllPoints = -1; // a point count of 0 in the data: every point

struct FixedPoint {
    std::int64_t x = 0, y = 0;
};

// Packed point numbers into `points`; why they cannot be used (nullptr when
// they can): they run past the data or name more points than the glyph has.
const char* readPoints(ByteReader& r, std::size_t pointCount, std::vector<int>& points)
{
    constexpr const char* PastTheTable = "run past the table";
    points.clear();
    int n = r.u8();
    if (n == 0) {
        points.push_back(AllPoints);
        return r.ok() ? nullptr : PastTheTable;
    }
    if (n & 0x80)
        n = (n & 0x7F) << 8 | r.u8();
    if (!r.ok())
        return PastTheTable;
    if (std::size_t(n) > pointCount)
        return "name more points than the glyph has";
    points.reserve(std::size_t(n));
    int last = 0;
    while (int(points.size()) < n && r.ok()) {
        const int control = r.u8();
        const bool words = control & 0x80;
        for (int k = 0; k <= (control & 0x7F) && int(points.size()) < n; ++k) {
            last = (last + (words ? r.u16() : r.u8())) & 0xFFFF;
            points.push_back(last);
        }
    }
    return r.ok() ? nullptr : PastTheTable;
}

// `count` packed deltas, in font units, each given to sink(index, delta);
// false when a run overshoots or they run past the data. Each run is checked
// once and read from its bytes.
template <class Sink>
bool readDeltas(ByteReader& r, std::size_t count, Sink&& sink)
{
    for (std::size_t i = 0; i < count;) {
        const int control = r.u8();
        const std::size_t run = std::size_t(control & 0x3F) + 1;
        if (!r.ok() || run > count - i)
            return false;
        if (control & 0x80) {
            for (std::size_t k = 0; k < run; ++k)
                sink(i++, 0);
        } else if (control & 0x40) {
            const std::span<const std::uint8_t> words = r.bytes(2 * run);
            for (std::size_t k = 0; k < words.size(); k += 2)
                sink(i++, std::int16_t(words[k] << 8 | words[k + 1]));
        } else {
            for (const std::uint8_t byte : r.bytes(run))
                sink(i++, std::int8_t(byte));
        }
    }
    return r.ok();
}

// A tuple of F2Dot14 coordinates, in 16.16.
void readTuple(ByteReader& r, std::size_t axes, std::vector<Fixed>& tuple)
{
    tuple.resize(axes);
    for (Fixed& v : tuple)
        v = Fixed(r.i16()) * 4;
}

// Untouched points p1..p2 between the touched ref1 and ref2, one axis.
void interpolate(int p1, int p2, int ref1, int ref2, std::span<const FixedPoint> in, std::span<FixedPoint> out,
                 std::int64_t FixedPoint::*axis)
{
    if (p1 > p2)
        return;
    if (in[std::size_t(ref1)].*axis > in[std::size_t(ref2)].*axis)
        std::swap(ref1, ref2);
    const std::int64_t in1 = in[std::size_t(ref1)].*axis, in2 = in[std::size_t(ref2)].*axis;
    const std::int64_t out1 = out[std::size_t(ref1)].*axis, out2 = out[std::size_t(ref2)].*axis;
    // References at one coordinate but with different deltas infer no delta.
    if (in1 == in2 && out1 != out2)
        return;
    const Fixed scale = in1 != in2 ? DivFix(out2 - out1, in2 - in1) : 0;
    for (int p = p1; p <= p2; ++p) {
        const std::int64_t v = in[std::size_t(p)].*axis;
        out[std::size_t(p)].*axis = v <= in1 ? v + out1 - in1 : v >= in2 ? v + out2 - in2 : out1 + MulFix(v - in1, scale);
    }
}

// Every point of a contour with one touched point moves as that point does.
void shift(int p1, int p2, int ref, std::span<const FixedPoint> in, std::span<FixedPoint> out)
{
    const std::int64_t dx = out[std::size_t(ref)].x - in[std::size_t(ref)].x;
    const std::int64_t dy = out[std::size_t(ref)].y - in[std::size_t(ref)].y;
    for (int p = p1; p <= p2; ++p)
        if (p != ref)
            out[std::size_t(p)] = {out[std::size_t(p)].x + dx, out[std::size_t(p)].y + dy};
}

void interpolateBoth(int p1, int p2, int ref1, int ref2, std::span<const FixedPoint> in, std::span<FixedPoint> out)
{
    interpolate(p1, p2, ref1, ref2, in, out, &FixedPoint::x);
    interpolate(p1, p2, ref1, ref2, in, out, &FixedPoint::y);
}

// Infers the deltas of untouched points contour by contour, as IUP does.
void inferUntouched(std::span<const int> ends, std::span<const std::uint8_t> touched, std::span<const FixedPoint> in,
                    std::span<FixedPoint> out)
{
    const int outlinePoints = int(in.size()) - 4;
    int point = 0;
    for (const int contourEnd : ends) {
        const int end = std::min(contourEnd, outlinePoints - 1);
        const int first = point;
        if (end < first)
            continue;
        while (point <= end && !touched[std::size_t(point)])
            ++point;
        if (point > end)
            continue;
        const int firstTouched = point;
        int current = point++;
        for (; point <= end; ++point)
            if (touched[std::size_t(point)]) {
                interpolateBoth(current + 1, point - 1, current, point, in, out);
                current = point;
            }
        if (current == firstTouched) {
            shift(first, end, current, in, out);
        } else {
            interpolateBoth(current + 1, end, current, firstTouched, in, out);
            interpolateBoth(first, firstTouched - 1, current, firstTouched, in, out);
        }
    }
}

Failure damaged(int g, std::string why)
{
    Failure f;
    f.code = BadVariations;
    f.context.GlyphIndex = g;
    f.detail = std::move(why);
    return f;
}

// The buffers of one glyph's variation, kept from glyph to glyph: a whole
// font is varied without an allocation for each glyph and tuple.
struct Scratch {
    std::vector<FixedPoint> original, out;
    std::vector<std::int64_t> sumX, sumY;
    std::vector<std::int32_t> deltasX, deltasY;
    std::vector<Fixed> coordinates, peak, start, end;
    std::vector<std::uint8_t> touched;
    std::vector<int> shared, own;
};

// One glyph's variation data being applied.
class GlyphVariations {
public:
    GlyphVariations(const GvarTable& gvar, int g, std::span<const int> ends, std::span<const OutlinePoint> points,
                    Scratch& s)
        : gvar_(gvar), g_(g), coordinates_(s.coordinates), ends_(ends), points_(points), original_(s.original),
          sumX_(s.sumX), sumY_(s.sumY),
          deltasX_(s.deltasX), deltasY_(s.deltasY), out_(s.out), touched_(s.touched), peak_(s.peak), start_(s.start),
          end_(s.end), shared_(s.shared), own_(s.own)
    {
        shared_.clear();
        original_.clear();
    }

    std::optional<Failure> apply(ByteReader r)
    {
        const int header = r.u16();
        const std::size_t dataOffset = r.u16();
        ByteReader data = r;
        data.seek(dataOffset);
        if (!r.ok() || !data.ok())
            return damaged(g_, "runs past the table");
        if (header & SHARED_POINT_NUMBERS)
            if (const char* why = readPoints(data, points_.size(), shared_))
                return damaged(g_, std::string("shared point numbers ") + why);
        for (int t = 0; t < (header & TUPLE_COUNT_MASK); ++t)
            if (auto failure = tuple(r, data))
                return failure;
        return std::nullopt;
    }

private:
    std::optional<Failure> tuple(ByteReader& r, ByteReader& data)
    {
        const std::size_t size = r.u16();
        const int index = r.u16();
        const auto axes = std::size_t(gvar_.axisCount);
        std::span<const Fixed> peak;
        if (index & EMBEDDED_PEAK_TUPLE) {
            readTuple(r, axes, peak_);
            peak = peak_;
        } else if (std::size_t(index & TUPLE_INDEX_MASK) * axes + axes > gvar_.sharedTuples.size()) {
            return damaged(g_, "shared tuple " + std::to_string(index & TUPLE_INDEX_MASK) + " is not in the table");
        } else {
            peak = std::span(gvar_.sharedTuples).subspan(std::size_t(index & TUPLE_INDEX_MASK) * axes, axes);
        }
        const bool intermediate = index & INTERMEDIATE_REGION;
        if (intermediate) {
            readTuple(r, axes, start_);
            readTuple(r, axes, end_);
        }
        if (!r.ok() || !data.canRead(size))
            return damaged(g_, "a tuple runs past the table");
        ByteReader body = data;
        data.skip(size);
        const Fixed scalar = TupleScalar(peak, start_, end_, intermediate, coordinates_);
        if (scalar == 0)
            return std::nullopt;
        const bool own = index & PRIVATE_POINT_NUMBERS;
        if (own)
            if (const char* why = readPoints(body, points_.size(), own_))
                return damaged(g_, std::string("point numbers ") + why);
        const std::vector<int>& points = own ? own_ : shared_;
        const bool all = points.size() == 1 && points[0] == AllPoints;
        if (!(all ? addAll(body, scalar) : add(body, points, scalar)))
            return damaged(g_, "deltas run past the table");
        return std::nullopt;
    }

    // A delta in whole units times the scalar is exactly FreeType's 16.16
    // product of the two: the rounding it does has nothing to round.
    bool addAll(ByteReader& body, Fixed scalar)
    {
        const auto into = [scalar](std::vector<std::int64_t>& sum) {
            return [&sum, scalar](std::size_t i, std::int32_t delta) { sum[i] += std::int64_t(delta) * scalar; };
        };
        return readDeltas(body, points_.size(), into(sumX_)) && readDeltas(body, points_.size(), into(sumY_));
    }

    // Deltas for some points; the others' are inferred.
    bool add(ByteReader& body, const std::vector<int>& points, Fixed scalar)
    {
        const auto into = [](std::vector<std::int32_t>& deltas) {
            return [&deltas](std::size_t k, std::int32_t delta) { deltas[k] = delta; };
        };
        deltasX_.resize(points.size());
        deltasY_.resize(points.size());
        if (!readDeltas(body, points.size(), into(deltasX_)) || !readDeltas(body, points.size(), into(deltasY_)))
            return false;
        // The points in 16.16, for the first tuple that needs them.
        if (original_.empty())
            for (const OutlinePoint& p : points_)
                original_.push_back({std::int64_t(p.x) * FixedOne, std::int64_t(p.y) * FixedOne});
        out_.assign(original_.begin(), original_.end());
        touched_.assign(original_.size(), 0);
        for (std::size_t k = 0; k < points.size(); ++k) {
            const auto i = std::size_t(points[k]);
            if (i >= original_.size())
                continue;
            touched_[i] = 1;
            out_[i].x += std::int64_t(deltasX_[k]) * scalar;
            out_[i].y += std::int64_t(deltasY_[k]) * scalar;
        }
        inferUntouched(ends_, touched_, original_, out_);
        for (std::size_t i = 0; i < original_.size(); ++i) {
            sumX_[i] += out_[i].x - original_[i].x;
            sumY_[i] += out_[i].y - original_[i].y;
        }
        return true;
    }

    const GvarTable& gvar_;
    int g_;
    std::span<const Fixed> coordinates_;
    std::span<const int> ends_;
    std::span<const OutlinePoint> points_;
    std::vector<FixedPoint>& original_;
    std::vector<std::int64_t>& sumX_;
    std::vector<std::int64_t>& sumY_;
    std::vector<std::int32_t>&deltasX_, &deltasY_;
    std::vector<FixedPoint>& out_;
    std::vector<std::uint8_t>& touched_;
    std::vector<Fixed>&peak_, &start_, &end_;
    std::vector<int>&shared_, &own_; // shared_ empty: the glyph has no shared point numbers
};

} // namespace

Fixed TupleScalar(std::span<const Fixed> peak, std::span<const Fixed> start, std::span<const Fixed> end,
                  bool intermediate, std::span<const Fixed> coordinates)
{
    Fixed scalar = FixedOne;
    for (std::size_t i = 0; i < peak.size(); ++i) {
        const Fixed v = i < coordinates.size() ? coordinates[i] : 0;
        if (peak[i] == 0 || v == peak[i])
            continue;
        if (v == 0)
            return 0;
        if (!intermediate) {
            if (v < std::min(0, peak[i]) || v > std::max(0, peak[i]))
                return 0;
            scalar = MulDiv(scalar, v, peak[i]);
        } else if (v <= start[i] || v >= end[i]) {
            return 0;
        } else {
            scalar = v < peak[i] ? MulDiv(scalar, std::int64_t(v) - start[i], std::int64_t(peak[i]) - start[i])
                                 : MulDiv(scalar, std::int64_t(end[i]) - v, std::int64_t(end[i]) - peak[i]);
        }
    }
    return scalar;
}

std::optional<Failure> GlyphDeltas(const FontState& font, int g, const Location& location, std::span<const int> ends,
                                   std::span<const OutlinePoint> points, std::vector<std::int64_t>& dx,
                                   std::vector<std::int64_t>& dy)
{
    dx.assign(points.size(), 0);
    dy.assign(points.size(), 0);
    const auto& gvar = font.Variations.gvar;
    if (location.normalized.empty() || !gvar || points.size() < 4)
        return std::nullopt;
    if (!gvar->unusable.empty())
        return damaged(g, gvar->unusable);
    if (g < 0 || std::size_t(g) + 1 >= gvar->offsets.size())
        return std::nullopt;
    const std::size_t start = gvar->offsets[std::size_t(g)], stop = gvar->offsets[std::size_t(g) + 1];
    if (stop <= start)
        return std::nullopt;
    if (stop > gvar->length)
        return damaged(g, "runs past the table");
    ByteReader r(std::span<const std::uint8_t>(font.FontBytes).subspan(gvar->offset + start, stop - start));

    thread_local Scratch scratch;
    scratch.coordinates.resize(location.normalized.size());
    std::transform(location.normalized.begin(), location.normalized.end(), scratch.coordinates.begin(), ToFixed);
    scratch.sumX.assign(points.size(), 0);
    scratch.sumY.assign(points.size(), 0);
    GlyphVariations variations(*gvar, g, ends, points, scratch);
    if (auto failure = variations.apply(r))
        return failure;
    dx.swap(scratch.sumX);
    dy.swap(scratch.sumY);
    return std::nullopt;
}

std::optional<Failure> VaryPoints(const FontState& font, int g, const Location& location, std::span<const int> ends,
                                  std::vector<OutlinePoint>& points)
{
    thread_local std::vector<std::int64_t> dx, dy;
    if (auto failure = GlyphDeltas(font, g, location, ends, points, dx, dy))
        return failure;
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].x += FixedToInt(dx[i]);
        points[i].y += FixedToInt(dy[i]);
    }
    return std::nullopt;
}

std::optional<std::string> SumPlainDeltas(ByteReader r, std::size_t count, std::size_t axes,
                                          const Location& location, std::vector<std::int64_t>& sums)
{
    sums.assign(count, 0);
    std::vector<Fixed> coordinates(location.normalized.size()), peak, start, end;
    std::transform(location.normalized.begin(), location.normalized.end(), coordinates.begin(), ToFixed);
    const int header = r.u16();
    const std::size_t dataOffset = r.u16();
    ByteReader data = r;
    data.seek(dataOffset);
    std::vector<int> shared, own;
    if (!r.ok() || !data.ok())
        return "runs past the table";
    if (header & SHARED_POINT_NUMBERS)
        if (const char* why = readPoints(data, count, shared))
            return std::string("shared point numbers ") + why;
    std::vector<std::int32_t> deltas;
    for (int t = 0; t < (header & TUPLE_COUNT_MASK); ++t) {
        const std::size_t size = r.u16();
        const int index = r.u16();
        if (!(index & EMBEDDED_PEAK_TUPLE))
            return "a tuple has no peak of its own";
        readTuple(r, axes, peak);
        const bool intermediate = index & INTERMEDIATE_REGION;
        if (intermediate) {
            readTuple(r, axes, start);
            readTuple(r, axes, end);
        }
        if (!r.ok() || !data.canRead(size))
            return "a tuple runs past the table";
        ByteReader body = data;
        data.skip(size);
        const Fixed scalar = TupleScalar(peak, start, end, intermediate, coordinates);
        if (scalar == 0)
            continue;
        if (index & PRIVATE_POINT_NUMBERS)
            if (const char* why = readPoints(body, count, own))
                return std::string("point numbers ") + why;
        const std::vector<int>& points = (index & PRIVATE_POINT_NUMBERS) ? own : shared;
        const bool all = points.size() == 1 && points[0] == AllPoints;
        deltas.assign(all ? count : points.size(), 0);
        if (!readDeltas(body, deltas.size(), [&deltas](std::size_t k, std::int32_t d) { deltas[k] = d; }))
            return "deltas run past the table";
        for (std::size_t k = 0; k < deltas.size(); ++k) {
            const std::size_t i = all ? k : std::size_t(points[k]);
            if (i < count)
                sums[i] += std::int64_t(deltas[k]) * scalar;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> VariedAdvance(const FontState& font, int g, const Location& location)
{
    const FontVariations& v = font.Variations;
    if (!v.hvar || g < 0 || std::size_t(g) >= font.HMetrics.size())
        return std::nullopt;
    int outer = 0, inner = g;
    if (v.advanceMap && !v.advanceMap->entries.empty()) {
        const auto& entries = v.advanceMap->entries;
        const std::uint32_t e = entries[std::min(std::size_t(g), entries.size() - 1)];
        outer = int(e >> 16);
        inner = int(e & 0xFFFF);
    }
    return font.HMetrics[std::size_t(g)].AdvanceWidth + ItemDeltaRounded(*v.hvar, outer, inner, location);
}
