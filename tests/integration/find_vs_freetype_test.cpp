// Find and the glyph names against FreeType over every DejaVu font.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include "tables/find.h"
#include "tables/glyph_names.h"
#include "support/font_file_loading.h"
#include "support/font_loading.h"
#include "support/freetype_face.h"

namespace {

std::string codeQuery(FT_ULong code)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04lX", code);
    return text;
}

// FreeType's name of every glyph; "" where it gives none.
std::vector<std::string> freeTypeNames(FT_Face face)
{
    std::vector<std::string> names(std::size_t(face->num_glyphs));
    for (FT_UInt g = 0; g < names.size(); ++g) {
        char name[256] = {};
        if (FT_Get_Glyph_Name(face, g, name, sizeof name) == 0)
            names[g] = name;
    }
    return names;
}

} // namespace

TEST(FindVsFreeType, EveryCodeAndEveryUniqueNameGivesFreeTypesGlyph)
{
    const std::vector<std::string> fonts = dejavuFontPaths();
    ASSERT_EQ(fonts.size(), 22u);
    std::size_t supplementary = 0;
    for (const std::string& path : fonts) {
        SCOPED_TRACE(path);
        FontState font;
        RecordingSink sink;
        ASSERT_EQ(loadFontPath(font, sink, path), LoadResult::Loaded);
        const UnicodeMap& map = font.Unicode;
        FreeTypeFace face(path);
        ASSERT_NE(face.get(), nullptr);
        // FreeType prefers a UCS-4 charmap when the font has one.
        ASSERT_EQ(FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE), 0);

        int wrong = 0;
        std::map<int, std::vector<char32_t>> codesOf;
        FT_UInt glyph = 0;
        for (FT_ULong code = FT_Get_First_Char(face.get(), &glyph); glyph != 0; code = FT_Get_Next_Char(face.get(), code, &glyph)) {
            codesOf[int(glyph)].push_back(char32_t(code));
            supplementary += code > 0xFFFF;
            if (FindGlyph(font, map, codeQuery(code)) != int(glyph) && ++wrong <= 5)
                ADD_FAILURE() << codeQuery(code) << " should be glyph " << glyph;
        }
        for (int g = 1; g < font.NumGlyphs; ++g)
            if (map.codesFor(g) != codesOf[g] && ++wrong <= 5)
                ADD_FAILURE() << "codes of glyph " << g;

        const std::vector<std::string> names = freeTypeNames(face.get());
        std::map<std::string, int> uses;
        for (const std::string& name : names)
            ++uses[name];
        for (int g = 0; g < font.NumGlyphs; ++g) {
            const std::string& name = names[std::size_t(g)];
            if (GlyphName(font, g) != name && ++wrong <= 5)
                ADD_FAILURE() << "glyph " << g << " is named " << GlyphName(font, g) << ", FreeType " << name;
            // A name that reads as a number is a glyph number; one letter names
            // ("A") are found through the character map, which agrees.
            const bool number = name.find_first_not_of("0123456789") == std::string::npos;
            if (!name.empty() && uses[name] == 1 && !number && FindGlyph(font, map, name) != g && ++wrong <= 5)
                ADD_FAILURE() << name << " should be glyph " << g;
        }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_GT(supplementary, 0u);
}
