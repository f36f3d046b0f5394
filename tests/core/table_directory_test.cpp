#include <gtest/gtest.h>

#include "sfnt/table_directory.h"
#include "support/font_loading.h"

namespace {

using ttf::ByteVector;

// The font state over bytes, as LoadFont leaves it before the directory is read.
void useBytes(FontState& font, const ByteVector& bytes)
{
    font.FontBytes = bytes;
}

std::vector<ttf::Table> withFillerTables(int total)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
    for (int i = int(tables.size()); i < total; ++i)
        tables.push_back({"zz" + std::to_string(10 + i), {0, 0, 0, 0}});
    return tables;
}

TEST(TableDirectory, ThirtyTwoTablesLoad)
{
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(withFillerTables(32))), LoadResult::Loaded);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(font.NumTables, 32);
    EXPECT_EQ(font.NumGlyphs, 3);
}

TEST(TableDirectory, ThirtyThreeTablesAbandonWithCode10)
{
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(withFillerTables(33))), LoadResult::Abandoned);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Error!\r\nCode = 10\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0");
    EXPECT_TRUE(noFontOpen(font));
}

TEST(TableDirectory, CountIsTheWholeUnsignedField)
{
    struct Case {
        std::uint16_t numTables;
        bool read;
    };
    const Case cases[] = {{0x0011, true}, {0x0000, true}, {0x0100, false}, {0x8001, false}, {0xFFFF, false}};
    for (const Case& c : cases) {
        ByteVector bytes = ttf::assemble(withFillerTables(17));
        ttf::putU16(bytes, 4, c.numTables);
        FontState font;
        RecordingSink sink;
        useBytes(font, bytes);
        ByteReader file(font.FontBytes);
        TableSpan span;
        EXPECT_EQ(ReadTableDirectory(font, file, sink), c.read) << c.numTables;
        if (c.read) {
            EXPECT_EQ(font.NumTables, c.numTables);
            EXPECT_EQ(font.TableDir.size(), c.numTables);
            EXPECT_TRUE(sink.texts.empty());
        } else {
            ASSERT_EQ(sink.texts.size(), 1u);
            EXPECT_EQ(sink.texts[0], loadErrorText(10));
        }
    }
}

TEST(TableDirectory, EntriesAreReadInFileOrder)
{
    const ByteVector bytes = ttf::assemble({{"abcd", {1, 2, 3}}, {"WXYZ", {4}}});
    FontState font;
    RecordingSink sink;
    useBytes(font, bytes);
    ByteReader file(font.FontBytes);
    TableSpan span;
    ASSERT_TRUE(ReadTableDirectory(font, file, sink));
    ASSERT_EQ(font.TableDir.size(), 2u);
    EXPECT_EQ(std::string(font.TableDir[0].Tag.data(), 4), "abcd");
    EXPECT_EQ(font.TableDir[0].Offset, 12u + 2 * 16);
    EXPECT_EQ(font.TableDir[0].Length, 3u);
    EXPECT_EQ(font.TableDir[0].CheckSum, 0x01020300u);
    EXPECT_EQ(std::string(font.TableDir[1].Tag.data(), 4), "WXYZ");
    EXPECT_EQ(font.TableDir[1].Offset, 12u + 2 * 16 + 4);
}

TEST(TableDirectory, DirectoryBeyondTheFileIsReportedNotRead)
{
    ByteVector bytes = ttf::assemble({{"abcd", {1, 2, 3, 4}}});
    ttf::putU16(bytes, 4, 20); // 20 entries announced, 1 present
    FontState font;
    RecordingSink sink;
    useBytes(font, bytes);
    ByteReader file(font.FontBytes);
    TableSpan span;
    EXPECT_FALSE(ReadTableDirectory(font, file, sink));
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], loadErrorText(15, "table directory"));
    EXPECT_TRUE(font.TableDir.empty());
}

TEST(FindTable, MatchesTheTagExactlyAndTheFirstEntryWins)
{
    const ByteVector bytes = ttf::assemble({{"CMAP", {1}}, {"cmap", {2, 2}}, {"cmap", {3, 3, 3}}, {"cma", {4}}});
    FontState font;
    RecordingSink sink;
    useBytes(font, bytes);
    ByteReader file(font.FontBytes);
    TableSpan span;
    ASSERT_TRUE(ReadTableDirectory(font, file, sink));

    EXPECT_EQ(FindTable(font, file, "cmap", sink, &span), TableLookup::Found);
    EXPECT_EQ(span.Offset, font.TableDir[1].Offset);
    EXPECT_EQ(span.Length, 2u);
    EXPECT_EQ(file.pos(), span.Offset);
    EXPECT_EQ(file.u8(), 2);

    EXPECT_EQ(FindTable(font, file, "CMAP", sink, &span), TableLookup::Found);
    EXPECT_EQ(file.u8(), 1);
    EXPECT_EQ(FindTable(font, file, "cma ", sink, &span), TableLookup::Found); // tags are blank-padded
    EXPECT_EQ(file.u8(), 4);
    EXPECT_TRUE(sink.texts.empty());

    EXPECT_EQ(FindTable(font, file, "Cmap", sink, &span), TableLookup::Abandoned);
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], "Not found: Cmap");
    EXPECT_EQ(sink.texts[1], "Error!\r\nCode = 14\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0");
}

TEST(FindTable, ToleratedTablesLeaveEverythingWhereItStood)
{
    const ByteVector bytes = ttf::assemble({{"glyf", {9, 9, 9, 9}}});
    for (const char* tag : {"head", "hhea", "hdmx", "maxp"}) {
        FontState font;
        RecordingSink sink;
        useBytes(font, bytes);
        ByteReader file(font.FontBytes);
        TableSpan span;
        ASSERT_TRUE(ReadTableDirectory(font, file, sink));
        ASSERT_EQ(FindTable(font, file, "glyf", sink, &span), TableLookup::Found);
        file.skip(1);

        EXPECT_EQ(FindTable(font, file, tag, sink, &span), TableLookup::Tolerated) << tag;
        EXPECT_TRUE(sink.texts.empty()) << tag;
        EXPECT_EQ(span.Offset, 28u) << tag;
        EXPECT_EQ(span.Length, 4u) << tag;
        EXPECT_EQ(file.pos(), 29u) << tag;
    }
}

TEST(FindTable, MissingTablesAreNamed)
{
    for (const char* tag : {"post", "cmap", "loca", "hmtx", "glyf", "name"}) {
        FontState font;
        ByteReader file(font.FontBytes);
        TableSpan span;
        RecordingSink sink;
        EXPECT_EQ(FindTable(font, file, tag, sink, &span), TableLookup::Abandoned) << tag;
        ASSERT_EQ(sink.texts.size(), 2u) << tag;
        EXPECT_EQ(sink.texts[0], std::string("Not found: ") + tag);
        EXPECT_EQ(sink.texts[1], loadErrorText(14));
    }
}

TEST(FindTable, TableStartingPastTheEndIsReported)
{
    ByteVector bytes = ttf::assemble({{"glyf", {1, 2}}});
    ttf::putU32(bytes, 12 + 8, std::uint32_t(bytes.size()) + 1);
    FontState font;
    RecordingSink sink;
    useBytes(font, bytes);
    ByteReader file(font.FontBytes);
    TableSpan span;
    ASSERT_TRUE(ReadTableDirectory(font, file, sink));
    EXPECT_EQ(FindTable(font, file, "glyf", sink, &span), TableLookup::Abandoned);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], loadErrorText(15, "glyf table"));
}

TEST(TableDirectory, CaseOfATagMattersWhenLoading)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
    ttf::findTable(tables, "cmap")->tag = "CMAP";
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Abandoned);
    EXPECT_EQ(sink.texts, (std::vector<std::string>{"Not found: cmap", loadErrorText(14)}));
    EXPECT_TRUE(noFontOpen(font));
}

TEST(TableDirectory, DuplicateTagsUseTheFirstEntry)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(4));
    tables.push_back({"maxp", ttf::maxpTable(2)});
    tables.insert(tables.begin(), {"maxp", ttf::maxpTable(3)});
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Loaded);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(font.NumGlyphs, 3);
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2}));
}

} // namespace
