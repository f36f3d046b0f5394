#include "colour/cpal.h"

#include "sfnt/reader.h"

namespace {

// A version 1 array of `count` entries of `size` bytes at `offset` (0: none).
template <class T, class Read>
bool readArray(ByteReader& r, std::uint32_t offset, std::size_t count, std::size_t size, std::vector<T>& out, Read read)
{
    if (offset == 0)
        return true;
    r.seek(offset);
    if (!r.canRead(count * size))
        return false;
    out.resize(count);
    for (T& v : out)
        v = read();
    return r.ok();
}

} // namespace

std::optional<Cpal> ReadCpal(std::span<const std::uint8_t> table)
{
    ByteReader r(table);
    Cpal cpal;
    cpal.version = r.u16();
    cpal.numPaletteEntries = r.u16();
    const std::size_t numPalettes = r.u16();
    const std::size_t numColorRecords = r.u16();
    const std::uint32_t colorRecordsArrayOffset = r.u32();
    if (!r.ok() || !r.canRead(numPalettes * 2))
        return std::nullopt;
    std::vector<std::size_t> firstIndex(numPalettes);
    for (std::size_t& i : firstIndex)
        i = r.u16();
    std::uint32_t typesOffset = 0, labelsOffset = 0, entryLabelsOffset = 0;
    if (cpal.version >= 1) {
        typesOffset = r.u32();
        labelsOffset = r.u32();
        entryLabelsOffset = r.u32();
    }
    if (!r.ok())
        return std::nullopt;
    const std::size_t entries = std::size_t(cpal.numPaletteEntries);
    // Every palette's colours lie within the colour records; the records
    // themselves within the table, so nothing below is sized past the bytes.
    r.seek(colorRecordsArrayOffset);
    if (!r.canRead(numColorRecords * 4))
        return std::nullopt;
    cpal.palettes.resize(numPalettes);
    for (std::size_t p = 0; p < numPalettes; ++p) {
        if (firstIndex[p] + entries > numColorRecords)
            return std::nullopt;
        r.seek(colorRecordsArrayOffset + firstIndex[p] * 4);
        cpal.palettes[p].resize(entries);
        for (Rgba& c : cpal.palettes[p]) {
            c.b = r.u8();
            c.g = r.u8();
            c.r = r.u8();
            c.a = r.u8();
        }
    }
    if (!readArray(r, typesOffset, numPalettes, 4, cpal.paletteTypes, [&] { return r.u32(); })
        || !readArray(r, labelsOffset, numPalettes, 2, cpal.paletteLabels, [&] { return r.u16(); })
        || !readArray(r, entryLabelsOffset, entries, 2, cpal.paletteEntryLabels, [&] { return r.u16(); }))
        return std::nullopt;
    return r.ok() ? std::optional<Cpal>(std::move(cpal)) : std::nullopt;
}
