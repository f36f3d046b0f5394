// The two transforms, segments, start marks and the empty mark.
#include <gtest/gtest.h>

#include "draw/segment.h"
#include "draw/view.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

using Call = RecordingSurface::Call;

TEST(GlyphSegment, RoundingHalvesToEven)
{
    const std::pair<double, int> cases[] = {{702.5, 702}, {701.5, 702}, {0.5, 0}, {1.5, 2},
                                            {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& [v, expected] : cases)
        EXPECT_EQ(RoundHalfEven(v), expected) << v;
}

TEST(GlyphSegment, TopOf1405AtScale2)
{
    FontState font;
    fillGlyphFont(font, {ttf::simpleGlyph({{{0, 0}, {0, 1405}, {-7, 2}}})});
    ASSERT_EQ(font.GlyphBox[0].YMax, 1405);
    RecordingSurface surface;
    RecordingSink sink;
    const ViewState view; // scale 2
    const WorkingValues work = ShowGlyph(0, font, view, surface, sink).work;
    EXPECT_EQ(work.OriginY, -702.5f);
    EXPECT_EQ(work.OriginX, 0.0f);
    EXPECT_EQ(SegmentY(0, work, view), 702);    // 702.5 to the even neighbour
    EXPECT_EQ(SegmentY(2, work, view), 702);    // 701.5 as well
    EXPECT_EQ(SegmentY(1405, work, view), 0);   // 1405 \ 2 = 702, 702 - 702.5
    EXPECT_EQ(SegmentX(-7, work, view), -3);    // whole-number division toward zero
    EXPECT_EQ(SegmentX(7, work, view), 3);
    EXPECT_DOUBLE_EQ(MarkX(-7, work, view), -3.5);
    EXPECT_DOUBLE_EQ(MarkY(0, work, view), 702.5);
    EXPECT_DOUBLE_EQ(MarkY(3, work, view), 701);

    // The first grey segment (0,0)-(0,1405) lands at (0,702)-(0,0).
    const auto lines = surface.of(RecordingSurface::LineCall);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].args, (std::vector<double>{0, 702, 0, 0}));
    EXPECT_EQ(lines[0].colour, LightGrey);
    // The closing edge from (-7, 2) to (0, 0): both ends at Y = 702.
    EXPECT_EQ(lines.back().args, (std::vector<double>{-3, 702, 0, 702}));
    EXPECT_EQ(lines.back().colour, Black);
}

TEST(GlyphSegment, StartMarkAtTheMarkTransform)
{
    FontState font;
    fillGlyphFont(font, {ttf::simpleGlyph({{{-7, 3}, {100, 3}}, {{11, 0}, {11, 200}}})});
    RecordingSurface surface;
    RecordingSink sink;
    ShowGlyph(0, font, ViewState{}, surface, sink);
    // Box top 200 at scale 2: OriginY -100.
    const std::vector<Call> calls = surface.sinceLastCls();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(calls[0].kind, RecordingSurface::ScaleCall);
    EXPECT_EQ(calls[1].kind, RecordingSurface::CircleCall);
    EXPECT_EQ(calls[1].args, (std::vector<double>{-3.5, 98.5, 16}));
    EXPECT_EQ(calls[1].colour, StartCircleRed);
    EXPECT_EQ(calls[2].kind, RecordingSurface::CurrentXCall);
    EXPECT_EQ(calls[2].args[0], 1.5);
    EXPECT_EQ(calls[3].kind, RecordingSurface::CurrentYCall);
    EXPECT_EQ(calls[3].args[0], 103.5);
    EXPECT_EQ(calls[4].kind, RecordingSurface::ForeColorCall);
    EXPECT_EQ(calls[4].colour, ContourNumberBlue);
    EXPECT_EQ(calls[5].kind, RecordingSurface::PrintCall);
    EXPECT_EQ(calls[5].text, "1");
    EXPECT_EQ(calls[6].kind, RecordingSurface::LineCall); // then the contour's lines

    const auto circles = surface.of(RecordingSurface::CircleCall);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[1].args, (std::vector<double>{5.5, 100, 16}));
    const auto prints = surface.of(RecordingSurface::PrintCall);
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_EQ(prints[1].text, "2");
    EXPECT_EQ(prints[1].colour, ContourNumberBlue);
}

TEST(GlyphSegment, StartMarksOffRemoveCirclesAndNumbersOnly)
{
    const std::vector<ttf::Glyph> glyphs{ttf::simpleGlyph({{{0, 0}, {50, 90, false}, {100, 0}}, {{10, 10}, {20, 30}}})};
    FontState font;
    fillGlyphFont(font, glyphs);
    RecordingSink sink;
    RecordingSurface with, without;
    const GlyphReadout on = ShowGlyph(0, font, ViewState{2, 900, 1}, with, sink);
    const GlyphReadout off = ShowGlyph(0, font, ViewState{2, 900, 0}, without, sink);
    EXPECT_EQ(with.count(RecordingSurface::CircleCall), 2u);
    EXPECT_EQ(without.count(RecordingSurface::CircleCall), 0u);
    EXPECT_EQ(without.count(RecordingSurface::PrintCall), 0u);
    EXPECT_EQ(without.count(RecordingSurface::ForeColorCall), 0u);
    const auto a = with.of(RecordingSurface::LineCall), b = without.of(RecordingSurface::LineCall);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].args, b[i].args);
        EXPECT_EQ(a[i].colour, b[i].colour);
    }
    EXPECT_EQ(on.listing, off.listing);
    EXPECT_FALSE(on.listing.empty());
}

std::vector<Call> emptyMarkCalls(const RecordingSurface& s)
{
    std::vector<Call> out = s.sinceLastCls();
    out.erase(out.begin()); // Scale
    return out;
}

TEST(GlyphSegment, EmptyMarkTakesTheCurrentTextColour)
{
    ttf::Bytes space;
    space.i16(0).i16(0).i16(0).i16(0).i16(0); // numberOfContours 0 and a box
    FontState font;
    fillGlyphFont(font, {rawGlyph(space.data), ttf::squareGlyph(0, 0, 10, 10)});
    RecordingSurface surface;
    RecordingSink sink;

    ShowGlyph(0, font, ViewState{}, surface, sink);
    const std::vector<Call> before = emptyMarkCalls(surface);
    ASSERT_EQ(before.size(), 7u);
    EXPECT_EQ(before[0].kind, RecordingSurface::CurrentXCall);
    EXPECT_EQ(before[0].args[0], -150);
    EXPECT_EQ(before[1].kind, RecordingSurface::CurrentYCall);
    EXPECT_EQ(before[1].args[0], -100);
    EXPECT_EQ(before[2].text, "Consolas");
    EXPECT_EQ(before[3].args[0], 12);
    EXPECT_EQ(before[4].kind, RecordingSurface::PrintCall);
    EXPECT_EQ(before[4].text, " empty");
    EXPECT_EQ(before[4].fontName, "Consolas");
    EXPECT_EQ(before[4].fontSize, 12);
    EXPECT_EQ(before[4].colour, RecordingSurface::WindowText);
    EXPECT_EQ(before[5].text, "Small Fonts");
    EXPECT_EQ(before[6].args[0], 6);

    ShowGlyph(1, font, ViewState{}, surface, sink); // a start mark sets the text colour
    ShowGlyph(0, font, ViewState{}, surface, sink);
    const std::vector<Call> after = emptyMarkCalls(surface);
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[4].text, " empty");
    EXPECT_EQ(after[4].colour, ContourNumberBlue);
    EXPECT_TRUE(sink.texts.empty());
}

} // namespace
