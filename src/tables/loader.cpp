#include "tables/loader.h"

#include <initializer_list>

#include <algorithm>

#include "outline/cff_glyph.h"
#include "tables/cmap.h"
#include "sfnt/table_directory.h"

namespace {

constexpr std::size_t GlyphHeaderSize = 10; // numberOfContours, xMin, yMin, xMax, yMax
constexpr int LastListedCode = 2000;
constexpr int FirstPrintable = 32, LastPrintable = 126;
constexpr int GlyphsWithoutMaxp = 100;

Failure readPastEnd(const char* what)
{
    return {ReadPastEnd, {}, what};
}

// Nothing when the reads so far stayed inside the file.
MaybeFailure checkRead(const ByteReader& r, const char* what)
{
    return r.ok() ? MaybeFailure() : readPastEnd(what);
}

// The table's failure when the lookup was abandoned.
MaybeFailure abandoned(const FoundTable& found)
{
    return found.lookup == TableLookup::Abandoned ? MaybeFailure(found.failure) : std::nullopt;
}

MaybeFailure readMaxp(FontState& font, ByteReader& r)
{
    // A missing maxp is read from wherever the file stands (after the
    // directory); ReadTables then takes 100 glyphs.
    if (MaybeFailure failure = abandoned(FindTable(font, r, "maxp")))
        return failure;
    r.skip(4); // version
    font.NumGlyphs = r.u16();
    return checkRead(r, "maxp");
}

MaybeFailure readPostNames(FontState& font, ByteReader& r, const TableSpan& post)
{
    r.skip(30); // the rest of the header
    const int numberOfGlyphs = r.u16();
    if (!r.canRead(2 * std::size_t(numberOfGlyphs)))
        return readPastEnd("post glyph names");
    font.PostNumberOfGlyphs = numberOfGlyphs;
    font.GlyphNameIndex.resize(std::size_t(numberOfGlyphs));
    for (int& index : font.GlyphNameIndex)
        index = r.u16();

    // Length-prefixed names up to the end of the table. The end is tested
    // before each name, so a table that ends with its index array has none
    // (rather than one taken from the bytes that follow it).
    const std::size_t tableEnd = std::size_t(post.Offset) + post.Length;
    while (r.pos() < tableEnd) {
        const std::size_t length = r.u8();
        const auto text = r.bytes(length);
        if (!r.ok())
            return readPastEnd("post glyph names");
        font.GlyphNames.emplace_back(text.begin(), text.end());
    }
    return std::nullopt;
}

MaybeFailure readGlyphNames(FontState& font, ByteReader& r)
{
    const FoundTable post = FindTable(font, r, "post");
    if (post.lookup != TableLookup::Found)
        return post.failure;
    r.u8(); // the version's first byte is not examined: 2.0 and 2.5 both have names
    font.PostVersion = r.u8();
    if (!r.ok())
        return readPastEnd("post");
    return font.PostVersion != 2 ? std::nullopt : readPostNames(font, r, post.span);
}

// A missing head, hdmx or hhea is read from wherever the file stands: after
// the presence pass that is cmap's start, and then just past the last read.
MaybeFailure readHead(FontState& font, ByteReader& r)
{
    if (MaybeFailure failure = abandoned(FindTable(font, r, "head")))
        return failure;
    r.skip(18);
    font.HeadTable.UnitsPerEm = r.u16();
    r.skip(30);
    font.HeadTable.IndexToLocFormat = r.i16();
    r.skip(2); // glyphDataFormat
    return checkRead(r, "head");
}

MaybeFailure readHdmx(FontState& font, ByteReader& r)
{
    if (MaybeFailure failure = abandoned(FindTable(font, r, "hdmx")))
        return failure;
    // Only its place is needed (a missing hhea is read from just past it);
    // no value of hdmx reaches the window, so an hdmx cut short by the end
    // of the file is passed over rather than abandoning the load.
    r.skip(4); // version, numRecords
    r.clearFailure();
    return std::nullopt;
}

MaybeFailure readLoca(FontState& font, ByteReader& r)
{
    const FoundTable loca = FindTable(font, r, "loca");
    if (loca.lookup != TableLookup::Found)
        return loca.failure;
    // The format is the field's low byte.
    const int locFormat = std::int8_t(font.HeadTable.IndexToLocFormat & 0xFF);
    if (locFormat != 0 && locFormat != 1)
        return Failure{BadLocaFormat, {}, {}};
    const std::size_t entries = std::size_t(font.NumGlyphs) + 1;
    if (!r.canRead(entries * (locFormat == 0 ? 2 : 4)))
        return readPastEnd("loca");
    font.GlyphOffset.resize(entries);
    for (std::uint32_t& offset : font.GlyphOffset)
        offset = locFormat == 0 ? 2u * ReadUShort(r) : r.u32();
    return std::nullopt;
}

MaybeFailure readHhea(FontState& font, ByteReader& r, int& numberOfHMetrics)
{
    if (MaybeFailure failure = abandoned(FindTable(font, r, "hhea")))
        return failure;
    r.skip(4); // version
    font.HheaTable.Ascender = r.i16();
    font.HheaTable.Descender = r.i16();
    r.skip(26);
    numberOfHMetrics = r.u16();
    return checkRead(r, "hhea");
}

MaybeFailure readHmtx(FontState& font, ByteReader& r, int numberOfHMetrics)
{
    const FoundTable hmtx = FindTable(font, r, "hmtx");
    if (hmtx.lookup != TableLookup::Found)
        return hmtx.failure;
    // Metrics beyond the glyph count are never used, so they are not read.
    const int longMetrics = std::min(numberOfHMetrics, font.NumGlyphs);
    if (!r.canRead(4 * std::size_t(longMetrics) + 2 * std::size_t(font.NumGlyphs - longMetrics)))
        return readPastEnd("hmtx");
    font.HMetrics.resize(std::size_t(font.NumGlyphs));
    for (int g = 0; g < font.NumGlyphs; ++g) {
        HMetric& m = font.HMetrics[std::size_t(g)];
        if (g < longMetrics)
            m.AdvanceWidth = r.u16();
        else // the last advance width repeats; with no metrics at all it is 0
            m.AdvanceWidth = longMetrics > 0 ? font.HMetrics[std::size_t(longMetrics) - 1].AdvanceWidth : 0;
        m.Lsb = r.i16();
        m.RightSpace = m.AdvanceWidth - m.Lsb;
    }
    return std::nullopt;
}

// Each glyph's box and kind from its header. An empty glyph (offset equal to
// the next) has no header of its own: no contours, box 0, 0, 0, 0. A header
// beyond the end of the file (a truncated glyf table) leaves the box 0 too.
void readGlyphHeaders(FontState& font)
{
    const auto count = std::size_t(font.NumGlyphs);
    font.GlyphBox.assign(count, BBox{});
    font.GlyphKinds.assign(count, GlyphKind::Simple);
    ByteReader r(font.FontBytes);
    for (std::size_t g = 0; g < count; ++g) {
        if (font.GlyphOffset[g] == font.GlyphOffset[g + 1])
            continue;
        const std::size_t at = std::size_t(font.Glyf.Offset) + font.GlyphOffset[g];
        if (at > r.size() || r.size() - at < GlyphHeaderSize) {
            font.GlyphKinds[g] = GlyphKind::NoHeader;
            continue;
        }
        r.seek(at);
        if (ReadShort(r) < 0)
            font.GlyphKinds[g] = GlyphKind::Composite;
        font.GlyphBox[g] = {ReadShort(r), ReadShort(r), ReadShort(r), ReadShort(r)};
    }
}

MaybeFailure readFont(FontState& font, std::uint32_t faceOffset, Reports& notes)
{
    ByteReader file(font.FontBytes);
    if (MaybeFailure failure = ReadTableDirectory(font, file, faceOffset))
        return failure;
    for (auto step : {readMaxp, readGlyphNames})
        if (MaybeFailure failure = step(font, file))
            return failure;
    if (MaybeFailure failure = ReadCharacterMap(font, file, notes))
        return failure;
    return ReadTables(font, file);
}

// Presence pass: a table missing stops the load before anything is read.
MaybeFailure findTables(FontState& font, ByteReader& r, std::initializer_list<const char*> tags)
{
    for (const char* tag : tags) {
        const FoundTable found = FindTable(font, r, tag);
        if (found.lookup == TableLookup::Abandoned)
            return found.failure;
        if (found.lookup == TableLookup::Tolerated && std::string_view(tag) == "maxp")
            font.NumGlyphs = GlyphsWithoutMaxp;
    }
    return std::nullopt;
}

MaybeFailure readMetrics(FontState& font, ByteReader& r)
{
    int numberOfHMetrics = 0;
    if (MaybeFailure failure = readHhea(font, r, numberOfHMetrics))
        return failure;
    return readHmtx(font, r, numberOfHMetrics);
}

// An OpenType font with CFF or CFF2 outlines has no loca and glyf.
bool hasCffOutlines(const FontState& font)
{
    return TableBytes(font, "glyf").empty() && (!TableBytes(font, "CFF ").empty() || !TableBytes(font, "CFF2").empty());
}

MaybeFailure readCffTables(FontState& font, ByteReader& r)
{
    if (MaybeFailure failure = findTables(font, r, {"head", "hhea", "maxp", "hmtx", "hdmx", "cmap"}))
        return failure;
    for (auto step : {readHead, readHdmx})
        if (MaybeFailure failure = step(font, r))
            return failure;
    if (MaybeFailure failure = readMetrics(font, r))
        return failure;
    return OpenCffOutlines(font);
}

// A font of bitmap glyphs only (colour emoji in CBDT or sbix) has neither
// loca nor glyf; every glyph is then one without outline data.
bool hasOnlyBitmaps(const FontState& font)
{
    const bool bitmaps = !TableBytes(font, "CBDT").empty() || !TableBytes(font, "EBDT").empty()
                      || !TableBytes(font, "sbix").empty();
    return bitmaps && TableBytes(font, "glyf").empty() && TableBytes(font, "loca").empty();
}

MaybeFailure readBitmapTables(FontState& font, ByteReader& r)
{
    if (MaybeFailure failure = findTables(font, r, {"head", "hhea", "maxp", "hmtx", "hdmx", "cmap"}))
        return failure;
    for (auto step : {readHead, readHdmx})
        if (MaybeFailure failure = step(font, r))
            return failure;
    font.GlyphOffset.assign(std::size_t(font.NumGlyphs) + 1, 0);
    return readMetrics(font, r);
}

} // namespace

MaybeFailure ReadTables(FontState& font, ByteReader& r)
{
    if (hasCffOutlines(font))
        return readCffTables(font, r);
    if (hasOnlyBitmaps(font))
        return readBitmapTables(font, r);
    // Presence pass: a missing loca, hmtx, glyf or cmap stops the load before
    // anything is read.
    if (MaybeFailure failure = findTables(font, r, {"head", "hhea", "maxp", "loca", "hmtx", "hdmx", "glyf", "cmap"}))
        return failure;
    for (auto step : {readHead, readHdmx, readLoca})
        if (MaybeFailure failure = step(font, r))
            return failure;
    if (MaybeFailure failure = readMetrics(font, r))
        return failure;
    const FoundTable glyf = FindTable(font, r, "glyf");
    if (glyf.lookup != TableLookup::Found)
        return glyf.failure;
    font.Glyf = glyf.span;
    return std::nullopt;
}

Reports LoadFont(std::vector<std::uint8_t> bytes, FontState& font, std::uint32_t faceOffset)
{
    std::string name = std::move(font.FontFileName);
    font = FontState();
    font.FontFileName = name;
    font.FontBytes = std::move(bytes);
    Reports reports;
    if (MaybeFailure failure = readFont(font, faceOffset, reports)) {
        font = FontState();
        font.FontFileName = std::move(name);
        reports.push_back(std::move(*failure));
        return reports;
    }
    // Every glyph has a name number; those post does not give are 0.
    if (font.GlyphNameIndex.size() < std::size_t(font.NumGlyphs))
        font.GlyphNameIndex.resize(std::size_t(font.NumGlyphs));
    if (!font.Cff)
        readGlyphHeaders(font);
    font.Unicode = ReadUnicodeMap(TableBytes(font, "cmap"));
    font.Variations = ReadVariations(font);
    font.Loaded = true;
    return reports;
}

PickLists MakePickLists(const FontState& font, bool composites)
{
    PickLists lists;
    auto listed = [&](int g) {
        if (g < 0 || g >= font.NumGlyphs)
            return false;
        const GlyphKind kind = font.GlyphKinds[std::size_t(g)];
        return kind == GlyphKind::Simple || (composites && kind == GlyphKind::Composite);
    };
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (composites || listed(g))
            lists.GlyphList.push_back(g);
    if (font.UnicodeCmap != 1)
        return lists;
    auto listedCode = [&](int code) {
        const int g = CharToGlyph(font, code);
        return g > 0 && listed(g);
    };
    for (int c = 0; c <= LastListedCode; ++c)
        if (listedCode(c))
            lists.CharList.push_back(c);
    for (int c = FirstPrintable; c <= LastPrintable; ++c)
        if (listedCode(c))
            lists.AsciiList.push_back(c);
    return lists;
}

std::string GlyphCountText(const FontState& font)
{
    return BlankSigned(font.NumGlyphs);
}
