#pragma once
#include <optional>
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

// Glyph g's advance width at `location` by HVAR; nullopt when the font has
// no usable HVAR.
std::optional<std::int32_t> VariedAdvance(const FontState& font, int g, const Location& location);
