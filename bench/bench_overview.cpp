#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPalette>

#include "tables/loader.h"
#include "support/font_file_loading.h"
#include "support/gui_app.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"

namespace {

// One screenful of the overview at its default size (16 x 9 cells of a
// 48-pixel glyph square in a 1000 x 720 window) with no thumbnail cached:
// every glyph decoded through the font source, drawn into its thumbnail,
// and every cell painted with its label. Glyphs from 36 ("A") on.
void BM_OverviewScreenfulDejaVuSans(benchmark::State& state)
{
    ensureGuiApplication();
    auto font = std::make_shared<FontState>();
    if (loadFontPath(*font, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf") != LoadResult::Loaded) {
        state.SkipWithError("DejaVuSans.ttf did not load");
        return;
    }
    const FontGlyphSource source(font, "DejaVu Sans");

    constexpr int Columns = 16, Rows = 9, First = 36;
    const CellGeometry geometry;
    const QSize cell = geometry.cellSize();
    QImage screen(cell.width() * Columns, cell.height() * Rows, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        QPainter painter(&screen);
        for (int i = 0; i < Columns * Rows; ++i) {
            const int glyph = First + i;
            const Thumbnail thumbnail = buildThumbnail(source, glyph, QSize(geometry.box, geometry.box), 1.0);
            const QRect where(QPoint(i % Columns * cell.width(), i / Columns * cell.height()), cell);
            paintCell(painter, where, geometry, &thumbnail, cellLabel(source, glyph), false, palette);
        }
    }
    state.SetItemsProcessed(state.iterations() * Columns * Rows);
}
BENCHMARK(BM_OverviewScreenfulDejaVuSans)->Unit(benchmark::kMillisecond);

} // namespace
