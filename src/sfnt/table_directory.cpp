#include "sfnt/table_directory.h"

#include <algorithm>

namespace {

constexpr int MaxTables = 32;
constexpr std::size_t DirectoryEntrySize = 16;

} // namespace

MaybeFailure ReadTableDirectory(FontState& font, ByteReader& r, std::uint32_t faceOffset)
{
    r.seek(faceOffset);
    r.u32(); // sfnt version, not checked
    font.NumTables = r.u16();
    r.skip(6); // searchRange, entrySelector, rangeShift
    if (!r.ok())
        return Failure{ReadPastEnd, {}, "table directory"};
    if (font.NumTables > MaxTables)
        return Failure{TooManyTables, {}, {}};
    if (!r.canRead(DirectoryEntrySize * std::size_t(font.NumTables)))
        return Failure{ReadPastEnd, {}, "table directory"};
    font.TableDir.resize(std::size_t(font.NumTables));
    for (TableEntry& entry : font.TableDir) {
        for (char& c : entry.Tag)
            c = char(r.u8());
        entry.CheckSum = r.u32();
        entry.Offset = r.u32();
        entry.Length = r.u32();
    }
    return std::nullopt;
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

FoundTable FindTable(const FontState& font, ByteReader& file, std::string_view tag)
{
    const TableEntry* found = entryOf(font, tag);
    if (found) {
        // A table that starts past the end of the file cannot be read at all;
        // one that merely runs past the end is caught by the reads themselves.
        if (found->Offset > file.size())
            return {TableLookup::Abandoned, {}, {ReadPastEnd, {}, std::string(tag) + " table"}};
        file.seek(found->Offset);
        return {TableLookup::Found, {found->Offset, found->Length}, {}};
    }

    // These are tolerated missing: the caller reads on from wherever the file
    // stands (and takes 100 glyphs for a missing maxp).
    if (tag == "maxp" || tag == "head" || tag == "hhea" || tag == "hdmx")
        return {TableLookup::Tolerated, {}, {}};
    return {TableLookup::Abandoned, {}, {TableMissing, {}, std::string(tag)}};
}
