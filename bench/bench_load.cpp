#include <benchmark/benchmark.h>

#include "font/loader.h"

namespace {

class DiscardingSink : public MessageSink {
public:
    void MsgBox(const std::string&) override {}
};

// All of LoadFont on DejaVu Sans: file, directory, names, cmap, tables, glyph pass, lists.
void BM_LoadFontDejaVuSans(benchmark::State& state)
{
    FontState font;
    DiscardingSink sink;
    font.FontFileName = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    for (auto _ : state) {
        const LoadResult result = LoadFont(font, sink);
        if (result != LoadResult::Loaded) {
            state.SkipWithError("DejaVuSans.ttf did not load");
            break;
        }
        benchmark::DoNotOptimize(font.GlyphList.data());
    }
}
BENCHMARK(BM_LoadFontDejaVuSans)->Unit(benchmark::kMillisecond);

} // namespace
