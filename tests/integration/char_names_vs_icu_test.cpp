// Character names and blocks against ICU's, and Find by a character's name
// against FreeType's character map.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include <QJsonObject>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include "platform/char_names.h"
#include "support/command_output.h"
#include "support/freetype_face.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

std::string icuName(char32_t code)
{
    char name[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_charName(UChar32(code), U_UNICODE_CHAR_NAME, name, sizeof name, &status);
    return U_SUCCESS(status) ? std::string(name, std::size_t(length)) : std::string();
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Every code DejaVu Sans maps, asked for by its ICU name in lower case,
// finds the glyph FreeType maps it to.
TEST(CharNamesVsIcu, FindByNameFindsFreeTypesGlyph)
{
    const FreeTypeFace ft(DejaVuSans);
    ASSERT_NE(ft.get(), nullptr);
    std::vector<std::pair<std::string, int>> expected;
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(ft.get(), &glyph); glyph != 0; c = FT_Get_Next_Char(ft.get(), c, &glyph)) {
        const std::string name = lower(icuName(char32_t(c)));
        // One-word names ("space") may be glyph names too; Find tries those first.
        if (name.find(' ') == std::string::npos)
            continue;
        expected.emplace_back(name, int(glyph));
    }
    ASSERT_GT(expected.size(), 4000u);
    // In batches: a shell takes a command line of 128 KiB at most.
    constexpr std::size_t Batch = 1000;
    int wrong = 0;
    for (std::size_t from = 0; from < expected.size(); from += Batch) {
        std::vector<std::string> words = {"find", DejaVuSans};
        for (std::size_t k = from; k < std::min(expected.size(), from + Batch); ++k)
            words.push_back(expected[k].first);
        int status = -1;
        const QJsonObject doc = inspectObject(words, &status);
        ASSERT_EQ(status, 0);
        for (std::size_t k = from; k < std::min(expected.size(), from + Batch); ++k) {
            const auto& [name, g] = expected[k];
            if (doc[QString::fromStdString(name)].toInt(-1) != g && wrong++ < 5)
                ADD_FAILURE() << name << ": " << doc[QString::fromStdString(name)].toInt(-1) << ", FreeType " << g;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(CharNamesVsIcu, NamesAndBlocksOverARange)
{
    int named = 0;
    for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x3000 ? 1 : 61)) {
        const std::string name = CharacterName(c);
        EXPECT_EQ(name, icuName(c)) << unsigned(c);
        std::string block = u_getPropertyValueName(UCHAR_BLOCK, ublock_getCode(UChar32(c)), U_LONG_PROPERTY_NAME);
        std::replace(block.begin(), block.end(), '_', ' ');
        EXPECT_EQ(BlockName(c), block == "No Block" ? "" : block) << unsigned(c);
        if (name.empty() || c % 7)
            continue;
        // Case does not matter; the name must be whole.
        EXPECT_EQ(CharacterNamed(lower(name)), c) << name;
        EXPECT_EQ(CharacterNamed(name.substr(0, name.size() - 1)) == c, false) << name;
        ++named;
    }
    EXPECT_GT(named, 1000);
    EXPECT_EQ(CharacterNamed("latin small letter e with acute"), U'\u00e9');
    EXPECT_EQ(CharacterNamed("no such character"), std::nullopt);
    EXPECT_EQ(CharacterName(0x110000), "");
}

TEST(CharNamesVsIcu, BlocksByName)
{
    const std::optional<int> cyrillic = BlockNamed("cyrillic");
    ASSERT_TRUE(cyrillic);
    EXPECT_TRUE(InBlock(U'\u0416', *cyrillic));
    EXPECT_FALSE(InBlock(U'A', *cyrillic));
    EXPECT_EQ(BlockNamed("Basic Latin"), BlockNamed("basic_latin"));
    EXPECT_TRUE(InBlock(U'A', *BlockNamed("Basic Latin")));
    EXPECT_EQ(BlockNamed("Klingon"), std::nullopt);
    EXPECT_EQ(BlockName(U'\u0416'), "Cyrillic");
}

} // namespace
