// The canvas on its own: a square glyph from (0, 0) to (1000, 1000) drawn
// at scale 1 with a margin of 100, so the picture spans -100..1100 font units.
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
        canvas.setGlyph(readout.drawn, fontToPicture(picture, readout.work, view));
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

} // namespace
