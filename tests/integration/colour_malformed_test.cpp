// Damaged and hostile colour tables: each refused with a problem naming
// what is wrong, before anything the bytes cannot back is allocated or
// decoded.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "colour/bitmap_strikes.h"
#include "colour/svg_table.h"
#include "platform/colour_images.h"
#include "support/colour_tables.h"
#include "support/compressors.h"

namespace {

using ttf::Bytes;
using ttf::ByteVector;

struct Malformed {
    const char* what;
    std::function<std::string()> problem; // what the readers and decoders say
    const char* expected;                 // a part of it
};

const ByteVector CbdtHeader = Bytes().u16(3).u16(0).data; // majorVersion, minorVersion

std::string firstMessage(const ColourRendering& picture)
{
    return picture.messages.empty() ? std::string() : picture.messages.front();
}

// The problem of glyph 1 at 20 ppem, the image decoded where one was found.
std::string cbdtProblem(const ByteVector& cblc, const ByteVector& cbdt)
{
    const StrikeGlyph g = FindCbdtGlyph(cblc, cbdt, 1, 20);
    return g.found ? firstMessage(RenderStrikeGlyph(g, 20)) : g.problem;
}

std::string sbixProblem(const ByteVector& sbix, int glyph = 1)
{
    const StrikeGlyph g = FindSbixGlyph(sbix, 3, glyph, 20);
    return g.found ? firstMessage(RenderStrikeGlyph(g, 20)) : g.problem;
}

std::string svgProblem(const ByteVector& svg, int glyph = 1)
{
    const SvgGlyphDocument d = FindSvgDocument(svg, ReadSvgIndex(svg), glyph);
    return d.found ? SvgDocumentText(d.bytes, d.gzipped).problem : d.problem;
}

// Glyph 1 of an SVG document drawn at 100 ppem, 1000 units per em.
std::string svgGlyphProblem(const char* document, bool onlyGlyph = false)
{
    return firstMessage(RenderSvgGlyph(document, 1, 1000, 100, onlyGlyph));
}

// A PNG whose header claims 100 000 pixels a side (40 GB decoded) over a little data.
const ByteVector HugePng = ttf::pngOf(100000, 100000, ttf::deflatedZeros(1000));

TEST(ColourMalformed, EachRefusedWithItsProblem)
{
    const auto image17 = [](const ByteVector& png) {
        return Bytes().append(CbdtHeader).u8(10).u8(10).u8(0).u8(10).u8(10) // small metrics: 10 x 10
            .u32(std::uint32_t(png.size())).append(png).data;
    };
    const auto cbdtPng = [&](const ByteVector& png) {
        const ByteVector cbdt = image17(png);
        return cbdtProblem(ttf::cblcTable(20, 32, 1, 1, 1, ttf::indexFormat1(1, 1, 17, 4, {0, std::uint32_t(cbdt.size() - 4)})), cbdt);
    };
    const ByteVector smallPng = ttf::pngOf(4, 4, ttf::deflated(ByteVector(20, 0))); // 4 rows of a filter byte and 4 greys
    const ByteVector cutPng(smallPng.begin(), smallPng.begin() + 8 + 25 + 8 + 2); // signature, IHDR, 2 bytes into IDAT
    const ByteVector bigBitmap = Bytes().append(CbdtHeader).u8(255).u8(255).u8(0).u8(0).u8(255).zeros(10).data;
    ByteVector cutSbix = ttf::sbixTable(20, {{}, {0, 0, "png ", ttf::pngOf(4, 4, ttf::deflatedZeros(20))}, {}});
    cutSbix.resize(cutSbix.size() - 20);
    const ByteVector document = Bytes().text("<svg xmlns=\"http://www.w3.org/2000/svg\"/>").data;
    const ByteVector bomb = ttf::gzipped(ByteVector(std::size_t(MaxSvgDocumentBytes) + (1 << 20), ' '));
    const auto oneDocument = [](const ByteVector& doc) {
        return ttf::svgTable({{1, 1, 14, std::uint32_t(doc.size())}}, doc); // 14: past the count and one record
    };

    const Malformed cases[] = {
        {"CBLC index subtable array past the table", [] { return cbdtProblem(ttf::cblcTable(20, 32, 1, 1, 1, {}), CbdtHeader); },
         "index subtable array runs past the end"},
        {"CBLC index subtable past the table",
         [] { return cbdtProblem(ttf::cblcTable(20, 32, 1, 1, 1, Bytes().u16(1).u16(1).u32(0x10000).data), CbdtHeader); },
         "index subtable runs past the end"},
        {"CBLC claiming 2^32 - 1 index subtables",
         [] { return cbdtProblem(ttf::cblcTable(20, 32, 1, 1, 0xFFFFFFFF, Bytes().u16(2).u16(2).u32(8).data), CbdtHeader); },
         "index subtable array runs past the end"},
        {"CBDT image past the table",
         [] { return cbdtProblem(ttf::cblcTable(20, 32, 1, 1, 1, ttf::indexFormat1(1, 1, 17, 4, {0, 1000})), CbdtHeader); },
         "lies past the end"},
        {"CBDT bitmap of 255 x 255 in 10 bytes",
         [&] { return cbdtProblem(ttf::cblcTable(20, 8, 1, 1, 1, ttf::indexFormat1(1, 1, 2, 4, {0, 15})), bigBitmap); },
         "runs past its data"},
        {"CBDT PNG whose header claims 100 000 x 100 000", [&] { return cbdtPng(HugePng); }, "over the limit"},
        {"CBDT PNG of 4 x 4 where its metrics say 10 x 10", [&] { return cbdtPng(smallPng); }, "differs from its metrics"},
        {"sbix PNG cut short in its image data",
         [&] { return sbixProblem(ttf::sbixTable(20, {{}, {0, 0, "png ", cutPng}, {}})); }, "could not be decoded"},
        {"sbix PNG whose image data is not zlib",
         [] { return sbixProblem(ttf::sbixTable(20, {{}, {0, 0, "png ", ttf::pngOf(4, 4, ByteVector(20, 0xFF))}, {}})); },
         "could not be decoded"},
        {"sbix PNG whose header claims 100 000 x 100 000",
         [] { return sbixProblem(ttf::sbixTable(20, {{}, {0, 0, "png ", HugePng}, {}})); }, "over the limit"},
        {"sbix dupes naming each other", [] { return sbixProblem(ttf::sbixTable(20, {{}, ttf::sbixDupe(2), ttf::sbixDupe(1)})); },
         "names another 'dupe'"},
        {"sbix dupe naming a glyph past numGlyphs", [] { return sbixProblem(ttf::sbixTable(20, {{}, ttf::sbixDupe(7), {}})); },
         "names no glyph"},
        {"sbix record past the table", [&] { return sbixProblem(cutSbix); }, "lies past the end"},
        {"SVG document past the table", [] { return svgProblem(ttf::svgTable({{1, 1, 14, 1000}})); }, "lies past the end"},
        {"SVG document index past the table", [] {
             ByteVector t = ttf::svgTable({{1, 1, 0, 0}, {2, 2, 0, 0}});
             t.resize(t.size() - 1);
             return svgProblem(t);
         }, "index runs past the end"},
        {"SVG glyph ranges overlapping", [] { return svgProblem(ttf::svgTable({{1, 5, 0, 0}, {3, 7, 0, 0}}), 4); },
         "overlap"},
        {"SVG gzip bomb past the document cap", [&] { return svgProblem(oneDocument(bomb)); }, "inflates past the limit"},
        {"SVG glyph 1000 em wide", [] { return svgGlyphProblem(R"(<svg xmlns="http://www.w3.org/2000/svg">
             <rect id="glyph1" width="1000000" height="500"/></svg>)"); }, "over the limit"},
        {"SVG document of two glyphs without glyph1", [] { return svgGlyphProblem(R"(<svg xmlns="http://www.w3.org/2000/svg">
             <rect id="glyph2" width="500" height="500"/></svg>)"); }, "no element \"glyph1\""},
        {"SVG document that is not XML", [] { return svgGlyphProblem("<svg"); }, "could not be read"},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(c.problem().find(c.expected), std::string::npos) << c.problem();
    }
    // The sound versions of the bounded cases are drawn.
    EXPECT_EQ(svgProblem(oneDocument(ttf::gzipped(document))), "");
    // A document made for glyph 1 alone needs no id: it is drawn whole.
    const ColourRendering whole = RenderSvgGlyph(R"(<svg xmlns="http://www.w3.org/2000/svg">
        <rect y="-500" width="500" height="500"/></svg>)", 1, 1000, 100, true);
    EXPECT_EQ(whole.image.size(), QSize(50, 50));
    EXPECT_EQ(sbixProblem(ttf::sbixTable(20, {{}, {0, 0, "png ", ttf::pngOf(4, 4, ttf::deflated(ByteVector(20, 0)))}, {}})), "");
}

} // namespace
