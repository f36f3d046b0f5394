#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "outline/outline.h"

// The segments of a contour as the checks see them, and the geometry they
// need. Places are kept in half units (x2, y2 = twice the font units), so an
// implied midpoint is a whole number and every line test is exact.

struct HalfPoint {
    std::int64_t x2 = 0, y2 = 0;
    double x() const { return double(x2) / 2; }
    double y() const { return double(y2) / 2; }
    friend bool operator==(const HalfPoint&, const HalfPoint&) = default;
    friend HalfPoint operator-(HalfPoint a, HalfPoint b) { return {a.x2 - b.x2, a.y2 - b.y2}; }
};

// One segment between two consecutive on-curve places: p[0] .. p[order].
struct Segment {
    std::array<HalfPoint, 4> p{};
    int order = 1;     // 1 line, 2 quadratic, 3 cubic
    int name = 0;      // the index of the point that names its end place
    const HalfPoint& start() const { return p[0]; }
    const HalfPoint& end() const { return p[std::size_t(order)]; }
    bool isLine() const { return order == 1; }
};

// The segments of one contour in walk order, from its first on-curve point
// round to it, as the outline is drawn: a run of off-curve points between
// on-curve ones is one cubic when it is two cubic points, otherwise
// quadratics through the midpoints of consecutive off-curve points.
// Segments whose points are all at one place are left out. The contour must
// have an on-curve point.
std::vector<Segment> ContourSegments(std::span<const OutlinePoint> points);

// The signed area of the closed path the segments make, curves taken
// exactly, times a fixed positive factor (120, in half units): positive when
// it runs counter-clockwise (y up), 0 when it encloses nothing.
__int128 OrientedArea(std::span<const Segment> segments);

// The arc length in font units, to within 0.001 unit (lines exactly).
double ArcLength(const Segment& s);
// The same in one step of five-point Gauss-Legendre: within a small fraction
// of a unit for the curves of fonts, to sort lengths far from a threshold.
double ArcLengthEstimate(const Segment& s);

// How far the curve goes beyond both its ends, in x or in y, whichever is
// more (0 when its extremes are its ends). Lines give 0.
double Overshoot(const Segment& s);

// The direction at each end: from the end place to the segment's nearest
// other point at another place (the start's points forward, the end's
// backward); (0, 0) for a segment all at one place.
HalfPoint StartTangent(const Segment& s);
HalfPoint EndTangentReversed(const Segment& s);

// Whether two segments share a point. Two lines are judged exactly; any
// pair with a curve to within 1/1000 unit. `joints` says which ends the two
// share as neighbours of one contour (b starting where a ends, a where b
// ends): sharing those alone is not meeting.
struct Joints {
    bool aThenB = false, bThenA = false;
};
bool SegmentsMeet(const Segment& a, const Segment& b, Joints joints);

// Whether a cubic passes twice through one place (a loop, or a cubic that
// doubles back along its own line).
bool CubicCrossesItself(const Segment& s);

// The box of a segment's points, in font units.
struct SegmentBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
SegmentBox BoxOf(const Segment& s);

// How many times a ray from (x, y) towards +x crosses the closed path of
// `segments` (even-odd), the point lying off the path.
int RayCrossings(std::span<const Segment> segments, double x, double y);
