// The outline checks and the comparison of two fonts over the largest font
// at hand: every glyph of Noto Sans CJK (65 535 CID-keyed CFF glyphs).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "check/font_diff.h"
#include "check/outline_checks.h"
#include "support/font_file_loading.h"

namespace {

bool loadNotoCjk(FontState& font, const char* weight)
{
    RecordingSink sink;
    return loadFontFace(font, sink, std::string(NOTO_CJK_DIR) + "/NotoSansCJK-" + weight + ".ttc", 0)
        == LoadResult::Loaded;
}

// Every glyph checked, as `lumaro-inspect check` and the window's font-wide run do.
void BM_CheckEveryGlyphNotoSansCJK(benchmark::State& state)
{
    FontState font;
    if (!loadNotoCjk(font, "Regular")) {
        state.SkipWithError("NotoSansCJK-Regular.ttc did not load");
        return;
    }
    std::vector<int> glyphs;
    for (int g = 0; g < font.NumGlyphs; ++g)
        glyphs.push_back(g);
    std::size_t found = 0;
    for (auto _ : state)
        CheckGlyphs(font, Location{}, glyphs, [&](GlyphFindings&& f) {
            found += f.findings.size();
            return true;
        });
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * font.NumGlyphs);
}
BENCHMARK(BM_CheckEveryGlyphNotoSansCJK)->Unit(benchmark::kMillisecond);

// Regular against Bold: the pairing and every pair compared.
void BM_DiffTwoWeightsNotoSansCJK(benchmark::State& state)
{
    FontState regular, bold;
    if (!loadNotoCjk(regular, "Regular") || !loadNotoCjk(bold, "Bold")) {
        state.SkipWithError("NotoSansCJK-Regular.ttc or -Bold.ttc did not load");
        return;
    }
    std::size_t changed = 0;
    for (auto _ : state) {
        const GlyphPairing pairing = PairGlyphs(regular, bold);
        DiffFonts({regular, {}}, {bold, {}}, pairing, [&](GlyphComparison&& c) {
            changed += c.change != GlyphChange::Identical;
            return true;
        });
    }
    benchmark::DoNotOptimize(changed);
    state.SetItemsProcessed(state.iterations() * regular.NumGlyphs);
}
BENCHMARK(BM_DiffTwoWeightsNotoSansCJK)->Unit(benchmark::kMillisecond);

} // namespace
