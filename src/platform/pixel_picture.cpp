#include "platform/pixel_picture.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPainter>
#include <QTransform>

#include "platform/outline_path.h"

namespace {

constexpr double Units = 64.0; // outline points are in 1/64 pixel

// Where pixel coordinates (x right, y up) fall in the picture.
struct Mapping {
    double cell = 1;
    double originX = 0, originY = 0;
    QPointF at(double x, double y) const { return {originX + x * cell, originY - y * cell}; }
};

// The pixels the picture shows: the bitmap, the origin, the advance and the
// outlines, with one pixel to spare on every side.
Mapping mappingFor(const GlyphPixels& p, int size)
{
    double left = std::min(0, p.left), right = std::max<double>(p.left + p.width, p.advance);
    double bottom = std::min(0, p.top - p.rows), top = std::max(1, p.top);
    for (const OutlinePoint& q : p.unhinted.points) {
        left = std::min(left, std::floor(q.x / Units));
        right = std::max(right, std::ceil(q.x / Units));
        bottom = std::min(bottom, std::floor(q.y / Units));
        top = std::max(top, std::ceil(q.y / Units));
    }
    left -= 1, bottom -= 1, right += 1, top += 1;
    Mapping m;
    m.cell = std::max(1.0, std::floor(size / std::max(right - left, top - bottom)));
    m.originX = (size - (right - left) * m.cell) / 2 - left * m.cell;
    m.originY = (size - (top - bottom) * m.cell) / 2 + top * m.cell;
    return m;
}

QPointF pointAt(const Mapping& m, const OutlinePoint& p) { return m.at(p.x / Units, p.y / Units); }

// The first and one past the last of `count` pixels from `first` (in pixel
// units) whose squares fall inside the picture's `from`..`from + size` span.
std::pair<int, int> visibleRun(double first, int count, double from, double size, double cell)
{
    const double start = std::clamp(std::floor((from - first) / cell) - 1, 0.0, double(count));
    const double end = std::clamp(std::ceil((from + size - first) / cell) + 1, start, double(count));
    return {int(start), int(end)};
}

// Only the pixels whose squares the picture shows: a glyph far larger than
// its em is mostly outside, and painting all of it took seconds.
void drawPixels(QPainter& painter, const GlyphPixels& p, const Mapping& m, int size)
{
    const auto [x0, x1] = visibleRun(m.originX + p.left * m.cell, p.width, 0, size, m.cell);
    const auto [y0, y1] = visibleRun(m.originY - p.top * m.cell, p.rows, 0, size, m.cell);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int v = p.values[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
            if (v == 0)
                continue;
            const QPointF corner = m.at(p.left + x, p.top - y);
            painter.fillRect(QRectF(corner, QSizeF(m.cell, m.cell)), QColor(255 - v, 255 - v, 255 - v));
        }
}

void drawGrid(QPainter& painter, const Mapping& m, int size)
{
    painter.setPen(QPen(QColor(210, 210, 220), 0));
    const double firstX = std::fmod(m.originX, m.cell), firstY = std::fmod(m.originY, m.cell);
    for (double x = firstX; x < size; x += m.cell)
        painter.drawLine(QPointF(x, 0), QPointF(x, size));
    for (double y = firstY; y < size; y += m.cell)
        painter.drawLine(QPointF(0, y), QPointF(size, y));
}

void drawPoints(QPainter& painter, const Contours& c, const Mapping& m)
{
    const double r = std::clamp(m.cell / 8, 2.0, 4.0);
    painter.setPen(QPen(QColor(200, 0, 0), 1));
    for (const OutlinePoint& q : c.points) {
        const QPointF at = pointAt(m, q);
        if (q.kind == PointKind::OnCurve)
            painter.fillRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), QColor(200, 0, 0));
        else
            painter.drawEllipse(at, r, r);
    }
}

} // namespace

QImage DrawPixelPicture(const GlyphPixels& pixels, const PixelPictureOptions& options)
{
    const int size = std::max(16, options.size);
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const Mapping m = mappingFor(pixels, size);
    drawPixels(painter, pixels, m, size);
    if (options.grid && m.cell >= 4)
        drawGrid(painter, m, size);

    // The baseline, the origin and the advance.
    painter.setPen(QPen(QColor(60, 120, 220), 1));
    painter.drawLine(QPointF(0, m.originY), QPointF(size, m.originY));
    painter.drawLine(QPointF(m.originX, 0), QPointF(m.originX, size));
    painter.setPen(QPen(QColor(60, 170, 60), 1, Qt::DashLine));
    painter.drawLine(m.at(pixels.advance, 0) + QPointF(0, size), m.at(pixels.advance, 0) - QPointF(0, size));

    if (options.outlines) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(120, 170, 255), 1.5));
        // From 1/64 pixel, y up, to the picture.
        const QTransform toPicture(m.cell / Units, 0, 0, -m.cell / Units, m.originX, m.originY);
        painter.drawPath(toPicture.map(ContoursPath(pixels.unhinted)));
        painter.setPen(QPen(QColor(200, 0, 0), 1.5));
        painter.drawPath(toPicture.map(ContoursPath(pixels.hinted)));
        drawPoints(painter, pixels.hinted, m);
    }
    return image;
}
