// The glyph canvas redrawing DejaVu Sans' most complex glyph (852 points) on
// a 1600 x 1200 canvas at device pixel ratio 2, point numbers on.
#include <string>

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "draw/view.h"
#include "platform/picture_surface.h"
#include "support/font_file_loading.h"
#include "ui/main/glyph_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

// Widgets need a QApplication; another benchmark may have made a plain GUI one first.
bool ensureWidgetApplication()
{
    if (QCoreApplication::instance())
        return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumaro_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

// The glyph of DejaVu Sans with the most points, drawn into a picture shown on a canvas.
struct CanvasScene {
    FontState font;
    PictureSurface picture{2};
    GlyphCanvas canvas;
    QImage screen{3200, 2400, QImage::Format_ARGB32_Premultiplied};
    std::size_t points = 0;

    CanvasScene()
    {
        loadFontPath(font, DejaVuSans);
        int most = 0;
        const ViewState view;
        for (int g = 0; g < font.NumGlyphs; ++g) {
            const GlyphReadout r = ShowGlyph(g, font, view, picture);
            if (r.drawn.points.size() > points) {
                points = r.drawn.points.size();
                most = g;
            }
        }
        const GlyphReadout shown = ShowGlyph(most, font, view, picture);
        canvas.setPicture(&picture);
        canvas.setGlyph(shown.drawn, fontToPicture(picture, shown.work, view), view);
        canvas.setPointNumbers(true);
        canvas.resize(1602, 1202); // 1600 x 1200 inside the border
        screen.setDevicePixelRatio(2);
    }
};

CanvasScene* scene()
{
    static CanvasScene* made = new CanvasScene;
    return made;
}

// A repaint that keeps the view (a hover, a selection, an exposed window):
// the picture and its marks as last painted, the selection on top.
// Arguments: point numbers on (1) or off (0), smooth lines on (1) or off (0).
void BM_CanvasRedrawMostComplexGlyph(benchmark::State& state)
{
    if (!ensureWidgetApplication()) {
        state.SkipWithError("needs a QApplication: run this benchmark on its own");
        return;
    }
    CanvasScene& s = *scene();
    s.canvas.setPointNumbers(state.range(0) != 0);
    s.canvas.setSmooth(state.range(1) != 0);
    for (auto _ : state)
        s.canvas.render(&s.screen);
    s.canvas.setPointNumbers(true);
    s.canvas.setSmooth(true);
    state.counters["points"] = double(s.points);
}
BENCHMARK(BM_CanvasRedrawMostComplexGlyph)->Args({1, 1})->Args({0, 1})->Args({1, 0})->Unit(benchmark::kMillisecond);

// Every repaint after a change of the view: each time a new glyph drawn, so
// the picture and its marks are painted whole.
void BM_CanvasPaintWholeMostComplexGlyph(benchmark::State& state)
{
    if (!ensureWidgetApplication()) {
        state.SkipWithError("needs a QApplication: run this benchmark on its own");
        return;
    }
    CanvasScene& s = *scene();
    s.canvas.setPointNumbers(state.range(0) != 0);
    for (auto _ : state) {
        s.canvas.setGlyph(s.canvas.glyph(), s.canvas.fontToPicture(), ViewState{});
        s.canvas.render(&s.screen);
    }
    s.canvas.setPointNumbers(true);
}
BENCHMARK(BM_CanvasPaintWholeMostComplexGlyph)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// One wheel notch in, then the redraw it asks for; every eighth step returns to the fit.
void BM_CanvasWheelZoomStep(benchmark::State& state)
{
    if (!ensureWidgetApplication()) {
        state.SkipWithError("needs a QApplication: run this benchmark on its own");
        return;
    }
    CanvasScene& s = *scene();
    int step = 0;
    for (auto _ : state) {
        if (++step % 8 == 0)
            s.canvas.fit();
        s.canvas.zoomBy(1.25, QPointF(700, 500));
        s.canvas.render(&s.screen);
    }
}
BENCHMARK(BM_CanvasWheelZoomStep)->Unit(benchmark::kMillisecond);

} // namespace
