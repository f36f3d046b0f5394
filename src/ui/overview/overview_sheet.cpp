#include "ui/overview/overview_sheet.h"

#include <algorithm>

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "ui/overview/overview_drawing.h"

namespace {

constexpr int Resolution = 144; // dots per inch of the page's coordinates

void drawHeader(QPainter& painter, const QRect& header, const QString& fontName, int page, int pages)
{
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, fontName);
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    painter.drawLine(header.bottomLeft(), header.bottomRight());
}

void drawSheetCell(QPainter& painter, const GlyphSource& source, int glyph, const QRect& cell, int labelHeight)
{
    painter.setPen(QColor(190, 190, 190));
    painter.drawRect(cell);
    const int pad = cell.width() / 10;
    const int side = std::min(cell.width(), cell.height() - labelHeight) - 2 * pad;
    const QRect box(cell.center().x() - side / 2, cell.top() + pad, side, side);
    const GlyphShape shape = source.shape(glyph);
    if (shape.abandoned)
        drawAbandonedMark(painter, box);
    else if (!shape.outline.ends.empty())
        drawGlyph(painter, glyphPath(shape), source.metrics(), box, Qt::black);
    painter.setPen(Qt::black);
    const QRect label(cell.left(), cell.bottom() - labelHeight - pad / 2, cell.width(), labelHeight);
    painter.drawText(label, Qt::AlignCenter, cellLabel(source, glyph));
}

} // namespace

bool writeGlyphSheet(QIODevice& device, const GlyphSource& source, const std::vector<int>& glyphs,
                     const std::function<bool(int done)>& progress)
{
    QPdfWriter pdf(&device);
    pdf.setResolution(Resolution);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    const QString fontName = QString::fromStdString(source.fontName());
    pdf.setTitle(fontName);
    pdf.setCreator(QStringLiteral("Lumaro"));

    QPainter painter(&pdf);
    if (!painter.isActive())
        return false;
    QFont text(QStringLiteral("DejaVu Sans"));
    text.setPixelSize(Resolution / 9);
    painter.setFont(text);
    const int lineHeight = painter.fontMetrics().height();

    const QRect page = painter.viewport();
    const QRect header(page.left(), page.top(), page.width(), lineHeight * 2);
    const int cellWidth = page.width() / SheetColumns;
    const int cellHeight = (page.height() - header.height() - lineHeight) / SheetRows;
    const int top = header.bottom() + lineHeight;

    const int perPage = SheetColumns * SheetRows;
    const int count = int(glyphs.size());
    const int pages = std::max(1, (count + perPage - 1) / perPage);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            pdf.newPage();
        drawHeader(painter, header, fontName, p + 1, pages);
        for (int i = 0; i < perPage && p * perPage + i < count; ++i) {
            const QRect cell(page.left() + (i % SheetColumns) * cellWidth, top + (i / SheetColumns) * cellHeight, cellWidth, cellHeight);
            drawSheetCell(painter, source, glyphs[std::size_t(p * perPage + i)], cell, lineHeight);
        }
        if (progress && !progress(std::min(count, (p + 1) * perPage)))
            return false;
    }
    return painter.end();
}
