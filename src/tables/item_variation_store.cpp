#include "tables/item_variation_store.h"

#include "sfnt/reader.h"

namespace {

bool readRegions(ByteReader& r, ItemVariationStore& store)
{
    store.axisCount = r.u16();
    const int regionCount = r.u16();
    if (!r.canRead(std::size_t(regionCount) * std::size_t(store.axisCount) * 6))
        return false;
    store.regions.resize(std::size_t(regionCount));
    for (auto& region : store.regions) {
        region.resize(std::size_t(store.axisCount));
        for (RegionAxis& axis : region) {
            axis.start = Fixed(r.i16()) * 4;
            axis.peak = Fixed(r.i16()) * 4;
            axis.end = Fixed(r.i16()) * 4;
        }
    }
    return r.ok();
}

bool readData(ByteReader& r, std::size_t regionCount, ItemVariationData& data)
{
    const int itemCount = r.u16();
    const int wordDeltaCount = r.u16();
    const int regionIndexCount = r.u16();
    const bool longWords = wordDeltaCount & 0x8000;
    const int wordCount = wordDeltaCount & 0x7FFF;
    if (wordCount > regionIndexCount || !r.canRead(std::size_t(regionIndexCount) * 2))
        return false;
    data.regionIndexes.resize(std::size_t(regionIndexCount));
    for (std::uint16_t& index : data.regionIndexes) {
        index = r.u16();
        if (index >= regionCount)
            return false;
    }
    const std::size_t wide = longWords ? 4 : 2, narrow = longWords ? 2 : 1;
    const std::size_t rowBytes = std::size_t(wordCount) * wide + std::size_t(regionIndexCount - wordCount) * narrow;
    if (!r.canRead(rowBytes * std::size_t(itemCount)))
        return false;
    data.deltas.resize(std::size_t(itemCount) * std::size_t(regionIndexCount));
    std::size_t at = 0;
    for (int item = 0; item < itemCount; ++item)
        for (int k = 0; k < regionIndexCount; ++k) {
            const bool word = k < wordCount;
            std::int32_t v;
            if (longWords)
                v = word ? std::int32_t(r.u32()) : r.i16();
            else
                v = word ? r.i16() : std::int8_t(r.u8());
            data.deltas[at++] = v;
        }
    return r.ok();
}

} // namespace

std::optional<ItemVariationStore> ReadItemVariationStore(std::span<const std::uint8_t> table, std::size_t offset)
{
    ByteReader r(table);
    r.seek(offset);
    const int format = r.u16();
    const std::uint32_t regionListOffset = r.u32();
    const int dataCount = r.u16();
    if (!r.ok() || format != 1 || !r.canRead(std::size_t(dataCount) * 4))
        return std::nullopt;
    std::vector<std::uint32_t> dataOffsets(static_cast<std::size_t>(dataCount));
    for (std::uint32_t& o : dataOffsets)
        o = r.u32();
    ItemVariationStore store;
    r.seek(offset + regionListOffset);
    if (!r.ok() || !readRegions(r, store))
        return std::nullopt;
    store.data.resize(std::size_t(dataCount));
    for (std::size_t k = 0; k < dataOffsets.size(); ++k) {
        r.seek(offset + dataOffsets[k]);
        if (!r.ok() || !readData(r, store.regions.size(), store.data[k]))
            return std::nullopt;
    }
    return store;
}

Fixed RegionScalar(std::span<const RegionAxis> region, const Location& location)
{
    Fixed scalar = FixedOne;
    for (std::size_t i = 0; i < region.size(); ++i) {
        const RegionAxis& a = region[i];
        const Fixed v = i < location.normalized.size() ? ToFixed(location.normalized[i]) : 0;
        if (a.start > a.peak || a.peak > a.end || (a.start < 0 && a.end > 0 && a.peak != 0) || a.peak == 0
            || v == a.peak)
            continue;
        if (v <= a.start || v >= a.end)
            return 0;
        scalar = v < a.peak ? MulDiv(scalar, v - a.start, a.peak - a.start) : MulDiv(scalar, a.end - v, a.end - a.peak);
    }
    return scalar;
}

std::int64_t ItemDelta(const ItemVariationStore& store, int outer, int inner, const Location& location)
{
    if (location.normalized.empty() || outer < 0 || std::size_t(outer) >= store.data.size() || inner < 0)
        return 0;
    const ItemVariationData& data = store.data[std::size_t(outer)];
    const std::size_t columns = data.regionIndexes.size();
    if (columns == 0 || std::size_t(inner) >= data.deltas.size() / columns)
        return 0;
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < columns; ++k) {
        const Fixed scalar = RegionScalar(store.regions[data.regionIndexes[k]], location);
        if (scalar != 0)
            sum += MulFix(std::int64_t(data.deltas[std::size_t(inner) * columns + k]) * FixedOne, scalar);
    }
    return sum;
}

std::optional<DeltaSetIndexMap> ReadDeltaSetIndexMap(std::span<const std::uint8_t> table, std::size_t offset)
{
    ByteReader r(table);
    r.seek(offset);
    const int format = r.u8();
    const int entryFormat = r.u8();
    const std::uint32_t count = format == 1 ? r.u32() : r.u16();
    const std::size_t entrySize = std::size_t((entryFormat >> 4) & 3) + 1;
    const int innerBits = (entryFormat & 0x0F) + 1;
    if (!r.ok() || format > 1 || !r.canRead(std::size_t(count) * entrySize))
        return std::nullopt;
    DeltaSetIndexMap map;
    map.entries.resize(count);
    for (std::uint32_t& e : map.entries) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < entrySize; ++b)
            v = v << 8 | r.u8();
        e = (v >> innerBits) << 16 | (v & ((1u << innerBits) - 1));
    }
    return map;
}
