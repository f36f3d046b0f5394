#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "tables/cmap.h"
#include "sfnt/table_directory.h"
#include "support/font_loading.h"

namespace {

using ttf::ByteVector;
using ttf::Segment;

// Reads a file holding just a cmap table, as LoadFont does.
struct CmapFont {
    explicit CmapFont(const std::vector<ttf::Encoding>& encodings) : CmapFont(ttf::cmapTable(encodings)) {}
    explicit CmapFont(const ByteVector& cmap)
    {
        font.FontBytes = ttf::assemble({{"cmap", cmap}});
        ByteReader file(font.FontBytes);
        if (ReadTableDirectory(font, file, sink))
            read = ReadCharacterMap(font, file, sink);
    }
    int glyph(int code) const { return CharToGlyph(font, code); }

    FontState font;
    RecordingSink sink;
    bool read = false;
};

ByteVector format4Mapping(std::uint16_t code, std::uint16_t glyph)
{
    return ttf::cmapFormat4(std::map<std::uint16_t, std::uint16_t>{{code, glyph}});
}

TEST(CharToGlyph, Format4DeltaSegments)
{
    // Segments 32..126 with idDelta 65507 and the final 65535..65535.
    CmapFont f({{3, 1, ttf::cmapFormat4({{32, 126, 65507, 0}, {65535, 65535, 1, 0}})}});
    ASSERT_TRUE(f.read);
    EXPECT_EQ(f.font.CmapFormat, 4);
    EXPECT_EQ(f.font.CmapLength, 32);
    EXPECT_EQ(f.glyph(65), 36);
    EXPECT_EQ(f.glyph(32), 3);
    EXPECT_EQ(f.glyph(126), 97);
    EXPECT_EQ(f.glyph(127), 0); // the final segment starts at 65535
    EXPECT_EQ(f.glyph(20), 0);  // the first segment starts at 32
    EXPECT_EQ(f.glyph(65535), 0);
}

TEST(CharToGlyph, Format4GlyphIndexArray)
{
    // idRangeOffset counts from the segment's own idRangeOffset field:
    // the fields stand at 34, 36, 38 and the glyph index array at 40.
    const ByteVector sub = ttf::cmapFormat4({{100, 102, 0, 6}, {200, 200, 10, 10}, {65535, 65535, 1, 0}}, {7, 0, 9, 5});
    CmapFont f({{3, 1, sub}});
    ASSERT_TRUE(f.read);
    EXPECT_EQ(f.glyph(100), 7);
    EXPECT_EQ(f.glyph(101), 0); // an array value of 0 is no glyph
    EXPECT_EQ(f.glyph(102), 9);
    EXPECT_EQ(f.glyph(200), 15); // 5 + idDelta 10
    EXPECT_EQ(f.glyph(99), 0);
    EXPECT_EQ(f.glyph(150), 0);
}

TEST(CharToGlyph, Format4SumsWrapAt65536)
{
    CmapFont f({{3, 1, ttf::cmapFormat4({{10, 10, 65535, 0}, {20, 20, 65530, 4}, {65535, 65535, 1, 0}}, {10})}});
    EXPECT_EQ(f.glyph(10), 9);
    EXPECT_EQ(f.glyph(20), 4);
}

TEST(CharToGlyph, Format4LookupsThatLeaveTheSubtableGiveZero)
{
    // No final segment: codes above every endCode find nothing.
    CmapFont noFinal({{3, 1, ttf::cmapFormat4({{32, 126, 0, 0}})}});
    ASSERT_TRUE(noFinal.read);
    EXPECT_EQ(noFinal.glyph(50), 50);
    EXPECT_EQ(noFinal.glyph(127), 0);
    EXPECT_EQ(noFinal.glyph(65535), 0);

    // A glyph index array shorter than the segment: codes past its end give 0.
    CmapFont shortArray({{3, 1, ttf::cmapFormat4({{100, 200, 0, 4}, {65535, 65535, 1, 0}}, {42})}});
    EXPECT_EQ(shortArray.glyph(100), 42);
    EXPECT_EQ(shortArray.glyph(101), 0);
    EXPECT_EQ(shortArray.glyph(200), 0);

    // segCountX2 far beyond the subtable.
    ByteVector huge = ttf::cmapFormat4({{32, 126, 0, 0}, {65535, 65535, 1, 0}});
    ttf::putU16(huge, 6, 65534);
    CmapFont hugeCount({{3, 1, huge}});
    ASSERT_TRUE(hugeCount.read);
    for (int code : {0, 32, 127, 40000, 65535})
        EXPECT_EQ(hugeCount.glyph(code), 0) << code;

    // A length field shorter than the segments: only the copied bytes count.
    ByteVector cut = ttf::cmapFormat4({{32, 126, 0, 0}, {65535, 65535, 1, 0}});
    ttf::putU16(cut, 2, 18);
    CmapFont shortLength({{3, 1, cut}});
    ASSERT_TRUE(shortLength.read);
    EXPECT_EQ(shortLength.font.CmapData.size(), 18u);
    EXPECT_EQ(shortLength.glyph(65), 0);
}

TEST(CharToGlyph, Format0)
{
    std::array<std::uint8_t, 256> glyphs{};
    glyphs[65] = 36;
    glyphs[255] = 0xAB;
    CmapFont f({{1, 0, ttf::cmapFormat0(glyphs)}});
    ASSERT_TRUE(f.read);
    EXPECT_EQ(f.font.CmapLength, 262);
    EXPECT_EQ(f.glyph(65), 36);
    EXPECT_EQ(f.glyph(255), 0xAB); // the byte at subtable offset 261
    EXPECT_EQ(f.glyph(256), 0);
    EXPECT_EQ(f.glyph(0), 0);

    ByteVector cut = ttf::cmapFormat0(glyphs);
    ttf::putU16(cut, 2, 100);
    CmapFont shortLength({{1, 0, cut}});
    EXPECT_EQ(shortLength.glyph(65), 36);
    EXPECT_EQ(shortLength.glyph(255), 0);
}

TEST(CharToGlyph, EmptySubtableAndOutOfRangeCodes)
{
    FontState font;
    EXPECT_EQ(CharToGlyph(font, 65), 0);
    CmapFont f({{3, 1, format4Mapping(65, 3)}});
    EXPECT_EQ(f.glyph(65), 3);
    EXPECT_EQ(f.glyph(-1), 0);
    EXPECT_EQ(f.glyph(65536 + 65), 0);
}

TEST(ReadCharacterMap, ChoosesTheWindowsUnicodeRecord)
{
    CmapFont f({{0, 3, format4Mapping(65, 1)}, {3, 1, format4Mapping(65, 2)}, {3, 10, format4Mapping(65, 3)}});
    ASSERT_TRUE(f.read);
    EXPECT_EQ(f.font.UnicodeCmap, 1);
    EXPECT_EQ(f.glyph(65), 2);
}

TEST(ReadCharacterMap, WithoutOneTheLastRecordIsUsed)
{
    std::array<std::uint8_t, 256> glyphs{};
    glyphs[65] = 5;
    CmapFont macOnly({{1, 0, ttf::cmapFormat0(glyphs)}});
    ASSERT_TRUE(macOnly.read);
    EXPECT_EQ(macOnly.font.UnicodeCmap, 0);
    EXPECT_EQ(macOnly.glyph(65), 5);

    CmapFont two({{0, 3, format4Mapping(65, 1)}, {3, 0, format4Mapping(65, 2)}});
    EXPECT_EQ(two.font.UnicodeCmap, 0);
    EXPECT_EQ(two.glyph(65), 2);
}

TEST(ReadCharacterMap, NoRecordsReadTheHeaderAsTheSubtable)
{
    // version 0 is taken as format 0, numTables 0 as the length: nothing maps.
    CmapFont f(std::vector<ttf::Encoding>{});
    ASSERT_TRUE(f.read);
    EXPECT_TRUE(f.sink.texts.empty());
    EXPECT_EQ(f.font.CmapFormat, 0);
    EXPECT_EQ(f.font.CmapLength, 0);
    EXPECT_EQ(f.glyph(65), 0);
}

TEST(ReadCharacterMap, OnlyFormats0And4AreRead)
{
    // Another format is said, and read on past: no code maps to a glyph.
    CmapFont f({{3, 1, ttf::cmapFormat6(65, {1, 2, 3})}});
    EXPECT_TRUE(f.read);
    EXPECT_EQ(f.sink.texts, std::vector<std::string>{"wrong cmapFormat!!"});
    EXPECT_EQ(f.glyph(65), 0);

    // A format 6 subtable that is not chosen does not matter.
    CmapFont other({{1, 0, ttf::cmapFormat6(65, {1, 2, 3})}, {3, 1, format4Mapping(65, 2)}});
    EXPECT_TRUE(other.read);
    EXPECT_EQ(other.glyph(65), 2);
}

TEST(ReadCharacterMap, SubtablesBeyondTheFileAreReported)
{
    ByteVector cmap = ttf::cmapTable({{3, 1, format4Mapping(65, 2)}});
    ttf::putU32(cmap, 8, 0xFFFFFFF0); // subtable offset
    CmapFont farAway(cmap);
    EXPECT_FALSE(farAway.read);
    EXPECT_EQ(farAway.sink.texts, std::vector<std::string>{loadErrorText(15, "cmap subtable")});

    ByteVector longer = ttf::cmapTable({{3, 1, format4Mapping(65, 2)}});
    ttf::putU16(longer, 12 + 2, 65535); // subtable length
    CmapFont tooLong(longer);
    EXPECT_FALSE(tooLong.read);
    EXPECT_EQ(tooLong.sink.texts, std::vector<std::string>{loadErrorText(15, "cmap subtable")});

    ByteVector records = ttf::cmapTable({{0, 3, format4Mapping(65, 2)}});
    ttf::putU16(records, 2, 65535); // numTables
    CmapFont tooMany(records);
    EXPECT_FALSE(tooMany.read);
    EXPECT_EQ(tooMany.sink.texts, std::vector<std::string>{loadErrorText(15, "cmap encoding records")});
}

// A font whose only Unicode map is format 12 (colour emoji) opens: the box
// is shown, the character lists stay empty, Find reads the format 12 map.
TEST(LoadFont, FormatOtherThan0Or4IsSaidAndTheLoadGoesOn)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(3));
    ttf::findTable(tables, "cmap")->data = ttf::cmapTable({{3, 10, ttf::cmapFormat12({{'A', 'B', 1}, {0x1F600, 0x1F600, 2}})}});
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Loaded);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"wrong cmapFormat!!"});
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(MakePickLists(font, false).CharList.empty());
    EXPECT_TRUE(MakePickLists(font, false).AsciiList.empty());
    EXPECT_EQ(CharToGlyph(font, 'A'), 0);
    EXPECT_EQ(font.Unicode.glyphFor(U'B'), 2);
    EXPECT_EQ(font.Unicode.glyphFor(0x1F600), 2);
}

TEST(LoadFont, WithoutAWindowsUnicodeMapTheCharacterListsStayEmpty)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(4));
    std::array<std::uint8_t, 256> glyphs{};
    glyphs['A'] = 1;
    glyphs['B'] = 2;
    ttf::findTable(tables, "cmap")->data = ttf::cmapTable({{1, 0, ttf::cmapFormat0(glyphs)}});
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Loaded);
    EXPECT_EQ(font.UnicodeCmap, 0);
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(MakePickLists(font, false).CharList.empty());
    EXPECT_TRUE(MakePickLists(font, false).AsciiList.empty());
    EXPECT_EQ(CharToGlyph(font, 'B'), 2);
}

// The segment walk lookups always made: the reference for the search.
int linearFormat4Glyph(const ByteVector& sub, int code)
{
    auto at = [&](std::size_t offset) -> long { return offset + 2 <= sub.size() ? ttf::getU16(sub, offset) : -1; };
    const long segCount = at(6) / 2;
    long i = 0;
    for (; i < segCount; ++i) {
        const long end = at(14 + 2 * std::size_t(i));
        if (end < 0)
            return 0;
        if (end >= code)
            break;
    }
    if (i >= segCount)
        return 0;
    const std::size_t rangeAt = 16 + 6 * std::size_t(segCount) + 2 * std::size_t(i);
    const long start = at(16 + 2 * std::size_t(segCount) + 2 * std::size_t(i));
    const long delta = at(16 + 4 * std::size_t(segCount) + 2 * std::size_t(i));
    const long range = at(rangeAt);
    if (start < 0 || delta < 0 || range < 0 || start > code)
        return 0;
    if (range == 0)
        return int((code + delta) % 65536);
    const long v = at(rangeAt + std::size_t(range) + 2 * std::size_t(code - start));
    return v <= 0 ? 0 : int((v + delta) % 65536);
}

// A random subtable: sorted segments with deltas and glyph arrays, or
// damaged ones (segments shuffled, ends duplicated, bytes cut off).
ByteVector randomFormat4(std::mt19937& rng, bool damaged)
{
    std::vector<std::uint16_t> ends;
    const int segCount = int(rng() % 300) + 1;
    for (int k = 0; k < segCount; ++k)
        ends.push_back(std::uint16_t(rng()));
    std::sort(ends.begin(), ends.end());
    if (rng() % 2)
        ends.back() = 0xFFFF;
    std::vector<Segment> segments;
    std::vector<std::uint16_t> glyphIds(rng() % 400);
    for (std::uint16_t& g : glyphIds)
        g = std::uint16_t(rng() % 3 ? rng() % 2000 : 0);
    for (std::size_t k = 0; k < ends.size(); ++k) {
        const int previous = k ? ends[k - 1] + 1 : 0;
        const auto start = std::uint16_t(std::max(previous, ends[k] - int(rng() % 200)));
        const auto range = std::uint16_t(rng() % 3 ? 0 : 2 * (ends.size() - k) + 2 * (rng() % 200));
        segments.push_back({start, ends[k], std::uint16_t(rng()), range});
    }
    if (damaged) {
        for (int swaps = int(rng() % 4); swaps >= 0; --swaps)
            std::swap(segments[rng() % segments.size()].endCode, segments[rng() % segments.size()].endCode);
    }
    ByteVector sub = ttf::cmapFormat4(segments, glyphIds);
    if (damaged && rng() % 2)
        sub.resize(14 + rng() % (sub.size() - 13));
    ttf::putU16(sub, 2, std::uint16_t(sub.size()));
    return sub;
}

bool endCodesDecrease(const ByteVector& sub)
{
    const std::size_t segCount = sub.size() < 8 ? 0 : std::size_t(sub[6] << 8 | sub[7]) / 2;
    for (std::size_t i = 1; i < segCount && 14 + 2 * i + 1 < sub.size(); ++i) {
        if ((sub[14 + 2 * i] << 8 | sub[15 + 2 * i]) < (sub[12 + 2 * i] << 8 | sub[13 + 2 * i]))
            return true;
    }
    return false;
}

TEST(CharToGlyph, Format4SearchGivesTheWalksGlyph)
{
    std::mt19937 rng(12);
    int unsorted = 0;
    for (int round = 0; round < 120; ++round) {
        const bool damaged = round % 2 == 1;
        const ByteVector sub = randomFormat4(rng, damaged);
        CmapFont f({{3, 1, sub}});
        ASSERT_TRUE(f.read) << round;
        unsorted += endCodesDecrease(sub) ? 1 : 0;
        for (int code = 0; code <= 65535; ++code)
            ASSERT_EQ(f.glyph(code), linearFormat4Glyph(sub, code)) << "round " << round << " code " << code;
    }
    EXPECT_GT(unsorted, 20); // the damaged rounds did try the walk
}

} // namespace
