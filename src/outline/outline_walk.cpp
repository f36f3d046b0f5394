#include "outline/outline_walk.h"

#include <span>
#include <vector>

namespace {

PathPoint at(const OutlinePoint& p) { return {double(p.x), double(p.y)}; }
PathPoint midpoint(PathPoint a, PathPoint b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// Draws from the current point to `end` through the off-curve points pending.
void flush(PathSink& sink, std::vector<PathPoint>& pending, bool cubic, PathPoint end)
{
    if (pending.empty()) {
        sink.lineTo(end);
    } else if (cubic && pending.size() == 2) {
        sink.cubicTo(pending[0], pending[1], end);
    } else {
        for (std::size_t i = 0; i + 1 < pending.size(); ++i)
            sink.quadTo(pending[i], midpoint(pending[i], pending[i + 1]));
        sink.quadTo(pending.back(), end);
    }
    pending.clear();
}

void walkContour(std::span<const OutlinePoint> pts, PathSink& sink, std::vector<PathPoint>& pending)
{
    std::size_t from = 0, to = pts.size(); // the points walked after the start
    PathPoint start;
    if (pts.front().kind == PointKind::OnCurve) {
        start = at(pts.front());
        from = 1;
    } else if (pts.back().kind == PointKind::OnCurve) {
        start = at(pts.back());
        to = pts.size() - 1;
    } else {
        start = midpoint(at(pts.back()), at(pts.front()));
    }
    sink.moveTo(start);
    bool cubic = false; // the pending points are cubic control points
    for (std::size_t k = from; k < to; ++k) {
        if (pts[k].kind == PointKind::OnCurve) {
            flush(sink, pending, cubic, at(pts[k]));
            continue;
        }
        if (pending.empty())
            cubic = pts[k].kind == PointKind::CubicOff;
        pending.push_back(at(pts[k]));
    }
    flush(sink, pending, cubic, start);
    sink.close();
}

// Each contour that has points; an end past the points stops the walk there.
template <class Visit>
void forEachDrawnContour(const Contours& outline, Visit visit)
{
    bool inside = true;
    ForEachContour(outline, [&](std::size_t, int first, int stop) {
        inside = inside && stop <= int(outline.points.size());
        if (inside && stop > first)
            visit(std::span(outline.points).subspan(std::size_t(first), std::size_t(stop - first)));
    });
}

} // namespace

void AppendContours(Contours& into, const Contours& part)
{
    const int before = int(into.points.size());
    for (const int end : part.ends)
        into.ends.push_back(before + end);
    into.points.insert(into.points.end(), part.points.begin(), part.points.end());
}

void WalkOutline(const Contours& outline, PathSink& sink)
{
    std::vector<PathPoint> pending;
    forEachDrawnContour(outline, [&](std::span<const OutlinePoint> pts) { walkContour(pts, sink, pending); });
}

void WalkPolygon(const Contours& outline, PathSink& sink)
{
    forEachDrawnContour(outline, [&](std::span<const OutlinePoint> pts) {
        sink.moveTo(at(pts.front()));
        for (std::size_t k = 1; k < pts.size(); ++k)
            sink.lineTo(at(pts[k]));
        sink.close();
    });
}
