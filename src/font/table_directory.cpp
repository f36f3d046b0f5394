#include "font/table_directory.h"

#include <algorithm>

namespace {

constexpr int MaxTables = 32;
constexpr std::size_t DirectoryEntrySize = 16;

} // namespace

bool ReadTableDirectory(FontState& font, MessageSink& sink)
{
    ByteReader& r = font.FontFile;
    r.seek(0);
    r.u32(); // sfnt version, not checked
    font.NumTables = r.u16();
    r.skip(6); // searchRange, entrySelector, rangeShift
    if (!r.ok()) {
        ShowError(ReadPastEnd, font, sink, "table directory");
        return false;
    }
    if (font.NumTables > MaxTables) {
        ShowError(TooManyTables, font, sink);
        return false;
    }
    if (!r.canRead(DirectoryEntrySize * std::size_t(font.NumTables))) {
        ShowError(ReadPastEnd, font, sink, "table directory");
        return false;
    }
    font.TableDir.resize(std::size_t(font.NumTables));
    for (TableEntry& entry : font.TableDir) {
        for (char& c : entry.Tag)
            c = char(r.u8());
        entry.CheckSum = r.u32();
        entry.Offset = r.u32();
        entry.Length = r.u32();
    }
    return true;
}

TableLookup FindTable(FontState& font, std::string_view tag, MessageSink& sink)
{
    auto found = std::find_if(font.TableDir.begin(), font.TableDir.end(), [&](const TableEntry& e) {
        return std::string_view(e.Tag.data(), e.Tag.size()) == tag;
    });
    if (found != font.TableDir.end()) {
        // A table that starts past the end of the file cannot be read at all;
        // one that merely runs past the end is caught by the reads themselves.
        if (found->Offset > font.FontFile.size()) {
            ShowError(ReadPastEnd, font, sink, std::string(tag) + " table");
            return TableLookup::Abandoned;
        }
        font.TableOffset = found->Offset;
        font.TableLength = found->Length;
        font.FontFile.seek(found->Offset);
        return TableLookup::Found;
    }

    // These are tolerated missing: the caller reads on from wherever the file stands.
    if (tag == "maxp") {
        font.NumGlyphs = 100;
        return TableLookup::Tolerated;
    }
    if (tag == "head" || tag == "hhea" || tag == "hdmx")
        return TableLookup::Tolerated;

    sink.MsgBox("Not found: " + std::string(tag));
    ShowError(TableMissing, font, sink);
    return TableLookup::Abandoned;
}
