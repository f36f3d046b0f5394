// The canvas on its own: a square glyph from (0, 0) to (1000, 1000) drawn
// at scale 1 with a margin of 100, so the picture spans -100..1100 font units.
#include <algorithm>

#include <QMouseEvent>
#include <QApplication>
#include <QRegularExpression>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "platform/picture_surface.h"
#include "support/font_loading.h"
#include "ui/main/glyph_canvas.h"

namespace {

class Canvas : public ::testing::Test {
protected:
    Canvas()
    {
        ttf::FontSpec design;
        design.glyphs = {ttf::squareGlyph(0, 0, 1000, 1000)};
        EXPECT_EQ(loadFontBytes(font, sink, ttf::buildFont(design)), LoadResult::Loaded);
        view.ViewScale = 1;
        view.ViewMargin = 100;
        readout = ShowGlyph(0, font, view, picture, sink);
        canvas.setPicture(&picture);
        canvas.setGlyph(readout.drawn, fontToPicture(picture, readout.work, view), view);
        canvas.resize(355, 355); // 353 x 353 inside the border: the designed size
    }
    // Where font point (x, y) lies on the canvas at the fit, from the picture's own geometry.
    static QPointF fitted(int x, int y) { return {1 + (x + 100) * 353.0 / 1200, 1 + (1100 - y) * 353.0 / 1200}; }
    void moveTo(QPointF at)
    {
        QMouseEvent move(QEvent::MouseMove, at, canvas.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&canvas, &move);
    }
    void wheel(QPointF at, int delta)
    {
        QWheelEvent e(at, canvas.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&canvas, &e);
    }

    FontState font;
    RecordingSink sink;
    ViewState view;
    PictureSurface picture;
    GlyphReadout readout;
    GlyphCanvas canvas;
};

TEST_F(Canvas, TheFitIsTheDesignedPictureAndGrowsWithTheCanvas)
{
    EXPECT_DOUBLE_EQ(canvas.scale(), 1.0);
    EXPECT_EQ(canvas.pictureToCanvas().map(QPointF(0, 0)), QPointF(1, 1));
    canvas.resize(1001, 707); // a 999 x 705 area: the square picture fills its height, centred
    EXPECT_DOUBLE_EQ(canvas.scale(), 705.0 / 353);
    EXPECT_EQ(canvas.pictureToCanvas().map(QPointF(353, 353)), QPointF(1 + 147 + 705, 1 + 705));
}

TEST_F(Canvas, TheWheelZoomsAboutThePointerAndFitReturns)
{
    std::vector<int> zoomed;
    QObject::connect(&canvas, &GlyphCanvas::zoomChanged, [&](int percent) { zoomed.push_back(percent); });
    const QPointF pointer(100, 240);
    const QPointF under = canvas.pictureToCanvas().inverted().map(pointer);
    wheel(pointer, 240); // two notches
    EXPECT_NEAR(canvas.scale(), 1.25 * 1.25, 1e-9);
    const QPointF after = canvas.pictureToCanvas().map(under);
    EXPECT_NEAR(after.x(), pointer.x(), 1e-9);
    EXPECT_NEAR(after.y(), pointer.y(), 1e-9);
    ASSERT_EQ(zoomed.size(), 1u);
    EXPECT_EQ(zoomed.back(), 156);

    canvas.zoomOut();
    EXPECT_NEAR(canvas.scale(), 1.25, 1e-9);
    canvas.fit();
    EXPECT_DOUBLE_EQ(canvas.scale(), 1.0);
    EXPECT_EQ(canvas.pictureToCanvas().map(QPointF(0, 0)), QPointF(1, 1));
    EXPECT_EQ(zoomed.back(), 100);
}

TEST_F(Canvas, HoverNamesThePointInFontUnitsAndAClickSelectsIt)
{
    QStringList hovered;
    std::vector<int> clicked;
    QObject::connect(&canvas, &GlyphCanvas::pointHovered, [&](const QString& words) { hovered << words; });
    QObject::connect(&canvas, &GlyphCanvas::pointClicked, [&](int point) { clicked.push_back(point); });
    // The square's points run (0,0), (0,1000), (1000,1000), (1000,0).
    moveTo(fitted(1000, 1000) + QPointF(2, 1));
    ASSERT_EQ(hovered.size(), 1);
    EXPECT_EQ(hovered.last(), "Point 2 of contour 1: x 1000, y 1000, on-curve");
    moveTo(fitted(500, 500));
    EXPECT_EQ(hovered.last(), "") << "no point near the middle";

    // Zoomed in, the same point is still found where it now is.
    canvas.zoomBy(3, QPointF(50, 300));
    const QPointF there = canvas.pictureToCanvas().map(canvas.fontToPicture().map(QPointF(0, 0)));
    moveTo(there);
    EXPECT_EQ(hovered.last(), "Point 0 of contour 1: x 0, y 0, on-curve");
    QMouseEvent press(QEvent::MouseButtonPress, there, canvas.mapToGlobal(there), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, there, canvas.mapToGlobal(there), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    QApplication::sendEvent(&canvas, &release);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked.back(), 0);
    EXPECT_EQ(canvas.selectedPoint(), 0);
}

TEST_F(Canvas, AMiddleDragPansWithoutSelecting)
{
    const QPointF from(100, 100), to(130, 80);
    const QPointF before = canvas.pictureToCanvas().map(QPointF(10, 10));
    QMouseEvent press(QEvent::MouseButtonPress, from, canvas.mapToGlobal(from), Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, canvas.mapToGlobal(to), Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, to, canvas.mapToGlobal(to), Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    QApplication::sendEvent(&canvas, &move);
    QApplication::sendEvent(&canvas, &release);
    EXPECT_EQ(canvas.pictureToCanvas().map(QPointF(10, 10)), before + (to - from));
    EXPECT_EQ(canvas.selectedPoint(), -1);
    EXPECT_EQ(canvas.selectedSegment(), -1);
}

// Every segment the listing lists is one the canvas can select, on its listing line.
TEST_F(Canvas, SegmentsKnowTheirListingLines)
{
    const QStringList lines = QString::fromStdString(readout.listing).split("\r\n");
    ASSERT_EQ(readout.drawn.segments.size(), 4u + 4u); // four edges, each as polygon and as curve
    for (const ListedSegment& s : readout.drawn.segments) {
        ASSERT_LT(qsizetype(s.line), lines.size());
        EXPECT_TRUE(QRegularExpression("^ *-?\\d+, *-?\\d+( +C)?$").match(lines[qsizetype(s.line)]).hasMatch())
            << lines[qsizetype(s.line)].toStdString();
    }
    // The left edge, from (0,0) up to (0,1000): its middle picks the first segment drawn there.
    const int segment = canvas.segmentAt(fitted(0, 500));
    ASSERT_GE(segment, 0);
    const ListedSegment& s = readout.drawn.segments[std::size_t(segment)];
    EXPECT_EQ(s.x1, s.x2);
}

// A view is painted straight onto the canvas, then kept for the repaints that
// follow; what changes the view or the picture paints it again, a selection
// only goes on top.
TEST_F(Canvas, RepaintsShowWhatChangedAndNothingStale)
{
    const QImage plain = canvas.shownImage();
    EXPECT_EQ(canvas.shownImage(), plain) << "painted straight on and from the kept layer alike";
    EXPECT_EQ(canvas.shownImage(), plain);
    canvas.setSelection(0, -1);
    const QImage selected = canvas.shownImage();
    EXPECT_NE(selected, plain);
    canvas.setSelection(-1, -1);
    EXPECT_EQ(canvas.shownImage(), plain) << "the selection leaves nothing behind";
    canvas.setPointNumbers(true);
    const QImage numbered = canvas.shownImage();
    EXPECT_NE(numbered, plain);
    canvas.zoomBy(2, QPointF(100, 100));
    EXPECT_NE(canvas.shownImage(), numbered);
    canvas.fit();
    EXPECT_EQ(canvas.shownImage(), numbered);

    // Another glyph drawn into the same picture shows at once.
    view.ViewScale = 3;
    readout = ShowGlyph(0, font, view, picture, sink);
    canvas.setGlyph(readout.drawn, fontToPicture(picture, readout.work, view), view);
    EXPECT_NE(canvas.shownImage(), numbered);
}

// Zoomed far in, the black outline is the exact curve, not the listing's
// steps: every point of the quadratic arcs lies on a dark pixel, and the
// contour's start mark stays on its first point.
TEST(CanvasCurve, AZoomedCurveIsTheExactCurve)
{
    FontState font;
    RecordingSink sink;
    ttf::FontSpec design;
    // Two quadratic arcs: (0,0) through (0,1000) to (1000,1000), back through (1000,0).
    design.glyphs = {ttf::simpleGlyph({{{0, 0}, {0, 1000, false}, {1000, 1000}, {1000, 0, false}}})};
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(design)), LoadResult::Loaded);
    ViewState view;
    PictureSurface picture;
    const GlyphReadout readout = ShowGlyph(0, font, view, picture, sink);
    GlyphCanvas canvas;
    canvas.setPicture(&picture);
    canvas.setGlyph(readout.drawn, fontToPicture(picture, readout.work, view), view);
    canvas.resize(355, 355);
    canvas.zoomBy(20, canvas.fontToCanvas().map(QPointF(250, 750)));
    const QImage shown = canvas.shownImage();
    const double ratio = shown.width() / 353.0;
    auto dark = [&](QPointF at) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint p = ((at - QPointF(1, 1)) * ratio).toPoint() + QPoint(dx, dy);
                if (shown.rect().contains(p) && qGray(shown.pixel(p)) < 160)
                    return true;
            }
        return false;
    };
    int checked = 0;
    for (int i = 0; i <= 400; ++i) {
        const double t = i / 400.0;
        const QPointF on = (1 - t) * (1 - t) * QPointF(0, 0) + 2 * t * (1 - t) * QPointF(0, 1000) + t * t * QPointF(1000, 1000);
        const QPointF at = canvas.fontToCanvas().map(on);
        if (at.x() < 4 || at.y() < 4 || at.x() > 350 || at.y() > 350)
            continue;
        EXPECT_TRUE(dark(at)) << "t " << t;
        ++checked;
    }
    EXPECT_GT(checked, 40);
    // The start mark's circle is centred on the contour's first point at any zoom.
    canvas.fit();
    canvas.zoomBy(6, canvas.fontToCanvas().map(QPointF(0, 0)));
    const QImage marked = canvas.shownImage();
    const QPointF start = canvas.fontToCanvas().map(QPointF(0, 0));
    const double r = 16 * canvas.markUnit();
    int red = 0;
    for (QPointF step : {QPointF(r, 0), QPointF(-r, 0), QPointF(0, r), QPointF(0, -r)}) {
        const QPoint p = ((start + step - QPointF(1, 1)) * ratio).toPoint();
        for (int d = -1; d <= 1; ++d) {
            const QRgb c = marked.pixel(std::clamp(p.x() + d, 0, marked.width() - 1), std::clamp(p.y(), 0, marked.height() - 1));
            if (qRed(c) > 150 && qGreen(c) < 120) {
                ++red;
                break;
            }
        }
    }
    EXPECT_GE(red, 3);
}

// The metrics view draws x and y at one scale, and so does the glyph view.
TEST(CanvasCurve, TheMetricsViewHasOneScale)
{
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::buildFont(ttf::squaresFont(3))), LoadResult::Loaded);
    for (const bool metrics : {true, false}) {
        ViewState view;
        view.Metrics = metrics;
        PictureSurface picture;
        const GlyphReadout readout = ShowGlyph(2, font, view, picture, sink);
        const QTransform t = fontToPicture(picture, readout.work, view);
        EXPECT_GT(t.m11(), 0);
        EXPECT_NEAR(t.m11(), -t.m22(), 1e-9) << metrics;
    }
}

} // namespace
