#include <string>

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "tables/loader.h"
#include "support/font_file_loading.h"
#include "draw/view.h"
#include "platform/picture_surface.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

// The simple glyph with the most points, as FreeType counts them; -1 if none.
int mostComplexGlyph(const std::string& path)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int best = -1;
    short most = -1;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        for (FT_Long g = 0; g < face->num_glyphs; ++g) {
            if (FT_Load_Glyph(face, FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_RECURSE) != 0
                || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
                continue;
            if (face->glyph->outline.n_points > most) {
                most = face->glyph->outline.n_points;
                best = int(g);
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return best;
}

// The contour numbers are printed text, which needs a GUI application.
void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumaro_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// One ShowGlyph of DejaVu Sans' most complex glyph on the window's picture.
void BM_ShowGlyphMostComplexOnPicture(benchmark::State& state)
{
    ensureGuiApplication();
    FontState font;
    const int glyph = mostComplexGlyph(DejaVuSans);
    if (glyph < 0 || loadFontPath(font, DejaVuSans) != LoadResult::Loaded) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    PictureSurface picture;
    const ViewState view;
    for (auto _ : state) {
        const GlyphReadout readout = ShowGlyph(glyph, font, view, picture);
        benchmark::DoNotOptimize(picture.image().constBits()); // painted, as the window paints it
        benchmark::DoNotOptimize(readout.listing.data());
    }
    state.SetLabel("glyph " + std::to_string(glyph));
}
BENCHMARK(BM_ShowGlyphMostComplexOnPicture)->Unit(benchmark::kMillisecond);

} // namespace
