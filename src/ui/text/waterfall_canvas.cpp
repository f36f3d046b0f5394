#include "ui/text/waterfall_canvas.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/text/glyph_drawing.h"

namespace {

constexpr int LabelWidth = 44;
constexpr double LineGap = 1.3; // line pitch per pixel size
constexpr int Margin = 4;
constexpr int RowGap = 12;

} // namespace

WaterfallCanvas::WaterfallCanvas(QWidget* parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

WaterfallCanvas::~WaterfallCanvas() = default;

void WaterfallCanvas::setRows(std::vector<DrawnRow> rows, std::vector<int> sizes, bool vertical)
{
    rows_ = std::move(rows);
    sizes_ = std::move(sizes);
    vertical_ = vertical;
    layOut();
    update();
}

void WaterfallCanvas::setSelectedRow(int row)
{
    selected_ = row;
    update();
}

// How far a row's pen travels at `scale` pixels per font unit, along its lines.
double WaterfallCanvas::runLength(const DrawnRow& row, double scale) const
{
    double length = 0;
    for (const ShapedGlyph& g : row.glyphs)
        length += vertical_ ? -g.yAdvance : g.xAdvance;
    return std::abs(length) * scale;
}

void WaterfallCanvas::layOut()
{
    lines_.clear();
    blocks_.clear();
    const bool labelled = rows_.size() > 1;
    const double labelHeight = fontMetrics().height() + 6;
    double y = Margin, width = 0;
    for (int r = 0; r < int(rows_.size()); ++r) {
        const DrawnRow& row = rows_[std::size_t(r)];
        const double top = y;
        if (labelled) {
            lines_.push_back({r, 0, QRectF(0, y, 0, labelHeight), QPointF(Margin, y + labelHeight - 6)});
            y += labelHeight;
        }
        const double unitsPerEm = row.drawing ? row.drawing->unitsPerEm() : 1;
        double x = Margin, bottom = y;
        for (int size : sizes_) {
            const double length = row.drawing ? runLength(row, size / unitsPerEm) : 0;
            if (vertical_) {
                // A column per size, its number above it.
                const double across = size * LineGap, down = labelHeight;
                lines_.push_back({r, size, QRectF(x, y, across, down + length), QPointF(x + across / 2, y + down)});
                x += across + Margin;
                bottom = std::max(bottom, y + down + length + Margin);
                width = std::max(width, x);
            } else {
                const double baseline = y + size * LineGap;
                lines_.push_back({r, size, QRectF(0, baseline - size, LabelWidth + length, size * LineGap),
                                  QPointF(LabelWidth, baseline)});
                y = baseline + Margin;
                bottom = y;
                width = std::max(width, LabelWidth + length + 16);
            }
        }
        y = bottom;
        blocks_.push_back(QRectF(0, top, 0, y - top));
        if (labelled)
            y += RowGap;
    }
    for (QRectF& block : blocks_)
        block.setWidth(std::max(width, 1.0));
    for (Line& line : lines_)
        if (line.size == 0)
            line.band.setWidth(width);
    setMinimumSize(int(width) + 1, int(y) + Margin);
}

void WaterfallCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::Text), faint = palette().color(QPalette::PlaceholderText);
    if (rows_.size() > 1 && selected_ >= 0 && selected_ < int(blocks_.size())) {
        QColor mark = palette().color(QPalette::Highlight);
        mark.setAlpha(28);
        painter.fillRect(blocks_[std::size_t(selected_)].adjusted(0, -Margin, width(), Margin), mark);
    }
    for (const Line& line : lines_) {
        if (!line.band.adjusted(0, -line.size, width(), line.size).intersects(event->rect()))
            continue; // a long waterfall paints only what shows
        const DrawnRow& row = rows_[std::size_t(line.row)];
        if (line.size == 0) {
            QFont bold = font();
            bold.setBold(line.row == selected_);
            painter.setFont(bold);
            painter.setPen(ink);
            painter.drawText(line.origin, row.label);
            painter.setFont(font());
            continue;
        }
        painter.setPen(faint);
        const QPointF number = vertical_ ? QPointF(line.band.left(), line.band.top() + fontMetrics().ascent())
                                         : QPointF(Margin, line.origin.y());
        painter.drawText(number, QString::number(line.size));
        if (!row.drawing)
            continue;
        const double scale = line.size / double(row.drawing->unitsPerEm());
        double penX = 0, penY = 0;
        const QRectF shown = QRectF(event->rect()).adjusted(-2 * line.size, -2 * line.size, 2 * line.size, 2 * line.size);
        for (const ShapedGlyph& g : row.glyphs) {
            const QPointF at(line.origin.x() + (penX + g.xOffset) * scale,
                             line.origin.y() - (penY + g.yOffset) * scale);
            if (shown.contains(at))
                row.drawing->draw(painter, g.glyph, at, line.size, ink); // a long line draws what shows
            penX += g.xAdvance;
            penY += g.yAdvance;
        }
    }
}

WaterfallCanvas::Hit WaterfallCanvas::hitAt(QPointF at) const
{
    for (const Line& line : lines_) {
        if (!line.band.contains(at))
            continue;
        const DrawnRow& row = rows_[std::size_t(line.row)];
        if (line.size == 0 || !row.drawing)
            return {line.row, -1};
        // The glyph whose advance spans the point along the line.
        const double scale = line.size / double(row.drawing->unitsPerEm());
        double pen = 0;
        const double along = vertical_ ? at.y() - line.origin.y() : at.x() - line.origin.x();
        for (const ShapedGlyph& g : row.glyphs) {
            const double advance = (vertical_ ? -g.yAdvance : g.xAdvance) * scale;
            if (along >= pen && along < pen + std::max(1.0, advance))
                return {line.row, g.glyph};
            pen += advance;
        }
        return {line.row, -1};
    }
    return {};
}

void WaterfallCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position());
    if (hit.row >= 0)
        emit rowClicked(hit.row);
    if (hit.glyph >= 0)
        emit glyphClicked(hit.row, hit.glyph);
}
