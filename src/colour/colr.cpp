#include "colour/colr.h"

#include "sfnt/reader.h"

namespace {

inline constexpr std::uint32_t NoVariationIndex = 0xFFFFFFFF;
constexpr std::size_t BaseGlyphRecordSize = 6, LayerRecordSize = 4, BaseGlyphPaintRecordSize = 6;

// The count at the start of a version 1 list, or 0 with a problem when the
// list's records lie past the table.
std::uint32_t listCount(const Colr& colr, std::uint32_t& offset, std::size_t recordSize, const char* name,
                        std::vector<std::string>& problems)
{
    if (offset == 0)
        return 0;
    ByteReader r(colr.table);
    r.seek(offset);
    const std::uint32_t count = r.u32();
    if (r.ok() && r.canRead(std::size_t(count) * recordSize))
        return count;
    problems.push_back(std::string("the ") + name + " runs past the end of the COLR table; it is not used");
    offset = 0;
    return 0;
}

// Binary search of records sorted by their first field, a glyph ID.
std::optional<std::size_t> findRecord(std::span<const std::uint8_t> table, std::size_t start, std::size_t count,
                                      std::size_t size, int g)
{
    ByteReader r(table);
    std::size_t low = 0, high = count;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        r.seek(start + mid * size);
        const int glyph = r.u16();
        if (!r.ok())
            return std::nullopt;
        if (glyph == g)
            return start + mid * size;
        if (glyph < g)
            low = mid + 1;
        else
            high = mid;
    }
    return std::nullopt;
}

} // namespace

std::uint32_t ReadOffset24(ByteReader& r)
{
    const std::uint32_t high = r.u8();
    return high << 16 | r.u16();
}

std::optional<Colr> ReadColr(std::span<const std::uint8_t> table)
{
    ByteReader r(table);
    Colr colr;
    colr.table = table;
    colr.version = r.u16();
    colr.numBaseGlyphRecords = r.u16();
    colr.baseGlyphRecordsOffset = r.u32();
    colr.layerRecordsOffset = r.u32();
    colr.numLayerRecords = r.u16();
    if (!r.ok())
        return std::nullopt;
    if (colr.version < 1)
        return colr;
    colr.baseGlyphListOffset = r.u32();
    colr.layerListOffset = r.u32();
    colr.clipListOffset = r.u32();
    const std::uint32_t varIndexMapOffset = r.u32();
    const std::uint32_t varStoreOffset = r.u32();
    if (!r.ok())
        return std::nullopt;
    colr.numBaseGlyphPaintRecords =
        listCount(colr, colr.baseGlyphListOffset, BaseGlyphPaintRecordSize, "BaseGlyphList", colr.problems);
    colr.numLayers = listCount(colr, colr.layerListOffset, 4, "LayerList", colr.problems);
    if (varStoreOffset != 0) {
        colr.varStore = ReadItemVariationStore(table, varStoreOffset);
        if (varIndexMapOffset != 0)
            colr.varIndexMap = ReadDeltaSetIndexMap(table, varIndexMapOffset);
        if (!colr.varStore || (varIndexMapOffset != 0 && !colr.varIndexMap)) {
            colr.problems.push_back("the COLR variation data cannot be read; its paints keep their default values");
            colr.varStore.reset();
        }
    }
    return colr;
}

std::optional<std::vector<ColrLayer>> ColrV0Layers(const Colr& colr, int g, bool& cut)
{
    const auto at = findRecord(colr.table, colr.baseGlyphRecordsOffset, std::size_t(colr.numBaseGlyphRecords),
                               BaseGlyphRecordSize, g);
    if (!at)
        return std::nullopt;
    ByteReader r(colr.table);
    r.seek(*at + 2);
    const std::size_t first = r.u16(), count = r.u16();
    std::vector<ColrLayer> layers;
    // Layers past numLayerRecords, or past the table, are not there to draw.
    const std::size_t available = first < std::size_t(colr.numLayerRecords) ? colr.numLayerRecords - first : 0;
    cut = count > available;
    r.seek(colr.layerRecordsOffset + first * LayerRecordSize);
    for (std::size_t k = 0; k < std::min(count, available) && r.canRead(LayerRecordSize); ++k) {
        const int glyph = r.u16();
        layers.push_back({glyph, r.u16()});
    }
    cut = cut || layers.size() < std::min(count, available);
    return layers;
}

std::optional<std::size_t> BaseGlyphPaint(const Colr& colr, int g)
{
    if (colr.baseGlyphListOffset == 0)
        return std::nullopt;
    const auto at = findRecord(colr.table, colr.baseGlyphListOffset + 4, colr.numBaseGlyphPaintRecords,
                               BaseGlyphPaintRecordSize, g);
    if (!at)
        return std::nullopt;
    ByteReader r(colr.table);
    r.seek(*at + 2);
    const std::uint32_t offset = r.u32();
    return r.ok() ? std::optional<std::size_t>(colr.baseGlyphListOffset + std::size_t(offset)) : std::nullopt;
}

std::optional<std::size_t> LayerPaint(const Colr& colr, std::uint32_t k)
{
    if (colr.layerListOffset == 0 || k >= colr.numLayers)
        return std::nullopt;
    ByteReader r(colr.table);
    r.seek(colr.layerListOffset + 4 + std::size_t(k) * 4);
    const std::uint32_t offset = r.u32();
    return r.ok() ? std::optional<std::size_t>(colr.layerListOffset + std::size_t(offset)) : std::nullopt;
}

std::optional<ClipBox> GlyphClip(const Colr& colr, int g, const Location& location)
{
    if (colr.clipListOffset == 0)
        return std::nullopt;
    ByteReader r(colr.table);
    r.seek(colr.clipListOffset);
    r.u8(); // format 1, the only one
    const std::uint32_t numClips = r.u32();
    // Clip records are sorted by glyph ranges; a linear walk reads no more than the count the bytes hold.
    for (std::uint32_t k = 0; k < numClips && r.canRead(7); ++k) {
        const int start = r.u16(), end = r.u16();
        const std::uint32_t offset = ReadOffset24(r);
        if (g < start || g > end)
            continue;
        ByteReader box(colr.table);
        box.seek(colr.clipListOffset + std::size_t(offset));
        const int format = box.u8();
        double v[4];
        for (double& x : v)
            x = box.i16();
        if (format == 2) {
            const std::uint32_t base = box.u32();
            for (int f = 0; f < 4; ++f)
                v[f] += VarDelta(colr, base, f, location);
        }
        if (!box.ok() || format < 1 || format > 2)
            return std::nullopt;
        return ClipBox{v[0], v[1], v[2], v[3]};
    }
    return std::nullopt;
}

double VarDelta(const Colr& colr, std::uint32_t varIndexBase, int field, const Location& location)
{
    if (!colr.varStore || varIndexBase == NoVariationIndex || location.normalized.empty())
        return 0;
    const std::uint64_t index = std::uint64_t(varIndexBase) + std::uint64_t(field);
    std::uint32_t entry;
    if (colr.varIndexMap) {
        const auto& entries = colr.varIndexMap->entries;
        if (entries.empty())
            return 0;
        // Indices past the map take its last entry.
        entry = entries[std::min<std::uint64_t>(index, entries.size() - 1)];
    } else {
        if (index >= NoVariationIndex)
            return 0;
        entry = std::uint32_t(index);
    }
    return double(ItemDelta(*colr.varStore, int(entry >> 16), int(entry & 0xFFFF), location)) / 65536.0;
}
