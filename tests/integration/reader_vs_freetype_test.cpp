#include <gtest/gtest.h>

#include "support/font_file_loading.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "tables/cmap.h"
#include "support/font_loading.h"
#include "support/freetype_face.h"

namespace {


TEST(ReaderVsFreeType, DejaVuFontsAreFound)
{
    EXPECT_GE(dejavuFontPaths().size(), 6u);
}

TEST(ReaderVsFreeType, GlyphCountAndEveryCharacterCode)
{
    for (const std::string& path : dejavuFontPaths()) {
        SCOPED_TRACE(path);
        FontState font;
        RecordingSink sink;
        ASSERT_EQ(loadFontPath(font, sink, path), LoadResult::Loaded);
        EXPECT_TRUE(sink.texts.empty());

        FreeTypeFace face(path);
        ASSERT_NE(face.get(), nullptr);
        ASSERT_EQ(FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE), 0);
        EXPECT_EQ(font.NumGlyphs, face.get()->num_glyphs);
        EXPECT_EQ(GlyphCountText(font), " " + std::to_string(face.get()->num_glyphs));
        EXPECT_EQ(font.UnicodeCmap, 1);

        int mismatches = 0;
        for (int c = 0; c <= 65535; ++c) {
            const int expected = int(FT_Get_Char_Index(face.get(), FT_ULong(c)));
            const int glyph = CharToGlyph(font, c);
            if (glyph != expected && mismatches++ < 5)
                ADD_FAILURE() << "code " << c << ": " << glyph << ", FreeType " << expected;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ReaderVsFreeType, GlyphKindsWidthsAndNames)
{
    for (const std::string& path : dejavuFontPaths()) {
        SCOPED_TRACE(path);
        FontState font;
        RecordingSink sink;
        ASSERT_EQ(loadFontPath(font, sink, path), LoadResult::Loaded);
        FreeTypeFace face(path);
        ASSERT_NE(face.get(), nullptr);

        int wrong = 0;
        for (int g = 0; g < font.NumGlyphs && wrong < 5; ++g) {
            ASSERT_EQ(FT_Load_Glyph(face.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE), 0) << g;
            const FT_GlyphSlot slot = face.get()->glyph;
            const bool composite = slot->format == FT_GLYPH_FORMAT_COMPOSITE;
            const bool listed = font.GlyphKinds[std::size_t(g)] == GlyphKind::Simple;
            if (listed == composite && ++wrong)
                ADD_FAILURE() << "glyph " << g << (composite ? " is composite" : " is simple");
            if (font.HMetrics[std::size_t(g)].AdvanceWidth != slot->advance.x && ++wrong)
                ADD_FAILURE() << "glyph " << g << " advance " << font.HMetrics[std::size_t(g)].AdvanceWidth << ", FreeType " << slot->advance.x;

            const int nameIndex = font.GlyphNameIndex[std::size_t(g)];
            char name[256] = {};
            if (nameIndex >= 258 && FT_Get_Glyph_Name(face.get(), FT_UInt(g), name, sizeof name) == 0) {
                const std::size_t k = std::size_t(nameIndex - 258);
                if ((k >= font.GlyphNames.size() || font.GlyphNames[k] != name) && ++wrong)
                    ADD_FAILURE() << "glyph " << g << " name, FreeType " << name;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ReaderVsFreeType, DejaVuSansCountsAsTheWindowShowsThem)
{
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontPath(font, sink, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf"), LoadResult::Loaded);
    EXPECT_EQ(GlyphCountText(font), " 6253");
    EXPECT_EQ(font.CmapLength, 3102);
    EXPECT_EQ(MakePickLists(font, false).AsciiList.size(), 95u);
    EXPECT_EQ(CharToGlyph(font, 'A'), 36);
}

} // namespace
