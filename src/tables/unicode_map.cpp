#include "tables/unicode_map.h"

#include <algorithm>
#include <iterator>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t EncodingRecordSize = 8;  // platformID, encodingID, subtable offset
constexpr std::size_t Format12HeaderSize = 16; // format, reserved, length, language, numGroups
constexpr std::size_t Format12GroupSize = 12;  // startCharCode, endCharCode, startGlyphID
constexpr std::uint32_t LastGlyphID = 0xFFFF;

struct EncodingRecord {
    std::uint16_t platformID = 0, encodingID = 0;
    std::uint32_t offset = 0;
};

bool isUnicode(const EncodingRecord& e)
{
    return e.platformID == 0 || (e.platformID == 3 && (e.encodingID == 1 || e.encodingID == 10));
}

// The Unicode records whose subtable starts inside the table; a record list
// cut by the end of the table keeps the records that are whole.
std::vector<EncodingRecord> unicodeRecords(std::span<const std::uint8_t> cmapTable)
{
    ByteReader r(cmapTable);
    r.u16(); // version
    const std::size_t numTables = r.u16();
    std::vector<EncodingRecord> records;
    for (std::size_t i = 0; i < numTables && r.canRead(EncodingRecordSize); ++i) {
        EncodingRecord e;
        e.platformID = r.u16();
        e.encodingID = r.u16();
        e.offset = r.u32();
        if (isUnicode(e) && e.offset < cmapTable.size())
            records.push_back(e);
    }
    return records;
}

int subtableFormat(std::span<const std::uint8_t> cmapTable, std::size_t at)
{
    ByteReader r(cmapTable);
    r.seek(at);
    const int format = r.u16();
    return r.ok() ? format : -1;
}

// The subtable's bytes from `at`: `length` of them, cut at the end of the table.
std::span<const std::uint8_t> subtableBytes(std::span<const std::uint8_t> cmapTable, std::size_t at, std::uint32_t length)
{
    return cmapTable.subspan(at, std::min<std::size_t>(length, cmapTable.size() - at));
}

} // namespace

bool UnicodeMap::readFormat12(std::span<const std::uint8_t> cmapTable, std::size_t at)
{
    ByteReader header(cmapTable);
    header.seek(at);
    header.skip(4); // format, reserved
    const std::uint32_t length = header.u32();
    header.skip(4); // language
    const std::uint32_t numGroups = header.u32();
    if (!header.ok())
        return false;

    // Only the groups the bytes hold are read, whatever numGroups claims.
    const std::span<const std::uint8_t> bytes = subtableBytes(cmapTable, at, length);
    const std::size_t whole = bytes.size() < Format12HeaderSize ? 0 : (bytes.size() - Format12HeaderSize) / Format12GroupSize;
    const std::size_t count = std::min<std::size_t>(numGroups, whole);
    ByteReader r(bytes);
    r.seek(Format12HeaderSize);
    groups_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Group g;
        g.startCharCode = r.u32();
        g.endCharCode = r.u32();
        g.startGlyphID = r.u32();
        // Lookups search the groups by halves: they must be in order.
        const bool inOrder = groups_.empty() || g.startCharCode > groups_.back().endCharCode;
        if (g.startCharCode > g.endCharCode || !inOrder) {
            groups_.clear();
            return false;
        }
        groups_.push_back(g);
    }
    return !groups_.empty();
}

bool UnicodeMap::readFormat4(std::span<const std::uint8_t> cmapTable, std::size_t at)
{
    ByteReader header(cmapTable);
    header.seek(at + 2); // format
    const std::uint16_t length = header.u16();
    if (!header.ok())
        return false;
    format4_ = CmapSegments(subtableBytes(cmapTable, at, length));
    return format4_.claimedSegments() > 0 && format4_.whole();
}

UnicodeMap ReadUnicodeMap(std::span<const std::uint8_t> cmapTable)
{
    const std::vector<EncodingRecord> records = unicodeRecords(cmapTable);
    for (int format : {12, 4}) {
        for (const EncodingRecord& e : records) {
            if (subtableFormat(cmapTable, e.offset) != format)
                continue;
            UnicodeMap map;
            const bool usable = format == 12 ? map.readFormat12(cmapTable, e.offset) : map.readFormat4(cmapTable, e.offset);
            if (usable) {
                map.format_ = format;
                map.offset_ = e.offset;
                return map;
            }
        }
    }
    return {};
}

int UnicodeMap::glyphFor(char32_t code) const
{
    if (format_ == 12) {
        // The last group starting at or below the code.
        auto after = std::upper_bound(groups_.begin(), groups_.end(), code,
                                      [](char32_t c, const Group& g) { return c < g.startCharCode; });
        if (after == groups_.begin())
            return 0;
        const Group& g = *std::prev(after);
        if (code > g.endCharCode)
            return 0;
        const std::uint64_t glyph = std::uint64_t(g.startGlyphID) + (code - g.startCharCode);
        return glyph <= LastGlyphID ? int(glyph) : 0;
    }
    if (format_ == 4)
        return format4_.glyphFor(code);
    return 0;
}

std::vector<char32_t> UnicodeMap::codesFor(int glyph) const
{
    std::vector<char32_t> codes;
    if (glyph <= 0 || std::uint32_t(glyph) > LastGlyphID)
        return codes;
    const auto wanted = std::uint32_t(glyph);
    for (const Group& g : groups_) {
        if (wanted >= g.startGlyphID && wanted - g.startGlyphID <= g.endCharCode - g.startCharCode)
            codes.push_back(g.startCharCode + (wanted - g.startGlyphID));
    }
    format4_.appendCodesFor(glyph, codes);
    std::sort(codes.begin(), codes.end());
    return codes;
}

void UnicodeMap::forEachCode(const std::function<void(char32_t, int)>& visit) const
{
    constexpr char32_t LastCode = 0x10FFFF;
    if (format_ == 4) {
        format4_.forEachCode(visit);
        return;
    }
    // Groups are in order and apart; each gives at most 65 536 glyph numbers.
    for (const Group& g : groups_) {
        const char32_t last = std::min<char32_t>(g.endCharCode, LastCode);
        for (char32_t code = g.startCharCode; code <= last; ++code) {
            const std::uint64_t glyph = std::uint64_t(g.startGlyphID) + (code - g.startCharCode);
            if (glyph > LastGlyphID)
                break;
            if (glyph != 0)
                visit(code, int(glyph));
        }
    }
}
