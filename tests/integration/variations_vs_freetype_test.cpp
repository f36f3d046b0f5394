// Every glyph of the Inter variable fonts, at the default, at every named
// instance and at points between, against FreeType's unscaled, unhinted
// outline at the same design coordinates; the axes and instances as FreeType reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H

#include "outline/composite.h"
#include "support/font_file_loading.h"
#include "support/freetype_face.h"
#include "support/recording_sink.h"

namespace {

std::vector<std::string> interPaths()
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(INTER_VF_DIR))
        if (entry.path().extension() == ".ttf")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct FlatPoint {
    long x, y;
    bool on;
};

struct Flat {
    std::vector<FlatPoint> points;
    std::vector<int> ends;
};

Flat flatten(const ResolvedGlyph& glyph)
{
    Flat flat;
    for (const PlacedOutline& part : glyph.parts) {
        const int before = int(flat.points.size());
        for (const int end : part.outline.ends)
            flat.ends.push_back(before + end);
        for (const OutlinePoint& p : part.outline.points)
            flat.points.push_back({p.x, p.y, p.kind == PointKind::OnCurve});
    }
    return flat;
}

// The largest distance of any point from FreeType's, under FreeType's x shift
// (any one shift per glyph: it moves glyphs by their varied left side bearing).
long largestDistance(const Flat& ours, const FT_Outline& o)
{
    if (ours.points.empty())
        return 0;
    long best = 1 << 30;
    const long first = o.points[0].x - ours.points[0].x;
    for (long shift = first - 1; shift <= first + 1; ++shift) {
        long worst = 0;
        for (int i = 0; i < o.n_points; ++i) {
            const FlatPoint& p = ours.points[std::size_t(i)];
            worst = std::max({worst, std::labs(o.points[i].x - shift - p.x), std::labs(o.points[i].y - p.y),
                              (FT_CURVE_TAG(o.tags[i]) == FT_CURVE_TAG_ON) == p.on ? 0L : 99L});
        }
        best = std::min(best, worst);
    }
    return best;
}

// Every glyph at user coordinates `design`; returns how many differ by more than a unit.
int compareAt(const FontState& font, FT_Face face, const std::vector<FT_Fixed>& design, RecordingSink& sink)
{
    std::vector<FT_Fixed> coords = design;
    EXPECT_EQ(FT_Set_Var_Design_Coordinates(face, FT_UInt(coords.size()), coords.data()), 0);
    const std::vector<Fixed> user(design.begin(), design.end());
    const Location location = Normalize(font.Variations, user);
    int wrong = 0;
    ResolvedGlyph glyph;
    for (int g = 0; g < font.NumGlyphs && wrong < 5; ++g) {
        WorkingValues work;
        ResolveGlyph(font, g, location, work, glyph);
        sink.take(glyph.reports);
        EXPECT_NE(glyph.status, OutlineStatus::Abandoned) << g;
        EXPECT_EQ(FT_Load_Glyph(face, FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
        const FT_Outline& o = face->glyph->outline;
        const Flat ours = flatten(glyph);
        const bool sameShape = o.n_points == int(ours.points.size())
                            && ours.ends == std::vector<int>(o.contours, o.contours + o.n_contours);
        const long distance = sameShape ? largestDistance(ours, o) : 1000;
        const long advance = std::labs(face->glyph->advance.x - AdvanceAt(font, g, location, glyph));
        if (distance > 1 || advance > 1) {
            ADD_FAILURE() << "glyph " << g << (glyph.status == OutlineStatus::Composite ? " (composite)" : "") << ": " << distance
                          << " units; first point " << (ours.points.empty() ? 0 : ours.points[0].x) << "," << (ours.points.empty() ? 0 : ours.points[0].y)
                          << " FreeType " << (o.n_points ? o.points[0].x : 0) << "," << (o.n_points ? o.points[0].y : 0) << " n " << o.n_points << " " << ours.points.size()
                          << " adv " << face->glyph->advance.x << " ours " << AdvanceAt(font, g, location, glyph) << " units from FreeType's outline, advance "
                          << advance << " from FreeType's";
            ++wrong;
        }
    }
    return wrong;
}

TEST(VariationsVsFreeType, EveryGlyphOfInterAtEveryInstanceAndBetween)
{
    const auto paths = interPaths();
    ASSERT_FALSE(paths.empty());
    int locations = 0;
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        FontState font;
        RecordingSink sink;
        ASSERT_EQ(loadFontPath(font, sink, path), LoadResult::Loaded);
        FreeTypeFace ft(path);
        ASSERT_NE(ft.get(), nullptr);
        FT_MM_Var* mm = nullptr;
        ASSERT_EQ(FT_Get_MM_Var(ft.get(), &mm), 0);
        const auto& axes = font.Variations.axes;
        ASSERT_EQ(axes.size(), mm->num_axis);
        ASSERT_EQ(font.Variations.instances.size(), mm->num_namedstyles);
        std::vector<std::vector<FT_Fixed>> designs;
        std::vector<FT_Fixed> defaults;
        for (FT_UInt i = 0; i < mm->num_axis; ++i) {
            const FT_Var_Axis& a = mm->axis[i];
            EXPECT_EQ(axes[i].tag, std::string({char(a.tag >> 24), char(a.tag >> 16), char(a.tag >> 8), char(a.tag)}));
            EXPECT_EQ(axes[i].name, a.name);
            EXPECT_EQ(axes[i].min, a.minimum);
            EXPECT_EQ(axes[i].def, a.def);
            EXPECT_EQ(axes[i].max, a.maximum);
            defaults.push_back(a.def);
        }
        designs.push_back(defaults);
        for (FT_UInt k = 0; k < mm->num_namedstyles; ++k) {
            const FT_Var_Named_Style& style = mm->namedstyle[k];
            designs.emplace_back();
            // FreeType hands these out as unsigned 32-bit values: negative ones come back wrapped.
            for (FT_UInt i = 0; i < mm->num_axis; ++i)
                designs.back().push_back(FT_Fixed(std::int32_t(style.coords[i])));
            EXPECT_EQ(std::vector<FT_Fixed>(font.Variations.instances[k].coordinates.begin(),
                                            font.Variations.instances[k].coordinates.end()),
                      designs.back());
        }
        for (const double t : {0.15, 0.5, 0.8}) {
            std::vector<FT_Fixed> between;
            for (FT_UInt i = 0; i < mm->num_axis; ++i)
                between.push_back(mm->axis[i].minimum + FT_Fixed((mm->axis[i].maximum - mm->axis[i].minimum) * t));
            designs.push_back(between);
        }
        FT_Done_MM_Var(ft.get()->glyph->library, mm);
        for (const auto& design : designs) {
            EXPECT_EQ(compareAt(font, ft.get(), design, sink), 0) << "at location " << locations;
            ++locations;
        }
        EXPECT_TRUE(sink.texts.empty()) << sink.texts.front();
    }
    EXPECT_GT(locations, 6 * 4);
}

} // namespace
