#include "font/loader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "font/cmap.h"
#include "font/table_directory.h"

namespace {

constexpr std::size_t GlyphHeaderSize = 10; // numberOfContours, xMin, yMin, xMax, yMax
constexpr int LastListedCode = 2000;
constexpr int FirstPrintable = 32, LastPrintable = 126;

// Everything but the file name back to its start values: no font open.
void clearFont(FontState& font)
{
    std::string name = std::move(font.FontFileName);
    font = FontState();
    font.FontFileName = std::move(name);
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    // Offsets are 32-bit, so no font is larger; a bigger file is no font.
    if (size > 0xFFFFFFFFu)
        return false;
    bytes.resize(size);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    return in.gcount() == std::streamsize(size);
}

bool readMaxp(FontState& font, MessageSink& sink)
{
    // A missing maxp sets 100 glyphs, and its six bytes are then read from
    // wherever the file stands; ReadTables sets 100 again.
    if (FindTable(font, "maxp", sink) == TableLookup::Abandoned)
        return false;
    ByteReader& r = font.FontFile;
    r.skip(4); // version
    font.NumGlyphs = r.u16();
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "maxp");
        return false;
    }
    return true;
}

bool readGlyphNames(FontState& font, MessageSink& sink)
{
    if (FindTable(font, "post", sink) != TableLookup::Found)
        return false;
    ByteReader& r = font.FontFile;
    r.u8(); // the version's first byte is not examined: 2.0 and 2.5 both have names
    const int version = r.u8();
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "post");
        return false;
    }
    font.PostVersion = version;
    if (version != 2)
        return true;

    r.skip(30); // the rest of the header
    const int numberOfGlyphs = r.u16();
    if (!r.canRead(2 * std::size_t(numberOfGlyphs))) {
        ShowError(ReadPastEnd, font, sink, "post glyph names");
        return false;
    }
    font.PostNumberOfGlyphs = numberOfGlyphs;
    font.GlyphNameIndex.resize(std::size_t(numberOfGlyphs));
    for (int& index : font.GlyphNameIndex)
        index = r.u16();

    // Length-prefixed names up to the end of the table. The end is tested
    // before each name, so a table that ends with its index array has none
    // (rather than one taken from the bytes that follow it).
    const std::size_t tableEnd = std::size_t(font.TableOffset) + font.TableLength;
    while (r.pos() < tableEnd) {
        const std::size_t length = r.u8();
        const auto text = r.bytes(length);
        if (!r.ok()) {
            ShowError(ReadPastEnd, font, sink, "post glyph names");
            return false;
        }
        font.GlyphNames.emplace_back(text.begin(), text.end());
    }
    return true;
}

// Reads glyph g's header into the working values. false: the glyph has no
// outline to show because its header lies beyond the end of the file (a
// truncated glyf table); its box stays 0, 0, 0, 0.
bool readGlyphHeader(FontState& font, int g)
{
    font.NumberOfContours = 0;
    font.GlyphXMin = font.GlyphYMin = font.GlyphXMax = font.GlyphYMax = 0;
    // An empty glyph (offset equal to the next) has no header of its own:
    // no contours, box 0, 0, 0, 0.
    if (font.GlyphOffset[std::size_t(g)] == font.GlyphOffset[std::size_t(g) + 1])
        return true;
    ByteReader& r = font.FontFile;
    const std::size_t at = std::size_t(font.TableOffset) + font.GlyphOffset[std::size_t(g)];
    if (at > r.size() || r.size() - at < GlyphHeaderSize)
        return false;
    r.seek(at);
    font.NumberOfContours = ReadShort(r);
    font.GlyphXMin = ReadShort(r);
    font.GlyphYMin = ReadShort(r);
    font.GlyphXMax = ReadShort(r);
    font.GlyphYMax = ReadShort(r);
    return true;
}

// Fills GlyphBox and GlyphList; returns which glyphs are simple and readable.
std::vector<bool> readGlyphHeaders(FontState& font)
{
    std::vector<bool> simple(std::size_t(font.NumGlyphs));
    font.GlyphBox.resize(std::size_t(font.NumGlyphs));
    for (font.GlyphIndex = 0; font.GlyphIndex < font.NumGlyphs; ++font.GlyphIndex) {
        const auto g = std::size_t(font.GlyphIndex);
        if (readGlyphHeader(font, font.GlyphIndex) && font.NumberOfContours >= 0) {
            simple[g] = true;
            font.GlyphList.push_back(font.GlyphIndex);
        }
        font.GlyphBox[g] = {std::int16_t(font.GlyphXMin), std::int16_t(font.GlyphYMin),
                            std::int16_t(font.GlyphXMax), std::int16_t(font.GlyphYMax)};
    }
    return simple;
}

// A character is listed when it has a glyph other than 0 that exists and is simple.
void fillCharacterLists(FontState& font, const std::vector<bool>& simple)
{
    auto listed = [&](int code) {
        const int g = CharToGlyph(font, code);
        return g > 0 && g < font.NumGlyphs && simple[std::size_t(g)];
    };
    for (int c = 0; c <= LastListedCode; ++c)
        if (listed(c))
            font.CharList.push_back(c);
    for (int c = FirstPrintable; c <= LastPrintable; ++c)
        if (listed(c))
            font.AsciiList.push_back(c);
}

} // namespace

bool ReadTables(FontState& font, MessageSink& sink)
{
    // Presence pass: a missing loca, hmtx, glyf or cmap stops the load before
    // anything is read; a missing maxp sets 100 glyphs again.
    for (const char* tag : {"head", "hhea", "maxp", "loca", "hmtx", "hdmx", "glyf", "cmap"})
        if (FindTable(font, tag, sink) == TableLookup::Abandoned)
            return false;

    ByteReader& r = font.FontFile;
    auto readPastEnd = [&](const char* what) {
        ShowError(ReadPastEnd, font, sink, what);
        return false;
    };

    // A missing head, hdmx or hhea is read from wherever the file stands.
    if (FindTable(font, "head", sink) == TableLookup::Abandoned)
        return false;
    r.skip(50);
    font.HeadTable.IndexToLocFormat = r.i16();
    r.skip(2); // glyphDataFormat
    if (!r.ok())
        return readPastEnd("head");

    if (FindTable(font, "hdmx", sink) == TableLookup::Abandoned)
        return false;
    r.skip(4); // version, numRecords: not used
    if (!r.ok())
        return readPastEnd("hdmx");

    if (FindTable(font, "loca", sink) != TableLookup::Found)
        return false;
    // The format is the field's low byte.
    const int locFormat = std::int8_t(font.HeadTable.IndexToLocFormat & 0xFF);
    if (locFormat != 0 && locFormat != 1) {
        ShowError(BadLocaFormat, font, sink);
        return false;
    }
    const std::size_t entries = std::size_t(font.NumGlyphs) + 1;
    if (!r.canRead(entries * (locFormat == 0 ? 2 : 4)))
        return readPastEnd("loca");
    font.GlyphOffset.resize(entries);
    for (std::uint32_t& offset : font.GlyphOffset)
        offset = locFormat == 0 ? 2u * ReadUShort(r) : r.u32();

    if (FindTable(font, "hhea", sink) == TableLookup::Abandoned)
        return false;
    r.skip(34);
    const int numberOfHMetrics = r.u16();
    if (!r.ok())
        return readPastEnd("hhea");

    if (FindTable(font, "hmtx", sink) != TableLookup::Found)
        return false;
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

    return FindTable(font, "glyf", sink) == TableLookup::Found;
}

LoadResult LoadFont(FontState& font, MessageSink& sink)
{
    clearFont(font);
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(font.FontFileName, bytes))
        return LoadResult::Unreadable;
    font.FontBytes = std::move(bytes);
    font.FontFile = ByteReader(font.FontBytes);

    if (!ReadTableDirectory(font, sink) || !readMaxp(font, sink) || !readGlyphNames(font, sink)
        || !ReadCharacterMap(font, sink) || !ReadTables(font, sink)) {
        clearFont(font);
        return LoadResult::Abandoned;
    }
    // Every glyph has a name number; those post does not give are 0.
    if (font.GlyphNameIndex.size() < std::size_t(font.NumGlyphs))
        font.GlyphNameIndex.resize(std::size_t(font.NumGlyphs));

    const std::vector<bool> simple = readGlyphHeaders(font);
    if (font.UnicodeCmap == 1)
        fillCharacterLists(font, simple);

    font.FontFile.seek(font.TableOffset);
    font.Loaded = true;
    return LoadResult::Loaded;
}

std::string GlyphCountText(const FontState& font)
{
    return BlankSigned(font.NumGlyphs);
}
