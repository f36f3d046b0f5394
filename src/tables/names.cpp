#include "tables/names.h"

#include <algorithm>

#include "sfnt/table_directory.h"
#include "tables/text.h"

namespace {

struct Language {
    int languageID;
    const char* text;
};

// The Windows languages the listing names; every other one is "unknown; ".
constexpr Language WindowsLanguages[] = {
    {1027, "Catalan; "},
    {1029, "Czech; "},
    {1030, "Danish; "},
    {1031, "German - Germany; "},
    {1032, "Greek; "},
    {1033, "English - United States; "},
    {1034, "Spanish - Spain (traditional); "},
    {1035, "Finnish; "},
    {1036, "French - France; "},
    {1038, "Hungarian; "},
    {1040, "Italian - Italy; "},
    {1043, "Dutch - Netherlands; "},
    {1044, "Norwegian - Bokmal; "},
    {1045, "Polish; "},
    {1046, "Portuguese - Brazil; "},
    {1049, "Russian; "},
    {1051, "Slovak; "},
    {1053, "Swedish; "},
    {1055, "Turkish; "},
    {1060, "Slovenian; "},
    {1066, "Vietnamese; "},
    {1069, "Basque; "},
    {2058, "Spanish - Mexico; "},
    {2070, "Portuguese - Portugal; "},
    {3082, "Spanish - Spain (modern); "},
    {3084, "French - Canada; "},
};

constexpr const char* NameIdTexts[] = {
    "Copyright notice",
    "Font Family name",
    "Font Subfamily name",
    "Unique font identifier",
    "Full font name",
    "Version string",
    "Postscript name",
    "Trademark",
    "Manufacturer name",
    "Designer name",
    "Description",
    "URL Vendor",
    "URL Designer",
    "License description",
    "License information URL",
};

bool isUtf16(int platformID, int encodingID)
{
    switch (platformID) {
    case 0: return true;                // Unicode, every encoding
    case 2: return encodingID == 1;     // ISO 10646
    case 3: return encodingID == 0 || encodingID == 1 || encodingID == 10; // symbol, BMP, full repertoire
    default: return false;
    }
}

} // namespace

std::string PlatformText(int platformID)
{
    switch (platformID) {
    case 0: return "  Unicode; ";
    case 1: return "  Macintosh; ";
    case 2: return "  ISO; ";
    case 3: return "  Microsoft; ";
    default: return "  unknown"; // no "; ": the name text follows at once
    }
}

std::string LanguageText(int platformID, int languageID)
{
    if (platformID == 1)
        return languageID == 0 ? "English; " : "unknown; ";
    if (platformID != 3)
        return {};
    for (const Language& l : WindowsLanguages) {
        if (l.languageID == languageID)
            return l.text;
    }
    return "unknown; ";
}

std::string NameIdText(int nameID)
{
    if (nameID >= 0 && nameID < int(std::size(NameIdTexts)))
        return NameIdTexts[nameID];
    return "Name ID " + std::to_string(nameID);
}

std::string ListLine(int number, int count, const NameRecord& record)
{
    const std::string digits = std::to_string(number);
    const std::size_t width = std::to_string(count).size();
    std::string line(width > digits.size() ? width - digits.size() : 0, ' ');
    line += digits;
    line += PlatformText(record.platformID);
    line += LanguageText(record.platformID, record.languageID);
    line += NameIdText(record.nameID);
    return line;
}

std::string DecodeNameBytes(std::span<const std::uint8_t> bytes, int platformID, int encodingID)
{
    if (isUtf16(platformID, encodingID))
        return Utf16BeToUtf8(bytes);
    if (platformID == 1 && encodingID == 0)
        return MacRomanToUtf8(bytes);
    // Other encodings are not decoded: each byte stays one character. Removing
    // every NUL when there is one is the same as dropping each NUL.
    std::string text;
    text.reserve(bytes.size());
    for (std::uint8_t b : bytes) {
        if (b != 0)
            text += char(b);
    }
    return Windows1252ToUtf8(text);
}

MaybeFailure ReadNameTable(const FontState& font, NameTable& out)
{
    out = {};
    ByteReader r(font.FontBytes);
    const FoundTable found = FindTable(font, r, "name");
    if (found.lookup != TableLookup::Found)
        return found.failure;
    const TableSpan& name = found.span;

    const std::uint16_t format = ReadUShort(r);
    const std::uint16_t count = ReadUShort(r);
    const std::uint16_t stringOffset = ReadUShort(r);
    if (!r.ok() || format != 0) {
        // A header cut by the end of the file reads as no records.
        r.clearFailure();
        return std::nullopt;
    }
    out.StringStart = std::uint64_t(name.Offset) + stringOffset;

    // All records before any string. A record table that runs past the end
    // of the file keeps the records that are whole, so the reservation is
    // bounded by what the file can hold.
    out.Records.reserve(std::min<std::size_t>(count, (r.size() - r.pos()) / 12));
    for (int i = 1; i <= count; ++i) {
        NameRecord rec;
        rec.platformID = ReadUShort(r);
        rec.encodingID = ReadUShort(r);
        rec.languageID = ReadUShort(r);
        rec.nameID = ReadUShort(r);
        rec.length = ReadUShort(r);
        rec.offset = ReadUShort(r);
        if (!r.ok())
            break;
        out.Records.push_back(rec);
    }
    r.clearFailure();

    out.Lines.reserve(out.Records.size());
    for (std::size_t k = 0; k < out.Records.size(); ++k)
        out.Lines.push_back(ListLine(int(k + 1), count, out.Records[k]));
    return std::nullopt;
}

std::string NameText(const FontState& font, const NameTable& table, std::size_t k)
{
    if (k >= table.Records.size())
        return {};
    const NameRecord& rec = table.Records[k];
    // A string reaching past the end of the file is cut at the end; one
    // starting beyond it is empty.
    ByteReader r(font.FontBytes);
    const std::uint64_t start = table.StringStart + rec.offset;
    std::span<const std::uint8_t> bytes;
    if (start <= r.size()) {
        r.seek(std::size_t(start));
        bytes = r.bytes(std::min<std::size_t>(rec.length, r.size() - r.pos()));
    }
    return DecodeNameBytes(bytes, rec.platformID, rec.encodingID);
}

std::string FontNameText(const FontState& font, int nameID)
{
    constexpr int Windows = 3, EnglishUnitedStates = 0x409;
    NameTable names;
    if (ReadNameTable(font, names))
        return {};
    std::string found;
    for (std::size_t k = 0; k < names.Records.size(); ++k) {
        const NameRecord& r = names.Records[k];
        if (r.nameID != nameID)
            continue;
        const bool english = r.platformID == Windows && r.languageID == EnglishUnitedStates;
        if (found.empty() || english)
            if (std::string text = NameText(font, names, k); !text.empty()) {
                found = std::move(text);
                if (english)
                    break;
            }
    }
    return found;
}

MaybeFailure ReadNames(const FontState& font, NameReading& out)
{
    out = {};
    NameTable table;
    if (MaybeFailure failure = ReadNameTable(font, table))
        return failure;
    out.NameText.reserve(table.Records.size());
    for (std::size_t k = 0; k < table.Records.size(); ++k)
        out.NameText.push_back(NameText(font, table, k));
    out.Lines = std::move(table.Lines);
    return std::nullopt;
}
