// Each outline check on outlines built for it: one case that it finds and
// one just past each of its thresholds that it must not.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "check/outline_checks.h"
#include "support/font_loading.h"

namespace {

OutlinePoint on(int x, int y) { return {x, y, PointKind::OnCurve}; }
OutlinePoint q(int x, int y) { return {x, y, PointKind::QuadraticOff}; }
OutlinePoint c(int x, int y) { return {x, y, PointKind::CubicOff}; }

using Contour = std::vector<OutlinePoint>;
using Place = std::pair<int, int>; // contour, point

// A square running clockwise, as TrueType's outer contours do.
Contour square(int x0, int y0, int x1, int y1) { return {on(x0, y0), on(x0, y1), on(x1, y1), on(x1, y0)}; }

struct Case {
    const char* what;
    Check check;
    std::vector<Contour> contours;
    std::vector<Place> expected;
    bool cff = false;
};

// unitsPerEm 1000; heights 0, x-height 480, cap height 700, ascender 800, descender -200.
std::vector<Place> found(const Case& k)
{
    CheckFacts facts{1000, k.cff, true, {0, 480, 700, 800, -200}};
    std::vector<std::span<const OutlinePoint>> spans(k.contours.begin(), k.contours.end());
    std::vector<Place> places;
    for (const Finding& f : CheckContours(spans, facts))
        if (f.check == k.check)
            places.push_back({f.contour, f.point});
    return places;
}

TEST(OutlineChecks, EachCheckAndItsNearMiss)
{
    const Case cases[] = {
        {"two points", Check::OpenContour, {{on(0, 0), on(100, 0)}}, {{0, 0}}},
        {"no on-curve point", Check::OpenContour, {{q(0, 0), q(0, 100), q(100, 100)}}, {{0, 0}}},
        {"three points", Check::OpenContour, {{on(0, 0), on(0, 300), on(300, 0)}}, {}},
        {"point 2 repeated", Check::DuplicatePoint, {{on(0, 0), on(0, 500), on(0, 500), on(500, 500), on(500, 0)}}, {{0, 2}}},
        {"last at the first", Check::DuplicatePoint, {{on(0, 0), on(0, 500), on(500, 0), on(0, 0)}}, {{0, 0}}},
        {"a unit apart", Check::DuplicatePoint, {{on(0, 0), on(0, 500), on(0, 501), on(500, 0)}}, {}},
        {"zero-length segment is no short one", Check::ShortSegment,
         {{on(0, 0), on(0, 500), on(0, 500), on(500, 500), on(500, 0)}}, {}},
        {"outer counter-clockwise", Check::WrongDirection, {{on(0, 0), on(500, 0), on(500, 500), on(0, 500)}}, {{0, 0}}},
        {"outer clockwise", Check::WrongDirection, {square(0, 0, 500, 500)}, {}},
        {"inner clockwise", Check::WrongDirection, {square(0, 0, 500, 500), square(100, 100, 400, 400)}, {{1, 0}}},
        {"inner counter-clockwise", Check::WrongDirection,
         {square(0, 0, 500, 500), {on(100, 100), on(400, 100), on(400, 400), on(100, 400)}}, {}},
        {"CFF outer counter-clockwise", Check::WrongDirection, {{on(0, 0), on(500, 0), on(500, 500), on(0, 500)}}, {}, true},
        {"crossing contours not judged", Check::WrongDirection,
         {{on(0, 0), on(500, 0), on(500, 500), on(0, 500)}, square(400, 100, 900, 400)}, {}},
        {"bow tie", Check::SelfIntersection, {{on(0, 0), on(0, 500), on(500, 0), on(500, 500)}}, {{0, 0}, {0, 2}}},
        {"spike back along itself", Check::SelfIntersection, {{on(0, 0), on(0, 500), on(0, 300), on(500, 0)}},
         {{0, 1}, {0, 2}, {0, 3}}},
        {"cubic loop", Check::SelfIntersection, {{on(0, 0), c(400, 300), c(-100, 300), on(300, 0), on(150, -300)}}, {{0, 3}}},
        {"cubic without a loop", Check::SelfIntersection,
         {{on(0, 0), c(300, 300), c(0, 300), on(300, 0), on(150, -300)}}, {}},
        {"cusp, its sides apart", Check::SelfIntersection,
         {{on(145, 30), q(100, 56), on(100, 72), q(100, -114), on(26, -242), on(145, -242)}}, {}},
        {"squares crossing", Check::OverlappingContours, {square(0, 0, 500, 500), square(400, 100, 900, 400)},
         {{0, 3}, {1, 0}, {1, 2}}},
        {"squares touching", Check::OverlappingContours, {square(0, 0, 500, 500), square(500, 100, 900, 400)},
         {{0, 3}, {1, 0}, {1, 1}, {1, 2}}},
        {"squares a unit apart", Check::OverlappingContours, {square(0, 0, 500, 500), square(501, 100, 900, 400)}, {}},
        {"curve touching a line", Check::OverlappingContours,
         {{on(0, 0), q(250, 200), on(500, 0), on(500, -300), on(0, -300)}, square(0, 100, 500, 400)}, {{0, 2}, {1, 0}}},
        {"bump", Check::MissingExtremum, {{on(0, 0), q(250, 200), on(500, 0), on(500, -300), on(0, -300)}}, {{0, 2}}},
        {"a third of a unit over", Check::MissingExtremum,
         {{on(0, 0), q(250, 2), on(500, 1), on(500, -300), on(0, -300)}}, {}},
        {"bump of a short curve", Check::MissingExtremum, {{on(0, 0), q(8, 16), on(16, 0), on(16, -300), on(0, -300)}}, {}},
        {"two units long", Check::ShortSegment, {{on(0, 0), on(0, 500), on(2, 500), on(500, 500), on(500, 0)}}, {{0, 2}}},
        {"three units", Check::ShortSegment, {square(0, 0, 3, 3)}, {}},
        {"under 0.6 % of the contour", Check::ShortSegment, {square(0, 0, 12, 1000)}, {{0, 0}, {0, 2}}},
        {"just over 0.6 % of the contour", Check::ShortSegment, {square(0, 0, 13, 1000)}, {}},
        {"straight on", Check::ColinearVectors, {{on(0, 0), on(0, 250), on(0, 500), on(500, 500), on(500, 0)}}, {{0, 1}}},
        {"0.0997 rad", Check::ColinearVectors, {{on(0, 0), on(0, 250), on(25, 500), on(500, 500), on(500, 0)}}, {{0, 1}}},
        {"0.1036 rad", Check::ColinearVectors, {{on(0, 0), on(0, 250), on(26, 500), on(500, 500), on(500, 0)}}, {}},
        {"0.199 rad", Check::JaggySegment, {{on(0, 0), on(50, 500), on(100, 0)}}, {{0, 1}}},
        {"0.278 rad", Check::JaggySegment, {{on(0, 0), on(70, 500), on(140, 0)}}, {}},
        {"back along itself", Check::JaggySegment, {{on(0, 0), on(0, 500), on(0, 300), on(500, 0)}}, {}},
        {"0.458 degrees", Check::SemiVertical, {{on(0, 0), on(4, 500), on(500, 500), on(500, 0)}}, {{0, 1}}},
        {"0.573 degrees", Check::SemiVertical, {{on(0, 0), on(5, 500), on(500, 500), on(500, 0)}}, {}},
        {"0.458 degrees", Check::SemiHorizontal, {{on(0, 0), on(0, 500), on(500, 504), on(500, 0)}}, {{0, 2}}},
        {"0.573 degrees", Check::SemiHorizontal, {{on(0, 0), on(0, 500), on(500, 505), on(500, 0)}}, {}},
        {"2 and 1 off", Check::AlignmentMiss, {{on(0, -1), on(0, 482), q(500, 481), on(500, 0)}}, {{0, 0}, {0, 1}}},
        {"3 off", Check::AlignmentMiss, {{on(0, 3), on(0, 483), on(500, 483), on(500, 3)}}, {}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(found(k), k.expected) << CheckName(k.check) << ": " << k.what;
}

// Degenerate contours: no crash, and nothing but the duplicates they are.
TEST(OutlineChecks, CoincidentAndOnePointContours)
{
    const std::vector<Contour> contours = {{on(5, 5)}, {on(5, 5), on(5, 5), on(5, 5)}, square(0, 0, 500, 500),
                                           square(0, 0, 500, 500), {}};
    std::vector<std::span<const OutlinePoint>> spans(contours.begin(), contours.end());
    std::vector<std::pair<Check, int>> checks;
    for (const Finding& f : CheckContours(spans, CheckFacts{1000, false, true, {0}}))
        checks.push_back({f.check, f.contour});
    const std::vector<std::pair<Check, int>> expected = {
        {Check::OpenContour, 0},          {Check::DuplicatePoint, 1},       {Check::DuplicatePoint, 1},
        {Check::DuplicatePoint, 1},       {Check::OverlappingContours, 2}, {Check::OverlappingContours, 2},
        {Check::OverlappingContours, 2}, {Check::OverlappingContours, 2}, {Check::OverlappingContours, 3},
        {Check::OverlappingContours, 3}, {Check::OverlappingContours, 3}, {Check::OverlappingContours, 3},
        {Check::OpenContour, 4}};
    EXPECT_EQ(checks, expected);
}

// The checks of glyph data: a stored box, nested and mirrored components.
TEST(OutlineChecks, BoxAndComponents)
{
    ttf::FontSpec design = ttf::squaresFont(2); // glyph 1: the square 0 0 101 201
    design.glyphs.push_back(ttf::compositeGlyph({{1, 0, 0}, {1, 200, 0, {-16384, 16384}}}, {0, 0, 200, 201}));
    design.glyphs.push_back(ttf::compositeGlyph({{2, 0, 0}, {1, 0, 0, {-16384, -16384}}}, {-101, -201, 200, 201}));
    design.glyphs.push_back(ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 101, 200}));
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(design)), LoadResult::Loaded);
    const CheckFacts facts = ReadCheckFacts(font, {});
    auto checks = [&](int g) {
        std::vector<std::pair<Check, int>> out;
        for (const Finding& f : CheckGlyph(font, g, {}, facts).findings)
            if (f.contour < 0)
                out.push_back({f.check, f.component});
        return out;
    };
    using V = std::vector<std::pair<Check, int>>;
    EXPECT_EQ(checks(1), V{});
    EXPECT_EQ(checks(2), (V{{Check::FlippedComponent, 1}})) << "x scale -1: mirrored; its box matches";
    EXPECT_EQ(checks(3), (V{{Check::NestedComponent, 0}})) << "x and y scale -1 turn, not mirror";
    EXPECT_EQ(checks(4), (V{{Check::BboxMismatch, -1}})) << "stored yMax 200, points reach 201";
}

} // namespace
