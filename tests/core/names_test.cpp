#include <gtest/gtest.h>

#include "tables/names.h"
#include "sfnt/table_directory.h"
#include "support/recording_sink.h"
#include "support/ttf_builder.h"

namespace {

using ttf::ByteVector;

// A font state over `bytes` with its directory read, as after a load.
void openBytes(FontState& font, ByteVector bytes)
{
    RecordingSink sink;
    font.FontFileName = "test.ttf";
    font.FontBytes = std::move(bytes);
    font.Loaded = true;
    ByteReader file(font.FontBytes);
    ASSERT_TRUE(ReadTableDirectory(font, file, sink));
    ASSERT_TRUE(sink.texts.empty());
}

ttf::NameRecord rec(std::uint16_t platformID, std::uint16_t languageID, std::uint16_t nameID, ByteVector string = {})
{
    return {platformID, 0, languageID, nameID, std::move(string)};
}

// Reads the naming table of a font whose only table is `name`.
NameReading readNameTable(const ByteVector& nameTable, RecordingSink& sink)
{
    FontState font;
    openBytes(font, ttf::assemble({{"name", nameTable}}));
    NameReading reading;
    EXPECT_TRUE(ReadNames(font, sink, reading));
    return reading;
}

NameReading readNameTable(const ByteVector& nameTable)
{
    RecordingSink sink;
    NameReading reading = readNameTable(nameTable, sink);
    EXPECT_TRUE(sink.texts.empty());
    return reading;
}

// Twelve records; 3, 5, 7 and 10 are the ones of the worked example.
std::vector<ttf::NameRecord> twelveRecords()
{
    std::vector<ttf::NameRecord> records(12, rec(3, 1033, 2));
    records[2] = rec(3, 1033, 1);
    records[9] = rec(1, 0, 4);
    records[4] = rec(0, 0, 3);
    records[6] = rec(4, 0, 7);
    return records;
}

} // namespace

TEST(NameListLines, WorkedExampleOfTwelveRecords)
{
    const NameReading r = readNameTable(ttf::nameTable(twelveRecords()));
    ASSERT_EQ(r.Lines.size(), 12u);
    EXPECT_EQ(r.Lines[2], " 3  Microsoft; English - United States; Font Family name");
    EXPECT_EQ(r.Lines[9], "10  Macintosh; English; Full font name");
    EXPECT_EQ(r.Lines[4], " 5  Unicode; Unique font identifier");
    EXPECT_EQ(r.Lines[6], " 7  unknownTrademark");
}

TEST(NameListLines, NumbersAreRightAlignedToTheWidthOfCount)
{
    const NameReading twelve = readNameTable(ttf::nameTable(twelveRecords()));
    for (int i = 1; i <= 12; ++i) {
        const std::string prefix = (i < 10 ? " " : "") + std::to_string(i) + "  ";
        EXPECT_EQ(twelve.Lines[i - 1].substr(0, prefix.size()), prefix) << "record " << i;
    }

    const NameReading nine = readNameTable(ttf::nameTable(std::vector<ttf::NameRecord>(9, rec(3, 1033, 1))));
    ASSERT_EQ(nine.Lines.size(), 9u);
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(nine.Lines[i - 1], std::to_string(i) + "  Microsoft; English - United States; Font Family name");

    EXPECT_EQ(ListLine(7, 65535, {}), "    7  Unicode; Copyright notice");
    EXPECT_EQ(ListLine(65535, 65535, {}), "65535  Unicode; Copyright notice");
}

TEST(NameListLines, PlatformAndLanguageTexts)
{
    struct Case {
        std::uint16_t platformID, languageID;
        const char* line;
    };
    const Case cases[] = {
        {1, 0, "1  Macintosh; English; Font Family name"},
        {1, 1, "1  Macintosh; unknown; Font Family name"},
        {1, 1033, "1  Macintosh; unknown; Font Family name"},
        {3, 1033, "1  Microsoft; English - United States; Font Family name"},
        {3, 2057, "1  Microsoft; unknown; Font Family name"},
        {3, 0, "1  Microsoft; unknown; Font Family name"},
        {3, 1027, "1  Microsoft; Catalan; Font Family name"},
        {3, 1034, "1  Microsoft; Spanish - Spain (traditional); Font Family name"},
        {3, 1044, "1  Microsoft; Norwegian - Bokmal; Font Family name"},
        {3, 3082, "1  Microsoft; Spanish - Spain (modern); Font Family name"},
        {3, 3084, "1  Microsoft; French - Canada; Font Family name"},
        {0, 0, "1  Unicode; Font Family name"},
        {0, 1033, "1  Unicode; Font Family name"},
        {2, 1033, "1  ISO; Font Family name"},
        {2, 7, "1  ISO; Font Family name"},
        {4, 0, "1  unknownFont Family name"},
        {4, 1033, "1  unknownFont Family name"},
        {200, 0, "1  unknownFont Family name"},
        {65535, 1033, "1  unknownFont Family name"},
    };
    for (const Case& c : cases) {
        NameRecord r;
        r.platformID = c.platformID;
        r.languageID = c.languageID;
        r.nameID = 1;
        EXPECT_EQ(ListLine(1, 1, r), c.line) << c.platformID << "/" << c.languageID;
    }
}

TEST(NameListLines, AllTwentySixWindowsLanguagesAndNoOthers)
{
    int named = 0;
    for (int id = 0; id <= 0xFFFF; ++id) {
        if (LanguageText(3, id) != "unknown; ")
            ++named;
    }
    EXPECT_EQ(named, 26);
    EXPECT_EQ(LanguageText(3, 0x0407), "German - Germany; ");
    EXPECT_EQ(LanguageText(3, 0x042D), "Basque; ");
    EXPECT_EQ(LanguageText(3, 0x0816), "Portuguese - Portugal; ");
}

TEST(NameListLines, NameTexts)
{
    struct Case {
        int nameID;
        const char* text;
    };
    const Case cases[] = {
        {0, "Copyright notice"}, {1, "Font Family name"}, {2, "Font Subfamily name"},
        {3, "Unique font identifier"}, {4, "Full font name"}, {5, "Version string"},
        {6, "Postscript name"}, {7, "Trademark"}, {8, "Manufacturer name"},
        {9, "Designer name"}, {10, "Description"}, {11, "URL Vendor"},
        {12, "URL Designer"}, {13, "License description"}, {14, "License information URL"},
        {15, "Name ID 15"}, {16, "Name ID 16"}, {256, "Name ID 256"}, {40000, "Name ID 40000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameIdText(c.nameID), c.text) << c.nameID;

    // Through the table: unsigned fields above 32767 are read as they stand.
    const NameReading r = readNameTable(ttf::nameTable({rec(3, 1033, 0), rec(3, 1033, 15), rec(3, 1033, 256), rec(3, 1033, 40000)}));
    ASSERT_EQ(r.Lines.size(), 4u);
    EXPECT_EQ(r.Lines[0], "1  Microsoft; English - United States; Copyright notice");
    EXPECT_EQ(r.Lines[1], "2  Microsoft; English - United States; Name ID 15");
    EXPECT_EQ(r.Lines[2], "3  Microsoft; English - United States; Name ID 256");
    EXPECT_EQ(r.Lines[3], "4  Microsoft; English - United States; Name ID 40000");
}

TEST(NameRecordText, DecodedByPlatformAndEncoding)
{
    struct Case {
        const char* what;
        std::uint16_t platformID, encodingID;
        ByteVector bytes;
        std::string text; // UTF-8
    };
    const Case cases[] = {
        {"Cyrillic", 3, 1, ttf::utf16be(u"\u041E\u0431\u044B\u0447\u043D\u044B\u0439"), "\u041E\u0431\u044B\u0447\u043D\u044B\u0439"},
        {"Czech", 3, 1, ttf::utf16be(u"oby\u010Dejn\u00E9"), "oby\u010Dejn\u00E9"},
        {"CJK", 0, 3, ttf::utf16be(u"\u4E2D\u6587"), "\u4E2D\u6587"},
        {"surrogate pair", 3, 10, ttf::utf16be(u"x\U0001D11Ey"), "x\U0001D11Ey"},
        {"ISO 10646", 2, 1, ttf::utf16be(u"\u0141"), "\u0141"},
        {"symbol", 3, 0, ttf::utf16be(u"\uF041"), "\uF041"},
        {"odd length", 0, 4, {0x00, 0x41, 0x00}, "A\uFFFD"},
        {"lone high surrogate", 3, 1, {0xD8, 0x34, 0x00, 0x41}, "\uFFFDA"},
        {"lone low surrogate", 3, 1, {0x00, 0x41, 0xDD, 0x1E}, "A\uFFFD"},
        {"two high surrogates", 3, 10, {0xD8, 0x34, 0xD8, 0x34, 0xDD, 0x1E}, "\uFFFD\U0001D11E"},
        {"U+0000 dropped", 3, 1, {0x00, 0x00, 0x00, 0x41}, "A"},
        {"Mac Roman", 1, 0, {0x43, 0x61, 0x66, 0x8E, 0x20, 0xDB, 0xF0, 0xFF}, "Caf\u00E9 \u20AC\uF8FF\u02C7"},
        // Every other record: each byte through Windows-1252, NULs dropped.
        {"Mac Japanese", 1, 1, {0x8E, 0x41}, "\u017DA"},
        {"Shift-JIS", 3, 2, {0x01, 0x41}, "\x01" "A"},
        {"ISO ASCII, 16-bit", 2, 0, {0x00, 0x53, 0x00, 0x61}, "Sa"},
        {"empty", 3, 1, {}, ""},
    };
    // All through one table, as the dialog reads them.
    std::vector<ttf::NameRecord> records;
    for (const Case& c : cases)
        records.push_back({c.platformID, c.encodingID, 0, 1, c.bytes});
    const NameReading r = readNameTable(ttf::nameTable(records));
    ASSERT_EQ(r.NameText.size(), std::size(cases));
    for (std::size_t k = 0; k < std::size(cases); ++k)
        EXPECT_EQ(r.NameText[k], cases[k].text) << cases[k].what;
}

TEST(NameRecordText, Latin1TextsComeOutAsBefore)
{
    // Before decoding by platform, every record took the 8-bit rule; UTF-16
    // texts of U+0001..U+007F and U+00A0..U+00FF must not change.
    std::u16string text;
    for (char16_t c = 1; c <= 0xFF; ++c)
        if (c < 0x80 || c >= 0xA0)
            text += c;
    const ByteVector bytes = ttf::utf16be(text);
    const std::string before = DecodeNameBytes(bytes, 4, 0);
    const std::pair<int, int> utf16[] = {{0, 3}, {2, 1}, {3, 0}, {3, 1}, {3, 10}};
    for (const auto& [platformID, encodingID] : utf16)
        EXPECT_EQ(DecodeNameBytes(bytes, platformID, encodingID), before) << platformID << "/" << encodingID;
    EXPECT_EQ(DecodeNameBytes(ttf::latin1("Sans 1.0"), 1, 0), DecodeNameBytes(ttf::latin1("Sans 1.0"), 4, 0));
}

TEST(NameRecordText, TextsOfATable)
{
    const NameReading r = readNameTable(ttf::nameTable({
        rec(3, 1033, 1, ttf::utf16be(u"Sans")),
        rec(1, 0, 1, ttf::latin1("Sans")),
        rec(3, 1033, 2, {}),
        rec(3, 1033, 4, ttf::utf16be(u"\u0141\u4E00")),
    }));
    ASSERT_EQ(r.NameText.size(), 4u);
    EXPECT_EQ(r.NameText[0], "Sans");
    EXPECT_EQ(r.NameText[1], "Sans");
    EXPECT_EQ(r.NameText[2], "");
    EXPECT_EQ(r.NameText[3], "\u0141\u4E00");
}

TEST(NameTable, OtherFormatsAndEmptyTablesGiveNoRecords)
{
    ByteVector format1 = ttf::nameTable(twelveRecords());
    ttf::putU16(format1, 0, 1);
    EXPECT_TRUE(readNameTable(format1).Lines.empty());

    const NameReading none = readNameTable(ttf::nameTable({}));
    EXPECT_TRUE(none.Lines.empty());
    EXPECT_TRUE(none.NameText.empty());

    // A table too short for its own header.
    EXPECT_TRUE(readNameTable(ByteVector{0x00}).Lines.empty());
}

TEST(NameTable, MoreThanAHundredRecordsAreAllListed)
{
    std::vector<ttf::NameRecord> records;
    for (int i = 0; i < 150; ++i)
        records.push_back(rec(3, 1033, std::uint16_t(i), ttf::utf16be(u"x")));
    const NameReading r = readNameTable(ttf::nameTable(records));
    ASSERT_EQ(r.Lines.size(), 150u);
    EXPECT_EQ(r.Lines[100], "101  Microsoft; English - United States; Name ID 100");
    EXPECT_EQ(r.Lines[149], "150  Microsoft; English - United States; Name ID 149");
    EXPECT_EQ(r.NameText[149], "x");
}

TEST(NameTable, StringOffsetsAbove32767AreUnsigned)
{
    // stringOffset 0x8012: the strings lie behind 32768 bytes of padding.
    ttf::Bytes b;
    b.u16(0);      // format
    b.u16(1);      // count
    b.u16(0x8012); // stringOffset
    b.u16(3).u16(1).u16(1033).u16(1); // platformID, encodingID, languageID, nameID
    b.u16(8);      // length
    b.u16(0);      // offset
    b.zeros(0x8000);
    b.append(ttf::utf16be(u"Sans"));
    const NameReading r = readNameTable(b.data);
    ASSERT_EQ(r.NameText.size(), 1u);
    EXPECT_EQ(r.NameText[0], "Sans");
}

TEST(NameTable, NoFontOrNoNameTable)
{
    // A font without 'name'.
    FontState font;
    openBytes(font, ttf::assemble({{"glyf", {1, 2, 3, 4}}}));
    RecordingSink sink;
    NameReading r;
    r.Lines = {"left over"};
    EXPECT_FALSE(ReadNames(font, sink, r));
    EXPECT_TRUE(r.Lines.empty());
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], "Not found: name");
    EXPECT_EQ(sink.texts[1].rfind("Error!\r\nCode = 14\r\n", 0), 0u) << sink.texts[1];

    // No font open at all.
    FontState empty;
    RecordingSink sink2;
    EXPECT_FALSE(ReadNames(empty, sink2, r));
    ASSERT_EQ(sink2.texts.size(), 2u);
    EXPECT_EQ(sink2.texts[0], "Not found: name");
}

TEST(NameTableDamaged, TextReachingPastTheEndOfTheFileIsCut)
{
    // 'name' is the last table: its final string claims 40 bytes but the file
    // ends (after padding to four) with "Sans".
    ByteVector table = ttf::nameTable({rec(3, 1033, 1, ttf::utf16be(u"Sans")), rec(1, 0, 2, ttf::latin1("Sans"))});
    ttf::putU16(table, 6 + 12 + 8, 40); // record 2: length
    const NameReading r = readNameTable(table);
    ASSERT_EQ(r.NameText.size(), 2u);
    EXPECT_EQ(r.NameText[0], "Sans");
    EXPECT_EQ(r.NameText[1], "Sans");

    // A string that starts beyond the end of the file is empty.
    ttf::putU16(table, 6 + 12 + 10, 60000); // record 2: offset
    const NameReading beyond = readNameTable(table);
    ASSERT_EQ(beyond.Lines.size(), 2u);
    EXPECT_EQ(beyond.NameText[1], "");
}

TEST(NameTableDamaged, RecordTablePastTheEndOfTheFileKeepsTheWholeRecords)
{
    // count says 12, the file holds two records and half of a third.
    ttf::Bytes b;
    b.u16(0);  // format
    b.u16(12); // count
    b.u16(0);  // stringOffset
    b.u16(3).u16(1).u16(1033).u16(1).u16(0).u16(0); // record 1
    b.u16(1).u16(0).u16(0).u16(4).u16(0).u16(0);    // record 2
    b.u16(3).u16(1).u16(1033);                       // record 3, cut
    ByteVector font = ttf::assemble({{"name", b.data}});
    font.resize(ttf::tableOffset(font, "name") + b.size()); // no padding after it

    FontState state;
    openBytes(state, font);
    RecordingSink sink;
    NameReading r;
    ASSERT_TRUE(ReadNames(state, sink, r));
    EXPECT_TRUE(sink.texts.empty());
    ASSERT_EQ(r.Lines.size(), 2u);
    EXPECT_EQ(r.Lines[0], " 1  Microsoft; English - United States; Font Family name");
    EXPECT_EQ(r.Lines[1], " 2  Macintosh; English; Full font name");
}

TEST(NameTableDamaged, Count65535InATinyTable)
{
    ByteVector table = ttf::nameTable({rec(3, 1033, 1, ttf::utf16be(u"Sans"))});
    ttf::putU16(table, 2, 65535); // count
    FontState font;
    openBytes(font, ttf::assemble({{"name", table}}));
    const std::size_t recordBytes = font.FontBytes.size() - ttf::tableOffset(font.FontBytes, "name") - 6;

    RecordingSink sink;
    NameReading r;
    ASSERT_TRUE(ReadNames(font, sink, r));
    EXPECT_TRUE(sink.texts.empty());
    // Every whole 12 bytes after the header read as a record, nothing beyond.
    ASSERT_EQ(r.Lines.size(), recordBytes / 12);
    ASSERT_EQ(r.NameText.size(), r.Lines.size());
    EXPECT_EQ(r.Lines[0], "    1  Microsoft; English - United States; Font Family name");
}

TEST(NameTableDamaged, EveryTruncationOfAFontReadsSafely)
{
    ttf::FontSpec design = ttf::squaresFont(3);
    design.names = {rec(3, 1033, 1, ttf::utf16be(u"Sans")), rec(1, 0, 2, ttf::latin1("Book")), rec(3, 1033, 4, ttf::utf16be(u"Sans Book"))};
    const ByteVector whole = ttf::buildFont(design);
    const std::size_t name = ttf::tableOffset(whole, "name");
    const std::size_t firstRecord = name + 6, strings = firstRecord + 3 * 12;

    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE(length);
        FontState font;
        font.FontBytes.assign(whole.begin(), whole.begin() + std::ptrdiff_t(length));
        font.Loaded = true;
        RecordingSink sink;
        ByteReader file(font.FontBytes);
        if (!ReadTableDirectory(font, file, sink))
            continue;
        NameReading r;
        const bool read = ReadNames(font, sink, r);
        EXPECT_EQ(read, length >= name); // a table starting past the end cannot be looked up
        ASSERT_EQ(r.Lines.size(), r.NameText.size());
        // The whole records in the file, and only those.
        const std::size_t wholeRecords = length < firstRecord ? 0 : std::min<std::size_t>(3, (length - firstRecord) / 12);
        EXPECT_EQ(r.Lines.size(), wholeRecords);
        if (length >= strings + 8) {
            EXPECT_EQ(r.NameText[0], "Sans");
        }
    }
}
