#pragma once
// fvar and gvar for built fonts: axes, named instances and glyph variation
// data with shared or embedded peaks, intermediate regions and point numbers.
#include <optional>
#include <vector>

#include "support/ttf_builder.h"

namespace ttf {

struct Axis {
    std::string tag;
    double min = 0, def = 0, max = 0;
    std::uint16_t nameId = 0;
    std::uint16_t flags = 0;
};

struct Instance {
    std::uint16_t nameId = 0;
    std::vector<double> coordinates;
};

inline std::uint32_t fixed16(double v) { return std::uint32_t(std::int32_t(v * 65536)); }
inline std::int16_t f2dot14(double v) { return std::int16_t(v * 16384); }

inline ByteVector fvarTable(const std::vector<Axis>& axes, const std::vector<Instance>& instances)
{
    Bytes b;
    b.u16(1).u16(0).u16(16).u16(2).u16(std::uint16_t(axes.size())).u16(20);
    b.u16(std::uint16_t(instances.size())).u16(std::uint16_t(4 + 4 * axes.size()));
    for (const Axis& a : axes)
        b.tag(a.tag).u32(fixed16(a.min)).u32(fixed16(a.def)).u32(fixed16(a.max)).u16(a.flags).u16(a.nameId);
    for (const Instance& i : instances) {
        b.u16(i.nameId).u16(0);
        for (double c : i.coordinates)
            b.u32(fixed16(c));
    }
    return b.data;
}

// Point numbers as words, in runs of up to 128.
inline void packPoints(Bytes& b, const std::vector<int>& points)
{
    if (points.size() < 128)
        b.u8(std::uint8_t(points.size()));
    else
        b.u8(std::uint8_t(0x80 | points.size() >> 8)).u8(std::uint8_t(points.size()));
    int last = 0;
    for (std::size_t at = 0; at < points.size(); at += 128) {
        const std::size_t run = std::min<std::size_t>(128, points.size() - at);
        b.u8(std::uint8_t(0x80 | (run - 1)));
        for (std::size_t k = at; k < at + run; ++k) {
            b.u16(std::uint16_t(points[k] - last));
            last = points[k];
        }
    }
}

// Deltas as words, in runs of up to 64.
inline void packDeltas(Bytes& b, const std::vector<int>& deltas)
{
    for (std::size_t at = 0; at < deltas.size(); at += 64) {
        const std::size_t run = std::min<std::size_t>(64, deltas.size() - at);
        b.u8(std::uint8_t(0x40 | (run - 1)));
        for (std::size_t k = at; k < at + run; ++k)
            b.i16(std::int16_t(deltas[k]));
    }
}

struct Tuple {
    std::vector<double> peak;                 // embedded; empty: shared tuple sharedIndex
    int sharedIndex = 0;
    std::vector<double> start, end;           // not empty: an intermediate region
    std::optional<std::vector<int>> points;   // private point numbers (empty list: every point); none: the shared ones
    std::vector<int> dx, dy;
};

// One glyph's variation data; sharedPoints (empty list: every point) when given.
inline ByteVector glyphVariations(const std::vector<Tuple>& tuples, const std::optional<std::vector<int>>& sharedPoints = {})
{
    std::vector<ByteVector> bodies;
    for (const Tuple& t : tuples) {
        Bytes body;
        if (t.points)
            packPoints(body, *t.points);
        packDeltas(body, t.dx);
        packDeltas(body, t.dy);
        bodies.push_back(body.data);
    }
    Bytes headers;
    for (std::size_t k = 0; k < tuples.size(); ++k) {
        const Tuple& t = tuples[k];
        std::uint16_t index = std::uint16_t(t.sharedIndex);
        if (!t.peak.empty())
            index |= 0x8000;
        if (!t.start.empty())
            index |= 0x4000;
        if (t.points)
            index |= 0x2000;
        headers.u16(std::uint16_t(bodies[k].size())).u16(index);
        for (double v : t.peak)
            headers.i16(f2dot14(v));
        for (double v : t.start)
            headers.i16(f2dot14(v));
        for (double v : t.end)
            headers.i16(f2dot14(v));
    }
    Bytes b;
    b.u16(std::uint16_t(tuples.size() | (sharedPoints ? 0x8000 : 0))).u16(std::uint16_t(4 + headers.size()));
    b.append(headers.data);
    if (sharedPoints)
        packPoints(b, *sharedPoints);
    for (const ByteVector& body : bodies)
        b.append(body);
    return b.data;
}

// gvar with long offsets; glyphs beyond `perGlyph` have no variations.
inline ByteVector gvarTable(int axisCount, const std::vector<std::vector<double>>& sharedTuples,
                            const std::vector<ByteVector>& perGlyph, int glyphCount)
{
    Bytes b;
    const std::uint32_t sharedAt = 20 + 4 * std::uint32_t(glyphCount + 1);
    const std::uint32_t dataAt = sharedAt + 2 * std::uint32_t(axisCount * sharedTuples.size());
    b.u16(1).u16(0).u16(std::uint16_t(axisCount)).u16(std::uint16_t(sharedTuples.size())).u32(sharedAt);
    b.u16(std::uint16_t(glyphCount)).u16(1).u32(dataAt);
    std::uint32_t offset = 0;
    for (int g = 0; g <= glyphCount; ++g) {
        b.u32(offset);
        if (std::size_t(g) < perGlyph.size())
            offset += std::uint32_t(perGlyph[std::size_t(g)].size());
    }
    for (const auto& tuple : sharedTuples)
        for (double v : tuple)
            b.i16(f2dot14(v));
    for (const ByteVector& data : perGlyph)
        b.append(data);
    return b.data;
}

} // namespace ttf
