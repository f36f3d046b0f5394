// The painter path of an outline against FreeType's own walk of the same
// points: every segment ends where FreeType's does, implied on-curve points
// and contours that start off the curve included.
#include <cmath>
#include <vector>

#include <QPainterPath>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <gtest/gtest.h>

#include "platform/outline_path.h"
#include "support/freetype_face.h"

namespace {

using Ends = std::vector<QPointF>;

// FreeType halves whole units between two off-curve points, rounding down.
bool near(QPointF a, QPointF b) { return std::abs(a.x() - b.x()) <= 0.5 && std::abs(a.y() - b.y()) <= 0.5; }

// Where each segment ends, with the steps that go nowhere (or half a unit) left out.
void addEnd(Ends& ends, QPointF p)
{
    if (ends.empty() || !near(ends.back(), p))
        ends.push_back(p);
}

Ends freetypeEnds(const FT_Outline& outline)
{
    Ends ends;
    FT_Outline_Funcs walk{};
    const auto end = [](const FT_Vector* to, void* user) {
        addEnd(*static_cast<Ends*>(user), QPointF(double(to->x), double(to->y)));
        return 0;
    };
    walk.move_to = end;
    walk.line_to = end;
    walk.conic_to = [](const FT_Vector*, const FT_Vector* to, void* user) {
        addEnd(*static_cast<Ends*>(user), QPointF(double(to->x), double(to->y)));
        return 0;
    };
    walk.cubic_to = [](const FT_Vector*, const FT_Vector*, const FT_Vector* to, void* user) {
        addEnd(*static_cast<Ends*>(user), QPointF(double(to->x), double(to->y)));
        return 0;
    };
    FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &walk, &ends);
    return ends;
}

Ends pathEnds(const QPainterPath& path)
{
    Ends ends;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        // A curve's end is its last data element; the others are control points.
        const bool last = i + 1 == path.elementCount() || path.elementAt(i + 1).type != QPainterPath::CurveToDataElement;
        if (e.type != QPainterPath::CurveToElement && last)
            addEnd(ends, QPointF(e.x, e.y));
    }
    return ends;
}

Contours contoursOf(const FT_Outline& outline)
{
    Contours c;
    for (int k = 0; k < outline.n_contours; ++k)
        c.ends.push_back(outline.contours[k]);
    for (int p = 0; p < outline.n_points; ++p)
        c.points.push_back({std::int32_t(outline.points[p].x), std::int32_t(outline.points[p].y),
                            PointKind(FT_CURVE_TAG(outline.tags[p]))});
    return c;
}

struct FontCase {
    std::string path;
    int step; // every step-th glyph
};

TEST(OutlinePathVsFreeType, SegmentsEndWhereFreeTypesDo)
{
    const std::vector<FontCase> fonts = {
        {std::string(DEJAVU_DIR) + "/DejaVuSans.ttf", 1},
        {std::string(DEJAVU_DIR) + "/DejaVuSerif-Italic.ttf", 2},
        {std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf", 1}, // cubic
    };
    for (const FontCase& font : fonts) {
        SCOPED_TRACE(font.path);
        const FreeTypeFace ft(font.path);
        if (!ft.get())
            FAIL() << "FreeType cannot open " << font.path;
        int compared = 0, differing = 0;
        for (FT_Long g = 0; g < ft.get()->num_glyphs; g += font.step) {
            if (FT_Load_Glyph(ft.get(), FT_UInt(g), FT_LOAD_NO_SCALE) != 0)
                continue;
            const FT_Outline& outline = ft.get()->glyph->outline;
            // A contour of one point draws nothing: a path drops it, FreeType walks it.
            bool lonePoint = false;
            for (int c = 0; c < outline.n_contours; ++c)
                lonePoint |= outline.contours[c] == (c ? outline.contours[c - 1] + 1 : 0);
            if (outline.n_points == 0 || lonePoint)
                continue;
            ++compared;
            const Ends ours = pathEnds(ContoursPath(contoursOf(outline))), theirs = freetypeEnds(outline);
            std::size_t k = 0;
            while (k < ours.size() && k < theirs.size() && near(ours[k], theirs[k]))
                ++k;
            if ((k < ours.size() || k < theirs.size()) && differing++ < 3) {
                ADD_FAILURE() << "glyph " << g << ": " << ours.size() << " ends, FreeType " << theirs.size()
                              << "; first apart at " << k;
            }
        }
        EXPECT_GT(compared, 300);
        EXPECT_EQ(differing, 0);
    }
}

} // namespace
