#include <gtest/gtest.h>

#include "tables/cmap.h"
#include "support/font_loading.h"

namespace {

using ttf::ByteVector;

struct Loaded {
    explicit Loaded(const ByteVector& bytes) : result(loadFontBytes(font, sink, bytes)) {}
    explicit Loaded(const std::vector<ttf::Table>& tables) : Loaded(ttf::assemble(tables)) {}

    FontState font;
    RecordingSink sink;
    LoadResult result;
};

// Glyphs 0..3 squares, 4 composite, 5 empty, 6 a square; A..F map to 1..6,
// 'a' to glyph 0, 'z' to glyph 40 (beyond the font).
ttf::FontSpec mixedFont()
{
    ttf::FontSpec design = ttf::squaresFont(4);
    design.glyphs.push_back(ttf::compositeGlyph({{1, 0, 0}, {2, 300, 0}}, {-5, -6, 700, 800}));
    design.glyphs.push_back({});
    design.glyphs.push_back(ttf::squareGlyph(-10, -20, 30, 40));
    design.cmap = {{'A', 1}, {'B', 2}, {'C', 3}, {'D', 4}, {'E', 5}, {'F', 6}, {'a', 0}, {'z', 40}, {1500, 2}, {3000, 3}};
    return design;
}

TEST(LoadFont, FillsTheStateAndThePickLists)
{
    Loaded l(ttf::buildFont(mixedFont()));
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_TRUE(l.sink.texts.empty());
    const FontState& font = l.font;
    EXPECT_TRUE(font.Loaded);
    EXPECT_EQ(font.NumGlyphs, 7);
    EXPECT_EQ(GlyphCountText(font), " 7");
    // The composite glyph is not listed; the empty one is, as a simple glyph.
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2, 3, 5, 6}));
    // Glyph 0, glyphs beyond the font, composites and codes above 2000 are not listed.
    EXPECT_EQ(MakePickLists(font, false).CharList, (std::vector<int>{'A', 'B', 'C', 'E', 'F', 1500}));
    EXPECT_EQ(MakePickLists(font, false).AsciiList, (std::vector<int>{'A', 'B', 'C', 'E', 'F'}));
    EXPECT_EQ(font.UnicodeCmap, 1);
    EXPECT_EQ(CharToGlyph(font, 3000), 3);

    ASSERT_EQ(font.GlyphBox.size(), 7u);
    const auto box = [&](int g) {
        const BBox& b = font.GlyphBox[std::size_t(g)];
        return std::vector<int>{b.XMin, b.YMin, b.XMax, b.YMax};
    };
    EXPECT_EQ(box(0), (std::vector<int>{0, 0, 100, 200}));
    EXPECT_EQ(box(3), (std::vector<int>{0, 0, 103, 203}));
    EXPECT_EQ(box(4), (std::vector<int>{-5, -6, 700, 800})); // composites keep their box
    EXPECT_EQ(box(5), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(box(6), (std::vector<int>{-10, -20, 30, 40}));
}

TEST(LoadFont, KeepsWhereTheGlyphTableStarts)
{
    const ByteVector bytes = ttf::buildFont(mixedFont());
    Loaded l(bytes);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.font.Glyf.Offset, ttf::tableOffset(bytes, "glyf"));
}

TEST(LoadFont, AsciiListCoversThePrintableCharacters)
{
    ttf::FontSpec design = ttf::squaresFont(100);
    design.cmap.clear();
    for (int c = 0; c < 128; ++c)
        design.cmap[std::uint16_t(c)] = std::uint16_t(c - 27 > 0 ? c - 27 : 0);
    Loaded l(ttf::buildFont(design));
    ASSERT_EQ(l.result, LoadResult::Loaded);
    ASSERT_EQ(MakePickLists(l.font, false).AsciiList.size(), 95u);
    EXPECT_EQ(MakePickLists(l.font, false).AsciiList.front(), 32);
    EXPECT_EQ(MakePickLists(l.font, false).AsciiList.back(), 126);
    EXPECT_EQ(MakePickLists(l.font, false).CharList.front(), 28); // 27 and below map to glyph 0
    EXPECT_EQ(MakePickLists(l.font, false).CharList.back(), 126); // 127 maps to glyph 100, beyond the font
}

TEST(LoadFont, GlyphCountWithItsLeadingBlank)
{
    Loaded l(ttf::buildFont(ttf::squaresFont(258)));
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(GlyphCountText(l.font), " 258");
    EXPECT_EQ(MakePickLists(l.font, false).GlyphList.size(), 258u);
    EXPECT_EQ(MakePickLists(l.font, false).GlyphList[257], 257);
}

TEST(LoadFont, PostGlyphNames)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(5));
    ttf::findTable(tables, "post")->data = ttf::post20Table({0, 3, 36, 258, 259}, {"alpha", "", "gamma"});
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.font.GlyphNameIndex, (std::vector<int>{0, 3, 36, 258, 259}));
    EXPECT_EQ(l.font.GlyphNames, (std::vector<std::string>{"alpha", "", "gamma"}));
}

TEST(LoadFont, PostNamesAreKeptForEveryGlyph)
{
    // post gives fewer name numbers than there are glyphs: the rest are 0.
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(5));
    ttf::findTable(tables, "post")->data = ttf::post20Table({258, 258}, {"only"});
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.font.GlyphNameIndex, (std::vector<int>{258, 258, 0, 0, 0}));
    EXPECT_EQ(l.font.GlyphNames, std::vector<std::string>{"only"});
}

TEST(LoadFont, PostWithoutNamesOfItsOwnAtTheEndOfTheFile)
{
    // Only standard names: the table ends with its index array.
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
    ttf::findTable(tables, "post")->data = ttf::post20Table({0, 1, 2}, {});
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_TRUE(l.sink.texts.empty());
    EXPECT_EQ(l.font.GlyphNameIndex, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(l.font.GlyphNames.empty());
}

TEST(LoadFont, OtherPostVersionsHaveNoNames)
{
    for (std::uint32_t version : {0x00010000u, 0x00030000u, 0x00040000u}) {
        std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
        ByteVector post = ttf::post20Table({258, 258, 258}, {"x"});
        ttf::putU32(post, 0, version);
        ttf::findTable(tables, "post")->data = post;
        Loaded l(tables);
        ASSERT_EQ(l.result, LoadResult::Loaded) << version;
        EXPECT_TRUE(l.font.GlyphNames.empty()) << version;
        EXPECT_EQ(l.font.GlyphNameIndex, (std::vector<int>{0, 0, 0})) << version;
    }
}

TEST(LoadFont, NothingOfAnEarlierFontRemains)
{
    FontState font;
    RecordingSink sink;
    ttf::FontSpec named = mixedFont();
    named.glyphNames = {"a", "b", "c", "d", "e", "f", "g"};
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(named)), LoadResult::Loaded);
    ASSERT_EQ(font.GlyphNames.size(), 7u);

    ttf::FontSpec plain = ttf::squaresFont(3);
    plain.cmap = {{'Q', 1}};
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(plain)), LoadResult::Loaded);
    EXPECT_TRUE(font.GlyphNames.empty());
    EXPECT_EQ(font.GlyphNameIndex, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(MakePickLists(font, false).CharList, std::vector<int>{'Q'});
    EXPECT_EQ(font.GlyphBox.size(), 3u);
    EXPECT_EQ(font.GlyphOffset.size(), 4u);

    // A failed load leaves no font open, whatever was open before; the name stays.
    font.FontFileName = "built.ttf";
    ASSERT_EQ(loadFontBytes(font, sink, ByteVector(20, 0)), LoadResult::Abandoned);
    EXPECT_TRUE(noFontOpen(font));
    EXPECT_FALSE(font.FontFileName.empty());

    EXPECT_EQ(loadFontBytes(font, sink, ttf::buildFont(plain)), LoadResult::Loaded);
}


struct LocaCase {
    std::int16_t indexToLocFormat;
    std::size_t entrySize;
};

TEST(LoadFont, LocaShortAndLong)
{
    for (const LocaCase c : {LocaCase{0, 2}, LocaCase{1, 4}}) {
        ttf::FontSpec design = mixedFont();
        design.indexToLocFormat = c.indexToLocFormat;
        const std::vector<ttf::Table> tables = ttf::fontTables(design);
        Loaded l(tables);
        ASSERT_EQ(l.result, LoadResult::Loaded) << c.indexToLocFormat;
        const ByteVector& loca = tables[5].data;
        ASSERT_EQ(l.font.GlyphOffset.size(), 8u); // the final entry too
        for (std::size_t g = 0; g < 8; ++g) {
            const std::uint32_t stored = c.entrySize == 2 ? ttf::getU16(loca, 2 * g) : ttf::getU32(loca, 4 * g);
            EXPECT_EQ(l.font.GlyphOffset[g], c.entrySize == 2 ? 2 * stored : stored) << g;
        }
        EXPECT_EQ(MakePickLists(l.font, false).GlyphList, (std::vector<int>{0, 1, 2, 3, 5, 6}));
    }
}

TEST(LoadFont, ShortLocaValuesAreHalfOffsets)
{
    // Glyph 0 is 32 bytes long: loca stores 0x0010 for glyph 1.
    ttf::Bytes glyph0;
    glyph0.i16(0).i16(1).i16(2).i16(3).i16(4).zeros(22);
    ttf::FontSpec design = ttf::squaresFont(2);
    design.glyphs[0].raw = glyph0.data;
    const std::vector<ttf::Table> tables = ttf::fontTables(design);
    ASSERT_EQ(ttf::getU16(tables[5].data, 2), 0x0010);
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.font.GlyphOffset[1], 32u);
    EXPECT_EQ(l.font.GlyphBox[0].XMin, 1);
    EXPECT_EQ(l.font.GlyphBox[0].YMax, 4);
    EXPECT_EQ(l.font.GlyphBox[1].XMax, 101);
}

TEST(LoadFont, LocaFormatIsTheFieldsLowByte)
{
    struct Case {
        std::uint16_t field;
        bool loads;
    };
    for (const Case c : {Case{0x0000, true}, Case{0x0100, true}, Case{0x0002, false}, Case{0xFFFF, false}, Case{0x00FF, false}}) {
        std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
        ttf::putU16(ttf::findTable(tables, "head")->data, 50, c.field);
        Loaded l(tables);
        if (c.loads) {
            EXPECT_EQ(l.result, LoadResult::Loaded) << c.field;
            EXPECT_EQ(MakePickLists(l.font, false).GlyphList, (std::vector<int>{0, 1, 2}));
        } else {
            EXPECT_EQ(l.result, LoadResult::Abandoned) << c.field;
            EXPECT_EQ(l.sink.texts, std::vector<std::string>{"Error!\r\nCode = 16\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0"});
            EXPECT_TRUE(noFontOpen(l.font));
        }
    }
}

TEST(LoadFont, FewerHorizontalMetricsThanGlyphs)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(5));
    ttf::findTable(tables, "hhea")->data = ttf::hheaTable(2);
    ttf::findTable(tables, "hmtx")->data = ttf::hmtxTable({{600, 10}, {700, -20}}, {30, 40, -50});
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    const int advance[] = {600, 700, 700, 700, 700};
    const int lsb[] = {10, -20, 30, 40, -50};
    ASSERT_EQ(l.font.HMetrics.size(), 5u);
    for (std::size_t g = 0; g < 5; ++g) {
        EXPECT_EQ(l.font.HMetrics[g].AdvanceWidth, advance[g]) << g;
        EXPECT_EQ(l.font.HMetrics[g].Lsb, lsb[g]) << g;
        EXPECT_EQ(l.font.HMetrics[g].RightSpace, advance[g] - lsb[g]) << g;
    }
}

TEST(LoadFont, NoHorizontalMetricsGiveAdvanceWidthZero)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
    ttf::findTable(tables, "hhea")->data = ttf::hheaTable(0);
    ttf::findTable(tables, "hmtx")->data = ttf::hmtxTable({}, {7, 8, 9});
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    for (std::size_t g = 0; g < 3; ++g) {
        EXPECT_EQ(l.font.HMetrics[g].AdvanceWidth, 0);
        EXPECT_EQ(l.font.HMetrics[g].Lsb, int(7 + g));
    }
}

TEST(LoadFont, MoreHorizontalMetricsThanGlyphs)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(2));
    ttf::findTable(tables, "hhea")->data = ttf::hheaTable(65535);
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.font.HMetrics[1].AdvanceWidth, 501);
    EXPECT_EQ(l.font.HMetrics[1].Lsb, 1);
}

// ---- missing tables ------------------------------------------------------------

TEST(LoadFont, MissingTablesThatStopTheLoad)
{
    for (const char* tag : {"post", "cmap", "loca", "hmtx", "glyf"}) {
        std::vector<ttf::Table> tables = ttf::fontTables(mixedFont());
        ttf::removeTable(tables, tag);
        Loaded l(tables);
        EXPECT_EQ(l.result, LoadResult::Abandoned) << tag;
        EXPECT_EQ(l.sink.texts, (std::vector<std::string>{std::string("Not found: ") + tag,
                                                          "Error!\r\nCode = 14\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0"}))
            << tag;
        EXPECT_TRUE(noFontOpen(l.font)) << tag;
    }
}

TEST(LoadFont, MissingHdmxAndHheaAreTolerated)
{
    std::vector<ttf::Table> withHdmx = ttf::fontTables(mixedFont());
    withHdmx.push_back({"hdmx", {0, 0, 0, 0}});
    Loaded a(withHdmx);
    EXPECT_EQ(a.result, LoadResult::Loaded);

    std::vector<ttf::Table> noHhea = ttf::fontTables(mixedFont());
    ttf::removeTable(noHhea, "hhea");
    Loaded b(noHhea);
    ASSERT_EQ(b.result, LoadResult::Loaded);
    EXPECT_TRUE(b.sink.texts.empty());
    EXPECT_EQ(b.font.NumGlyphs, 7);
    EXPECT_EQ(MakePickLists(b.font, false).GlyphList, (std::vector<int>{0, 1, 2, 3, 5, 6}));
}

TEST(LoadFont, MissingHeadIsReadFromWhereTheFileStands)
{
    // After the lookups the file stands at cmap, so head's indexToLocFormat
    // is taken from cmap bytes 50-51: in a format 0 subtable at cmap offset
    // 12 those are the glyph numbers of characters 32 and 33.
    struct Case {
        std::uint8_t glyphOf33;
        std::int16_t locaFormat;
        bool loads;
    };
    for (const Case c : {Case{1, 1, true}, Case{0, 0, true}, Case{2, 0, false}}) {
        ttf::FontSpec design = ttf::squaresFont(4);
        design.indexToLocFormat = c.locaFormat;
        std::vector<ttf::Table> tables = ttf::fontTables(design);
        std::array<std::uint8_t, 256> glyphs{};
        glyphs[33] = c.glyphOf33;
        glyphs['A'] = 3;
        ttf::findTable(tables, "cmap")->data = ttf::cmapTable({{3, 1, ttf::cmapFormat0(glyphs)}});
        ttf::removeTable(tables, "head");
        Loaded l(tables);
        if (c.loads) {
            ASSERT_EQ(l.result, LoadResult::Loaded) << int(c.glyphOf33);
            EXPECT_EQ(MakePickLists(l.font, false).GlyphList, (std::vector<int>{0, 1, 2, 3}));
            EXPECT_EQ(l.font.GlyphBox[3].XMax, 103);
            const std::vector<int> listed = c.glyphOf33 ? std::vector<int>{33, 'A'} : std::vector<int>{'A'};
            EXPECT_EQ(MakePickLists(l.font, false).AsciiList, listed);
        } else {
            EXPECT_EQ(l.result, LoadResult::Abandoned);
            EXPECT_EQ(l.sink.texts, std::vector<std::string>{loadErrorText(16)});
        }
    }
}

TEST(LoadFont, MissingMaxpGivesOneHundredGlyphs)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(100));
    ttf::removeTable(tables, "maxp");
    Loaded l(tables);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_TRUE(l.sink.texts.empty());
    EXPECT_EQ(l.font.NumGlyphs, 100);
    EXPECT_EQ(GlyphCountText(l.font), " 100");
    EXPECT_EQ(MakePickLists(l.font, false).GlyphList.size(), 100u);
    EXPECT_EQ(l.font.GlyphBox[99].XMax, 199);
}

// ---- glyphs without outline data ----------------------------------------------------

TEST(LoadFont, EmptyGlyphsAreNeverRead)
{
    // The last glyph is empty and glyf ends the file: reading its header would
    // pass the end of the file.
    ttf::FontSpec design = ttf::squaresFont(3);
    design.glyphs.push_back({});
    design.cmap['Z'] = 3;
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    ttf::Table glyf = *ttf::findTable(tables, "glyf");
    ttf::removeTable(tables, "glyf");
    tables.push_back(glyf);
    ByteVector bytes = ttf::assemble(tables);
    bytes.resize(ttf::tableOffset(bytes, "glyf") + glyf.data.size()); // no padding
    Loaded l(bytes);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(MakePickLists(l.font, false).GlyphList, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(MakePickLists(l.font, false).CharList, (std::vector<int>{'A', 'B', 'Z'}));
    EXPECT_EQ(l.font.GlyphBox[3].XMax, 0);
}

TEST(LoadFont, GlyphHeadersBeyondTheFileAreNotListed)
{
    // glyf ends the file, cut 6 bytes into glyph 1's header; glyph 2's loca
    // entry points far past the end; glyph 3 shares glyph 0's data.
    ttf::FontSpec design = ttf::squaresFont(4);
    design.indexToLocFormat = 1;
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    ttf::Table glyf = *ttf::findTable(tables, "glyf");
    ttf::removeTable(tables, "glyf");
    tables.push_back(glyf);
    ByteVector& loca = ttf::findTable(tables, "loca")->data;
    ttf::putU32(loca, 4 * 2, 0x7FFFFFF0);
    ttf::putU32(loca, 4 * 3, 0);
    ByteVector bytes = ttf::assemble(tables);
    bytes.resize(ttf::tableOffset(bytes, "glyf") + ttf::getU32(loca, 4) + 6);

    Loaded l(bytes); // A, B, C map to glyphs 1, 2, 3
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_TRUE(l.sink.texts.empty());
    EXPECT_EQ(MakePickLists(l.font, false).GlyphList, (std::vector<int>{0, 3}));
    EXPECT_EQ(MakePickLists(l.font, false).CharList, std::vector<int>{'C'});
    for (int g : {1, 2}) {
        EXPECT_EQ(l.font.GlyphBox[std::size_t(g)].XMax, 0) << g;
        EXPECT_EQ(l.font.GlyphBox[std::size_t(g)].YMax, 0) << g;
    }
    EXPECT_EQ(l.font.GlyphBox[3].XMax, 100);
}

} // namespace
