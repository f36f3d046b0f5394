#include <benchmark/benchmark.h>

#include "tables/loader.h"
#include "support/font_file_loading.h"
#include "outline/glyf.h"
#include "draw/view.h"

namespace {


bool loadDejaVuSans(FontState& font)
{
    return loadFontPath(font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf") == LoadResult::Loaded;
}

// Decoding only: every glyph's outline read from glyf.
void BM_DecodeEveryGlyphDejaVuSans(benchmark::State& state)
{
    FontState font;
    if (!loadDejaVuSans(font)) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    Contours outline;
    WorkingValues work;
    for (auto _ : state) {
        for (int g = 0; g < font.NumGlyphs; ++g)
            benchmark::DoNotOptimize(DecodeOutline(font, g, Location{}, outline, work).status);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * font.NumGlyphs);
}
BENCHMARK(BM_DecodeEveryGlyphDejaVuSans)->Unit(benchmark::kMillisecond);

// ShowGlyph of every glyph: decoding, the contour walk with its curves, and the listing.
void BM_ShowEveryGlyphDejaVuSans(benchmark::State& state)
{
    FontState font;
    if (!loadDejaVuSans(font)) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    NullSurface surface;
    const ViewState view;
    std::size_t listed = 0;
    for (auto _ : state) {
        for (int g = 0; g < font.NumGlyphs; ++g) {
            const GlyphReadout readout = ShowGlyph(g, font, view, surface);
            listed += readout.listing.size();
        }
    }
    benchmark::DoNotOptimize(listed);
    state.SetItemsProcessed(state.iterations() * font.NumGlyphs);
}
BENCHMARK(BM_ShowEveryGlyphDejaVuSans)->Unit(benchmark::kMillisecond);

} // namespace
