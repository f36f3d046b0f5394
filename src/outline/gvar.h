#pragma once
#include <optional>
#include <string>
#include <span>
#include <vector>

#include "outline/glyf.h"
#include "sfnt/location.h"
#include "sfnt/failure.h"
#include "tables/fvar.h"

// gvar's flags and masks.
enum TupleFlag : std::uint16_t {
    SHARED_POINT_NUMBERS = 0x8000, // in tupleVariationCount
    TUPLE_COUNT_MASK = 0x0FFF,
    EMBEDDED_PEAK_TUPLE = 0x8000, // in tupleIndex
    INTERMEDIATE_REGION = 0x4000,
    PRIVATE_POINT_NUMBERS = 0x2000,
    TUPLE_INDEX_MASK = 0x0FFF,
};

// How much of a tuple variation applies at a location, given by its
// normalized coordinates (16.16): its peak, and for an intermediate region its
// start and end.
Fixed TupleScalar(std::span<const Fixed> peak, std::span<const Fixed> start, std::span<const Fixed> end,
                  bool intermediate, std::span<const Fixed> coordinates);

// Moves `points` (glyph g's points followed by its four phantom points) by
// the glyph's gvar deltas at `location`. `ends` are the last points of the
// contours, for inferring the deltas of untouched points. Deltas are summed
// in 16.16 and rounded once. Damaged variation data leaves the points as
// they are and gives a BadVariations failure saying what is wrong.
std::optional<Failure> VaryPoints(const FontState& font, int g, const Location& location, std::span<const int> ends,
                                  std::vector<OutlinePoint>& points);

// The same deltas unrounded: each point's sum in 16.16 (dx, dy), for
// scaling without rounding to font units first, as FreeType's hinting does.
std::optional<Failure> GlyphDeltas(const FontState& font, int g, const Location& location, std::span<const int> ends,
                                   std::span<const OutlinePoint> points, std::vector<std::int64_t>& dx,
                                   std::vector<std::int64_t>& dy);

// A tuple variation store of plain values (cvar's: one delta per CVT
// entry, no inferred deltas) at r's start, after the table's version:
// `count` sums in 16.16 at `location`; why the data cannot be used, if so.
std::optional<std::string> SumPlainDeltas(ByteReader r, std::size_t count, std::size_t axes,
                                          const Location& location, std::vector<std::int64_t>& sums);

// Glyph g's advance width at `location` by HVAR; nullopt when the font has
// no usable HVAR.
std::optional<std::int32_t> VariedAdvance(const FontState& font, int g, const Location& location);
