#include "tables/details.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "colour/bitmap_strikes.h"
#include "colour/colr.h"
#include "colour/cpal.h"
#include "colour/svg_table.h"
#include "sfnt/reader.h"
#include "sfnt/table_directory.h"
#include "tables/names.h"

namespace {

constexpr std::size_t HeadChecksumAdjustmentAt = 8;

enum class FieldType { U8, U16, I16, U32, I32, Fixed, LongDateTime, Tag };

// A field of a header table; the table's version must be at least minVersion
// (OS/2's version number, maxp's and post's Fixed as 16.16) for it to be there.
struct FieldFormat {
    const char* name;
    FieldType type;
    std::uint32_t minVersion = 0;
};

constexpr FieldFormat HeadFields[] = {
    {"majorVersion", FieldType::U16}, {"minorVersion", FieldType::U16}, {"fontRevision", FieldType::Fixed},
    {"checksumAdjustment", FieldType::U32}, {"magicNumber", FieldType::U32}, {"flags", FieldType::U16},
    {"unitsPerEm", FieldType::U16}, {"created", FieldType::LongDateTime}, {"modified", FieldType::LongDateTime},
    {"xMin", FieldType::I16}, {"yMin", FieldType::I16}, {"xMax", FieldType::I16}, {"yMax", FieldType::I16},
    {"macStyle", FieldType::U16}, {"lowestRecPPEM", FieldType::U16}, {"fontDirectionHint", FieldType::I16},
    {"indexToLocFormat", FieldType::I16}, {"glyphDataFormat", FieldType::I16},
};

constexpr FieldFormat HheaFields[] = {
    {"majorVersion", FieldType::U16}, {"minorVersion", FieldType::U16}, {"ascender", FieldType::I16},
    {"descender", FieldType::I16}, {"lineGap", FieldType::I16}, {"advanceWidthMax", FieldType::U16},
    {"minLeftSideBearing", FieldType::I16}, {"minRightSideBearing", FieldType::I16},
    {"xMaxExtent", FieldType::I16}, {"caretSlopeRise", FieldType::I16}, {"caretSlopeRun", FieldType::I16},
    {"caretOffset", FieldType::I16}, {"reserved1", FieldType::I16}, {"reserved2", FieldType::I16},
    {"reserved3", FieldType::I16}, {"reserved4", FieldType::I16}, {"metricDataFormat", FieldType::I16},
    {"numberOfHMetrics", FieldType::U16},
};

constexpr std::uint32_t Version1 = 0x00010000;
constexpr std::uint32_t Version2 = 0x00020000;

constexpr FieldFormat MaxpFields[] = {
    {"version", FieldType::Fixed}, {"numGlyphs", FieldType::U16},
    {"maxPoints", FieldType::U16, Version1}, {"maxContours", FieldType::U16, Version1},
    {"maxCompositePoints", FieldType::U16, Version1}, {"maxCompositeContours", FieldType::U16, Version1},
    {"maxZones", FieldType::U16, Version1}, {"maxTwilightPoints", FieldType::U16, Version1},
    {"maxStorage", FieldType::U16, Version1}, {"maxFunctionDefs", FieldType::U16, Version1},
    {"maxInstructionDefs", FieldType::U16, Version1}, {"maxStackElements", FieldType::U16, Version1},
    {"maxSizeOfInstructions", FieldType::U16, Version1}, {"maxComponentElements", FieldType::U16, Version1},
    {"maxComponentDepth", FieldType::U16, Version1},
};

constexpr FieldFormat Os2Fields[] = {
    {"version", FieldType::U16}, {"xAvgCharWidth", FieldType::I16}, {"usWeightClass", FieldType::U16},
    {"usWidthClass", FieldType::U16}, {"fsType", FieldType::U16}, {"ySubscriptXSize", FieldType::I16},
    {"ySubscriptYSize", FieldType::I16}, {"ySubscriptXOffset", FieldType::I16},
    {"ySubscriptYOffset", FieldType::I16}, {"ySuperscriptXSize", FieldType::I16},
    {"ySuperscriptYSize", FieldType::I16}, {"ySuperscriptXOffset", FieldType::I16},
    {"ySuperscriptYOffset", FieldType::I16}, {"yStrikeoutSize", FieldType::I16},
    {"yStrikeoutPosition", FieldType::I16}, {"sFamilyClass", FieldType::I16},
    {"bFamilyType", FieldType::U8}, {"bSerifStyle", FieldType::U8}, {"bWeight", FieldType::U8},
    {"bProportion", FieldType::U8}, {"bContrast", FieldType::U8}, {"bStrokeVariation", FieldType::U8},
    {"bArmStyle", FieldType::U8}, {"bLetterform", FieldType::U8}, {"bMidline", FieldType::U8},
    {"bXHeight", FieldType::U8}, {"ulUnicodeRange1", FieldType::U32}, {"ulUnicodeRange2", FieldType::U32},
    {"ulUnicodeRange3", FieldType::U32}, {"ulUnicodeRange4", FieldType::U32}, {"achVendID", FieldType::Tag},
    {"fsSelection", FieldType::U16}, {"usFirstCharIndex", FieldType::U16}, {"usLastCharIndex", FieldType::U16},
    {"sTypoAscender", FieldType::I16}, {"sTypoDescender", FieldType::I16}, {"sTypoLineGap", FieldType::I16},
    {"usWinAscent", FieldType::U16}, {"usWinDescent", FieldType::U16},
    {"ulCodePageRange1", FieldType::U32, 1}, {"ulCodePageRange2", FieldType::U32, 1},
    {"sxHeight", FieldType::I16, 2}, {"sCapHeight", FieldType::I16, 2}, {"usDefaultChar", FieldType::U16, 2},
    {"usBreakChar", FieldType::U16, 2}, {"usMaxContext", FieldType::U16, 2},
    {"usLowerOpticalPointSize", FieldType::U16, 5}, {"usUpperOpticalPointSize", FieldType::U16, 5},
};

constexpr FieldFormat PostFields[] = {
    {"version", FieldType::Fixed}, {"italicAngle", FieldType::Fixed}, {"underlinePosition", FieldType::I16},
    {"underlineThickness", FieldType::I16}, {"isFixedPitch", FieldType::U32}, {"minMemType42", FieldType::U32},
    {"maxMemType42", FieldType::U32}, {"minMemType1", FieldType::U32}, {"maxMemType1", FieldType::U32},
    {"numGlyphs", FieldType::U16, Version2},
};

// A 16.16 number as the shortest decimal that reads back to it: 0x00010000 is
// "1", 0x00025EB8 "2.37".
std::string fixedText(std::int32_t v)
{
    char text[32];
    for (int digits = 0; digits <= 5; ++digits) {
        std::snprintf(text, sizeof text, "%.*f", digits, v / 65536.0);
        if (std::int32_t(std::lround(std::atof(text) * 65536.0)) == v)
            break;
    }
    return text;
}

// Seconds since 1904-01-01 00:00 as "2023-01-31 12:00:00".
std::string dateText(std::int64_t seconds)
{
    using namespace std::chrono;
    const sys_days epoch1904 = year{1904} / January / 1;
    const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t rest = seconds - days * 86400;
    const year_month_day date{epoch1904 + std::chrono::days{days}};
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(rest / 3600), int(rest / 60 % 60), int(rest % 60));
    return text;
}

std::uint64_t readUnsigned(ByteReader& r, int bytes)
{
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | r.u8();
    return v;
}

int sizeOf(FieldType type)
{
    switch (type) {
    case FieldType::U8: return 1;
    case FieldType::U16:
    case FieldType::I16: return 2;
    case FieldType::LongDateTime: return 8;
    default: return 4;
    }
}

TableField readField(ByteReader& r, const FieldFormat& field)
{
    const std::uint64_t raw = readUnsigned(r, sizeOf(field.type));
    switch (field.type) {
    case FieldType::I16: return {field.name, std::to_string(std::int16_t(raw))};
    case FieldType::I32: return {field.name, std::to_string(std::int32_t(raw))};
    case FieldType::Fixed: return {field.name, fixedText(std::int32_t(std::uint32_t(raw)))};
    case FieldType::LongDateTime: return {field.name, dateText(std::int64_t(raw)), true};
    case FieldType::Tag: {
        std::string tag;
        for (int shift = 24; shift >= 0; shift -= 8)
            tag += char(raw >> shift & 0xFF);
        return {field.name, tag, true};
    }
    default: return {field.name, std::to_string(raw)};
    }
}

// The fields of table `tag` up to the end of its bytes. The first field gives
// the version (a U16 or a Fixed) that decides which later fields exist.
TableFields readFields(const FontState& font, const char* tag, std::span<const FieldFormat> formats)
{
    TableFields out;
    const std::span<const std::uint8_t> bytes = TableBytes(font, tag);
    out.present = !bytes.empty();
    if (!out.present)
        return out;
    ByteReader r(bytes);
    const auto version = std::uint32_t(readUnsigned(r, sizeOf(formats[0].type)));
    r.seek(0);
    for (const FieldFormat& field : formats) {
        if (version < field.minVersion)
            break;
        if (!r.canRead(std::size_t(sizeOf(field.type)))) {
            out.whole = false;
            break;
        }
        out.fields.push_back(readField(r, field));
    }
    return out;
}

std::uint32_t subtableLength(ByteReader& r, int format)
{
    // Formats 8 to 13 keep a reserved field before a 32-bit length; 14 has no reserved field.
    if (format >= 8 && format <= 13) {
        r.u16();
        return r.u32();
    }
    if (format == 14)
        return r.u32();
    return r.u16();
}

std::vector<CmapSubtable> readCmapSubtables(const FontState& font)
{
    const std::span<const std::uint8_t> cmap = TableBytes(font, "cmap");
    ByteReader r(cmap);
    r.u16(); // version
    const std::size_t numTables = r.u16();
    std::vector<CmapSubtable> out;
    for (std::size_t i = 0; i < numTables && r.canRead(8); ++i) {
        CmapSubtable s;
        s.platformID = r.u16();
        s.encodingID = r.u16();
        s.offset = r.u32();
        ByteReader at(cmap);
        at.seek(s.offset);
        const int format = at.u16();
        const std::uint32_t length = subtableLength(at, format);
        if (at.ok()) {
            s.format = format;
            s.length = length;
        }
        // A chosen subtable of a format the lists cannot read fills none.
        s.usedByLists = s.offset == font.CmapOffset && (font.CmapFormat == 0 || font.CmapFormat == 4);
        s.usedByFind = font.Unicode.format() != 0 && s.offset == font.Unicode.subtableOffset();
        out.push_back(s);
    }
    return out;
}

ColourTableSummary strikeSummary(const char* tag, const StrikeList& list)
{
    ColourTableSummary out;
    out.tag = tag;
    out.version = list.version;
    out.problem = list.problem;
    for (const StrikeInfo& s : list.strikes)
        out.strikePpems.push_back(s.ppem);
    return out;
}

ColourTableSummary colrSummary(std::span<const std::uint8_t> bytes)
{
    ColourTableSummary out;
    out.tag = "COLR";
    const std::optional<Colr> colr = ReadColr(bytes);
    if (!colr) {
        out.problem = "shorter than its header";
        return out;
    }
    out.version = colr->version;
    out.baseGlyphRecords = colr->numBaseGlyphRecords;
    out.layerRecords = colr->numLayerRecords;
    out.baseGlyphPaints = int(std::min<std::uint32_t>(colr->numBaseGlyphPaintRecords, 0x7fffffff));
    out.layerPaints = int(std::min<std::uint32_t>(colr->numLayers, 0x7fffffff));
    for (const std::string& problem : colr->problems)
        out.problem += (out.problem.empty() ? "" : "; ") + problem;
    return out;
}

ColourTableSummary cpalSummary(const FontState& font, std::span<const std::uint8_t> bytes)
{
    ColourTableSummary out;
    out.tag = "CPAL";
    const std::optional<Cpal> cpal = ReadCpal(bytes);
    if (!cpal) {
        out.problem = "runs past its end";
        return out;
    }
    out.version = cpal->version;
    out.paletteEntries = cpal->numPaletteEntries;
    for (std::size_t k = 0; k < cpal->palettes.size(); ++k) {
        PaletteSummary p;
        if (k < cpal->paletteTypes.size())
            p.type = cpal->paletteTypes[k];
        if (k < cpal->paletteLabels.size() && cpal->paletteLabels[k] != NoPaletteLabel)
            p.label = FontNameText(font, cpal->paletteLabels[k]);
        out.palettes.push_back(std::move(p));
    }
    return out;
}

std::vector<ColourTableSummary> readColourTables(const FontState& font)
{
    std::vector<ColourTableSummary> out;
    if (const auto colr = TableBytes(font, "COLR"); !colr.empty())
        out.push_back(colrSummary(colr));
    if (const auto cpal = TableBytes(font, "CPAL"); !cpal.empty())
        out.push_back(cpalSummary(font, cpal));
    if (const auto cblc = TableBytes(font, "CBLC"); !cblc.empty())
        out.push_back(strikeSummary("CBLC", ReadCblcStrikes(cblc)));
    if (const auto sbix = TableBytes(font, "sbix"); !sbix.empty())
        out.push_back(strikeSummary("sbix", ReadSbixStrikes(sbix, font.NumGlyphs)));
    if (const auto svg = TableBytes(font, "SVG "); !svg.empty()) {
        const SvgIndex index = ReadSvgIndex(svg);
        ColourTableSummary summary;
        summary.tag = "SVG ";
        summary.version = index.version;
        summary.documents = int(index.records.size());
        summary.problem = index.problem;
        out.push_back(std::move(summary));
    }
    return out;
}

} // namespace

std::uint32_t TableChecksum(std::span<const std::uint8_t> bytes, bool isHead)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = i; k < i + 4; ++k) {
            const bool adjustment = isHead && k >= HeadChecksumAdjustmentAt && k < HeadChecksumAdjustmentAt + 4;
            const bool counted = k < bytes.size() && !adjustment;
            word = word << 8 | (counted ? bytes[k] : 0);
        }
        sum += word;
    }
    return sum;
}

FontDetails ReadFontDetails(const FontState& font)
{
    FontDetails d;
    const std::span<const std::uint8_t> file(font.FontBytes);
    for (const TableEntry& entry : font.TableDir) {
        const std::string tag(entry.Tag.begin(), entry.Tag.end());
        // A table cut by the end of the file is summed over what there is.
        std::span<const std::uint8_t> bytes;
        if (entry.Offset <= file.size())
            bytes = file.subspan(entry.Offset, std::min<std::size_t>(entry.Length, file.size() - entry.Offset));
        d.tables.push_back({entry, TableChecksum(bytes, tag == "head"), bytes.size() == entry.Length});
    }
    d.head = readFields(font, "head", HeadFields);
    d.hhea = readFields(font, "hhea", HheaFields);
    d.maxp = readFields(font, "maxp", MaxpFields);
    d.os2 = readFields(font, "OS/2", Os2Fields);
    d.post = readFields(font, "post", PostFields);
    d.cmap = readCmapSubtables(font);
    d.colour = readColourTables(font);
    return d;
}

std::string NameIdMeaning(int nameID)
{
    static const char* const meanings[] = {
        "Copyright Notice", "Font Family", "Font Subfamily", "Unique Font Identifier", "Full Font Name",
        "Version", "PostScript Name", "Trademark", "Manufacturer", "Designer", "Description", "Vendor URL",
        "Designer URL", "License Description", "License Info URL", "Reserved", "Typographic Family",
        "Typographic Subfamily", "Compatible Full (Macintosh)", "Sample Text", "PostScript CID findfont Name",
        "WWS Family", "WWS Subfamily", "Light Background Palette", "Dark Background Palette",
        "Variations PostScript Name Prefix",
    };
    if (nameID >= 0 && nameID < int(std::size(meanings)))
        return meanings[nameID];
    return nameID >= 256 ? "Font-specific" : "Reserved";
}
