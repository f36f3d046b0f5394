#include "platform/pixel_picture.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

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

// One contour as a path: quadratic off-curve points with the on-curve points
// implied between two of them; cubic ones in pairs.
void addContour(QPainterPath& path, const Mapping& m, const std::vector<OutlinePoint>& pts)
{
    const std::size_t n = pts.size();
    std::size_t first = 0;
    while (first < n && pts[first].kind != PointKind::OnCurve)
        ++first;
    const QPointF start = first < n ? pointAt(m, pts[first]) : (pointAt(m, pts[0]) + pointAt(m, pts[n - 1])) / 2;
    if (first == n)
        first = n - 1; // all off-curve: start between the last point and the first
    path.moveTo(start);
    std::vector<const OutlinePoint*> pending;
    for (std::size_t k = 1; k <= n; ++k) {
        const OutlinePoint& q = pts[(first + k) % n];
        const QPointF here = pointAt(m, q);
        if (q.kind != PointKind::OnCurve)
            pending.push_back(&q);
        if (q.kind != PointKind::OnCurve && k < n)
            continue;
        const QPointF end = q.kind == PointKind::OnCurve ? here : start;
        if (pending.empty()) {
            path.lineTo(end);
        } else if (pending.size() == 2 && pending[0]->kind == PointKind::CubicOff) {
            path.cubicTo(pointAt(m, *pending[0]), pointAt(m, *pending[1]), end);
        } else {
            for (std::size_t i = 0; i + 1 < pending.size(); ++i)
                path.quadTo(pointAt(m, *pending[i]), (pointAt(m, *pending[i]) + pointAt(m, *pending[i + 1])) / 2);
            path.quadTo(pointAt(m, *pending.back()), end);
        }
        pending.clear();
    }
    path.closeSubpath();
}

QPainterPath pathOf(const Contours& c, const Mapping& m)
{
    QPainterPath path;
    std::size_t from = 0;
    for (int end : c.ends) {
        const auto to = std::size_t(end) + 1;
        if (to <= from || to > c.points.size())
            break;
        addContour(path, m, {c.points.begin() + std::ptrdiff_t(from), c.points.begin() + std::ptrdiff_t(to)});
        from = to;
    }
    return path;
}

void drawPixels(QPainter& painter, const GlyphPixels& p, const Mapping& m)
{
    for (int y = 0; y < p.rows; ++y)
        for (int x = 0; x < p.width; ++x) {
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
    drawPixels(painter, pixels, m);
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
        painter.drawPath(pathOf(pixels.unhinted, m));
        painter.setPen(QPen(QColor(200, 0, 0), 1.5));
        painter.drawPath(pathOf(pixels.hinted, m));
        drawPoints(painter, pixels.hinted, m);
    }
    return image;
}
