// The best Unicode subtable: format 12 before format 4, supplementary
// planes, and damaged subtables.
#include <gtest/gtest.h>

#include "tables/cmap.h"
#include "tables/unicode_map.h"
#include "support/ttf_builder.h"

namespace {

using ttf::ByteVector;

const ByteVector Bmp = ttf::cmapFormat4(std::map<std::uint16_t, std::uint16_t>{{'A', 1}, {'B', 2}});
const ByteVector Full = ttf::cmapFormat12({{'A', 'C', 1}, {0x1D11E, 0x1D11F, 4}});

// Every code of the BMP that maps to glyph g, found one code at a time.
std::vector<char32_t> codesByLookup(const UnicodeMap& map, int g)
{
    std::vector<char32_t> codes;
    for (char32_t c = 0; c <= 0xFFFF; ++c)
        if (map.glyphFor(c) == g)
            codes.push_back(c);
    return codes;
}

} // namespace

TEST(UnicodeMap, Format4WhenNoUsableFormat12)
{
    for (const ByteVector& bad : {ttf::cmapFormat12({{0x100, 0x110, 1}, {'A', 'B', 1}}), // out of order
                                  ttf::cmapFormat12({{'B', 'A', 1}}),                     // backwards
                                  ttf::cmapFormat12({{'A', 'C', 1}, {'C', 'D', 7}}),      // overlapping
                                  ttf::cmapFormat12({})}) {
        const UnicodeMap map = ReadUnicodeMap(ttf::cmapTable({{0, 4, bad}, {0, 3, Bmp}}));
        EXPECT_EQ(map.format(), 4);
        EXPECT_EQ(map.glyphFor('B'), 2);
    }
    // A Macintosh subtable is no Unicode one.
    EXPECT_EQ(ReadUnicodeMap(ttf::cmapTable({{1, 0, Bmp}})).glyphFor('A'), 0);
}

TEST(UnicodeMap, DamagedFormat12KeepsTheGroupsItHolds)
{
    ByteVector huge = Full;
    ttf::putU32(huge, 4, 0xFFFFFFFF);  // length
    ttf::putU32(huge, 12, 0xFFFFFFFF); // numGroups
    const UnicodeMap all = ReadUnicodeMap(ttf::cmapTable({{3, 10, huge}}));
    ASSERT_EQ(all.format(), 12);
    EXPECT_EQ(all.glyphFor(0x1D11E), 4);

    ByteVector shortLength = Full;
    ttf::putU32(shortLength, 4, 16 + 12 + 11); // one whole group and most of the next
    const UnicodeMap first = ReadUnicodeMap(ttf::cmapTable({{3, 10, shortLength}}));
    EXPECT_EQ(first.glyphFor('B'), 2);
    EXPECT_EQ(first.glyphFor(0x1D11E), 0);

    ByteVector table = ttf::cmapTable({{3, 10, Full}, {3, 1, Bmp}});
    for (std::size_t length = 0; length <= table.size(); ++length) {
        const UnicodeMap map = ReadUnicodeMap(std::span(table).first(length));
        EXPECT_EQ(map.glyphFor('A'), map.format() == 0 ? 0 : 1) << length;
    }
}

TEST(UnicodeMap, Format4AgreesWithCharToGlyphAndItsCodesWithItsLookups)
{
    using S = ttf::Segment;
    const ByteVector subtables[] = {
        Bmp,
        // glyphIdArray, an idDelta on it, and a zero entry
        ttf::cmapFormat4({S{0x20, 0x22, 10, 4}, S{0x30, 0x31, 0, 0}, S{0xFFFF, 0xFFFF, 1, 0}}, {5, 0, 7}),
        // endCodes out of order: the first segment reaching the code wins
        ttf::cmapFormat4(std::vector<S>{{0x40, 0x50, 1, 0}, {0x10, 0x45, 100, 0}, {0x46, 0x60, 200, 0}}),
        // no final segment, and an idRangeOffset past the subtable
        ttf::cmapFormat4(std::vector<S>{{0x41, 0x42, 0, 0}, {0x100, 0x1FF, 0, 40000}}),
    };
    for (const ByteVector& subtable : subtables) {
        const UnicodeMap map = ReadUnicodeMap(ttf::cmapTable({{3, 1, subtable}}));
        ASSERT_EQ(map.format(), 4);
        FontState font;
        font.CmapFormat = 4;
        font.CmapLength = int(subtable.size());
        UseSubtable(font, subtable);
        int wrong = 0;
        std::vector<std::pair<char32_t, int>> mapped, visited;
        for (int c = 0; c <= 0xFFFF; ++c) {
            wrong += map.glyphFor(char32_t(c)) != CharToGlyph(font, c);
            if (const int g = map.glyphFor(char32_t(c)))
                mapped.emplace_back(char32_t(c), g);
        }
        EXPECT_EQ(wrong, 0);
        map.forEachCode([&](char32_t c, int g) { visited.emplace_back(c, g); });
        EXPECT_EQ(visited, mapped);
        for (int g : {1, 2, 5, 7, 15, 70, 120, 280})
            EXPECT_EQ(map.codesFor(g), codesByLookup(map, g)) << g;
    }
}

TEST(UnicodeMap, AFormat4SubtableCutInItsArraysServesOnlyThePickLists)
{
    // Three segments; the cut leaves the last idRangeOffset outside.
    ByteVector cut = ttf::cmapFormat4(std::vector<ttf::Segment>{{0x41, 0x42, 1, 0}, {0x61, 0x62, 5, 0}, {0xFFFF, 0xFFFF, 1, 0}});
    cut.resize(14 + 2 * 3 + 2 + 2 * 3 + 2 * 3 + 2 * 2);
    ttf::putU16(cut, 2, std::uint16_t(cut.size()));

    FontState font;
    font.CmapFormat = 4;
    font.CmapLength = int(cut.size());
    UseSubtable(font, cut);
    EXPECT_EQ(CharToGlyph(font, 0x41), 0x42);
    EXPECT_EQ(CharToGlyph(font, 0x62), 0x67);
    EXPECT_EQ(CharToGlyph(font, 0xFFFF), 0); // its idRangeOffset lies past the cut

    const UnicodeMap map = ReadUnicodeMap(ttf::cmapTable({{3, 1, cut}}));
    EXPECT_EQ(map.format(), 0);
    EXPECT_EQ(map.glyphFor(0x41), 0);
    EXPECT_TRUE(map.codesFor(0x42).empty());
}
