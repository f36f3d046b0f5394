#include "colour/bitmap_strikes.h"

#include <algorithm>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t CblcHeaderSize = 8;   // majorVersion, minorVersion, numSizes
constexpr std::size_t BitmapSizeSize = 48;  // one BitmapSize record
constexpr std::size_t SbixHeaderSize = 8;   // version, flags, numStrikes
constexpr std::size_t SbixGlyphHeader = 8;  // originOffsetX, originOffsetY, graphicType

struct ImageSpan {
    std::uint64_t start = 0, length = 0; // in CBDT
    int imageFormat = 0;
    bool hasIndexMetrics = false; // index formats 2 and 5 carry the glyphs' big metrics
    int height = 0, width = 0, bearingX = 0, bearingY = 0, advance = 0;
    std::string problem;
};

std::string tagText(std::span<const std::uint8_t> tag)
{
    std::string s(tag.begin(), tag.end());
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// height, width, horiBearingX, horiBearingY, horiAdvance; big metrics add
// the vertical three, which a horizontal picture does not use.
void readMetrics(ByteReader& r, bool big, int& height, int& width, int& bearingX, int& bearingY, int& advance)
{
    height = r.u8();
    width = r.u8();
    bearingX = std::int8_t(r.u8());
    bearingY = std::int8_t(r.u8());
    advance = r.u8();
    if (big)
        r.skip(3);
}

// Where glyph lies in CBDT by the index subtable at `at` in CBLC, which
// covers firstGlyph..lastGlyph. length 0: the subtable gives it no image.
ImageSpan locateImage(std::span<const std::uint8_t> cblc, std::size_t at, int firstGlyph, int glyph)
{
    ImageSpan out;
    ByteReader r(cblc);
    r.seek(at);
    const int indexFormat = r.u16();
    out.imageFormat = r.u16();
    const std::uint64_t imageDataOffset = r.u32();
    if (!r.ok()) {
        out.problem = "CBLC index subtable runs past the end of the table";
        return out;
    }
    const auto k = std::uint64_t(glyph - firstGlyph);
    std::uint64_t from = 0, to = 0;
    switch (indexFormat) {
    case 1:
    case 3: {
        const std::size_t size = indexFormat == 1 ? 4 : 2;
        r.skip(std::size_t(k) * size);
        from = size == 4 ? r.u32() : r.u16();
        to = size == 4 ? r.u32() : r.u16();
        break;
    }
    case 2:
    case 5: {
        const std::uint64_t imageSize = r.u32();
        out.hasIndexMetrics = true;
        readMetrics(r, true, out.height, out.width, out.bearingX, out.bearingY, out.advance);
        std::uint64_t position = k;
        if (indexFormat == 5) {
            // The glyphs listed, in order; the image is at the listed glyph's place.
            const std::uint32_t numGlyphs = r.u32();
            position = numGlyphs;
            for (std::uint32_t i = 0; i < numGlyphs && r.ok(); ++i)
                if (r.u16() == glyph) {
                    position = i;
                    break;
                }
            if (position == numGlyphs && r.ok())
                return out; // not listed: no image
        }
        from = imageSize * position;
        to = from + imageSize;
        break;
    }
    case 4: {
        // numGlyphs + 1 (glyphID, sbitOffset) pairs; the last one ends the data.
        const std::uint32_t numGlyphs = r.u32();
        bool listed = false;
        for (std::uint32_t i = 0; i < numGlyphs && r.ok() && !listed; ++i) {
            listed = r.u16() == glyph;
            from = r.u16();
        }
        if (!listed && r.ok())
            return out;
        r.skip(2);
        to = r.u16();
        break;
    }
    default:
        out.problem = "CBLC index subtable format " + std::to_string(indexFormat) + " is unknown";
        return out;
    }
    if (!r.ok()) {
        out.problem = "CBLC index subtable runs past the end of the table";
        return out;
    }
    if (to < from) {
        out.problem = "CBLC offsets of glyph " + std::to_string(glyph) + " decrease";
        return out;
    }
    out.start = imageDataOffset + from;
    out.length = to - from;
    return out;
}

// Unpacks a monochrome or grey bitmap of width x height at bitDepth bits a
// pixel into 0..255 values; byte-aligned rows start on a byte. width and
// height come from one-byte metrics, so the values are at most 255 x 255;
// the bytes they need are checked before anything is allocated.
bool unpackBitmap(ByteReader& r, int width, int height, int bitDepth, bool byteAligned,
                  std::vector<std::uint8_t>& values)
{
    if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8)
        return false;
    const std::size_t rowBits = std::size_t(width) * std::size_t(bitDepth);
    const std::size_t needed = byteAligned ? (rowBits + 7) / 8 * std::size_t(height)
                                           : (rowBits * std::size_t(height) + 7) / 8;
    const std::span<const std::uint8_t> bits = r.bytes(needed);
    if (!r.ok())
        return false;
    values.assign(std::size_t(width) * std::size_t(height), 0);
    const int maxValue = (1 << bitDepth) - 1;
    std::size_t bit = 0;
    for (int y = 0; y < height; ++y) {
        if (byteAligned)
            bit = std::size_t(y) * ((rowBits + 7) / 8) * 8;
        for (int x = 0; x < width; ++x, bit += std::size_t(bitDepth)) {
            const int v = bits[bit / 8] >> (8 - bitDepth - int(bit % 8)) & maxValue;
            values[std::size_t(y) * std::size_t(width) + std::size_t(x)] = std::uint8_t(v * 255 / maxValue);
        }
    }
    return true;
}

// The image of one CBDT glyph from its bytes, in the image format the index subtable gave.
void readCbdtImage(std::span<const std::uint8_t> image, const ImageSpan& where, int bitDepth, StrikeGlyph& out)
{
    ByteReader r(image);
    const int format = where.imageFormat;
    out.cbdtFormat = format;
    const bool smallMetrics = format == 1 || format == 2 || format == 17;
    const bool bigMetrics = format == 6 || format == 7 || format == 18;
    const bool indexMetrics = format == 5 || format == 19;
    if (!smallMetrics && !bigMetrics && !indexMetrics) {
        out.problem = "CBDT image format " + std::to_string(format) + " is not drawn";
        return;
    }
    if (indexMetrics && !where.hasIndexMetrics) {
        out.problem = "CBDT image format " + std::to_string(format) + " without metrics in its index subtable";
        return;
    }
    out.height = where.height, out.width = where.width, out.advance = where.advance;
    out.originX = where.bearingX, out.originY = where.bearingY;
    if (!indexMetrics)
        readMetrics(r, bigMetrics, out.height, out.width, out.originX, out.originY, out.advance);
    if (format >= 17) {
        const std::uint32_t dataLen = r.u32();
        out.data = r.bytes(dataLen);
        out.imageFormat = "png";
    } else {
        out.imageFormat = "bitmap";
        if (!unpackBitmap(r, out.width, out.height, bitDepth, format == 1 || format == 6, out.values) && r.ok()) {
            out.problem = "CBDT bitmap of bit depth " + std::to_string(bitDepth) + " is not drawn";
            return;
        }
    }
    if (!r.ok()) {
        out.problem = "CBDT image of format " + std::to_string(format) + " runs past its data";
        out.data = {};
        out.values.clear();
        return;
    }
    out.found = true;
}

} // namespace

int ChooseStrike(const std::vector<StrikeInfo>& strikes, int ppem)
{
    int best = -1, largest = -1;
    for (std::size_t i = 0; i < strikes.size(); ++i) {
        const int p = strikes[i].ppem;
        if (p >= ppem && (best < 0 || p < strikes[std::size_t(best)].ppem))
            best = int(i);
        if (largest < 0 || p > strikes[std::size_t(largest)].ppem)
            largest = int(i);
    }
    return best >= 0 ? best : largest;
}

StrikeList ReadCblcStrikes(std::span<const std::uint8_t> cblc)
{
    StrikeList out;
    ByteReader r(cblc);
    out.version = r.u16();
    r.skip(2); // minorVersion
    const std::uint32_t numSizes = r.u32();
    if (!r.ok()) {
        out.problem = "CBLC is shorter than its header";
        return out;
    }
    // Each record is read before it is kept: a count the table cannot hold allocates nothing.
    for (std::uint32_t i = 0; i < numSizes; ++i) {
        StrikeInfo s;
        s.offset = std::uint32_t(CblcHeaderSize + BitmapSizeSize * i);
        r.skip(8); // indexSubTableArrayOffset, indexTablesSize
        s.indexSubtables = int(std::min<std::uint32_t>(r.u32(), 0x7fffffff));
        r.skip(4 + 12 + 12); // colorRef, hori and vert line metrics
        s.firstGlyph = r.u16();
        s.lastGlyph = r.u16();
        s.ppemX = r.u8();
        s.ppem = r.u8();
        s.bitDepth = r.u8();
        r.skip(1); // flags
        if (!r.ok()) {
            out.problem = "CBLC lists " + std::to_string(numSizes) + " strikes but holds " + std::to_string(i);
            break;
        }
        out.strikes.push_back(s);
    }
    return out;
}

StrikeGlyph FindCbdtGlyph(std::span<const std::uint8_t> cblc, std::span<const std::uint8_t> cbdt, int glyph,
                          int ppem)
{
    StrikeGlyph out;
    const StrikeList list = ReadCblcStrikes(cblc);
    out.strikeIndex = ChooseStrike(list.strikes, ppem);
    if (out.strikeIndex < 0)
        return out;
    out.strike = list.strikes[std::size_t(out.strikeIndex)];
    ByteReader r(cblc);
    r.seek(out.strike.offset);
    const std::uint32_t arrayOffset = r.u32();
    // The IndexSubTableArray: (firstGlyphIndex, lastGlyphIndex,
    // additionalOffsetToIndexSubtable) records, read one by one until the
    // glyph's range or the end of the table.
    r.seek(arrayOffset);
    for (int i = 0; i < out.strike.indexSubtables && r.ok(); ++i) {
        const int first = r.u16(), last = r.u16();
        const std::uint32_t additional = r.u32();
        if (!r.ok() || glyph < first || glyph > last)
            continue;
        const ImageSpan where = locateImage(cblc, std::size_t(arrayOffset) + additional, first, glyph);
        if (!where.problem.empty()) {
            out.problem = where.problem;
            return out;
        }
        if (where.length == 0)
            return out;
        if (where.start > cbdt.size() || where.length > cbdt.size() - where.start) {
            out.problem = "CBDT image of glyph " + std::to_string(glyph) + " lies past the end of the table";
            return out;
        }
        readCbdtImage(cbdt.subspan(std::size_t(where.start), std::size_t(where.length)), where,
                      out.strike.bitDepth, out);
        return out;
    }
    if (!r.ok())
        out.problem = "CBLC index subtable array runs past the end of the table";
    return out;
}

StrikeList ReadSbixStrikes(std::span<const std::uint8_t> sbix, int numGlyphs)
{
    StrikeList out;
    ByteReader r(sbix);
    out.version = r.u16();
    r.skip(2); // flags
    const std::uint32_t numStrikes = r.u32();
    const std::size_t offsetsSize = (std::size_t(numGlyphs) + 1) * 4;
    for (std::uint32_t i = 0; i < numStrikes && r.ok(); ++i) {
        r.seek(SbixHeaderSize + std::size_t(i) * 4);
        StrikeInfo s;
        s.offset = r.u32();
        if (!r.ok())
            break;
        ByteReader strike(sbix);
        strike.seek(s.offset);
        s.ppem = strike.u16();
        s.ppi = strike.u16();
        strike.skip(offsetsSize);
        if (!strike.ok()) {
            out.problem = "sbix strike " + std::to_string(i) + " runs past the end of the table";
            continue;
        }
        out.strikes.push_back(s);
    }
    if (!r.ok())
        out.problem = "sbix lists " + std::to_string(numStrikes) + " strikes, more than the table holds";
    return out;
}

namespace {

// The glyph data record of glyph in the strike starting at strikeOffset,
// whose offset array was checked to lie in the table.
bool readSbixRecord(std::span<const std::uint8_t> sbix, std::uint32_t strikeOffset, int glyph, StrikeGlyph& out)
{
    ByteReader r(sbix);
    r.seek(std::size_t(strikeOffset) + 4 + std::size_t(glyph) * 4);
    const std::uint32_t from = r.u32(), to = r.u32();
    if (!r.ok() || to < from) {
        out.problem = "sbix offsets of glyph " + std::to_string(glyph) + " decrease";
        return false;
    }
    if (to == from)
        return false; // no image for this glyph at this strike
    if (to - from < SbixGlyphHeader) {
        out.problem = "sbix record of glyph " + std::to_string(glyph) + " is shorter than its header";
        return false;
    }
    r.seek(std::size_t(strikeOffset) + from);
    out.originX = r.i16();
    out.originY = r.i16();
    out.imageFormat = tagText(r.bytes(4));
    out.data = r.bytes(to - from - SbixGlyphHeader);
    if (!r.ok()) {
        out.problem = "sbix record of glyph " + std::to_string(glyph) + " lies past the end of the table";
        out.data = {};
        return false;
    }
    return true;
}

// A PNG's size from its IHDR chunk, which must come first: sbix records
// none of their own. Left 0 for other images and for a PNG too short for it.
void pngSize(StrikeGlyph& glyph)
{
    static constexpr std::uint8_t Signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    ByteReader r(glyph.data);
    const auto signature = r.bytes(8);
    r.skip(4); // the chunk's length
    const auto type = r.bytes(4);
    const std::uint32_t width = r.u32(), height = r.u32();
    if (glyph.imageFormat != "png" || !r.ok() || !std::equal(signature.begin(), signature.end(), Signature)
        || tagText(type) != "IHDR" || width > 0x7fffffff || height > 0x7fffffff)
        return;
    glyph.width = int(width);
    glyph.height = int(height);
}

// JPEG markers: those that stand alone, without a length (TEM, RST0-7);
// and the three in the start-of-frame range C0-CF that are not frames (DHT,
// JPG, DAC).
constexpr int MarkerSoi = 0xD8, MarkerEoi = 0xD9, MarkerSos = 0xDA, MarkerTem = 0x01;
bool standaloneMarker(int m) { return m == MarkerTem || (m >= 0xD0 && m <= 0xD7); }
bool frameMarker(int m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// A JPEG's size from its frame header, found by walking the segments from
// the start of image: sbix records none of their own. Left 0 when the
// walk reaches the scan or the end first, or the frame gives a side of 0
// (a height left for a later DNL marker).
void jpegSize(StrikeGlyph& glyph)
{
    ByteReader r(glyph.data);
    if (r.u8() != 0xFF || r.u8() != MarkerSoi)
        return;
    while (r.ok()) {
        if (r.u8() != 0xFF)
            return;
        int marker = r.u8();
        while (marker == 0xFF && r.ok()) // fill bytes before a marker
            marker = r.u8();
        if (standaloneMarker(marker))
            continue;
        if (marker == MarkerEoi || marker == MarkerSos || marker == MarkerSoi)
            return;
        const int length = r.u16(); // counting its own two bytes
        if (frameMarker(marker)) {
            r.skip(1); // sample precision
            const int height = r.u16(), width = r.u16();
            if (r.ok() && width > 0 && height > 0)
                glyph.width = width, glyph.height = height;
            return;
        }
        if (length < 2)
            return;
        r.skip(std::size_t(length - 2));
    }
}

} // namespace

StrikeGlyph FindSbixGlyph(std::span<const std::uint8_t> sbix, int numGlyphs, int glyph, int ppem)
{
    StrikeGlyph out;
    if (glyph < 0 || glyph >= numGlyphs)
        return out;
    const StrikeList list = ReadSbixStrikes(sbix, numGlyphs);
    out.strikeIndex = ChooseStrike(list.strikes, ppem);
    if (out.strikeIndex < 0)
        return out;
    out.strike = list.strikes[std::size_t(out.strikeIndex)];
    if (!readSbixRecord(sbix, out.strike.offset, glyph, out))
        return out;
    if (out.imageFormat == "dupe") {
        // A 'dupe' names the glyph whose image this one shares. It is followed
        // once: a dupe of a dupe could chain or loop, and no font needs one.
        ByteReader r(out.data);
        const int target = r.u16();
        if (!r.ok() || target >= numGlyphs) {
            out.problem = "sbix 'dupe' of glyph " + std::to_string(glyph) + " names no glyph";
            return out;
        }
        out.dupeOf = target;
        if (!readSbixRecord(sbix, out.strike.offset, target, out))
            return out;
        if (out.imageFormat == "dupe") {
            out.problem = "sbix 'dupe' of glyph " + std::to_string(glyph) + " names another 'dupe'";
            out.data = {};
            return out;
        }
    }
    out.found = true;
    if (out.imageFormat == "jpg")
        jpegSize(out);
    else
        pngSize(out);
    return out;
}
