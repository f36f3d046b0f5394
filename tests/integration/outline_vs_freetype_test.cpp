// Every simple glyph of two DejaVu fonts decodes to FreeType's unscaled,
// unhinted outline; drawing all of DejaVu Sans reports nothing.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "glyph/outline.h"
#include "glyph/view.h"
#include "support/font_loading.h"
#include "support/freetype_face.h"

namespace {

struct LineCountingSurface : NullSurface {
    void Line(int, int, int, int, Rgb) override { ++lines; }
    long long lines = 0;
};


void compareWithFreeType(const std::string& path)
{
    SCOPED_TRACE(path);
    FontState font;
    RecordingSink sink;
    font.FontFileName = path;
    ASSERT_EQ(LoadFont(font, sink), LoadResult::Loaded);
    FreeTypeFace ft(path);
    ASSERT_NE(ft.get(), nullptr);
    ASSERT_EQ(font.NumGlyphs, ft.get()->num_glyphs);

    int simple = 0, shifted = 0;
    GlyphOutline outline;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        if (g == 3)
            continue; // never drawn, so never decoded
        const OutlineStatus status = DecodeOutline(g, font, outline, sink);
        ASSERT_NE(status, OutlineStatus::Abandoned) << g;
        ASSERT_EQ(FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP
                                                         | FT_LOAD_NO_RECURSE), 0) << g;
        const FT_GlyphSlot slot = ft.get()->glyph;
        if (status == OutlineStatus::Empty) {
            // A composite, or no outline of its own.
            EXPECT_TRUE(slot->format == FT_GLYPH_FORMAT_COMPOSITE || slot->outline.n_points == 0) << g;
            continue;
        }
        ASSERT_EQ(slot->format, FT_GLYPH_FORMAT_OUTLINE) << g;
        const FT_Outline& o = slot->outline;
        ++simple;
        ASSERT_EQ(o.n_contours, outline.NumberOfContours) << g;
        ASSERT_EQ(o.n_points, outline.PointCount) << g;
        for (int c = 0; c < o.n_contours; ++c)
            EXPECT_EQ(o.contours[c], outline.EndPts[std::size_t(c) + 1]) << g << " contour " << c;
        // FreeType moves a glyph whose lsb differs from its xMin by lsb - xMin.
        const long shift = o.points[0].x - outline.Points[0].X;
        if (shift != 0) {
            ++shifted;
            EXPECT_EQ(shift, long(font.HMetrics[std::size_t(g)].Lsb) - font.GlyphBox[std::size_t(g)].XMin) << g;
        }
        for (int i = 0; i < o.n_points; ++i) {
            EXPECT_EQ(o.points[i].x - shift, outline.Points[std::size_t(i)].X) << g << " point " << i;
            EXPECT_EQ(o.points[i].y, outline.Points[std::size_t(i)].Y) << g << " point " << i;
            EXPECT_EQ(FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON, (outline.PointFlags[std::size_t(i)] & ON_CURVE) != 0)
                << g << " point " << i;
        }
    }
    EXPECT_GT(simple, 1000);
    EXPECT_TRUE(sink.texts.empty());
    ::testing::Test::RecordProperty("shifted_glyphs", shifted);
}

TEST(OutlineVsFreeType, DejaVuSansPoints)
{
    compareWithFreeType(std::string(DEJAVU_DIR) + "/DejaVuSans.ttf");
}

TEST(OutlineVsFreeType, DejaVuSerifPoints)
{
    compareWithFreeType(std::string(DEJAVU_DIR) + "/DejaVuSerif.ttf");
}

TEST(OutlineVsFreeType, EveryGlyphOfDejaVuSansDrawsWithoutAMessage)
{
    FontState font;
    RecordingSink sink;
    font.FontFileName = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    ASSERT_EQ(LoadFont(font, sink), LoadResult::Loaded);
    ASSERT_EQ(font.NumGlyphs, 6253);
    LineCountingSurface surface;
    int abandoned = 0, listed = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const GlyphReadout r = ShowGlyph(g, font, ViewState{}, surface, sink);
        abandoned += r.abandoned;
        listed += !r.Text5.empty();
    }
    EXPECT_EQ(abandoned, 0);
    EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
    EXPECT_GT(listed, 3000);
    EXPECT_GT(surface.lines, 100000);
}

} // namespace
