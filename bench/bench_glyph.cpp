#include <benchmark/benchmark.h>

#include "tables/loader.h"
#include "support/font_file_loading.h"
#include "outline/glyf.h"
#include "draw/view.h"
#include "outline/composite.h"
#include "tables/fvar.h"

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

// The glyph of the most points at the default location.
int mostComplexGlyph(const FontState& font)
{
    int best = 0;
    std::size_t most = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        WorkingValues work;
        std::size_t points = 0;
        for (const PlacedOutline& part : ResolveGlyph(font, g, Location{}, work).parts)
            points += part.outline.points.size();
        if (points > most) {
            most = points;
            best = g;
        }
    }
    return best;
}

// An axis slider moved by one step: the location normalized again and Inter's
// most complex glyph shown there, as the window redraws it.
void BM_LocationChangeAndShowGlyphInter(benchmark::State& state)
{
    FontState font;
    if (loadFontPath(font, INTER_VARIABLE_FONT) != LoadResult::Loaded || font.Variations.axes.empty()) {
        state.SkipWithError("Inter did not load as a variable font");
        return;
    }
    const int glyph = mostComplexGlyph(font);
    state.SetLabel("glyph " + std::to_string(glyph));
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    std::vector<Fixed> user = DefaultCoordinates(font.Variations);
    const FvarAxis& axis = font.Variations.axes[0];
    Fixed step = 0;
    for (auto _ : state) {
        step = (step + 0x10000) % (axis.max - axis.min);
        user[0] = axis.min + step;
        view.location = Normalize(font.Variations, user);
        benchmark::DoNotOptimize(ShowGlyph(glyph, font, view, surface).listing.size());
    }
}
BENCHMARK(BM_LocationChangeAndShowGlyphInter)->Unit(benchmark::kMillisecond);

} // namespace
