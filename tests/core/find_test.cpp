// Find: what the user types, resolved to a glyph.
#include <gtest/gtest.h>

#include "tables/find.h"
#include "sfnt/table_directory.h"
#include "support/font_loading.h"

TEST(FindGlyph, QueryForms)
{
    // Seven glyphs: 'A' -> 1, 'B' and e acute -> 2, U+1D11E -> 5, U+1F600 ->
    // glyph 9 (beyond the font), 'C' -> 0; named .notdef, alpha, cafe
    // (Windows-1252), A, Z, "7" and alpha again.
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(7));
    ttf::findTable(tables, "cmap")->data = ttf::cmapTable({
        {3, 1, ttf::cmapFormat4(std::map<std::uint16_t, std::uint16_t>{{'A', 1}})},
        {3, 10, ttf::cmapFormat12({{'A', 'B', 1}, {'C', 'C', 0}, {0xE9, 0xE9, 2}, {0x1D11E, 0x1D11E, 5}, {0x1F600, 0x1F600, 9}})},
    });
    ttf::findTable(tables, "post")->data = ttf::post20Table({0, 258, 259, 36, 260, 261, 258}, {"alpha", "caf\xE9", "Z", "7"});
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Loaded);
    const UnicodeMap map = ReadUnicodeMap(TableBytes(font, "cmap"));
    ASSERT_EQ(map.format(), 12);

    const std::pair<const char*, std::optional<int>> cases[] = {
        // glyph numbers, below the glyph count
        {"0", 0}, {"6", 6}, {"0006", 6}, {"7", std::nullopt}, {"99999999999999", std::nullopt},
        // character codes
        {"U+0041", 1}, {"u+41", 1}, {"U+00e9", 2}, {"U+1D11E", 5}, {"U+01D11E", 5},
        {"U+1F600", std::nullopt}, {"U+0043", std::nullopt}, {"U+", std::nullopt}, {"U+0001D11E", std::nullopt},
        {"U+00G1", std::nullopt}, {"+0041", std::nullopt},
        // one character
        {"A", 1}, {"\u00E9", 2}, {"\U0001D11E", 5}, {"C", std::nullopt},
        {"Z", 4}, // no glyph for the character: its name
        // glyph names
        {".notdef", 0}, {"alpha", 1}, {"caf\u00E9", 2}, {"caf\xE9", std::nullopt}, {"Alpha", std::nullopt},
        {"nosuchname", std::nullopt}, {"", std::nullopt},
        {"\xC3", std::nullopt}, {"\xED\xA0\x80", std::nullopt}, {"\xC1\x81", std::nullopt},
    };
    for (const auto& [query, glyph] : cases)
        EXPECT_EQ(FindGlyph(font, map, query), glyph) << query;
}
