// Every instructed glyph of DejaVu Sans hinted at 12 ppem, the same work on
// both sides: a new hinting context for Lumaro and a new size object for
// FreeType each time, so the font and control-value programs run in both.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

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
        FT_Size size = nullptr;
        FT_New_Size(face, &size);
        FT_Activate_Size(size);
        FT_Set_Pixel_Sizes(face, 0, Ppem);
        for (const int g : glyphs)
            benchmark::DoNotOptimize(FT_Load_Glyph(face, FT_UInt(g), FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP));
        FT_Done_Size(size);
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
