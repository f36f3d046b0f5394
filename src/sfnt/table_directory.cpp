#include "sfnt/table_directory.h"

#include <algorithm>

namespace {

constexpr int MaxTables = 32;
constexpr std::size_t DirectoryEntrySize = 16;

} // namespace

bool ReadTableDirectory(FontState& font, ByteReader& r, MessageSink& sink, std::uint32_t faceOffset)
{
    r.seek(faceOffset);
    r.u32(); // sfnt version, not checked
    font.NumTables = r.u16();
    r.skip(6); // searchRange, entrySelector, rangeShift
    if (!r.ok()) {
        ShowError(ReadPastEnd, {}, sink, "table directory");
        return false;
    }
    if (font.NumTables > MaxTables) {
        ShowError(TooManyTables, {}, sink);
        return false;
    }
    if (!r.canRead(DirectoryEntrySize * std::size_t(font.NumTables))) {
        ShowError(ReadPastEnd, {}, sink, "table directory");
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

namespace {

const TableEntry* entryOf(const FontState& font, std::string_view tag)
{
    auto found = std::find_if(font.TableDir.begin(), font.TableDir.end(), [&](const TableEntry& e) {
        return std::string_view(e.Tag.data(), e.Tag.size()) == tag;
    });
    return found == font.TableDir.end() ? nullptr : &*found;
}

} // namespace

std::span<const std::uint8_t> TableBytes(const FontState& font, std::string_view tag)
{
    const TableEntry* entry = entryOf(font, tag);
    const std::span<const std::uint8_t> file(font.FontBytes);
    if (!entry || entry->Offset > file.size())
        return {};
    return file.subspan(entry->Offset, std::min<std::size_t>(entry->Length, file.size() - entry->Offset));
}

TableLookup FindTable(const FontState& font, ByteReader& file, std::string_view tag, MessageSink& sink, TableSpan* span)
{
    const TableEntry* found = entryOf(font, tag);
    if (found) {
        // A table that starts past the end of the file cannot be read at all;
        // one that merely runs past the end is caught by the reads themselves.
        if (found->Offset > file.size()) {
            ShowError(ReadPastEnd, {}, sink, std::string(tag) + " table");
            return TableLookup::Abandoned;
        }
        if (span)
            *span = {found->Offset, found->Length};
        file.seek(found->Offset);
        return TableLookup::Found;
    }

    // These are tolerated missing: the caller reads on from wherever the file
    // stands (and takes 100 glyphs for a missing maxp).
    if (tag == "maxp" || tag == "head" || tag == "hhea" || tag == "hdmx")
        return TableLookup::Tolerated;

    sink.MsgBox("Not found: " + std::string(tag));
    ShowError(TableMissing, {}, sink);
    return TableLookup::Abandoned;
}
