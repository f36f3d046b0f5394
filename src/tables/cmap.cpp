#include "tables/cmap.h"

#include <algorithm>
#include <cstdint>

#include "sfnt/table_directory.h"

namespace {

// How many entries of a format 4 endCode array lie inside the subtable.
std::size_t readableEndCodes(std::span<const std::uint8_t> subtable)
{
    ByteReader r(subtable);
    r.seek(6);
    const std::size_t segCount = r.u16() / 2;
    if (!r.ok() || subtable.size() < 14)
        return 0;
    return std::min(segCount, (subtable.size() - 14) / 2);
}

std::uint16_t endCodeAt(std::span<const std::uint8_t> subtable, std::size_t i)
{
    ByteReader r(subtable);
    r.seek(14 + 2 * i);
    return r.u16();
}

// The running maximum of the readable endCodes. The segment for a code is the
// first whose endCode reaches it, which is also the first whose running
// maximum does; so one binary search answers for damaged subtables whose
// segments are out of order exactly as a walk through them would.
std::vector<std::uint16_t> endCodeReach(std::span<const std::uint8_t> subtable)
{
    const std::size_t n = readableEndCodes(subtable);
    std::vector<std::uint16_t> reach(n);
    std::uint16_t highest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        highest = std::max(highest, endCodeAt(subtable, i));
        reach[i] = highest;
    }
    return reach;
}

} // namespace

MaybeFailure ReadCharacterMap(FontState& font, ByteReader& r)
{
    const FoundTable cmap = FindTable(font, r, "cmap");
    if (cmap.lookup != TableLookup::Found)
        return cmap.failure;
    r.u16(); // version
    const int numTables = r.u16();
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "cmap header"};

    // The records are read in order up to the first Windows Unicode BMP one;
    // without one, the last record's subtable is used.
    font.UnicodeCmap = 0;
    std::uint32_t chosen = 0;
    for (int i = 0; i < numTables; ++i) {
        const int platformID = r.u16();
        const int encodingID = r.u16();
        const std::uint32_t offset = r.u32();
        if (!r.ok())
            return Failure{ReadPastEnd, {}, "cmap encoding records"};
        chosen = offset;
        if (platformID == 3 && encodingID == 1) {
            font.UnicodeCmap = 1;
            break;
        }
    }

    font.CmapOffset = chosen;
    r.seek(std::size_t(cmap.span.Offset) + chosen);
    font.CmapFormat = r.u16();
    font.CmapLength = r.u16();
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "cmap subtable"};
    if (font.CmapFormat != 0 && font.CmapFormat != 4)
        return Failure{CmapFormatUnknown, {}, {}};
    r.seek(std::size_t(cmap.span.Offset) + chosen);
    const auto subtable = r.bytes(std::size_t(font.CmapLength));
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "cmap subtable"};
    UseSubtable(font, subtable);
    return std::nullopt;
}

void UseSubtable(FontState& font, std::span<const std::uint8_t> subtable)
{
    font.CmapData.assign(subtable.begin(), subtable.end());
    font.CmapEndCodeReach.clear();
    if (font.CmapFormat == 4)
        font.CmapEndCodeReach = endCodeReach(font.CmapData);
}

namespace {

int format4Glyph(const FontState& font, int code)
{
    // Every read is checked by the cursor: a failed one (past the copied
    // subtable) marks it, and the character then has no glyph.
    ByteReader r(font.CmapData);
    auto valueAt = [&r](std::size_t offset) -> int {
        r.seek(offset);
        return r.u16();
    };
    const std::size_t segCount = std::size_t(valueAt(6)) / 2;

    // The segment is the first whose endCode reaches the code. A subtable
    // without a final segment covering the code, or whose endCodes run out
    // of the subtable first, gives no glyph.
    const auto& reach = font.CmapEndCodeReach;
    const std::size_t i = std::size_t(std::lower_bound(reach.begin(), reach.end(), code) - reach.begin());
    if (i == reach.size())
        return 0;

    const std::size_t rangeOffsetAt = 16 + 6 * segCount + 2 * i;
    const int startCode = valueAt(16 + 2 * segCount + 2 * i);
    const int idDelta = valueAt(16 + 4 * segCount + 2 * i);
    const int idRangeOffset = valueAt(rangeOffsetAt);
    if (!r.ok() || startCode > code)
        return 0;
    if (idRangeOffset == 0)
        return (code + idDelta) % 65536;
    // Counted from the segment's own idRangeOffset field.
    const int v = valueAt(rangeOffsetAt + std::size_t(idRangeOffset) + 2 * std::size_t(code - startCode));
    if (!r.ok() || v == 0)
        return 0;
    return (v + idDelta) % 65536;
}

} // namespace

int CharToGlyph(const FontState& font, int code)
{
    if (font.CmapLength == 0 || code < 0 || code > 65535)
        return 0;
    if (font.CmapFormat == 0) {
        if (code >= 256)
            return 0;
        ByteReader r(font.CmapData);
        r.seek(6 + std::size_t(code));
        return r.u8(); // 0 for a code beyond a short subtable
    }
    if (font.CmapFormat == 4)
        return format4Glyph(font, code);
    return 0;
}
