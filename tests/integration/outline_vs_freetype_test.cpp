// Every glyph of every DejaVu font, composites resolved, decodes to
// FreeType's unscaled, unhinted outline; drawing all of DejaVu Sans reports nothing.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "outline/composite.h"
#include "draw/view.h"
#include "support/font_file_loading.h"
#include "support/recording_sink.h"
#include "support/freetype_face.h"

namespace {

struct LineCountingSurface : NullSurface {
    void Line(int, int, int, int, Rgb) override { ++lines; }
    long long lines = 0;
};


struct FlatPoint {
    long x, y;
    bool on;
    bool transformed; // from a component with a matrix other than the identity
};

std::vector<FlatPoint> flatten(const ResolvedGlyph& glyph)
{
    std::vector<FlatPoint> points;
    for (const PlacedOutline& part : glyph.parts)
        for (const OutlinePoint& p : part.outline.points)
            points.push_back({p.x, p.y, p.kind == PointKind::OnCurve, part.matrix != IdentityMatrix});
    return points;
}

// Every glyph of a face, composites resolved, against FreeType's unhinted
// outline in font units. FreeType moves a glyph by lsb - xMin.
// transformedTolerance: how far a point of a scaled or rotated component may
// be from FreeType's.
void compareWithFreeType(const std::string& path, int& composites, int face = 0, long transformedTolerance = 1)
{
    SCOPED_TRACE(path + " face " + std::to_string(face));
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontFace(font, sink, path, face), LoadResult::Loaded);
    FreeTypeFace ft(path, face);
    ASSERT_NE(ft.get(), nullptr);
    ASSERT_EQ(font.NumGlyphs, ft.get()->num_glyphs);
    int wrong = 0;
    for (int g = 0; g < font.NumGlyphs && wrong < 5; ++g) {
        WorkingValues work;
        const ResolvedGlyph glyph = ResolveGlyph(font, g, work, sink);
        ASSERT_NE(glyph.status, OutlineStatus::Abandoned) << g;
        composites += glyph.status == OutlineStatus::Composite;
        ASSERT_EQ(FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
        const FT_Outline& o = ft.get()->glyph->outline;
        const std::vector<FlatPoint> points = flatten(glyph);
        std::vector<int> ends;
        int before = 0;
        for (const PlacedOutline& part : glyph.parts) {
            for (const int end : part.outline.ends)
                ends.push_back(before + end);
            before += int(part.outline.points.size());
        }
        if (o.n_points != int(points.size()) || ends != std::vector<int>(o.contours, o.contours + o.n_contours)) {
            ADD_FAILURE() << "glyph " << g << ": " << points.size() << " points, FreeType " << o.n_points;
            ++wrong;
            continue;
        }
        // A composite may take its metrics from a component (USE_MY_METRICS),
        // and FreeType then moves it by that component's shift: any one
        // shift for the whole glyph is accepted there.
        const long ownShift = long(font.HMetrics[std::size_t(g)].Lsb) - font.GlyphBox[std::size_t(g)].XMin;
        const bool composite = glyph.status == OutlineStatus::Composite;
        const long shift = composite && !points.empty() ? o.points[0].x - points[0].x : ownShift;
        for (int i = 0; i < o.n_points; ++i) {
            const FlatPoint& p = points[std::size_t(i)];
            const long tolerance = p.transformed ? transformedTolerance : 0;
            const bool same = std::labs(o.points[i].x - shift - p.x) <= tolerance
                           && std::labs(o.points[i].y - p.y) <= tolerance
                           && (FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON) == p.on;
            if (!same && ++wrong) {
                ADD_FAILURE() << "glyph " << g << " point " << i << ": (" << p.x << ", " << p.y << "), FreeType ("
                              << o.points[i].x - shift << ", " << o.points[i].y << ")";
                break;
            }
        }
    }
    EXPECT_TRUE(sink.texts.empty());
}

TEST(OutlineVsFreeType, EveryGlyphOfEveryDejaVuFont)
{
    int composites = 0;
    for (const std::string& path : dejavuFontPaths())
        compareWithFreeType(path, composites);
    EXPECT_GT(composites, 10000); // composites were compared, not just simple glyphs
}

// Their composites scale, rotate and nest components: every point equals FreeType's.
TEST(OutlineVsFreeType, ScaledAndNestedComponentsOfFreeFontExactly)
{
    int composites = 0;
    for (const char* name : {"FreeSansBold.ttf", "FreeSerif.ttf", "FreeSans.ttf", "FreeSerifBold.ttf"})
        compareWithFreeType(std::string(FREEFONT_DIR) + "/" + name, composites, 0, 0);
    EXPECT_GT(composites, 1000);
}

TEST(OutlineVsFreeType, EveryGlyphOfBothFacesOfACollection)
{
    FreeTypeFace first(WQY_MICROHEI_TTC);
    ASSERT_NE(first.get(), nullptr);
    ASSERT_EQ(first.get()->num_faces, 2);
    int composites = 0;
    for (int face = 0; face < 2; ++face)
        compareWithFreeType(WQY_MICROHEI_TTC, composites, face);
}

TEST(OutlineVsFreeType, EveryGlyphOfDejaVuSansDrawsWithoutAMessage)
{
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontPath(font, sink, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf"), LoadResult::Loaded);
    ASSERT_EQ(font.NumGlyphs, 6253);
    LineCountingSurface surface;
    int abandoned = 0, listed = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const GlyphReadout r = ShowGlyph(g, font, ViewState{}, surface, sink);
        abandoned += r.abandoned;
        listed += !r.listing.empty();
    }
    EXPECT_EQ(abandoned, 0);
    EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
    EXPECT_GT(listed, 3000);
    EXPECT_GT(surface.lines, 100000);
}

} // namespace
