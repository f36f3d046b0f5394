// CFF fonts open, list, draw and name their glyphs as TrueType fonts do.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "draw/view.h"
#include "outline/composite.h"
#include "support/cff_builder.h"
#include "support/font_file_loading.h"
#include "support/font_loading.h"
#include "support/freetype_face.h"
#include "tables/glyph_names.h"

namespace {

using cff::Code;

struct LineCountingSurface : NullSurface {
    void Line(int, int, int, int, Rgb) override { ++lines; }
    long long lines = 0;
};

// Every glyph of Cantarell Regular is drawn without a message, its read-out
// box is FreeType's control box and its name FreeType's.
TEST(CffFontsOpen, CantarellDrawsEveryGlyphWithFreeTypesBoxesAndNames)
{
    const std::string path = std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf";
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontPath(font, sink, path), LoadResult::Loaded);
    FreeTypeFace ft(path);
    ASSERT_EQ(font.NumGlyphs, ft.get()->num_glyphs);
    EXPECT_EQ(MakePickLists(font, false).GlyphList.size(), std::size_t(font.NumGlyphs));
    LineCountingSurface surface;
    int curves = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const GlyphReadout r = ShowGlyph(g, font, ViewState{}, surface, sink);
        ASSERT_FALSE(r.abandoned) << g;
        ASSERT_EQ(FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
        FT_BBox box;
        FT_Outline_Get_CBox(&ft.get()->glyph->outline, &box);
        if (ft.get()->glyph->outline.n_points > 0) {
            EXPECT_EQ(r.minX, std::to_string(box.xMin)) << g;
            EXPECT_EQ(r.maxY, std::to_string(box.yMax)) << g;
        }
        char name[64] = "";
        FT_Get_Glyph_Name(ft.get(), FT_UInt(g), name, sizeof name);
        EXPECT_EQ(GlyphName(font, g), name);
        curves += r.listing.find("   C\r\n") != std::string::npos;
    }
    EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
    EXPECT_GT(curves, 1000);
    EXPECT_GT(surface.lines, 100000);
}

// An accented glyph is a composite of its base and accent; a charstring that
// cannot be run abandons its glyph with code 18 and leaves the others.
TEST(CffFontsOpen, AccentedGlyphsAreCompositesAndBrokenCharStringsAreAbandoned)
{
    cff::FontDesign d;
    d.charStrings = {Code().op(EndChar).bytes(),
                     Code().ns({10, 10}).op(RMoveTo).ns({100, 0, 0, 100}).op(RLineTo).op(EndChar).bytes(),
                     Code().ns({20, 20}).op(RMoveTo).ns({10, 0, 0, 10}).op(RLineTo).op(EndChar).bytes(),
                     Code().ns({30, 200, 65, 194}).op(EndChar).bytes(),
                     Code().n(1).op(CallSubr).bytes()};
    d.charset = {34, 125, 3, 4}; // A, acute, ...
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, cff::otfFont(cff::cffTable(d), false, d.charStrings.size())),
              LoadResult::Loaded);
    EXPECT_EQ(MakePickLists(font, false).GlyphList, (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(MakePickLists(font, true).GlyphList.size(), 5u);
    WorkingValues work;
    const ResolvedGlyph accented = ResolveGlyph(font, 3, work, sink);
    EXPECT_EQ(accented.status, OutlineStatus::Composite);
    ASSERT_EQ(accented.components.size(), 2u);
    EXPECT_EQ(accented.components[1].glyph, 2);
    EXPECT_EQ(accented.components[1].dx, 30);
    ASSERT_EQ(accented.parts.size(), 2u);
    EXPECT_EQ(accented.parts[1].outline.points[0].y, 220);
    EXPECT_TRUE(ResolveGlyph(font, 3, work, sink, false).parts.empty());
    EXPECT_TRUE(sink.texts.empty());
    NullSurface surface;
    EXPECT_TRUE(ShowGlyph(4, font, ViewState{}, surface, sink).abandoned);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find("Code = 18\r\n"), std::string::npos);
    EXPECT_NE(sink.texts[0].find("\r\nCharString: subroutine 108 is not in the font (0 there)"), std::string::npos);
}

} // namespace
