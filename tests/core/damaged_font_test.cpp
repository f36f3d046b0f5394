#include <gtest/gtest.h>

#include "support/font_loading.h"

namespace {

using ttf::ByteVector;

// A small font that needs every byte of its tables: post (the last table)
// names every glyph, and there is a composite and an empty glyph.
ttf::FontSpec smallFont(std::int16_t indexToLocFormat)
{
    ttf::FontSpec design = ttf::squaresFont(4);
    design.glyphs.push_back(ttf::compositeGlyph({{1, 0, 0}, {2, 200, 0}}, {0, 0, 400, 300}));
    design.glyphs.push_back({});
    design.cmap[' '] = 5;
    design.glyphNames = {"notdef", "A", "B", "C", "AB", "space"};
    design.indexToLocFormat = indexToLocFormat;
    return design;
}

bool isMessageOfALoad(const std::string& text)
{
    return text.starts_with("Error!\r\nCode = ") || text.starts_with("Not found: ") || text == "wrong cmapFormat!!";
}

TEST(DamagedFont, TruncatedAtEveryLength)
{
    for (std::int16_t locFormat : {0, 1}) {
        const std::vector<ttf::Table> tables = ttf::fontTables(smallFont(locFormat));
        const ByteVector full = ttf::assemble(tables);
        const std::size_t dataEnd = ttf::tableOffset(full, "post") + tables.back().data.size();
        ASSERT_EQ(tables.back().tag, "post");

        for (std::size_t length = 0; length < full.size(); ++length) {
            const ByteVector cut(full.begin(), full.begin() + std::ptrdiff_t(length));
            FontState font;
            RecordingSink sink;
            const LoadResult result = loadFontBytes(font, sink, cut);
            if (length >= dataEnd) { // only padding is missing
                EXPECT_EQ(result, LoadResult::Loaded) << length;
                EXPECT_TRUE(sink.texts.empty()) << length;
                continue;
            }
            ASSERT_EQ(result, LoadResult::Abandoned) << "cut at " << length;
            ASSERT_FALSE(sink.texts.empty()) << length;
            for (const std::string& text : sink.texts)
                EXPECT_TRUE(isMessageOfALoad(text)) << length << ": " << text;
            EXPECT_TRUE(sink.texts.back().starts_with("Error!\r\nCode = 15\r\n")) << length << ": " << sink.texts.back();
            EXPECT_TRUE(noFontOpen(font)) << length;
        }
    }
}

struct PastTheEndCase {
    const char* tag;
    std::int64_t fromEnd; // the table's offset, counted from the end of the file
    const char* reading;
};

TEST(DamagedFont, TableOffsetsPastTheEnd)
{
    const ByteVector good = ttf::buildFont(smallFont(0));
    const PastTheEndCase cases[] = {
        {"maxp", 0xFFFFFF, "maxp table"},
        {"post", 1, "post table"},
        {"cmap", 0, "cmap header"},
        {"head", 1000, "head table"},
        {"hhea", 1, "hhea table"}, // reported by the presence pass
        {"glyf", 1, "glyf table"},
        {"loca", -2, "loca"},
        {"hmtx", -4, "hmtx"},
        {"maxp", -2, "maxp"},
    };
    for (const PastTheEndCase& c : cases) {
        ByteVector bytes = good;
        const auto offset = std::uint32_t(std::int64_t(bytes.size()) + c.fromEnd);
        ttf::putU32(bytes, ttf::directoryEntryAt(bytes, c.tag) + 8, offset);
        FontState font;
        RecordingSink sink;
        EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Abandoned) << c.tag << ' ' << c.fromEnd;
        EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, c.reading)}) << c.tag << ' ' << c.fromEnd;
        EXPECT_TRUE(noFontOpen(font)) << c.tag;
    }
}

TEST(DamagedFont, PostLengthPastTheEnd)
{
    // The names are read up to the end of the table, which the file does not reach.
    ByteVector bytes = ttf::buildFont(smallFont(0));
    ttf::putU32(bytes, ttf::directoryEntryAt(bytes, "post") + 12, 0x7FFFFFFF);
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Abandoned);
    EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, "post glyph names")});
}

TEST(DamagedFont, HeadAndHheaCutByTheEndOfTheFile)
{
    // The presence pass only positions; the reads themselves find the end.
    for (const char* tag : {"head", "hhea"}) {
        std::vector<ttf::Table> tables = ttf::fontTables(smallFont(0));
        ttf::Table table = *ttf::findTable(tables, tag);
        ttf::removeTable(tables, tag);
        table.data.resize(20);
        tables.push_back(table);
        FontState font;
        RecordingSink sink;
        EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Abandoned) << tag;
        EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, tag)});
    }
}

TEST(DamagedFont, HdmxCutByTheEndOfTheFileIsPassedOver)
{
    // Nothing shown comes from hdmx: two bytes of it at the very end still load.
    std::vector<ttf::Table> tables = ttf::fontTables(smallFont(0));
    tables.push_back({"hdmx", {0, 0, 0, 0}}); // placed last in the file
    ByteVector bytes = ttf::assemble(tables);
    const std::uint32_t at = ttf::tableOffset(bytes, "hdmx");
    bytes.resize(at + 2);
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Loaded);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(font.NumGlyphs, int(smallFont(0).glyphs.size()));
}

TEST(DamagedFont, GlyphTableAtTheEndOfTheFile)
{
    // glyf starts exactly at the end: only the empty glyph has an outline to list.
    ByteVector bytes = ttf::buildFont(smallFont(0));
    ttf::putU32(bytes, ttf::directoryEntryAt(bytes, "glyf") + 8, std::uint32_t(bytes.size()));
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Loaded);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(MakePickLists(font, false).GlyphList, std::vector<int>{5});
    EXPECT_EQ(MakePickLists(font, false).CharList, std::vector<int>{' '});
}

struct CountCase {
    const char* name;
    const char* tag;
    std::size_t at; // offset of the count within the table
    const char* reading;
};

TEST(DamagedFont, CountsFarTooLarge)
{
    const CountCase cases[] = {
        {"maxp numGlyphs", "maxp", 4, "loca"},
        {"post numberOfGlyphs", "post", 32, "post glyph names"},
        {"cmap subtable length", "cmap", 12 + 2, "cmap subtable"},
    };
    for (const CountCase& c : cases) {
        ByteVector bytes = ttf::buildFont(smallFont(1));
        ttf::putU16(bytes, ttf::tableOffset(bytes, c.tag) + c.at, 65535);
        FontState font;
        RecordingSink sink;
        EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Abandoned) << c.name;
        EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, c.reading)}) << c.name;
        EXPECT_TRUE(noFontOpen(font)) << c.name;
    }
}

TEST(DamagedFont, CmapRecordCountFarTooLarge)
{
    std::vector<ttf::Table> tables = ttf::fontTables(smallFont(0));
    ByteVector cmap = ttf::cmapTable({{0, 3, ttf::cmapFormat4(std::map<std::uint16_t, std::uint16_t>{{'A', 1}})}});
    ttf::putU16(cmap, 2, 65535);
    ttf::findTable(tables, "cmap")->data = cmap;
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Abandoned);
    EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, "cmap encoding records")});
}

TEST(DamagedFont, DirectoryCountFarTooLarge)
{
    ByteVector bytes = ttf::buildFont(smallFont(0));
    bytes.resize(12 + 16 * 8 + 10);
    ttf::putU16(bytes, 4, 32);
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Abandoned);
    EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, "table directory")});
    EXPECT_TRUE(noFontOpen(font));
}

TEST(DamagedFont, GlyphNameRunningPastTheEnd)
{
    ttf::FontSpec design = smallFont(0);
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    ByteVector& post = ttf::findTable(tables, "post")->data;
    post.back() = 'x';
    post.push_back(200); // a name of 200 bytes, of which none are there
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Abandoned);
    EXPECT_EQ(sink.texts, std::vector<std::string>{loadErrorText(15, "post glyph names")});
}

TEST(DamagedFont, TinyFiles)
{
    for (std::size_t size : {0, 1, 4, 11, 12}) {
        FontState font;
        RecordingSink sink;
        EXPECT_EQ(loadFontBytes(font, sink, ByteVector(size, 0xFF)), LoadResult::Abandoned) << size;
        ASSERT_EQ(sink.texts.size(), 1u) << size;
        // 12 bytes of 0xFF announce 65535 tables.
        EXPECT_EQ(sink.texts[0], size < 12 ? loadErrorText(15, "table directory") : loadErrorText(10)) << size;
    }
}

} // namespace
