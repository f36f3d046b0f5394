#include "tables/cmap.h"

#include <cstdint>

#include "sfnt/reader.h"

MaybeFailure ReadCharacterMap(std::span<const std::uint8_t> cmap, FontState& font, Reports& notes)
{
    ByteReader r(cmap);
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
    r.seek(chosen);
    font.CmapFormat = r.u16();
    font.CmapLength = r.u16();
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "cmap subtable"};
    // A format the pick lists cannot read (a font whose only map is format
    // 12) is said, and the font loads without them: every lookup gives 0.
    if (font.CmapFormat != 0 && font.CmapFormat != 4) {
        notes.push_back(Failure{CmapFormatUnknown, {}, {}});
        return std::nullopt;
    }
    r.seek(chosen);
    const auto subtable = r.bytes(std::size_t(font.CmapLength));
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "cmap subtable"};
    UseSubtable(font, subtable);
    return std::nullopt;
}

void UseSubtable(FontState& font, std::span<const std::uint8_t> subtable)
{
    font.CmapData.assign(subtable.begin(), subtable.end());
    font.Format4Segments = font.CmapFormat == 4 ? CmapSegments(subtable) : CmapSegments();
}

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
        return font.Format4Segments.glyphFor(std::uint32_t(code));
    return 0;
}
