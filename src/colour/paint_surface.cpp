#include "colour/paint_surface.h"

#include <algorithm>
#include <limits>

Affine Then(const Affine& a, const Affine& b)
{
    return {b.xx * a.xx + b.xy * a.yx, b.yx * a.xx + b.yy * a.yx,
            b.xx * a.xy + b.xy * a.yy, b.yx * a.xy + b.yy * a.yy,
            b.xx * a.dx + b.xy * a.dy + b.dx, b.yx * a.dx + b.yy * a.dy + b.dy};
}

void PaintBounds::pushBox(ClipBox box)
{
    if (!clips_.empty()) {
        const ClipBox& in = clips_.back();
        box = {std::max(box.xMin, in.xMin), std::max(box.yMin, in.yMin), std::min(box.xMax, in.xMax),
               std::min(box.yMax, in.yMax)};
    }
    clips_.push_back(box);
}

// The box of points mapped by the transform in force.
template <class Points>
ClipBox mappedBox(const Affine& t, const Points& points)
{
    constexpr double Inf = std::numeric_limits<double>::infinity();
    ClipBox box{Inf, Inf, -Inf, -Inf};
    for (const auto& [x, y] : points) {
        const double px = t.xx * x + t.xy * y + t.dx, py = t.yx * x + t.yy * y + t.dy;
        box = {std::min(box.xMin, px), std::min(box.yMin, py), std::max(box.xMax, px), std::max(box.yMax, py)};
    }
    return box;
}

void PaintBounds::pushClipGlyph(int, const Contours& outline)
{
    std::vector<std::pair<double, double>> points;
    for (const OutlinePoint& p : outline.points)
        points.emplace_back(p.x, p.y);
    pushBox(mappedBox(transforms_.back(), points));
}

void PaintBounds::pushClipRect(const ClipBox& b)
{
    const std::pair<double, double> corners[] = {{b.xMin, b.yMin}, {b.xMax, b.yMin}, {b.xMin, b.yMax}, {b.xMax, b.yMax}};
    pushBox(mappedBox(transforms_.back(), corners));
}

void PaintBounds::pushTransform(const Affine& transform)
{
    transforms_.push_back(Then(transform, transforms_.back()));
}

void PaintBounds::fill(const Brush&)
{
    // A fill outside every clip would cover the whole plane: only clipped fills have a box.
    if (clips_.empty() || clips_.back().xMin > clips_.back().xMax || clips_.back().yMin > clips_.back().yMax)
        return;
    const ClipBox& b = clips_.back();
    painted_ = painted_ ? ClipBox{std::min(painted_->xMin, b.xMin), std::min(painted_->yMin, b.yMin),
                                  std::max(painted_->xMax, b.xMax), std::max(painted_->yMax, b.yMax)}
                        : b;
}
