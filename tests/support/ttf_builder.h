#pragma once
// A small TrueType writer for tests: big-endian bytes, the tables Lumaro
// reads, and an assembler that puts them behind an offset table and a
// directory. Edge-case fonts are built from these inside the tests.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

namespace ttf {

using ByteVector = std::vector<std::uint8_t>;

// Big-endian byte builder: b.u16(4); // format
class Bytes {
public:
    Bytes& u8(std::uint8_t v) { data.push_back(v); return *this; }
    Bytes& u16(std::uint16_t v) { u8(std::uint8_t(v >> 8)); return u8(std::uint8_t(v)); }
    Bytes& i16(std::int16_t v) { return u16(std::uint16_t(v)); }
    Bytes& u32(std::uint32_t v) { u16(std::uint16_t(v >> 16)); return u16(std::uint16_t(v)); }
    // Four characters, blank-padded or cut to four.
    Bytes& tag(std::string_view t)
    {
        for (std::size_t i = 0; i < 4; ++i)
            u8(std::uint8_t(i < t.size() ? t[i] : ' '));
        return *this;
    }
    Bytes& text(std::string_view s) { data.insert(data.end(), s.begin(), s.end()); return *this; }
    Bytes& append(const ByteVector& b) { data.insert(data.end(), b.begin(), b.end()); return *this; }
    Bytes& zeros(std::size_t n) { data.insert(data.end(), n, 0); return *this; }
    Bytes& padTo(std::size_t multiple)
    {
        while (data.size() % multiple)
            data.push_back(0);
        return *this;
    }
    std::size_t size() const { return data.size(); }

    ByteVector data;
};

// Overwrite bytes of an assembled font or table in place.
inline void putU16(ByteVector& d, std::size_t at, std::uint16_t v)
{
    d.at(at) = std::uint8_t(v >> 8);
    d.at(at + 1) = std::uint8_t(v);
}

inline void putU32(ByteVector& d, std::size_t at, std::uint32_t v)
{
    putU16(d, at, std::uint16_t(v >> 16));
    putU16(d, at + 2, std::uint16_t(v));
}

inline std::uint16_t getU16(const ByteVector& d, std::size_t at)
{
    return std::uint16_t(d.at(at) << 8 | d.at(at + 1));
}

inline std::uint32_t getU32(const ByteVector& d, std::size_t at)
{
    return std::uint32_t(getU16(d, at)) << 16 | getU16(d, at + 2);
}

// ---- the font file ----------------------------------------------------------

struct Table {
    std::string tag; // any text; written as four characters
    ByteVector data;
};

inline std::uint32_t tableChecksum(const ByteVector& data)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k)
            word = word << 8 | (i + k < data.size() ? data[i + k] : 0);
        sum += word;
    }
    return sum;
}

// Offset table, then one directory entry per table in the given order
// (duplicates and any tags allowed), then the tables' data in the same
// order, each starting on a 4-byte boundary.
inline ByteVector assemble(const std::vector<Table>& tables, std::uint32_t sfntVersion = 0x00010000)
{
    const auto numTables = std::uint16_t(tables.size());
    std::uint16_t entrySelector = 0;
    while (numTables >> (entrySelector + 1))
        ++entrySelector;
    const std::uint16_t searchRange = numTables ? std::uint16_t(16u << entrySelector) : 0;

    Bytes b;
    b.u32(sfntVersion);
    b.u16(numTables);
    b.u16(searchRange);
    b.u16(entrySelector);
    b.u16(std::uint16_t(numTables * 16 - searchRange)); // rangeShift

    std::uint32_t offset = 12 + 16 * std::uint32_t(numTables);
    for (const Table& t : tables) {
        b.tag(t.tag);
        b.u32(tableChecksum(t.data));
        b.u32(offset);
        b.u32(std::uint32_t(t.data.size()));
        offset += std::uint32_t(t.data.size() + 3) / 4 * 4;
    }
    for (const Table& t : tables)
        b.append(t.data).padTo(4);
    return b.data;
}

// Offset of the directory entry of the first table tagged `tag`, for patching.
inline std::size_t directoryEntryAt(const ByteVector& font, std::string_view tag)
{
    const std::uint16_t numTables = getU16(font, 4);
    for (std::size_t i = 0; i < numTables; ++i) {
        const std::size_t at = 12 + 16 * i;
        if (std::string_view(reinterpret_cast<const char*>(&font.at(at)), 4) == tag)
            return at;
    }
    return 0;
}

// File offset of the first table tagged `tag` in an assembled font.
inline std::uint32_t tableOffset(const ByteVector& font, std::string_view tag)
{
    return getU32(font, directoryEntryAt(font, tag) + 8);
}

inline Table* findTable(std::vector<Table>& tables, std::string_view tag)
{
    for (Table& t : tables)
        if (t.tag == tag)
            return &t;
    return nullptr;
}

inline void removeTable(std::vector<Table>& tables, std::string_view tag)
{
    std::erase_if(tables, [&](const Table& t) { return t.tag == tag; });
}

// ---- glyphs ------------------------------------------------------------------

struct Point {
    std::int16_t x = 0, y = 0;
    bool onCurve = true;
};
using Contour = std::vector<Point>;

struct Component {
    std::uint16_t glyph = 0;
    std::int16_t dx = 0, dy = 0;        // or, with matchPoints, the parent's and the component's point
    std::vector<std::int16_t> scale{};  // F2Dot14: one value, x and y, or the 2 x 2 matrix
    bool matchPoints = false;
    std::uint16_t moreFlags = 0;
};

// One glyph. Nothing set: an empty glyph (no data, loca entry equals the next).
struct Glyph {
    std::vector<Contour> contours;     // a simple glyph
    std::vector<Component> components; // not empty: a composite glyph
    std::array<std::int16_t, 4> compositeBox{}; // xMin, yMin, xMax, yMax of a composite
    ByteVector raw;                    // not empty: these bytes, as they stand
};

inline Glyph simpleGlyph(std::vector<Contour> contours)
{
    Glyph g;
    g.contours = std::move(contours);
    return g;
}

inline Glyph compositeGlyph(std::vector<Component> components, std::array<std::int16_t, 4> box = {})
{
    Glyph g;
    g.components = std::move(components);
    g.compositeBox = box;
    return g;
}

// A closed square of on-curve points: the simplest visible glyph.
inline Glyph squareGlyph(std::int16_t x0, std::int16_t y0, std::int16_t x1, std::int16_t y1)
{
    return simpleGlyph({{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}}});
}

constexpr std::uint8_t ON_CURVE_POINT = 0x01;
constexpr std::uint16_t ARG_1_AND_2_ARE_WORDS = 0x0001;
constexpr std::uint16_t ARGS_ARE_XY_VALUES = 0x0002;
constexpr std::uint16_t MORE_COMPONENTS = 0x0020;
constexpr std::uint16_t WE_HAVE_A_SCALE = 0x0008;
constexpr std::uint16_t WE_HAVE_AN_X_AND_Y_SCALE = 0x0040;
constexpr std::uint16_t WE_HAVE_A_TWO_BY_TWO = 0x0080;

// glyf data of one glyph. Simple glyphs are written plainly: one flag per
// point (no repeats) and 16-bit coordinate deltas; no instructions.
inline ByteVector glyphData(const Glyph& glyph)
{
    if (!glyph.raw.empty())
        return glyph.raw;
    Bytes b;
    if (!glyph.components.empty()) {
        b.i16(-1); // numberOfContours
        for (std::int16_t v : glyph.compositeBox)
            b.i16(v);
        for (std::size_t i = 0; i < glyph.components.size(); ++i) {
            const Component& c = glyph.components[i];
            std::uint16_t flags = ARG_1_AND_2_ARE_WORDS | c.moreFlags;
            if (!c.matchPoints)
                flags |= ARGS_ARE_XY_VALUES;
            if (i + 1 < glyph.components.size())
                flags |= MORE_COMPONENTS;
            const std::uint16_t scaleFlags[] = {0, WE_HAVE_A_SCALE, WE_HAVE_AN_X_AND_Y_SCALE, 0, WE_HAVE_A_TWO_BY_TWO};
            flags |= scaleFlags[std::min<std::size_t>(c.scale.size(), 4)];
            b.u16(flags);
            b.u16(c.glyph);
            b.i16(c.dx);
            b.i16(c.dy);
            for (std::int16_t v : c.scale)
                b.i16(v);
        }
        return b.data;
    }
    if (glyph.contours.empty())
        return {};

    std::int16_t xMin = INT16_MAX, yMin = INT16_MAX, xMax = INT16_MIN, yMax = INT16_MIN;
    for (const Contour& c : glyph.contours)
        for (const Point& p : c) {
            xMin = std::min(xMin, p.x);
            yMin = std::min(yMin, p.y);
            xMax = std::max(xMax, p.x);
            yMax = std::max(yMax, p.y);
        }
    b.i16(std::int16_t(glyph.contours.size())); // numberOfContours
    b.i16(xMin).i16(yMin).i16(xMax).i16(yMax);
    int last = -1;
    for (const Contour& c : glyph.contours) {
        last += int(c.size());
        b.u16(std::uint16_t(last)); // endPtsOfContours
    }
    b.u16(0); // instructionLength
    for (const Contour& c : glyph.contours)
        for (const Point& p : c)
            b.u8(p.onCurve ? ON_CURVE_POINT : 0); // flags: 16-bit deltas follow
    int prev = 0;
    for (const Contour& c : glyph.contours)
        for (const Point& p : c) {
            b.i16(std::int16_t(p.x - prev));
            prev = p.x;
        }
    prev = 0;
    for (const Contour& c : glyph.contours)
        for (const Point& p : c) {
            b.i16(std::int16_t(p.y - prev));
            prev = p.y;
        }
    return b.data;
}

struct GlyfLoca {
    ByteVector glyf;
    ByteVector loca;
};

// glyf and loca (numGlyphs + 1 entries) for indexToLocFormat 0 (short) or 1 (long).
// Every glyph's data is padded to an even length.
inline GlyfLoca glyfAndLoca(const std::vector<Glyph>& glyphs, int indexToLocFormat)
{
    Bytes glyf, loca;
    auto entry = [&](std::size_t offset) {
        if (indexToLocFormat == 0)
            loca.u16(std::uint16_t(offset / 2));
        else
            loca.u32(std::uint32_t(offset));
    };
    for (const Glyph& g : glyphs) {
        entry(glyf.size());
        glyf.append(glyphData(g)).padTo(2);
    }
    entry(glyf.size());
    return {glyf.data, loca.data};
}

// ---- header and metrics tables -------------------------------------------------

inline ByteVector maxpTable(std::uint16_t numGlyphs)
{
    Bytes b;
    b.u32(0x00010000); // version 1.0
    b.u16(numGlyphs);
    b.u16(0);          // maxPoints
    b.u16(0);          // maxContours
    b.u16(0);          // maxCompositePoints
    b.u16(0);          // maxCompositeContours
    b.u16(2);          // maxZones
    b.u16(0);          // maxTwilightPoints
    b.u16(0);          // maxStorage
    b.u16(0);          // maxFunctionDefs
    b.u16(0);          // maxInstructionDefs
    b.u16(0);          // maxStackElements
    b.u16(0);          // maxSizeOfInstructions
    b.u16(0);          // maxComponentElements
    b.u16(0);          // maxComponentDepth
    return b.data;
}

inline ByteVector headTable(std::int16_t indexToLocFormat, std::uint16_t unitsPerEm = 1000)
{
    Bytes b;
    b.u32(0x00010000); // version
    b.u32(0x00010000); // fontRevision
    b.u32(0);          // checkSumAdjustment
    b.u32(0x5F0F3CF5); // magicNumber
    b.u16(0);          // flags
    b.u16(unitsPerEm);
    b.zeros(8);        // created
    b.zeros(8);        // modified
    b.i16(0).i16(0).i16(1000).i16(1000); // xMin, yMin, xMax, yMax
    b.u16(0);          // macStyle
    b.u16(8);          // lowestRecPPEM
    b.i16(2);          // fontDirectionHint
    b.i16(indexToLocFormat);
    b.i16(0);          // glyphDataFormat
    return b.data;     // 54 bytes
}

inline ByteVector hheaTable(std::uint16_t numberOfHMetrics)
{
    Bytes b;
    b.u32(0x00010000); // version
    b.i16(800);        // ascender
    b.i16(-200);       // descender
    b.i16(0);          // lineGap
    b.u16(1000);       // advanceWidthMax
    b.i16(0);          // minLeftSideBearing
    b.i16(0);          // minRightSideBearing
    b.i16(1000);       // xMaxExtent
    b.i16(1);          // caretSlopeRise
    b.i16(0);          // caretSlopeRun
    b.i16(0);          // caretOffset
    b.zeros(8);        // reserved
    b.i16(0);          // metricDataFormat
    b.u16(numberOfHMetrics);
    return b.data;     // 36 bytes
}

struct LongHorMetric {
    std::uint16_t advanceWidth = 0;
    std::int16_t lsb = 0;
};

// numberOfHMetrics = metrics.size(); leftSideBearings for the remaining glyphs.
inline ByteVector hmtxTable(const std::vector<LongHorMetric>& metrics, const std::vector<std::int16_t>& leftSideBearings = {})
{
    Bytes b;
    for (const LongHorMetric& m : metrics)
        b.u16(m.advanceWidth).i16(m.lsb);
    for (std::int16_t lsb : leftSideBearings)
        b.i16(lsb);
    return b.data;
}

inline Bytes postHeader(std::uint32_t version)
{
    Bytes b;
    b.u32(version);
    b.u32(0);          // italicAngle
    b.i16(-100);       // underlinePosition
    b.i16(50);         // underlineThickness
    b.u32(0);          // isFixedPitch
    b.zeros(16);       // minMemType42, maxMemType42, minMemType1, maxMemType1
    return b;          // 32 bytes
}

// post 3.0: no glyph names.
inline ByteVector post30Table()
{
    return postHeader(0x00030000).data;
}

// post 2.0: glyphNameIndex per glyph (0..257 standard names, 258 + k: names[k]).
inline ByteVector post20Table(const std::vector<std::uint16_t>& glyphNameIndex, const std::vector<std::string>& names)
{
    Bytes b = postHeader(0x00020000);
    b.u16(std::uint16_t(glyphNameIndex.size())); // numberOfGlyphs
    for (std::uint16_t i : glyphNameIndex)
        b.u16(i);
    for (const std::string& n : names)
        b.u8(std::uint8_t(n.size())).text(n);
    return b.data;
}

// ---- character map -----------------------------------------------------------------

struct Encoding {
    std::uint16_t platformID = 3, encodingID = 1;
    ByteVector subtable;
};

// cmap header, one record per encoding in order, then the subtables.
inline ByteVector cmapTable(const std::vector<Encoding>& encodings)
{
    Bytes b;
    b.u16(0); // version
    b.u16(std::uint16_t(encodings.size()));
    std::uint32_t offset = 4 + 8 * std::uint32_t(encodings.size());
    for (const Encoding& e : encodings) {
        b.u16(e.platformID).u16(e.encodingID).u32(offset);
        offset += std::uint32_t(e.subtable.size());
    }
    for (const Encoding& e : encodings)
        b.append(e.subtable);
    return b.data;
}

inline ByteVector cmapFormat0(const std::array<std::uint8_t, 256>& glyphIdArray)
{
    Bytes b;
    b.u16(0);   // format
    b.u16(262); // length
    b.u16(0);   // language
    for (std::uint8_t g : glyphIdArray)
        b.u8(g);
    return b.data;
}

struct Segment {
    std::uint16_t startCode = 0, endCode = 0;
    std::uint16_t idDelta = 0; // taken mod 65536: 65507 is -29
    std::uint16_t idRangeOffset = 0;
};

// Format 4 from its fields, in the order given; glyphIdArray follows idRangeOffset.
inline ByteVector cmapFormat4(const std::vector<Segment>& segments, const std::vector<std::uint16_t>& glyphIdArray = {})
{
    const auto segCount = std::uint16_t(segments.size());
    std::uint16_t entrySelector = 0;
    while (segCount >> (entrySelector + 1))
        ++entrySelector;
    const std::uint16_t searchRange = segCount ? std::uint16_t(2u << entrySelector) : 0;

    Bytes b;
    b.u16(4); // format
    b.u16(std::uint16_t(16 + 8 * segCount + 2 * glyphIdArray.size())); // length
    b.u16(0); // language
    b.u16(std::uint16_t(2 * segCount)); // segCountX2
    b.u16(searchRange);
    b.u16(entrySelector);
    b.u16(std::uint16_t(2 * segCount - searchRange)); // rangeShift
    for (const Segment& s : segments)
        b.u16(s.endCode);
    b.u16(0); // reservedPad
    for (const Segment& s : segments)
        b.u16(s.startCode);
    for (const Segment& s : segments)
        b.u16(s.idDelta);
    for (const Segment& s : segments)
        b.u16(s.idRangeOffset);
    for (std::uint16_t g : glyphIdArray)
        b.u16(g);
    return b.data;
}

// Format 4 for a code -> glyph map: one idDelta segment per run of consecutive
// codes with consecutive glyphs, then the final 0xFFFF segment.
inline ByteVector cmapFormat4(const std::map<std::uint16_t, std::uint16_t>& map)
{
    std::vector<Segment> segments;
    for (const auto& [code, glyph] : map) {
        if (code == 0xFFFF)
            continue;
        const auto delta = std::uint16_t(glyph - code);
        if (!segments.empty() && segments.back().endCode + 1 == code && segments.back().idDelta == delta)
            segments.back().endCode = code;
        else
            segments.push_back({code, code, delta, 0});
    }
    segments.push_back({0xFFFF, 0xFFFF, 1, 0});
    return cmapFormat4(segments);
}

// Format 6 (trimmed table), which Lumaro does not read.
inline ByteVector cmapFormat6(std::uint16_t firstCode, const std::vector<std::uint16_t>& glyphIdArray)
{
    Bytes b;
    b.u16(6); // format
    b.u16(std::uint16_t(10 + 2 * glyphIdArray.size())); // length
    b.u16(0); // language
    b.u16(firstCode);
    b.u16(std::uint16_t(glyphIdArray.size())); // entryCount
    for (std::uint16_t g : glyphIdArray)
        b.u16(g);
    return b.data;
}

struct Group {
    std::uint32_t startCharCode = 0, endCharCode = 0, startGlyphID = 0;
};

// Format 12 (segmented coverage) from its groups, in the order given.
inline ByteVector cmapFormat12(const std::vector<Group>& groups)
{
    Bytes b;
    b.u16(12); // format
    b.u16(0);  // reserved
    b.u32(std::uint32_t(16 + 12 * groups.size())); // length
    b.u32(0);  // language
    b.u32(std::uint32_t(groups.size())); // numGroups
    for (const Group& g : groups)
        b.u32(g.startCharCode).u32(g.endCharCode).u32(g.startGlyphID);
    return b.data;
}

// ---- naming table --------------------------------------------------------------

struct NameRecord {
    std::uint16_t platformID = 3, encodingID = 1, languageID = 0x0409, nameID = 1;
    ByteVector string; // as stored: UTF-16BE for platform 3, single bytes for platform 1
};

inline ByteVector utf16be(std::u16string_view s)
{
    Bytes b;
    for (char16_t c : s)
        b.u16(std::uint16_t(c));
    return b.data;
}

inline ByteVector latin1(std::string_view s)
{
    return ByteVector(s.begin(), s.end());
}

// name format 0: records in the given order, strings stored one after another.
inline ByteVector nameTable(const std::vector<NameRecord>& records)
{
    Bytes b;
    b.u16(0); // format
    b.u16(std::uint16_t(records.size()));
    b.u16(std::uint16_t(6 + 12 * records.size())); // stringOffset
    std::uint16_t offset = 0;
    for (const NameRecord& r : records) {
        b.u16(r.platformID).u16(r.encodingID).u16(r.languageID).u16(r.nameID);
        b.u16(std::uint16_t(r.string.size())); // length
        b.u16(offset);
        offset = std::uint16_t(offset + r.string.size());
    }
    for (const NameRecord& r : records)
        b.append(r.string);
    return b.data;
}

// ---- a whole font from a simple description ---------------------------------------

struct FontSpec {
    std::vector<Glyph> glyphs;
    std::map<std::uint16_t, std::uint16_t> cmap; // code -> glyph, one 3/1 format 4 subtable
    std::vector<std::string> glyphNames;         // not empty: post 2.0, glyph g named glyphNames[g] (number 258 + g)
    std::vector<NameRecord> names;               // not empty: a name table
    std::int16_t indexToLocFormat = 0;
    std::uint16_t unitsPerEm = 1000;
    // Glyph g gets advance width 500 + g and left side bearing g.
};

// cmap, glyf, head, hhea, hmtx, loca, maxp, [name,] post: the tag order of real fonts.
inline std::vector<Table> fontTables(const FontSpec& design)
{
    const auto numGlyphs = std::uint16_t(design.glyphs.size());
    std::vector<LongHorMetric> metrics;
    for (std::uint16_t g = 0; g < numGlyphs; ++g)
        metrics.push_back({std::uint16_t(500 + g), std::int16_t(g)});
    std::vector<std::uint16_t> nameIndex;
    for (std::uint16_t g = 0; g < design.glyphNames.size(); ++g)
        nameIndex.push_back(std::uint16_t(258 + g));
    GlyfLoca gl = glyfAndLoca(design.glyphs, design.indexToLocFormat);

    std::vector<Table> tables = {
        {"cmap", cmapTable({{3, 1, cmapFormat4(design.cmap)}})},
        {"glyf", gl.glyf},
        {"head", headTable(design.indexToLocFormat, design.unitsPerEm)},
        {"hhea", hheaTable(numGlyphs)},
        {"hmtx", hmtxTable(metrics)},
        {"loca", gl.loca},
        {"maxp", maxpTable(numGlyphs)},
    };
    if (!design.names.empty())
        tables.push_back({"name", nameTable(design.names)});
    tables.push_back({"post", design.glyphNames.empty() ? post30Table() : post20Table(nameIndex, design.glyphNames)});
    return tables;
}

inline ByteVector buildFont(const FontSpec& design)
{
    return assemble(fontTables(design));
}

// A font of `count` glyphs: glyph 0 a square, then squares of growing size;
// codes 'A'.. map to glyphs 1.. .
inline FontSpec squaresFont(int count)
{
    FontSpec design;
    for (int g = 0; g < count; ++g)
        design.glyphs.push_back(squareGlyph(0, 0, std::int16_t(100 + g), std::int16_t(200 + g)));
    for (int g = 1; g < count && 'A' + g - 1 <= 0xFFFE; ++g)
        design.cmap[std::uint16_t('A' + g - 1)] = std::uint16_t(g);
    return design;
}

// A glyph of n contours of one on-curve point each, along the baseline from
// x = 0 to x = n - 1: past the classic view's limits from n = 2001.
inline Glyph pointRowGlyph(int n)
{
    Bytes b;
    b.i16(std::int16_t(n)).i16(0).i16(0).i16(std::int16_t(n - 1)).i16(0); // numberOfContours, box
    for (int c = 0; c < n; ++c)
        b.u16(std::uint16_t(c)); // endPtsOfContours
    b.u16(0);                    // instructionLength
    for (int c = 0; c < n; ++c)
        b.u8(ON_CURVE_POINT | 0x02 | 0x10 | 0x20); // x a positive byte, y unchanged
    for (int c = 0; c < n; ++c)
        b.u8(c == 0 ? 0 : 1);
    Glyph g;
    g.raw = b.data;
    return g;
}

// ---- a font on disk ------------------------------------------------------------

// Writes bytes to a fresh file in the temporary folder; removed again on destruction.
class TempFontFile {
public:
    explicit TempFontFile(const ByteVector& bytes, std::string_view suffix = ".ttf")
    {
        static std::atomic<int> counter{0};
        path_ = (std::filesystem::temp_directory_path()
                 / ("lumaro-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + std::string(suffix)))
                    .string();
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFontFile()
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    TempFontFile(const TempFontFile&) = delete;
    TempFontFile& operator=(const TempFontFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace ttf
