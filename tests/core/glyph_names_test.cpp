// Glyph names as the Name box shows them: standard Macintosh names through
// post 1.0 and 2.0, the font's own names, and finding a glyph by its name.
#include <gtest/gtest.h>

#include "font/glyph_names.h"
#include "font/standard_names.h"
#include "support/font_loading.h"

namespace {

// A font of `count` square glyphs whose post table is `post`.
FontState fontWithPost(int count, ttf::ByteVector post)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(count));
    ttf::findTable(tables, "post")->data = std::move(post);
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, ttf::assemble(tables)), LoadResult::Loaded);
    return font;
}

} // namespace

TEST(GlyphNames, ByPostVersion)
{
    struct Case {
        const char* what;
        int glyphs;
        ttf::ByteVector post;
        std::vector<std::pair<int, std::string>> names; // glyph, name (UTF-8)
    };
    const Case cases[] = {
        {"post 1.0: the standard order", 260, ttf::postHeader(0x00010000).data,
         {{0, ".notdef"}, {1, ".null"}, {3, "space"}, {36, "A"}, {257, "dcroat"}, {258, ""}, {259, ""}}},
        {"post 2.0: standard and own names", 6, ttf::post20Table({0, 3, 36, 258, 259}, {"alpha", "caf\xE9"}),
         {{0, ".notdef"}, {1, "space"}, {2, "A"}, {3, "alpha"}, {4, "caf\u00E9"}, {5, ""}}}, // 5: beyond post's count
        {"post 3.0: none", 3, ttf::post30Table(), {{0, ""}, {1, ""}, {2, ""}}},
        {"post 4.0: none", 3, ttf::postHeader(0x00040000).data, {{0, ""}, {2, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FontState font = fontWithPost(c.glyphs, c.post);
        for (const auto& [g, name] : c.names)
            EXPECT_EQ(GlyphName(font, g), name) << g;
        EXPECT_EQ(GlyphName(font, -1), "");
        EXPECT_EQ(GlyphName(font, c.glyphs), "");
    }
    EXPECT_EQ(StandardGlyphName(StandardGlyphNameCount), "");
}

TEST(GlyphNames, FoundByTheirExactName)
{
    const FontState font = fontWithPost(7, ttf::post20Table({0, 258, 259, 36, 258, 260}, {"alpha", "caf\xE9", "\x80"}));
    EXPECT_EQ(GlyphNamed(font, ".notdef"), 0);
    EXPECT_EQ(GlyphNamed(font, "alpha"), 1); // glyph 4 has the same name: the first wins
    EXPECT_EQ(GlyphNamed(font, "caf\u00E9"), 2);
    EXPECT_EQ(GlyphNamed(font, "\u20AC"), 5);
    EXPECT_EQ(GlyphNamed(font, "A"), 3);
    EXPECT_EQ(GlyphNamed(font, "caf\xE9"), std::nullopt); // the stored bytes are not the name
    EXPECT_EQ(GlyphNamed(font, "Alpha"), std::nullopt);
    EXPECT_EQ(GlyphNamed(font, ""), std::nullopt); // glyph 6 has no name, and is not found by none
}
