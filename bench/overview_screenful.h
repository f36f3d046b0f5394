#pragma once
// One screenful of the overview at its default size (16 x 9 cells of a
// 48-pixel glyph square in a 1000 x 720 window) with no thumbnail cached:
// every glyph from `first` on decoded through the source, drawn into its
// thumbnail, and every cell painted with its label.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPalette>

#include "ui/overview/overview_drawing.h"

inline void paintOverviewScreenful(benchmark::State& state, const GlyphSource& source, int first)
{
    constexpr int Columns = 16, Rows = 9;
    const CellGeometry geometry;
    const QSize cell = geometry.cellSize();
    QImage screen(cell.width() * Columns, cell.height() * Rows, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        QPainter painter(&screen);
        for (int i = 0; i < Columns * Rows; ++i) {
            const int glyph = first + i;
            const Thumbnail thumbnail = buildThumbnail(source, glyph, QSize(geometry.box, geometry.box), 1.0);
            const QRect where(QPoint(i % Columns * cell.width(), i / Columns * cell.height()), cell);
            paintCell(painter, where, geometry, &thumbnail, cellLabel(source, glyph), false, palette);
        }
    }
    state.SetItemsProcessed(state.iterations() * Columns * Rows);
}
