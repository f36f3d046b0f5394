// ShowGlyph: fitting the picture, the read-out boxes, and what is drawn
// for glyph 3, empty glyphs and glyphs that cannot be drawn.
#include <algorithm>

#include <gtest/gtest.h>

#include "draw/view.h"
#include "draw/metrics_view.h"
#include "support/font_loading.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

using Call = RecordingSurface::Call;

struct Shown {
    GlyphReadout readout;
    std::vector<Call> picture; // what stays after the last Cls
    std::vector<std::string> messages;
};

Shown show(FontState& font, int n, ViewState view = {})
{
    RecordingSurface surface;
    RecordingSink sink;
    Shown s;
    s.readout = ShowGlyph(n, font, view, surface, sink);
    s.picture = surface.sinceLastCls();
    s.messages = sink.texts;
    EXPECT_GE(surface.count(RecordingSurface::ClsCall), 1u);
    return s;
}

TEST(GlyphView, FitsThePictureToTheBoxAndFillsTheBoxes)
{
    FontState font;
    fillGlyphFont(font, {ttf::Glyph{}, ttf::simpleGlyph({{{-100, -400}, {1000, 1405}, {3, 0}}})});
    font.GlyphNameIndex = {5, 259};
    font.GlyphNames = {"first", "second"};
    const Shown s = show(font, 1);
    ASSERT_FALSE(s.picture.empty());
    EXPECT_EQ(s.picture[0].kind, RecordingSurface::ScaleCall);
    // The box at scale 2 is X -50..500 and, its top at Y = 0, Y 0..902.5; with
    // the margin 2350 wide and 2702.5 high, so the square picture is 2702.5 on
    // each side, centred on (225, 451.25).
    const double half = 2702.5 / 2;
    EXPECT_EQ(s.picture[0].args, (std::vector<double>{225 - half, 451.25 - half, 225 + half, 451.25 + half}));
    // Stretched, as the classic view fitted it: each axis on its own, the box's corners plus the margin.
    ViewState stretched;
    stretched.Stretch = true;
    EXPECT_EQ(show(font, 1, stretched).picture[0].args,
              (std::vector<double>{-50.0 - 900, -200.0 - 900, 500.0 + 900, 702.5 + 900}));
    EXPECT_EQ(show(font, 1, stretched).readout.listing, s.readout.listing);
    EXPECT_EQ(s.readout.minY, "-400");
    EXPECT_EQ(s.readout.maxY, "1405");
    EXPECT_EQ(s.readout.minX, "-100");
    EXPECT_EQ(s.readout.maxX, "1000");
    EXPECT_EQ(s.readout.number, "1");
    EXPECT_EQ(s.readout.name, "second");
    EXPECT_FALSE(s.readout.abandoned);
    EXPECT_EQ(s.readout.listing.rfind("Number of Contours: 1\r\n", 0), 0u);
    EXPECT_EQ(s.readout.work.GlyphIndex, 1);

    // Margin 0 at scale 3, and a name index below 258 or without a name: no name.
    // Margin 0: the box's height, 1805 / 3, is the longer side and fills the picture.
    const Shown t = show(font, 1, ViewState{3, 0, 1});
    const double side = 1805 / 3.0, middle = 450 / 3.0;
    ASSERT_EQ(t.picture[0].args.size(), 4u);
    EXPECT_DOUBLE_EQ(t.picture[0].args[0], middle - side / 2);
    EXPECT_DOUBLE_EQ(t.picture[0].args[1], 0);
    EXPECT_DOUBLE_EQ(t.picture[0].args[2], middle + side / 2);
    EXPECT_DOUBLE_EQ(t.picture[0].args[3], side);
    EXPECT_EQ(t.readout.work.OriginY, float(-1405 / 3.0));
    EXPECT_EQ(show(font, 0).readout.name, "");
    font.GlyphNameIndex[1] = 260;
    EXPECT_EQ(show(font, 1).readout.name, "");
}

TEST(GlyphView, Glyph3IsNeverDrawn)
{
    FontState font;
    fillGlyphFont(font, {ttf::Glyph{}, ttf::Glyph{}, ttf::Glyph{}, ttf::squareGlyph(0, 0, 10, 10),
                         ttf::squareGlyph(0, 0, 10, 10)});
    const Shown s = show(font, 3);
    ASSERT_EQ(s.picture.size(), 1u); // the Scale only: no empty mark, no lines
    EXPECT_EQ(s.readout.listing, "");
    EXPECT_EQ(s.readout.maxX, "10");
    EXPECT_TRUE(s.messages.empty());
    EXPECT_FALSE(s.readout.abandoned);
    EXPECT_GT(show(font, 4).picture.size(), 1u);
}

bool hasEmptyMark(const std::vector<Call>& picture)
{
    for (const Call& c : picture)
        if (c.kind == RecordingSurface::PrintCall && c.text == " empty")
            return true;
    return false;
}

TEST(GlyphView, GlyphsWithoutContoursGetTheEmptyMark)
{
    ttf::Bytes space;
    space.i16(0).i16(0).i16(0).i16(0).i16(0);
    ttf::Bytes negative;
    negative.i16(-2).i16(0).i16(0).i16(0).i16(0);
    FontState font;
    // Glyph 2 has no data of its own; the bytes at its offset are glyph 3's square.
    fillGlyphFont(font, {rawGlyph(space.data), ttf::compositeGlyph({{0, 5, 5}}, {0, 0, 10, 10}), ttf::Glyph{},
                         ttf::squareGlyph(0, 0, 10, 10), rawGlyph(negative.data)});
    for (int n : {0, 1, 2, 4}) {
        const Shown s = show(font, n);
        EXPECT_TRUE(hasEmptyMark(s.picture)) << n;
        for (const Call& c : s.picture)
            EXPECT_NE(c.kind, RecordingSurface::LineCall) << n;
        EXPECT_EQ(s.readout.listing, "") << n;
        EXPECT_TRUE(s.messages.empty()) << n;
        EXPECT_FALSE(s.readout.abandoned) << n;
    }
}

TEST(GlyphView, RefusedGlyphsLeaveThePictureClearedAndTheBoxesFilled)
{
    ttf::Bytes contours;
    contours.i16(2001).i16(-1).i16(-2).i16(3).i16(4);
    ttf::Bytes points;
    points.i16(1).i16(-1).i16(-2).i16(3).i16(4).u16(2000).u16(0);
    ttf::Bytes truncated;
    truncated.i16(1).i16(-1).i16(-2).i16(3).i16(4).u16(3).u16(0).u8(ttf::ON_CURVE_POINT);
    FontState font;
    fillGlyphFont(font, {rawGlyph(contours.data), rawGlyph(points.data), ttf::squareGlyph(0, 0, 5, 5), ttf::Glyph{},
                         rawGlyph(truncated.data)});
    // The last glyph's data ends early: cut the file right after it.
    font.FontBytes.resize(font.GlyphOffset[4] + truncated.size());
    const std::pair<int, const char*> cases[] = {{0, "Code = 11"}, {1, "Code = 12"}, {4, "Code = 15"}};
    for (const auto& [n, code] : cases) {
        const Shown s = show(font, n);
        EXPECT_TRUE(s.readout.abandoned) << n;
        ASSERT_EQ(s.messages.size(), 1u) << n;
        EXPECT_NE(s.messages[0].find(code), std::string::npos) << s.messages[0];
        ASSERT_EQ(s.picture.size(), 1u) << n; // the Scale only
        EXPECT_EQ(s.readout.listing, "") << n;
        EXPECT_EQ(s.readout.minY, "-2") << n;
        EXPECT_EQ(s.readout.maxY, "4") << n;
        EXPECT_EQ(s.readout.minX, "-1") << n;
        EXPECT_EQ(s.readout.maxX, "3") << n;
        EXPECT_EQ(s.readout.number, std::to_string(n)) << n;
        // The next glyph draws normally.
        EXPECT_FALSE(show(font, 2).readout.abandoned);
    }
}

// A whole glyph over the classic limits: the classic view refuses it as
// before, but its outline and points are there, and the metrics view marks them.
TEST(GlyphView, GlyphsOverTheClassicLimitsKeepTheirOutline)
{
    FontState font;
    fillGlyphFont(font, {ttf::pointRowGlyph(2001)});
    font.HeadTable.UnitsPerEm = 1000;
    font.HheaTable.Ascender = 800;
    font.HheaTable.Descender = -200;
    for (const bool metrics : {false, true}) {
        ViewState view;
        view.Metrics = metrics;
        const Shown s = show(font, 0, view);
        EXPECT_TRUE(s.readout.abandoned);
        ASSERT_EQ(s.messages.size(), 1u);
        EXPECT_NE(s.messages[0].find("Code = 11"), std::string::npos) << s.messages[0];
        EXPECT_EQ(s.readout.listing, "");
        EXPECT_EQ(s.readout.drawn.outline.ends.size(), 2001u);
        EXPECT_EQ(s.readout.drawn.points.size(), 2001u);
        EXPECT_EQ(s.readout.drawn.points.back().x, 2000);
        const auto marks = std::count_if(s.picture.begin(), s.picture.end(), [](const Call& c) {
            return c.kind == RecordingSurface::LineCall && c.colour == PointColour;
        });
        EXPECT_EQ(marks, metrics ? 4 * 2001 : 0);
    }
}

TEST(GlyphView, NothingToShowWithoutAFontOrForAnUnknownGlyph)
{
    FontState none;
    const Shown s = show(none, 0);
    EXPECT_TRUE(s.picture.empty());
    EXPECT_EQ(s.readout.number, "");
    FontState font;
    fillGlyphFont(font, {ttf::squareGlyph(0, 0, 5, 5)});
    for (int n : {-1, 1, 6000, 65535}) {
        const Shown t = show(font, n);
        EXPECT_TRUE(t.picture.empty()) << n;
        EXPECT_EQ(t.readout.listing, "") << n;
    }
    // A scale of 0 never reaches the drawing as a divisor.
    EXPECT_FALSE(show(font, 0, ViewState{0, 900, 1}).readout.listing.empty());
}

TEST(GlyphView, RedrawingGivesTheSameDrawing)
{
    FontState font;
    fillGlyphFont(font, {ttf::simpleGlyph({{{0, 0}, {30, 90, false}, {70, 90, false}, {100, 0}}})});
    RecordingSurface a, b;
    RecordingSink sink;
    const GlyphReadout first = ShowGlyph(0, font, ViewState{}, a, sink);
    const GlyphReadout second = ShowGlyph(0, font, ViewState{}, b, sink);
    EXPECT_EQ(first.listing, second.listing);
    ASSERT_EQ(a.calls.size(), b.calls.size());
    for (std::size_t i = 0; i < a.calls.size(); ++i)
        EXPECT_EQ(a.calls[i].args, b.calls[i].args);
}

} // namespace

namespace {

// The metrics view on a built font (unitsPerEm 1000, ascender 800,
// descender -200): one frame for every glyph, its lines where the metrics
// put them, a mark on every point, and the listing as in the classic view.
TEST(GlyphView, MetricsViewDrawsTheFontsLinesAndPoints)
{
    ttf::FontSpec design = ttf::squaresFont(6);
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(design)), LoadResult::Loaded);
    ViewState metrics;
    metrics.Metrics = true;
    metrics.ViewScale = 1;
    metrics.ViewMargin = 100;
    const int advance = font.HMetrics[5].AdvanceWidth;
    RecordingSurface surface;
    const GlyphReadout shown = ShowGlyph(5, font, metrics, surface, sink);
    const auto picture = surface.sinceLastCls();
    // Fitted to the font's frame: x 0..1000, y -200..800, whatever the glyph's
    // box, its top at Y = 0 and at one scale, even when the view is stretched.
    EXPECT_EQ(picture[0].args, (std::vector<double>{-100, -100, 1100, 1100}));
    ViewState stretched = metrics;
    stretched.Stretch = true;
    EXPECT_EQ(ShowGlyph(5, font, stretched, surface, sink).work.OriginY, shown.work.OriginY);
    EXPECT_EQ(surface.sinceLastCls()[0].args, picture[0].args);
    auto lineOf = [&](Rgb colour, std::vector<double> args) {
        return std::count_if(picture.begin(), picture.end(), [&](const RecordingSurface::Call& c) {
            return c.kind == RecordingSurface::LineCall && c.colour == colour && c.args == args;
        });
    };
    EXPECT_EQ(lineOf(BaselineColour, {-100, 800, 1100, 800}), 1);  // y = 0 is 800 below the ascender
    EXPECT_EQ(lineOf(MetricsColour, {-100, 0, 1100, 0}), 1);       // ascender
    EXPECT_EQ(lineOf(MetricsColour, {-100, 1000, 1100, 1000}), 1); // descender
    EXPECT_EQ(lineOf(MetricsColour, {0, -100, 0, 1100}), 1);       // x = 0
    EXPECT_EQ(lineOf(MetricsColour, {double(advance), -100, double(advance), 1100}), 1);
    const auto squareSides = std::count_if(picture.begin(), picture.end(), [](const RecordingSurface::Call& c) {
        return c.kind == RecordingSurface::LineCall && c.colour == PointColour;
    });
    EXPECT_EQ(squareSides, 4 * 4); // four on-curve points

    const GlyphReadout classic = ShowGlyph(5, font, ViewState{1, 100, 1}, surface, sink);
    EXPECT_EQ(shown.listing, classic.listing);
    EXPECT_EQ(shown.minY, classic.minY);
    EXPECT_TRUE(sink.texts.empty());
}

} // namespace
