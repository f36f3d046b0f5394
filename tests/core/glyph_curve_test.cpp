// Curve evaluation: the knot vector, the basis, and the runs of a contour.
#include <cmath>

#include <gtest/gtest.h>

#include "draw/curve.h"
#include "draw/view.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

// Draws runs at scale 1 with the origin at 0: a point (x, y) lands at (x, -y).
struct CurveBench {
    WorkingValues work;
    ViewState view{1, 0, 1};
    RecordingSurface surface;
    std::string OutlineText;
    GlyphDrawing d{work, view, surface, OutlineText};

    std::vector<RecordingSurface::Call> lines(Rgb colour) const
    {
        std::vector<RecordingSurface::Call> out;
        for (const auto& c : surface.of(RecordingSurface::LineCall))
            if (c.colour == colour)
                out.push_back(c);
        return out;
    }
};

CurveRun runOf(std::vector<std::pair<int, int>> points)
{
    CurveRun run;
    for (std::size_t i = 0; i < points.size(); ++i) {
        run.CurveX[i + 1] = std::int16_t(points[i].first);
        run.CurveY[i + 1] = std::int16_t(points[i].second);
    }
    return run;
}

void expectLine(const RecordingSurface::Call& c, int x1, int y1, int x2, int y2)
{
    EXPECT_EQ(c.args, (std::vector<double>{double(x1), double(-y1), double(x2), double(-y2)}));
}

TEST(GlyphCurve, KnotVectorIsClampedUniform)
{
    const int n = 5;
    const float expected[] = {0, 0, 0, 1, 2, 3, 4, 4, 4, 4, 4};
    for (int j = 0; j <= 2 * n; ++j)
        EXPECT_EQ(KnotValue(j, n), expected[j]) << j;
    EXPECT_EQ(KnotValue(3, 2), 1);
    EXPECT_EQ(KnotValue(5, 2), 1);
}

TEST(GlyphCurve, BasisIsQuadraticAndSumsToOne)
{
    const int n = 4;
    KnotVector Knots{};
    for (int j = 0; j <= 2 * n; ++j)
        Knots[j] = int(KnotValue(j, n));
    for (double t : {0.0, 0.2, 0.5, 1.0, 1.4, 2.0, 2.8}) {
        double sum = 0;
        for (int i = 0; i <= n; ++i)
            sum += SplineBasis(i, 3, t, Knots);
        EXPECT_NEAR(sum, 1.0, 1e-12) << t;
    }
    // On the first span of 0, 0, 0, 1, 2, ...: (1 - t)^2, 2t - 3t^2/2, t^2/2.
    const double t = 0.5;
    EXPECT_DOUBLE_EQ(SplineBasis(0, 3, t, Knots), (1 - t) * (1 - t));
    EXPECT_DOUBLE_EQ(SplineBasis(1, 3, t, Knots), 2 * t - 1.5 * t * t);
    EXPECT_DOUBLE_EQ(SplineBasis(2, 3, t, Knots), t * t / 2);
    EXPECT_EQ(SplineBasis(3, 3, t, Knots), 0.0);
    // Equal knots never divide by zero.
    EXPECT_EQ(SplineBasis(0, 1, 0.0, Knots), 0.0);
    EXPECT_FALSE(std::isnan(SplineBasis(0, 3, 0.0, Knots)));
}

TEST(GlyphCurve, OneOffCurvePointRun)
{
    CurveBench b;
    DrawCurve(3, runOf({{0, 0}, {100, 200}, {200, 0}}), b.d);
    const auto grey = b.lines(LightGrey);
    ASSERT_EQ(grey.size(), 2u);
    expectLine(grey[0], 0, 0, 100, 200);
    expectLine(grey[1], 100, 200, 200, 0);
    const auto black = b.lines(Black);
    const int samples[][2] = {{0, 0}, {40, 64}, {80, 96}, {120, 96}, {160, 64}, {200, 0}};
    ASSERT_EQ(black.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        expectLine(black[i], samples[i][0], samples[i][1], samples[i + 1][0], samples[i + 1][1]);
    // The polygon is drawn before the curve.
    EXPECT_EQ(b.surface.calls[0].colour, LightGrey);
    EXPECT_EQ(b.surface.calls[1].colour, LightGrey);
}

TEST(GlyphCurve, TwoOffCurvePointsMeetAtTheirMidpoint)
{
    CurveBench b;
    DrawCurve(4, runOf({{0, 0}, {0, 200}, {200, 200}, {200, 0}}), b.d);
    EXPECT_EQ(b.lines(LightGrey).size(), 3u);
    const auto black = b.lines(Black);
    ASSERT_EQ(black.size(), 10u); // two arcs of five steps
    // The sixth sample, t = 1, ends the fifth segment.
    EXPECT_EQ(black[4].args[2], 100);
    EXPECT_EQ(black[4].args[3], -200);
    // The last sample, t = 1.8, is 0.8 along the arc (100,200), (200,200), (200,0).
    expectLine(black[9], 196, 72, 200, 0);
}

TEST(GlyphCurve, SamplesFollowTheQuadraticArcRoundedHalfToEven)
{
    // y = 2 t (1 - t) 25: 8, 12, 12, 8; x = 5 t^2: 0.2, 0.8, 1.8, 3.2 taken to 0, 1, 2, 3.
    CurveBench b;
    const int P2 = 25, P3 = 5;
    DrawCurve(3, runOf({{0, 0}, {0, P2}, {P3, 0}}), b.d);
    const auto black = b.lines(Black);
    ASSERT_EQ(black.size(), 5u);
    for (int s = 1; s < 5; ++s) {
        const double t = s / 5.0;
        const double x = t * t * P3, y = 2 * t * (1 - t) * P2;
        EXPECT_EQ(black[s - 1].args[2], std::nearbyint(x)) << s;
        EXPECT_EQ(black[s - 1].args[3], -std::nearbyint(y)) << s;
    }
    CurveBench h;
    DrawCurve(3, runOf({{0, 0}, {0, 0}, {25, 0}}), h.d); // x = 25 t^2: 1, 4, 9, 16
    const auto hx = h.lines(Black);
    EXPECT_EQ(hx[0].args[2], 1);
    EXPECT_EQ(hx[1].args[2], 4);
    EXPECT_EQ(hx[3].args[2], 16);
    // At t = 1 the sample is the midpoint of the two off-curve points: halves go to even.
    for (const auto& [offX, expectedX] : {std::pair{201, 100}, std::pair{203, 102}, std::pair{-201, -100}}) {
        CurveBench m;
        DrawCurve(4, runOf({{0, 0}, {0, 200}, {offX, 200}, {300, 0}}), m.d);
        EXPECT_EQ(m.lines(Black)[4].args[2], expectedX) << offX;
    }
    CurveBench e;
    DrawCurve(3, runOf({{0, 0}, {0, 0}, {0, 0}}), e.d);
    EXPECT_EQ(e.lines(Black).size(), 5u);
}

TEST(GlyphCurve, StraightEdgeIsDrawnGreyThenBlack)
{
    CurveBench b;
    DrawCurve(2, runOf({{3, 4}, {3, 4}}), b.d); // zero length still draws both
    ASSERT_EQ(b.surface.calls.size(), 2u);
    EXPECT_EQ(b.surface.calls[0].colour, LightGrey);
    EXPECT_EQ(b.surface.calls[1].colour, Black);
    EXPECT_EQ(b.OutlineText, "    0,    0   C\r\n    0,    0\r\n");
    CurveBench none;
    DrawCurve(1, runOf({{3, 4}}), none.d);
    DrawCurve(0, runOf({}), none.d);
    EXPECT_TRUE(none.surface.calls.empty());
}

// One contour: an on-curve point, `off` off-curve points, then an on-curve point.
ttf::Glyph longRun(int off)
{
    ttf::Contour c{{0, 0}};
    for (int i = 0; i < off; ++i)
        c.push_back({std::int16_t(10 * (i + 1)), std::int16_t(i % 2 ? 100 : 0), false});
    c.push_back({std::int16_t(10 * (off + 1)), 0});
    return ttf::simpleGlyph({c});
}

TEST(GlyphCurve, RunsOf197OffCurvePointsAreDrawnAnd198AreNot)
{
    {
        FontState font;
        fillGlyphFont(font, {longRun(197)});
        RecordingSurface surface;
        RecordingSink sink;
        const GlyphReadout r = ShowGlyph(0, font, ViewState{}, surface, sink);
        EXPECT_FALSE(r.abandoned);
        EXPECT_TRUE(sink.texts.empty());
        // 198 grey + 197 arcs of 5 black, then the closing edge: grey and black.
        EXPECT_EQ(surface.count(RecordingSurface::LineCall), 198u + 197u * 5u + 2u);
    }
    FontState font;
    fillGlyphFont(font, {longRun(198)});
    RecordingSurface surface;
    RecordingSink sink;
    const GlyphReadout r = ShowGlyph(0, font, ViewState{}, surface, sink);
    EXPECT_TRUE(r.abandoned);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find("Code = 13"), std::string::npos);
    EXPECT_NE(sink.texts[0].find("b = 200"), std::string::npos) << sink.texts[0];
    // Nothing of the glyph stays: the picture is cleared again, the listing empty,
    // the read-out boxes filled.
    EXPECT_TRUE(surface.sinceLastCls().empty());
    EXPECT_EQ(r.listing, "");
    EXPECT_EQ(r.number, "0");
    EXPECT_EQ(r.maxX, std::to_string(10 * 199));
}

TEST(GlyphCurve, ContourWalkRuns)
{
    struct Case {
        const char* what;
        ttf::Contour contour;
        std::size_t grey, black;
    };
    const Case cases[] = {
        {"square", {{0, 0}, {0, 700}, {500, 700}, {500, 0}}, 4, 4},
        // the off-curve start ends the closing run as if it were on the curve
        {"starts off the curve", {{0, 0, false}, {100, 100}, {200, 0}}, 3, 3},
        {"no on-curve point", {{0, 0, false}, {0, 100, false}, {100, 100, false}}, 3, 10},
        {"two equal on-curve points", {{5, 5}, {5, 5}}, 2, 2},
    };
    for (const Case& c : cases) {
        FontState font;
        fillGlyphFont(font, {ttf::simpleGlyph({c.contour})});
        RecordingSurface surface;
        RecordingSink sink;
        ShowGlyph(0, font, ViewState{}, surface, sink);
        std::size_t grey = 0, black = 0;
        for (const auto& l : surface.of(RecordingSurface::LineCall))
            (l.colour == Black ? black : grey)++;
        EXPECT_EQ(grey, c.grey) << c.what;
        EXPECT_EQ(black, c.black) << c.what;
        EXPECT_TRUE(sink.texts.empty()) << c.what;
    }
}

TEST(GlyphCurve, WalkTakesContoursOfAnyPointKind)
{
    // Two contours, the second starting at point 3; one control point each.
    auto walk = [](PointKind control) {
        Contours outline;
        outline.ends = {2, 5};
        outline.points = {{0, 0, PointKind::OnCurve},   {50, 100, control},          {100, 0, PointKind::OnCurve},
                          {200, 0, PointKind::OnCurve}, {300, 0, PointKind::OnCurve}, {250, 80, control}};
        CurveBench bench;
        bench.work.GlyphYMax = 100;
        EXPECT_FALSE(WalkContours(outline, 1, bench.d));
        return std::make_pair(bench.OutlineText, bench.surface.count(RecordingSurface::LineCall));
    };
    const auto quadratic = walk(PointKind::QuadraticOff);
    EXPECT_NE(quadratic.first.find("Contour: 2\r\nPosition: 200, 100\r\n"), std::string::npos) << quadratic.first;
    // Each contour: its arc (2 grey, 5 black) and a straight closing edge (1 grey, 1 black).
    EXPECT_EQ(quadratic.second, 2u * (2u + 5u + 2u));
    // Cubic control points have no segments of their own yet: they are drawn as today's.
    EXPECT_EQ(walk(PointKind::CubicOff), quadratic);
}

} // namespace
