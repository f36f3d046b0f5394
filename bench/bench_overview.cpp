#include <benchmark/benchmark.h>

#include "overview_screenful.h"
#include "support/font_file_loading.h"
#include "support/gui_app.h"
#include "ui/overview/font_glyph_source.h"

namespace {

// DejaVu Sans's screenful from glyph 36 ("A") on.
void BM_OverviewScreenfulDejaVuSans(benchmark::State& state)
{
    ensureGuiApplication();
    auto font = std::make_shared<FontState>();
    if (loadFontPath(*font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf") != LoadResult::Loaded) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    paintOverviewScreenful(state, FontGlyphSource(font, "DejaVu Sans"), 36);
}
BENCHMARK(BM_OverviewScreenfulDejaVuSans)->Unit(benchmark::kMillisecond);

} // namespace
