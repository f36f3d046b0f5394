#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sfnt/location.h"
#include "sfnt/fixed.h"

// One axis of a variation region: start, peak and end in 16.16.
struct RegionAxis {
    Fixed start = 0, peak = 0, end = 0;
};

// The deltas of one ItemVariationData subtable: rows of regionIndexes.size() values.
struct ItemVariationData {
    std::vector<std::uint16_t> regionIndexes;
    std::vector<std::int32_t> deltas; // itemCount rows, row-major
};

// An ItemVariationStore (HVAR, VVAR, MVAR, CFF2 ...) read whole. Every
// vector is backed by bytes of the table it was read from.
struct ItemVariationStore {
    int axisCount = 0;
    std::vector<std::vector<RegionAxis>> regions; // regionCount entries of axisCount axes
    std::vector<ItemVariationData> data;
};

// The store at `offset` in `table`; nullopt when any part of it lies past
// the table or names a region that is not there.
std::optional<ItemVariationStore> ReadItemVariationStore(std::span<const std::uint8_t> table, std::size_t offset);

// How much of a region's deltas applies at a normalized location, in 16.16
// (0 .. 65536). Axes whose range is invalid or whose peak is 0 are ignored.
Fixed RegionScalar(std::span<const RegionAxis> region, const Location& location);

// The summed delta of item (outer, inner) at a location, in 16.16; 0 when
// the item is not in the store or the location is the default.
std::int64_t ItemDelta(const ItemVariationStore& store, int outer, int inner, const Location& location);

// The same rounded to whole units.
inline std::int32_t ItemDeltaRounded(const ItemVariationStore& store, int outer, int inner, const Location& location)
{
    return FixedToInt(ItemDelta(store, outer, inner, location));
}

// A DeltaSetIndexMap: outer and inner index of each entry.
struct DeltaSetIndexMap {
    std::vector<std::uint32_t> entries; // outer << 16 | inner
};

// The map at `offset`; nullopt when it runs past the table.
std::optional<DeltaSetIndexMap> ReadDeltaSetIndexMap(std::span<const std::uint8_t> table, std::size_t offset);
