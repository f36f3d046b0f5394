// One debugger step redrawn: the instructed glyph of DejaVu Sans with the
// most points, run one instruction further at 12 ppem and painted as the
// Instructions window paints it, on a 1200 x 1200 picture. The target is
// 16 ms, a frame.
#include <string>

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "hinting/stepping_session.h"
#include "support/font_file_loading.h"
#include "support/gui_app.h"
#include "ui/instructions/instruction_canvas.h"

namespace {

// The glyph with instructions of its own and the most points.
int mostComplexInstructed(const FontState& font)
{
    HintingContext context(font);
    int best = -1, most = -1;
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (!GlyphInstructions(font, g).bytes.empty())
            if (const int n = int(context.HintGlyph(g, 12, 40, {}).points.size()); n > most) {
                most = n;
                best = g;
            }
    return best;
}

void BM_InstructionsStepRedrawn(benchmark::State& state)
{
    ensureGuiApplication();
    FontState font;
    if (loadFontPath(font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf") != LoadResult::Loaded) {
        state.SkipWithError("DejaVu Sans did not load");
        return;
    }
    const int g = mostComplexInstructed(font);
    SteppingSession session(font);
    if (!session.Load(g, 12, 40, {}, Program::Glyph)) {
        state.SkipWithError("the glyph has nothing to step");
        return;
    }
    QImage picture(1200, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (session.execution().finished)
            session.Restart();
        session.Step();
        QPainter p(&picture);
        PaintSteppedGlyph(p, picture.rect(), session, {false, 0});
    }
    state.SetLabel("glyph " + std::to_string(g) + ", " + std::to_string(session.outlinePoints()) + " points");
}
BENCHMARK(BM_InstructionsStepRedrawn)->Unit(benchmark::kMillisecond);

} // namespace
