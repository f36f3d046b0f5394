#include "platform/outline_path.h"

#include <span>
#include <vector>

namespace {

QPointF at(const OutlinePoint& p) { return {double(p.x), double(p.y)}; }

// Draws from the current point to `end` through the off-curve points
// pending: two cubic ones make one cubic curve; quadratic ones make a curve
// each, with the on-curve points implied between two of them.
void flush(QPainterPath& path, std::vector<const OutlinePoint*>& pending, QPointF end)
{
    if (pending.empty()) {
        path.lineTo(end);
    } else if (pending.size() == 2 && pending[0]->kind == PointKind::CubicOff) {
        path.cubicTo(at(*pending[0]), at(*pending[1]), end);
    } else {
        for (std::size_t i = 0; i + 1 < pending.size(); ++i)
            path.quadTo(at(*pending[i]), (at(*pending[i]) + at(*pending[i + 1])) / 2);
        path.quadTo(at(*pending.back()), end);
    }
    pending.clear();
}

// One contour, started as FreeType starts it: at its first point when that is
// on the curve, else at its last when that is, else between the two.
void addContour(QPainterPath& path, std::span<const OutlinePoint> pts)
{
    std::size_t from = 0, to = pts.size(); // the points walked after the start
    QPointF start;
    if (pts.front().kind == PointKind::OnCurve) {
        start = at(pts.front());
        from = 1;
    } else if (pts.back().kind == PointKind::OnCurve) {
        start = at(pts.back());
        to = pts.size() - 1;
    } else {
        start = (at(pts.front()) + at(pts.back())) / 2;
    }
    path.moveTo(start);
    std::vector<const OutlinePoint*> pending;
    for (std::size_t k = from; k < to; ++k) {
        if (pts[k].kind != PointKind::OnCurve)
            pending.push_back(&pts[k]);
        else
            flush(path, pending, at(pts[k]));
    }
    flush(path, pending, start);
    path.closeSubpath();
}

} // namespace

QPainterPath ContoursPath(const Contours& c)
{
    QPainterPath path;
    std::size_t from = 0;
    for (int end : c.ends) {
        const auto to = std::size_t(end) + 1;
        if (to <= from || to > c.points.size())
            break;
        addContour(path, std::span(c.points).subspan(from, to - from));
        from = to;
    }
    return path;
}

