#pragma once
#include <algorithm>
#include <cstddef>

#include "outline/outline.h"

// Each contour's points [first, stop) in glyf order, as every walk of an
// outline takes them: a contour starts where the one before it stopped, and
// one whose end does not pass its start has no points (stop <= first) but
// still moves the next contour's start.
template <class Visit>
void ForEachContour(const Contours& outline, Visit visit)
{
    int first = 0;
    for (std::size_t c = 0; c < outline.ends.size(); ++c) {
        const int stop = outline.ends[c] + 1;
        visit(c, first, stop);
        first = stop;
    }
}

// The same with each point given once, for listing the points: a contour's
// points start past those an earlier contour took.
template <class Visit>
void ForEachContourOnce(const Contours& outline, Visit visit)
{
    int taken = 0;
    ForEachContour(outline, [&](std::size_t c, int first, int stop) {
        visit(c, std::max(first, taken), stop);
        taken = std::max(taken, stop);
    });
}

// Appends `part`'s contours to `into`, its end points moved past the points already there.
void AppendContours(Contours& into, const Contours& part);

// A point of a path in font units: implied on-curve points lie halfway between two off-curve ones.
struct PathPoint {
    double x = 0, y = 0;
    friend bool operator==(const PathPoint&, const PathPoint&) = default;
};

// Where a walked outline goes: a painter path, SVG path data, a test's record.
class PathSink {
public:
    virtual ~PathSink() = default;
    virtual void moveTo(PathPoint to) = 0;
    virtual void lineTo(PathPoint to) = 0;
    virtual void quadTo(PathPoint control, PathPoint to) = 0;
    virtual void cubicTo(PathPoint control1, PathPoint control2, PathPoint to) = 0;
    virtual void close() = 0;
};

// The outline as closed curves, one moveTo ... close per contour with points.
// A contour starts as FreeType starts it: at its first point when that is on
// the curve, else at its last when that is, else midway between the two.
// Quadratic off-curve points imply the on-curve point halfway between two of
// them; two cubic ones between on-curve points make one cubic curve (any
// other run of off-curve points is taken as quadratic). End points past the
// points stop the walk.
void WalkOutline(const Contours& outline, PathSink& sink);

// The control polygon: each contour's points joined in order and closed.
void WalkPolygon(const Contours& outline, PathSink& sink);
