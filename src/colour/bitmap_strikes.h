#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The colour bitmap strikes of CBLC/CBDT and sbix: which strikes a font
// has, and one glyph's image in the strike chosen for a size. The images
// are left encoded (PNG, JPEG) as views into the table's bytes, except the
// bit-aligned and byte-aligned monochrome/grey formats, which are unpacked
// here into 8-bit coverage values. Nothing here decodes a PNG or a JPEG:
// the platform does, under its own caps.

// One strike as its table lists it.
struct StrikeInfo {
    int ppem = 0;     // CBLC: ppemY; sbix: ppem
    int ppemX = 0;    // CBLC only
    int bitDepth = 0; // CBLC only: 1, 2, 4, 8 or 32
    int ppi = 0;      // sbix only
    int firstGlyph = 0, lastGlyph = 0; // CBLC: startGlyphIndex, endGlyphIndex
    int indexSubtables = 0;            // CBLC only
    std::uint32_t offset = 0; // where its record (CBLC) or its data (sbix) starts in the table
};

struct StrikeList {
    int version = 0; // CBLC majorVersion; sbix version
    std::vector<StrikeInfo> strikes;
    std::string problem; // empty when the list was read whole; else why it was cut short
};

// One glyph's picture in a strike.
struct StrikeGlyph {
    bool found = false;  // false: the strike has no image for the glyph (problem says why, when malformed)
    int strikeIndex = -1;
    StrikeInfo strike;
    // "png", "jpg", "tiff" and the like: the encoded bytes are in `data`;
    // "bitmap": `values` holds width * height coverage values (0..255), rows from the top.
    std::string imageFormat;
    int cbdtFormat = 0; // CBDT image format (1, 2, 5, 6, 7, 17, 18, 19); 0 for sbix
    std::span<const std::uint8_t> data;
    std::vector<std::uint8_t> values;
    int width = 0, height = 0; // CBDT: from the glyph's metrics; sbix: a PNG's or JPEG's header's, else 0
    // CBDT: horiBearingX/Y (pixels, y up, the bitmap's top-left corner);
    // sbix: originOffsetX/Y (pixels, the image's bottom-left corner).
    int originX = 0, originY = 0;
    int advance = 0;   // CBDT: horiAdvance in pixels; sbix: 0
    int dupeOf = -1;   // sbix: the glyph a 'dupe' record named
    std::string problem; // why the glyph's image cannot be used, when found is false and the data is malformed
};

// The strike for a size: the one whose ppem is the nearest at or above
// ppem, else the largest. -1 when there are no strikes.
int ChooseStrike(const std::vector<StrikeInfo>& strikes, int ppem);

// CBLC's BitmapSize records. A count the table cannot hold is cut to the
// records it holds, with a problem.
StrikeList ReadCblcStrikes(std::span<const std::uint8_t> cblc);

// Glyph `glyph` in the CBLC/CBDT strike chosen for ppem (ChooseStrike).
// Image data outside CBDT, an index subtable outside CBLC, an unknown
// index or image format, or a bitmap whose metrics ask for more bytes than
// it has give found = false with a problem.
StrikeGlyph FindCbdtGlyph(std::span<const std::uint8_t> cblc, std::span<const std::uint8_t> cbdt, int glyph,
                          int ppem);

// sbix's strikes (numGlyphs from maxp sizes each strike's offset array).
StrikeList ReadSbixStrikes(std::span<const std::uint8_t> sbix, int numGlyphs);

// Glyph `glyph` in the sbix strike chosen for ppem. A 'dupe' record is
// followed once; a dupe of a dupe is refused. A glyph without data (an
// empty record) is found = false without a problem.
StrikeGlyph FindSbixGlyph(std::span<const std::uint8_t> sbix, int numGlyphs, int glyph, int ppem);
