#include "colour/svg_table.h"

#include <algorithm>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t SvgRecordSize = 12; // startGlyphID, endGlyphID, svgDocOffset, svgDocLength

bool isGzip(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0x1F && bytes[1] == 0x8B && bytes[2] == 0x08;
}

} // namespace

SvgIndex ReadSvgIndex(std::span<const std::uint8_t> svg)
{
    SvgIndex out;
    ByteReader r(svg);
    out.version = r.u16();
    const std::uint32_t listOffset = r.u32();
    r.seek(listOffset);
    const int numEntries = r.u16();
    // The records are checked in the bytes before any is kept.
    if (!r.canRead(std::size_t(numEntries) * SvgRecordSize)) {
        out.problem = "SVG document index runs past the end of the table";
        return out;
    }
    std::vector<SvgDocumentRecord> records;
    records.reserve(std::size_t(numEntries));
    for (int i = 0; i < numEntries; ++i) {
        SvgDocumentRecord d;
        d.firstGlyph = r.u16();
        d.lastGlyph = r.u16();
        d.offset = r.u32();
        d.length = r.u32();
        const std::string which = "SVG document " + std::to_string(i);
        if (d.lastGlyph < d.firstGlyph) {
            out.problem = which + " has its glyph range reversed";
            return out;
        }
        if (!records.empty() && d.firstGlyph <= records.back().lastGlyph) {
            out.problem = which + "'s glyphs overlap or precede the previous document's";
            return out;
        }
        const std::uint64_t end = std::uint64_t(listOffset) + d.offset + d.length;
        if (end > svg.size()) {
            out.problem = which + " lies past the end of the table";
            return out;
        }
        records.push_back(d);
    }
    out.records = std::move(records);
    return out;
}

SvgGlyphDocument FindSvgDocument(std::span<const std::uint8_t> svg, const SvgIndex& index, int glyph)
{
    SvgGlyphDocument out;
    out.problem = index.problem;
    ByteReader r(svg);
    r.skip(2); // version
    const std::uint32_t listOffset = r.u32();
    // In glyph order without overlaps: the first range ending at or after glyph is the only candidate.
    const auto d = std::lower_bound(index.records.begin(), index.records.end(), glyph,
                                    [](const SvgDocumentRecord& rec, int g) { return rec.lastGlyph < g; });
    if (d == index.records.end() || d->firstGlyph > glyph)
        return out;
    out.found = true;
    out.document = int(d - index.records.begin());
    out.record = *d;
    out.bytes = svg.subspan(std::size_t(listOffset) + d->offset, d->length);
    out.gzipped = isGzip(out.bytes);
    return out;
}
