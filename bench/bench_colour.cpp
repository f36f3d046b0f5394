// Colour glyphs: a COLRv1 glyph at 256 pixels per em, a CBDT glyph against
// FreeType's FT_LOAD_COLOR, and the overview's first screen in colour
// against the same screen in outlines.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "bench_ratios.h"
#include "colour/colour_glyph.h"
#include "overview_screenful.h"
#include "platform/colour_picture.h"
#include "support/font_file_loading.h"
#include "support/gui_app.h"
#include "ui/overview/font_glyph_source.h"

namespace {

const std::string NotoColorEmoji = std::string(NOTO_DIR) + "/NotoColorEmoji.ttf";
constexpr int StrikePpem = 109; // Noto Color Emoji's one strike
constexpr char32_t GrinningFace = 0x1F600;

// The colour test fonts, built by fontTools into a folder of their own the
// first time they are asked for and removed when the benchmarks end.
class ColourTestFonts {
public:
    static const ColourTestFonts& get()
    {
        static const ColourTestFonts fonts;
        return fonts;
    }
    bool built() const { return built_; }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    ~ColourTestFonts() { std::filesystem::remove_all(dir_); }

private:
    ColourTestFonts()
        : dir_(std::filesystem::temp_directory_path() / ("lumaro-bench-colour-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(dir_);
        const std::string command = std::string(PYTHON3) + " '" + COLOUR_FONTS_SCRIPT + "' '" + dir_.string() + "'";
        built_ = std::system(command.c_str()) == 0;
    }
    std::filesystem::path dir_;
    bool built_ = false;
};

// A COLRv1 glyph described and rendered at 256 pixels per em, as the Colour
// window draws it.
void renderColrV1At256(benchmark::State& state, const FontState& font, const ColourTables& tables, int glyph)
{
    const PaintSettings settings;
    long pixels = 0;
    for (auto _ : state) {
        const ColourRendering picture =
            RenderColourGlyph(font, tables, DescribeColourGlyph(tables, glyph, {}), settings, 256);
        pixels += picture.image.width() * picture.image.height();
    }
    benchmark::DoNotOptimize(pixels);
}

// The COLRv1 glyph of colr1.ttf with the most paints.
void BM_ColourColrV1At256(benchmark::State& state)
{
    ensureGuiApplication();
    const ColourTestFonts& fonts = ColourTestFonts::get();
    FontState font;
    if (!fonts.built() || loadFontPath(font, fonts.path("colr1.ttf")) != LoadResult::Loaded) {
        state.SkipWithError("colr1.ttf was not built");
        return;
    }
    const ColourTables tables = ReadColourTables(font);
    int glyph = -1, paints = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        const ColourGlyph described = DescribeColourGlyph(tables, g, {});
        if (described.paint && CountPaints(*described.paint) > paints)
            glyph = g, paints = CountPaints(*described.paint);
    }
    if (glyph < 0) {
        state.SkipWithError("colr1.ttf has no COLRv1 glyph");
        return;
    }
    renderColrV1At256(state, font, tables, glyph);
    state.SetLabel("colr1.ttf glyph " + std::to_string(glyph) + ", " + std::to_string(paints) + " paints");
}
BENCHMARK(BM_ColourColrV1At256)->Unit(benchmark::kMillisecond);

// The grinning face of Noto Color Emoji's COLRv1 font (the npm package the
// set-up installs).
void BM_ColourNotoColrV1At256(benchmark::State& state)
{
    ensureGuiApplication();
    FontState font;
    RecordingSink ignored;
    if (loadFontFace(font, ignored, COLRV1_NPM_FONT, 0) != LoadResult::Loaded) {
        state.SkipWithError("the COLRv1 emoji font is not installed (scripts/setup installs it)");
        return;
    }
    const ColourTables tables = ReadColourTables(font);
    const int glyph = font.Unicode.glyphFor(GrinningFace);
    const ColourGlyph described = DescribeColourGlyph(tables, glyph, {});
    if (!described.paint) {
        state.SkipWithError("the grinning face is not a COLRv1 glyph");
        return;
    }
    renderColrV1At256(state, font, tables, glyph);
    state.SetLabel("glyph " + std::to_string(glyph) + ", " + std::to_string(CountPaints(*described.paint)) + " paints");
}
BENCHMARK(BM_ColourNotoColrV1At256)->Unit(benchmark::kMillisecond);

// The grinning face of Noto Color Emoji in its strike, described and
// rendered as the overview does, against FreeType loading it in colour.
void lumaroStrikeGlyph(benchmark::State& state)
{
    ensureGuiApplication();
    FontState font;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (loadFontPath(font, NotoColorEmoji) != LoadResult::Loaded || FT_Init_FreeType(&library) != 0) {
        state.SkipWithError("NotoColorEmoji.ttf did not load");
        return;
    }
    // FreeType's cmap names the glyph for both sides.
    const FT_UInt glyph = FT_New_Face(library, NotoColorEmoji.c_str(), 0, &face) == 0
        ? FT_Get_Char_Index(face, GrinningFace) : 0;
    FT_Done_FreeType(library);
    const ColourTables tables = ReadColourTables(font);
    const PaintSettings settings;
    long pixels = 0;
    for (auto _ : state) {
        const ColourRendering picture =
            RenderColourGlyph(font, tables, DescribeColourGlyph(tables, int(glyph), {}, StrikePpem), settings, StrikePpem);
        pixels += picture.image.width() * picture.image.height();
    }
    if (pixels == 0)
        state.SkipWithError("the glyph has no picture");
    state.SetLabel("glyph " + std::to_string(glyph));
}

void freetypeStrikeGlyph(benchmark::State& state)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, NotoColorEmoji.c_str(), 0, &face) != 0
        || FT_Set_Pixel_Sizes(face, StrikePpem, StrikePpem) != 0) {
        state.SkipWithError("FreeType did not open NotoColorEmoji.ttf at its strike");
        FT_Done_FreeType(library);
        return;
    }
    const FT_UInt glyph = FT_Get_Char_Index(face, GrinningFace);
    long pixels = 0;
    for (auto _ : state)
        if (FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) == 0)
            pixels += long(face->glyph->bitmap.width) * face->glyph->bitmap.rows;
    if (pixels == 0)
        state.SkipWithError("the glyph has no bitmap");
    state.SetLabel("glyph " + std::to_string(glyph));
    FT_Done_FreeType(library);
}

// Noto Color Emoji's first screen from glyph 0, in colour and with colour
// glyphs off. The font has no outlines, so the second draws labels and empty
// cells; DejaVu Sans's screen is the monochrome overview of a text font.
void overviewScreen(benchmark::State& state, bool colour)
{
    ensureGuiApplication();
    auto font = std::make_shared<FontState>();
    if (loadFontPath(*font, NotoColorEmoji) != LoadResult::Loaded) {
        state.SkipWithError("NotoColorEmoji.ttf did not load");
        return;
    }
    const FontGlyphSource source(font, "Noto Color Emoji", {}, colour ? FontColourTables(*font) : nullptr);
    paintOverviewScreenful(state, source, 0);
}

[[maybe_unused]] const bool registered = [] {
    const std::string strike = "Colour/CBDT@" + std::to_string(StrikePpem) + "/";
    benchmark::RegisterBenchmark((strike + "Lumaro").c_str(), lumaroStrikeGlyph)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((strike + "FreeType").c_str(), freetypeStrikeGlyph)->Unit(benchmark::kMicrosecond);
    benchRatios().push_back({"Colour CBDT glyph of NotoColorEmoji.ttf at " + std::to_string(StrikePpem) + " ppem",
                             strike + "Lumaro", strike + "FreeType", "Lumaro / FreeType"});

    const std::string screen = "Colour/OverviewScreenful/NotoColorEmoji/";
    benchmark::RegisterBenchmark((screen + "Colour").c_str(), overviewScreen, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((screen + "Outlines").c_str(), overviewScreen, false)->Unit(benchmark::kMillisecond);
    benchRatios().push_back({"Colour overview screenful of NotoColorEmoji.ttf", screen + "Colour",
                             screen + "Outlines", "colour / outlines"});
    benchRatios().push_back({"Colour overview screenful of NotoColorEmoji.ttf", screen + "Colour",
                             "BM_OverviewScreenfulDejaVuSans", "colour / DejaVu Sans in outlines"});
    return true;
}();

} // namespace
