// Glyph variations on built fonts: each gvar feature moves the points it
// should by the amount the format gives, and damaged data draws the glyph
// at the default with one message.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "outline/composite.h"
#include "support/font_loading.h"
#include "support/variation_builder.h"

namespace {

using ttf::Tuple;

// One axis, wght 100..400..900, and an instance "Bold" at 700.
constexpr std::uint16_t BoldName = 256;

// Glyph 1 a square (0,0)-(100,200); glyph 2 a contour with a point between
// two others; glyph 3 a composite of glyph 1 moved by (10, 20).
ttf::FontSpec variableDesign()
{
    ttf::FontSpec design = ttf::squaresFont(2);
    design.glyphs[1] = ttf::squareGlyph(0, 0, 100, 200);
    design.glyphs.push_back(ttf::simpleGlyph({{{0, 0}, {50, 100}, {100, 200}, {100, 0}}}));
    design.glyphs.push_back(ttf::compositeGlyph({{1, 10, 20}}, {10, 20, 110, 220}));
    design.names = {{3, 1, 0x409, BoldName, ttf::utf16be(u"Bold")}, {3, 1, 0x409, 257, ttf::utf16be(u"Weight")}};
    return design;
}

ttf::ByteVector variableFont(const std::vector<ttf::ByteVector>& perGlyph,
                             const std::vector<std::vector<double>>& shared = {{1.0}}, int gvarAxes = 1)
{
    const ttf::FontSpec design = variableDesign();
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    tables.push_back({"fvar", ttf::fvarTable({{"wght", 100, 400, 900, 257}}, {{BoldName, {700}}})});
    tables.push_back({"gvar", ttf::gvarTable(gvarAxes, shared, perGlyph, int(design.glyphs.size()))});
    return ttf::assemble(tables);
}

struct Loaded {
    FontState font;
    RecordingSink sink;
};

std::unique_ptr<Loaded> load(const ttf::ByteVector& bytes)
{
    auto loaded = std::make_unique<Loaded>();
    EXPECT_EQ(loadFontBytes(loaded->font, loaded->sink, bytes), LoadResult::Loaded);
    return loaded;
}

std::vector<std::pair<int, int>> pointsAt(Loaded& l, int g, double wght)
{
    const std::vector<Fixed> user{Fixed(wght * 65536)};
    WorkingValues work;
    const ResolvedGlyph glyph = ResolveGlyph(l.font, g, Normalize(l.font.Variations, user), work, l.sink);
    std::vector<std::pair<int, int>> points;
    for (const PlacedOutline& part : glyph.parts)
        for (const OutlinePoint& p : part.outline.points)
            points.emplace_back(p.x, p.y);
    return points;
}

// A tuple with an embedded one-axis peak; no points: the shared ones.
Tuple tuple(double peak, std::optional<std::vector<int>> points, std::vector<int> dx, std::vector<int> dy)
{
    Tuple t;
    t.peak = {peak};
    t.points = std::move(points);
    t.dx = std::move(dx);
    t.dy = std::move(dy);
    return t;
}

using Points = std::vector<std::pair<int, int>>;
const Points Square{{0, 0}, {0, 200}, {100, 200}, {100, 0}};

TEST(Fvar, AxesInstancesAndNormalizedLocations)
{
    auto l = load(variableFont({}));
    const FontVariations& v = l->font.Variations;
    ASSERT_EQ(v.axes.size(), 1u);
    EXPECT_EQ(v.axes[0].tag, "wght");
    EXPECT_EQ(v.axes[0].name, "Weight");
    EXPECT_EQ(v.axes[0].min, 100 << 16);
    EXPECT_EQ(v.axes[0].max, 900 << 16);
    ASSERT_EQ(v.instances.size(), 1u);
    EXPECT_EQ(v.instances[0].name, "Bold");
    EXPECT_EQ(v.instances[0].coordinates, std::vector<Fixed>{700 << 16});
    const auto normalized = [&](double wght) {
        const std::vector<Fixed> user{Fixed(wght * 65536)};
        return Normalize(v, user).normalized;
    };
    EXPECT_EQ(normalized(400), std::vector<double>{});
    EXPECT_EQ(normalized(650), std::vector<double>{0.5});
    EXPECT_EQ(normalized(250), std::vector<double>{-0.5});
    EXPECT_EQ(normalized(2000), std::vector<double>{1.0}); // clamped
}

TEST(Gvar, EmbeddedAndSharedPeaksScaleWithTheLocation)
{
    const Tuple embedded = tuple(1.0, std::vector<int>{}, {100, 100, 100, 100, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
    Tuple shared = embedded;
    shared.peak.clear();
    shared.dx = {0, 0, 0, 0, 0, 0, 0, 0};
    shared.dy = {10, 10, 10, 10, 0, 0, 0, 0};
    auto l = load(variableFont({{}, ttf::glyphVariations({embedded, shared})}));
    EXPECT_EQ(pointsAt(*l, 1, 400), Square);
    EXPECT_EQ(pointsAt(*l, 1, 900), (Points{{100, 10}, {100, 210}, {200, 210}, {200, 10}}));
    EXPECT_EQ(pointsAt(*l, 1, 650), (Points{{50, 5}, {50, 205}, {150, 205}, {150, 5}}));
    EXPECT_EQ(pointsAt(*l, 1, 100), Square); // the peak is on the other side
    EXPECT_TRUE(l->sink.texts.empty());
}

TEST(Gvar, IntermediateRegionRisesAndFalls)
{
    Tuple region = tuple(0.5, std::vector<int>{}, {40, 40, 40, 40, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
    region.start = {0.0};
    region.end = {1.0};
    auto l = load(variableFont({{}, ttf::glyphVariations({region})}));
    EXPECT_EQ(pointsAt(*l, 1, 650)[0], std::make_pair(40, 0));  // at the peak, 0.5
    EXPECT_EQ(pointsAt(*l, 1, 525)[0], std::make_pair(20, 0));  // 0.25
    EXPECT_EQ(pointsAt(*l, 1, 775)[0], std::make_pair(20, 0));  // 0.75
    EXPECT_EQ(pointsAt(*l, 1, 900)[0], std::make_pair(0, 0));   // at the end: nothing
}

TEST(Gvar, OneTouchedPointMovesItsWholeContour)
{
    const Tuple one = tuple(1.0, std::vector<int>{0}, {10}, {20});
    auto l = load(variableFont({{}, ttf::glyphVariations({one})}));
    EXPECT_EQ(pointsAt(*l, 1, 900), (Points{{10, 20}, {10, 220}, {110, 220}, {110, 20}}));
}

TEST(Gvar, TwoTouchedPointsInterpolateTheOthers)
{
    // Points 0 (0,0) and 2 (100,200) move by (0,0) and (50,100): point 1
    // (50,100) lies halfway on both axes, point 3 (100,0) beyond the second
    // on x and at the first on y.
    const Tuple two = tuple(1.0, std::vector<int>{0, 2}, {0, 50}, {0, 100});
    auto l = load(variableFont({{}, {}, ttf::glyphVariations({two})}));
    EXPECT_EQ(pointsAt(*l, 2, 900), (Points{{0, 0}, {75, 150}, {150, 300}, {150, 0}}));
}

TEST(Gvar, SharedPointNumbersServeEveryTupleWithoutItsOwn)
{
    Tuple up = tuple(1.0, std::nullopt, {0, 50}, {0, 100});
    Tuple down = tuple(-1.0, std::nullopt, {0, -30}, {0, 0});
    auto l = load(variableFont({{}, {}, ttf::glyphVariations({up, down}, std::vector<int>{0, 2})}));
    EXPECT_EQ(pointsAt(*l, 2, 900), (Points{{0, 0}, {75, 150}, {150, 300}, {150, 0}}));
    EXPECT_EQ(pointsAt(*l, 2, 100), (Points{{0, 0}, {35, 100}, {70, 200}, {70, 0}}));
}

TEST(Gvar, CompositeOffsetsAndComponentsVaryTogether)
{
    const Tuple component = tuple(1.0, std::vector<int>{}, {100, 100, 100, 100, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
    const Tuple offset = tuple(1.0, std::vector<int>{}, {30, 0, 0, 0, 0}, {-5, 0, 0, 0, 0});
    auto l = load(variableFont({{}, ttf::glyphVariations({component}), {}, ttf::glyphVariations({offset})}));
    EXPECT_EQ(pointsAt(*l, 3, 400), (Points{{10, 20}, {10, 220}, {110, 220}, {110, 20}}));
    EXPECT_EQ(pointsAt(*l, 3, 900), (Points{{140, 15}, {140, 215}, {240, 215}, {240, 15}}));
}

TEST(Gvar, PhantomPointsGiveTheAdvance)
{
    // Glyph 1: advance 501, lsb 1, xMin 0; the second phantom point moves by 60.
    const Tuple wider = tuple(1.0, std::vector<int>{5}, {60}, {0});
    auto l = load(variableFont({{}, ttf::glyphVariations({wider})}));
    const std::vector<Fixed> bold{900 << 16};
    const Location at = Normalize(l->font.Variations, bold);
    WorkingValues work;
    const ResolvedGlyph glyph = ResolveGlyph(l->font, 1, at, work, l->sink);
    EXPECT_EQ(AdvanceAt(l->font, 1, at, glyph), 561);
    EXPECT_EQ(AdvanceAt(l->font, 1, Location{}, glyph), 501);
}

TEST(Gvar, DamagedDataDrawsTheGlyphAtTheDefaultWithOneMessage)
{
    const Tuple good = tuple(1.0, std::vector<int>{}, {100, 100, 100, 100, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
    const ttf::ByteVector data = ttf::glyphVariations({good});
    struct Case {
        const char* what;
        std::function<ttf::ByteVector()> font;
        const char* why; // the end of the message
    };
    const auto patched = [&](std::size_t at, std::uint16_t value) {
        ttf::ByteVector d = data;
        ttf::putU16(d, at, value);
        return variableFont({{}, d});
    };
    const Case cases[] = {
        {"tuples past the table", [&] { return patched(0, 40); }, "(shared tuple 100 is not in the table)."},
        {"a tuple's data past the table", [&] { return patched(4, 4000); }, "(a tuple runs past the table)."},
        {"point numbers past the table", [&] {
             auto d = data; // four point numbers announced as words, three bytes left
             d.resize(15);
             ttf::putU16(d, 4, 5);
             d[10] = 4;
             d[11] = 0x83;
             return variableFont({{}, d});
         }, "(point numbers run past the table)."},
        {"more point numbers than the glyph has", [&] {
             Tuple many = good;
             many.points = std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8};
             many.dx = many.dy = std::vector<int>(9, 1);
             return variableFont({{}, ttf::glyphVariations({many})});
         }, "(point numbers name more points than the glyph has)."},
        {"deltas past the table", [&] {
             auto d = data;
             d.resize(d.size() - 6);
             ttf::putU16(d, 4, std::uint16_t(d.size() - 10));
             return variableFont({{}, d});
         }, "(deltas run past the table)."},
        {"shared tuple out of range", [&] { return patched(6, 5); }, "(shared tuple 5 is not in the table)."},
        {"axis count not fvar's", [&] { return variableFont({{}, data}, {{1.0, 1.0}}, 2); },
         "(the glyph variation table has 2 axes, the font 1)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto l = load(c.font());
        EXPECT_EQ(pointsAt(*l, 1, 900), Square);
        ASSERT_EQ(l->sink.texts.size(), 1u);
        EXPECT_EQ(l->sink.texts[0].find("Glyph 1 is drawn at the default location"), 0u) << l->sink.texts[0];
        EXPECT_TRUE(l->sink.texts[0].ends_with(c.why)) << l->sink.texts[0];
    }
}

} // namespace
