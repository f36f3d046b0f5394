#include "font/cmap.h"

#include <optional>

#include "font/table_directory.h"

bool ReadCharacterMap(FontState& font, MessageSink& sink)
{
    if (FindTable(font, "cmap", sink) != TableLookup::Found)
        return false;
    ByteReader& r = font.FontFile;
    r.u16(); // version
    const int numTables = r.u16();
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "cmap header");
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
            ShowError(ReadPastEnd, font, sink, "cmap encoding records");
            return false;
        }
        chosen = offset;
        if (platformID == 3 && encodingID == 1) {
            font.UnicodeCmap = 1;
            break;
        }
    }

    r.seek(std::size_t(font.TableOffset) + chosen);
    font.CmapFormat = r.u16();
    font.CmapLength = r.u16();
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "cmap subtable");
        return false;
    }
    if (font.CmapFormat != 0 && font.CmapFormat != 4) {
        sink.MsgBox("wrong cmapFormat!!");
        return false;
    }
    r.seek(std::size_t(font.TableOffset) + chosen);
    const auto subtable = r.bytes(std::size_t(font.CmapLength));
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "cmap subtable");
        return false;
    }
    font.CmapData.assign(subtable.begin(), subtable.end());
    return true;
}

namespace {

// The 2-byte value at `offset` of the subtable copy; nothing when it lies outside.
std::optional<int> subtableValue(const FontState& font, std::size_t offset)
{
    ByteReader r(font.CmapData);
    r.seek(offset);
    const int value = r.u16();
    if (!r.ok())
        return std::nullopt;
    return value;
}

int format4Glyph(const FontState& font, int code)
{
    const int segCount = subtableValue(font, 6).value_or(0) / 2;
    const std::size_t endCodes = 14;
    const std::size_t startCodes = 16 + 2 * std::size_t(segCount);
    const std::size_t idDeltas = 16 + 4 * std::size_t(segCount);
    const std::size_t idRangeOffsets = 16 + 6 * std::size_t(segCount);

    // A subtable without a final segment covering the code ends the search
    // at the end of the endCode array: the character has no glyph.
    for (int i = 0; i < segCount; ++i) {
        const auto endCode = subtableValue(font, endCodes + 2 * std::size_t(i));
        if (!endCode)
            return 0;
        if (*endCode < code)
            continue;
        const auto startCode = subtableValue(font, startCodes + 2 * std::size_t(i));
        const auto idDelta = subtableValue(font, idDeltas + 2 * std::size_t(i));
        const std::size_t rangeOffsetAt = idRangeOffsets + 2 * std::size_t(i);
        const auto idRangeOffset = subtableValue(font, rangeOffsetAt);
        if (!startCode || !idDelta || !idRangeOffset || *startCode > code)
            return 0;
        if (*idRangeOffset == 0)
            return (code + *idDelta) % 65536;
        // Counted from the segment's own idRangeOffset field; outside the copy: no glyph.
        const auto v = subtableValue(font, rangeOffsetAt + std::size_t(*idRangeOffset) + 2 * std::size_t(code - *startCode));
        if (!v || *v == 0)
            return 0;
        return (*v + *idDelta) % 65536;
    }
    return 0;
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
