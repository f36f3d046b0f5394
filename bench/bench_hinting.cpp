// Every instructed glyph of DejaVu Sans hinted at 12 ppem: by Lumaro's
// interpreter (a new context each time: the font and control-value programs
// run too) against FreeType's hinted loads after a new size is set.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "bench_ratios.h"
#include "hinting/hinted_glyph.h"
#include "outline/composite.h"
#include "support/font_file_loading.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
constexpr int Ppem = 12;

std::vector<int> instructedGlyphs(const FontState& font)
{
    std::vector<int> glyphs;
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (!GlyphInstructions(font, g).bytes.empty())
            glyphs.push_back(g);
    return glyphs;
}

void lumaroHinting(benchmark::State& state)
{
    FontState font;
    if (loadFontPath(font, DejaVuSans) != LoadResult::Loaded) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    const std::vector<int> glyphs = instructedGlyphs(font);
    for (auto _ : state) {
        HintingContext context(font);
        for (const int g : glyphs)
            benchmark::DoNotOptimize(context.HintGlyph(g, Ppem, 40, {}).advance);
    }
}

void freetypeHinting(benchmark::State& state)
{
    FontState font;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (loadFontPath(font, DejaVuSans) != LoadResult::Loaded || FT_Init_FreeType(&library) != 0
        || FT_New_Face(library, DejaVuSans.c_str(), 0, &face) != 0) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    const std::vector<int> glyphs = instructedGlyphs(font);
    for (auto _ : state) {
        // Another size and back: the control-value program runs again.
        FT_Set_Pixel_Sizes(face, 0, Ppem + 1);
        FT_Set_Pixel_Sizes(face, 0, Ppem);
        for (const int g : glyphs)
            benchmark::DoNotOptimize(FT_Load_Glyph(face, FT_UInt(g), FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

[[maybe_unused]] const bool registered = [] {
    const std::string name = "Hinting/DejaVuSans@" + std::to_string(Ppem) + "/";
    benchmark::RegisterBenchmark((name + "Lumaro").c_str(), lumaroHinting)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "FreeType").c_str(), freetypeHinting)->Unit(benchmark::kMillisecond);
    benchRatios().push_back({"Hinting every instructed glyph of DejaVuSans.ttf at " + std::to_string(Ppem) + " ppem",
                             name + "Lumaro", name + "FreeType", "Lumaro / FreeType"});
    return true;
}();

} // namespace
