// Glyph names as the Name box shows them: standard Macintosh names through
// post 1.0 and 2.0, and the font's own names.
#include <gtest/gtest.h>

#include "tables/glyph_names.h"
#include "tables/standard_names.h"
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
