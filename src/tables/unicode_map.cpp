#include "tables/unicode_map.h"

#include <algorithm>
#include <iterator>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t EncodingRecordSize = 8;  // platformID, encodingID, subtable offset
constexpr std::size_t Format12HeaderSize = 16; // format, reserved, length, language, numGroups
constexpr std::size_t Format12GroupSize = 12;  // startCharCode, endCharCode, startGlyphID
constexpr std::size_t Format4HeaderSize = 14;  // format ... rangeShift; endCode follows
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
    header.seek(at);
    header.skip(2); // format
    const std::uint16_t length = header.u16();
    header.skip(2); // language
    const std::size_t segCount = header.u16() / 2u;
    if (!header.ok() || segCount == 0)
        return false;

    const std::span<const std::uint8_t> bytes = subtableBytes(cmapTable, at, length);
    ByteReader r(bytes);
    r.seek(Format4HeaderSize);
    if (!r.canRead(8 * segCount + 2)) // four arrays and reservedPad
        return false;
    segments_.resize(segCount);
    for (Segment& s : segments_)
        s.endCode = r.u16();
    r.skip(2); // reservedPad
    for (Segment& s : segments_)
        s.startCode = r.u16();
    for (Segment& s : segments_)
        s.idDelta = r.u16();
    std::uint16_t reach = 0;
    for (Segment& s : segments_) {
        s.idRangeOffsetAt = r.pos();
        s.idRangeOffset = r.u16();
        reach = std::max(reach, s.endCode);
        s.reach = reach;
    }
    format4_.assign(bytes.begin(), bytes.end());
    return true;
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

int UnicodeMap::segmentGlyph(const Segment& s, std::uint32_t code) const
{
    if (code < s.startCode || code > s.endCode)
        return 0;
    if (s.idRangeOffset == 0)
        return int((code + s.idDelta) & 0xFFFF);
    // Counted from the segment's own idRangeOffset field; a read beyond the
    // subtable gives no glyph.
    ByteReader r(format4_);
    r.seek(s.idRangeOffsetAt + s.idRangeOffset + 2 * std::size_t(code - s.startCode));
    const std::uint16_t v = r.u16();
    if (!r.ok() || v == 0)
        return 0;
    return int((v + s.idDelta) & 0xFFFF);
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
    if (format_ == 4 && code <= 0xFFFF) {
        // The first segment whose endCode is at least the code, as a linear
        // search would find it even when the endCodes are out of order: the
        // running highest endCode never decreases, so it can be halved.
        auto found = std::partition_point(segments_.begin(), segments_.end(),
                                          [&](const Segment& s) { return s.reach < code; });
        return found == segments_.end() ? 0 : segmentGlyph(*found, code);
    }
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
    // Segment i answers for the codes above the endCodes before it, up to
    // its own: these ranges do not overlap, so at most 65536 codes are tried.
    std::uint32_t answered = 0; // codes below this belong to earlier segments
    for (const Segment& s : segments_) {
        const std::uint32_t low = std::max<std::uint32_t>(answered, s.startCode);
        answered = std::max<std::uint32_t>(answered, s.endCode + 1u);
        if (s.idRangeOffset == 0) {
            const std::uint32_t code = (wanted - s.idDelta) & 0xFFFF;
            if (code >= low && code <= s.endCode)
                codes.push_back(code);
            continue;
        }
        for (std::uint32_t code = low; code <= s.endCode; ++code)
            if (segmentGlyph(s, code) == glyph)
                codes.push_back(code);
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}
