#include "tables/font_tables.h"

#include <algorithm>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t GlyphHeaderSize = 10; // numberOfContours, xMin, yMin, xMax, yMax

Failure readPastEnd(const char* what)
{
    return {ReadPastEnd, {}, what};
}

} // namespace

std::variant<int, Failure> ReadMaxp(std::span<const std::uint8_t> bytes)
{
    ByteReader r(bytes);
    r.skip(4); // version
    const int numGlyphs = r.u16();
    if (!r.ok())
        return readPastEnd("maxp");
    return numGlyphs;
}

std::variant<HeadRecord, Failure> ReadHead(std::span<const std::uint8_t> bytes)
{
    ByteReader r(bytes);
    HeadRecord head;
    r.skip(18);
    head.UnitsPerEm = r.u16();
    r.skip(30);
    head.IndexToLocFormat = r.i16();
    r.skip(2); // glyphDataFormat
    if (!r.ok())
        return readPastEnd("head");
    return head;
}

std::variant<HheaFields, Failure> ReadHhea(std::span<const std::uint8_t> bytes)
{
    ByteReader r(bytes);
    HheaFields hhea;
    r.skip(4); // version
    hhea.record.Ascender = r.i16();
    hhea.record.Descender = r.i16();
    r.skip(26);
    hhea.numberOfHMetrics = r.u16();
    if (!r.ok())
        return readPastEnd("hhea");
    return hhea;
}

std::variant<PostNames, Failure> ReadPost(std::span<const std::uint8_t> bytes, std::uint32_t length)
{
    ByteReader r(bytes);
    PostNames post;
    r.u8(); // the version's first byte is not examined: 2.0 and 2.5 both have names
    post.version = r.u8();
    if (!r.ok())
        return readPastEnd("post");
    if (post.version != 2)
        return post;
    r.skip(30); // the rest of the header
    const int numberOfGlyphs = r.u16();
    if (!r.canRead(2 * std::size_t(numberOfGlyphs)))
        return readPastEnd("post glyph names");
    post.numberOfGlyphs = numberOfGlyphs;
    post.nameIndex.resize(std::size_t(numberOfGlyphs));
    for (int& index : post.nameIndex)
        index = r.u16();

    // Length-prefixed names up to the end of the table. The end is tested
    // before each name, so a table that ends with its index array has none
    // (rather than one taken from the bytes that follow it).
    while (r.pos() < length) {
        const std::size_t size = r.u8();
        const auto text = r.bytes(size);
        if (!r.ok())
            return readPastEnd("post glyph names");
        post.names.emplace_back(text.begin(), text.end());
    }
    return post;
}

std::variant<std::vector<std::uint32_t>, Failure> ReadLoca(std::span<const std::uint8_t> bytes, int numGlyphs,
                                                           std::int16_t indexToLocFormat)
{
    // The format is the field's low byte.
    const int locFormat = std::int8_t(indexToLocFormat & 0xFF);
    if (locFormat != 0 && locFormat != 1)
        return Failure{BadLocaFormat, {}, {}};
    ByteReader r(bytes);
    const std::size_t entries = std::size_t(numGlyphs) + 1;
    if (!r.canRead(entries * (locFormat == 0 ? 2 : 4)))
        return readPastEnd("loca");
    std::vector<std::uint32_t> offsets(entries);
    for (std::uint32_t& offset : offsets)
        offset = locFormat == 0 ? 2u * ReadUShort(r) : r.u32();
    return offsets;
}

std::variant<std::vector<HMetric>, Failure> ReadHmtx(std::span<const std::uint8_t> bytes, int numberOfHMetrics,
                                                     int numGlyphs)
{
    ByteReader r(bytes);
    const int longMetrics = std::min(numberOfHMetrics, numGlyphs);
    if (!r.canRead(4 * std::size_t(longMetrics) + 2 * std::size_t(numGlyphs - longMetrics)))
        return readPastEnd("hmtx");
    std::vector<HMetric> metrics(static_cast<std::size_t>(numGlyphs));
    for (int g = 0; g < numGlyphs; ++g) {
        HMetric& m = metrics[std::size_t(g)];
        if (g < longMetrics)
            m.AdvanceWidth = r.u16();
        else // the last advance width repeats; with no metrics at all it is 0
            m.AdvanceWidth = longMetrics > 0 ? metrics[std::size_t(longMetrics) - 1].AdvanceWidth : 0;
        m.Lsb = r.i16();
        m.RightSpace = m.AdvanceWidth - m.Lsb;
    }
    return metrics;
}

GlyphHeaders ReadGlyphHeaders(std::span<const std::uint8_t> glyf, const std::vector<std::uint32_t>& glyphOffset)
{
    const std::size_t count = glyphOffset.empty() ? 0 : glyphOffset.size() - 1;
    GlyphHeaders out{std::vector<BBox>(count), std::vector<GlyphKind>(count, GlyphKind::Simple)};
    ByteReader r(glyf);
    for (std::size_t g = 0; g < count; ++g) {
        if (glyphOffset[g] == glyphOffset[g + 1])
            continue;
        const std::size_t at = glyphOffset[g];
        if (at > r.size() || r.size() - at < GlyphHeaderSize) {
            out.kinds[g] = GlyphKind::NoHeader;
            continue;
        }
        r.seek(at);
        if (ReadShort(r) < 0)
            out.kinds[g] = GlyphKind::Composite;
        out.boxes[g] = {ReadShort(r), ReadShort(r), ReadShort(r), ReadShort(r)};
    }
    return out;
}
