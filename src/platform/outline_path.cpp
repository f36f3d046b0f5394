#include "platform/outline_path.h"

#include <span>
#include <vector>

namespace {

QPointF at(const OutlinePoint& p) { return {double(p.x), double(p.y)}; }

// One contour as a path: quadratic off-curve points with the on-curve points
// implied between two of them; cubic ones in pairs.
void addContour(QPainterPath& path, std::span<const OutlinePoint> pts)
{
    const std::size_t n = pts.size();
    std::size_t first = 0;
    while (first < n && pts[first].kind != PointKind::OnCurve)
        ++first;
    const QPointF start = first < n ? at(pts[first]) : (at(pts[0]) + at(pts[n - 1])) / 2;
    if (first == n)
        first = n - 1; // all off-curve: start between the last point and the first
    path.moveTo(start);
    std::vector<const OutlinePoint*> pending;
    for (std::size_t k = 1; k <= n; ++k) {
        const OutlinePoint& q = pts[(first + k) % n];
        const QPointF here = at(q);
        if (q.kind != PointKind::OnCurve)
            pending.push_back(&q);
        if (q.kind != PointKind::OnCurve && k < n)
            continue;
        const QPointF end = q.kind == PointKind::OnCurve ? here : start;
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

