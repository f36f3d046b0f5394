#include "font/cmap.h"

#include <algorithm>
#include <cstdint>

#include "font/table_directory.h"

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

// A damaged subtable may list its segments out of order; its lookups then
// walk the segments one by one, as they always have, so that every code
// keeps the glyph the walk finds.
bool endCodesSorted(std::span<const std::uint8_t> subtable)
{
    const std::size_t n = readableEndCodes(subtable);
    for (std::size_t i = 1; i < n; ++i) {
        if (endCodeAt(subtable, i) < endCodeAt(subtable, i - 1))
            return false;
    }
    return true;
}

// Index of the first segment whose endCode is >= code, by halving the
// readable endCodes (which never decrease); SIZE_MAX when there is none.
std::size_t searchSegment(std::span<const std::uint8_t> subtable, int code)
{
    const std::size_t n = readableEndCodes(subtable);
    std::size_t low = 0, high = n;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (endCodeAt(subtable, mid) < code)
            low = mid + 1;
        else
            high = mid;
    }
    return low == n ? SIZE_MAX : low;
}

// The same, one segment after another, for endCodes out of order.
std::size_t walkSegments(std::span<const std::uint8_t> subtable, int code)
{
    const std::size_t n = readableEndCodes(subtable);
    std::size_t i = 0;
    while (i < n && endCodeAt(subtable, i) < code)
        ++i;
    return i == n ? SIZE_MAX : i;
}

} // namespace

bool ReadCharacterMap(FontState& font, ByteReader& r, MessageSink& sink)
{
    TableSpan cmap;
    if (FindTable(font, r, "cmap", sink, &cmap) != TableLookup::Found)
        return false;
    r.u16(); // version
    const int numTables = r.u16();
    if (!r.ok()) {
        ShowError(ReadPastEnd, {}, sink, "cmap header");
        return false;
    }

    // The records are read in order up to the first Windows Unicode BMP one;
    // without one, the last record's subtable is used.
    font.UnicodeCmap = 0;
    std::uint32_t chosen = 0;
    for (int i = 0; i < numTables; ++i) {
        const int platformID = r.u16();
        const int encodingID = r.u16();
        const std::uint32_t offset = r.u32();
        if (!r.ok()) {
            ShowError(ReadPastEnd, {}, sink, "cmap encoding records");
            return false;
        }
        chosen = offset;
        if (platformID == 3 && encodingID == 1) {
            font.UnicodeCmap = 1;
            break;
        }
    }

    r.seek(std::size_t(cmap.Offset) + chosen);
    font.CmapFormat = r.u16();
    font.CmapLength = r.u16();
    if (!r.ok()) {
        ShowError(ReadPastEnd, {}, sink, "cmap subtable");
        return false;
    }
    if (font.CmapFormat != 0 && font.CmapFormat != 4) {
        sink.MsgBox("wrong cmapFormat!!");
        return false;
    }
    r.seek(std::size_t(cmap.Offset) + chosen);
    const auto subtable = r.bytes(std::size_t(font.CmapLength));
    if (!r.ok()) {
        ShowError(ReadPastEnd, {}, sink, "cmap subtable");
        return false;
    }
    font.CmapData.assign(subtable.begin(), subtable.end());
    font.CmapEndCodesSorted = font.CmapFormat == 4 && endCodesSorted(font.CmapData);
    return true;
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
    const std::size_t i = font.CmapEndCodesSorted ? searchSegment(font.CmapData, code) : walkSegments(font.CmapData, code);
    if (i >= segCount)
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
