#pragma once
// Writers of the colour bitmap tables (CBLC/CBDT, sbix), the SVG table and
// the images they carry, for the tests' hostile and edge-case fonts.
#include <string>
#include <vector>

#include <zlib.h>

#include "support/ttf_builder.h"

namespace ttf {

// A PNG of width x height, 8-bit grey, whose image data is `idat` (zlib) as given.
inline ByteVector pngOf(std::uint32_t width, std::uint32_t height, const ByteVector& idat)
{
    auto chunk = [](Bytes& out, std::string_view kind, const ByteVector& data) {
        Bytes body;
        body.text(kind).append(data);
        out.u32(std::uint32_t(data.size())).append(body.data);
        out.u32(std::uint32_t(crc32(0, body.data.data(), uInt(body.data.size()))));
    };
    Bytes png;
    png.append({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    chunk(png, "IHDR", Bytes().u32(width).u32(height).u8(8).u8(0).u8(0).u8(0).u8(0).data);
    chunk(png, "IDAT", idat);
    chunk(png, "IEND", {});
    return png.data;
}

// `data` gzipped (gzip's header, not zlib's).
inline ByteVector gzipped(const ByteVector& data)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    ByteVector out(deflateBound(&z, uLong(data.size())) + 32);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct SbixRecord {
    std::int16_t originOffsetX = 0, originOffsetY = 0;
    std::string graphicType; // empty: no record for the glyph
    ByteVector data;
};

// sbix of one strike at ppem: one record per glyph, in glyph order.
inline ByteVector sbixTable(std::uint16_t ppem, const std::vector<SbixRecord>& glyphs)
{
    Bytes t;
    t.u16(1).u16(1).u32(1).u32(12); // version, flags, numStrikes, strikeOffsets[0]
    std::uint32_t at = 4 + 4 * std::uint32_t(glyphs.size() + 1);
    t.u16(ppem).u16(72); // ppem, ppi
    for (const SbixRecord& g : glyphs) {
        t.u32(at);
        at += g.graphicType.empty() ? 0 : std::uint32_t(8 + g.data.size());
    }
    t.u32(at);
    for (const SbixRecord& g : glyphs)
        if (!g.graphicType.empty())
            t.i16(g.originOffsetX).i16(g.originOffsetY).tag(g.graphicType).append(g.data);
    return t.data;
}

// A 'dupe' record naming glyph.
inline SbixRecord sbixDupe(std::uint16_t glyph) { return {0, 0, "dupe", Bytes().u16(glyph).data}; }

struct SvgRecord {
    std::uint16_t startGlyphID = 0, endGlyphID = 0;
    std::uint32_t svgDocOffset = 0, svgDocLength = 0; // from the document list's start
};

// SVG table: the document list right after the 10-byte header, `documents` after the records.
inline ByteVector svgTable(const std::vector<SvgRecord>& records, const ByteVector& documents = {})
{
    Bytes t;
    t.u16(0).u32(10).u32(0); // version, svgDocumentListOffset, reserved
    t.u16(std::uint16_t(records.size()));
    for (const SvgRecord& r : records)
        t.u16(r.startGlyphID).u16(r.endGlyphID).u32(r.svgDocOffset).u32(r.svgDocLength);
    return t.append(documents).data;
}

// CBLC of one strike (ppem, bitDepth) over glyphs first..last, whose
// IndexSubTableArray is `indexArray` at indexSubTableArrayOffset 56
// (majorVersion 2: the same as EBLC).
inline ByteVector cblcTable(std::uint8_t ppem, std::uint8_t bitDepth, std::uint16_t first, std::uint16_t last,
                            std::uint32_t numberOfIndexSubTables, const ByteVector& indexArray,
                            std::uint16_t majorVersion = 3)
{
    Bytes t;
    t.u16(majorVersion).u16(0).u32(1); // majorVersion, minorVersion, numSizes
    t.u32(56).u32(std::uint32_t(indexArray.size())).u32(numberOfIndexSubTables).u32(0); // colorRef
    t.zeros(24);                                     // hori, vert
    t.u16(first).u16(last).u8(ppem).u8(ppem).u8(bitDepth).u8(1);
    return t.append(indexArray).data;
}

// An IndexSubTableArray of one range whose index subtable (format 1) follows
// it: images at sbitOffsets in CBDT from imageDataOffset.
inline ByteVector indexFormat1(std::uint16_t first, std::uint16_t last, std::uint16_t imageFormat,
                               std::uint32_t imageDataOffset, const std::vector<std::uint32_t>& sbitOffsets)
{
    Bytes t;
    t.u16(first).u16(last).u32(8); // additionalOffsetToIndexSubtable
    t.u16(1).u16(imageFormat).u32(imageDataOffset);
    for (std::uint32_t o : sbitOffsets)
        t.u32(o);
    return t.data;
}

} // namespace ttf
