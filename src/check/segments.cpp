#include "check/segments.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Tolerance = 1.0 / 1000; // how near two curves may be and count as meeting
constexpr int MeetBudget = 4096;         // halvings spent on one pair before it counts as apart

HalfPoint half(const OutlinePoint& p) { return {std::int64_t(p.x) * 2, std::int64_t(p.y) * 2}; }
HalfPoint midpoint(const OutlinePoint& a, const OutlinePoint& b)
{
    return {std::int64_t(a.x) + b.x, std::int64_t(a.y) + b.y};
}
__int128 cross(HalfPoint a, HalfPoint b) { return __int128(a.x2) * b.y2 - __int128(a.y2) * b.x2; }
__int128 dot(HalfPoint a, HalfPoint b) { return __int128(a.x2) * b.x2 + __int128(a.y2) * b.y2; }

// A Bézier curve in font units, for the numeric tests.
struct Curve {
    std::array<double, 4> x{}, y{};
    int order = 1;
};

Curve curveOf(const Segment& s)
{
    Curve c;
    c.order = s.order;
    for (int i = 0; i <= s.order; ++i) {
        c.x[std::size_t(i)] = s.p[std::size_t(i)].x();
        c.y[std::size_t(i)] = s.p[std::size_t(i)].y();
    }
    return c;
}

double evaluate(const std::array<double, 4>& v, int order, double t)
{
    std::array<double, 4> w = v;
    for (int level = order; level > 0; --level)
        for (int i = 0; i < level; ++i)
            w[std::size_t(i)] = w[std::size_t(i)] + (w[std::size_t(i) + 1] - w[std::size_t(i)]) * t;
    return w[0];
}

// The derivative's coefficients as a polynomial c0 + c1 t + c2 t^2.
std::array<double, 3> derivative(const std::array<double, 4>& v, int order)
{
    if (order == 1)
        return {v[1] - v[0], 0, 0};
    if (order == 2)
        return {2 * (v[1] - v[0]), 2 * (v[0] - 2 * v[1] + v[2]), 0};
    const double d0 = v[1] - v[0], d1 = v[2] - v[1], d2 = v[3] - v[2];
    return {3 * d0, 6 * (d1 - d0), 3 * (d0 - 2 * d1 + d2)};
}

// The roots of c0 + c1 t + c2 t^2 strictly inside (0, 1).
std::vector<double> rootsInside(const std::array<double, 3>& c)
{
    std::vector<double> roots;
    auto keep = [&](double t) {
        if (t > 0 && t < 1)
            roots.push_back(t);
    };
    if (c[2] == 0) {
        if (c[1] != 0)
            keep(-c[0] / c[1]);
    } else {
        const double disc = c[1] * c[1] - 4 * c[2] * c[0];
        if (disc >= 0) {
            // The numerically stable pair of roots.
            const double q = -0.5 * (c[1] + std::copysign(std::sqrt(disc), c[1]));
            keep(q / c[2]);
            if (q != 0)
                keep(c[0] / q);
        }
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

// The two halves of a curve at t = 1/2.
void split(const Curve& c, Curve& left, Curve& right)
{
    left = right = c;
    for (auto member : {&Curve::x, &Curve::y}) {
        std::array<double, 4> w = c.*member;
        (left.*member)[0] = w[0];
        (right.*member)[std::size_t(c.order)] = w[std::size_t(c.order)];
        for (int level = c.order; level > 0; --level) {
            for (int i = 0; i < level; ++i)
                w[std::size_t(i)] = (w[std::size_t(i)] + w[std::size_t(i) + 1]) / 2;
            (left.*member)[std::size_t(c.order - level + 1)] = w[0];
            (right.*member)[std::size_t(level - 1)] = w[std::size_t(level - 1)];
        }
    }
}

SegmentBox boxOf(const Curve& c)
{
    SegmentBox b{c.x[0], c.y[0], c.x[0], c.y[0]};
    for (int i = 1; i <= c.order; ++i) {
        b.x0 = std::min(b.x0, c.x[std::size_t(i)]);
        b.x1 = std::max(b.x1, c.x[std::size_t(i)]);
        b.y0 = std::min(b.y0, c.y[std::size_t(i)]);
        b.y1 = std::max(b.y1, c.y[std::size_t(i)]);
    }
    return b;
}

double speed(const Curve& c, double t)
{
    const std::array<double, 3> dx = derivative(c.x, c.order), dy = derivative(c.y, c.order);
    const double vx = dx[0] + t * (dx[1] + t * dx[2]), vy = dy[0] + t * (dy[1] + t * dy[2]);
    return std::sqrt(vx * vx + vy * vy);
}

// Five-point Gauss-Legendre over [a, b].
double gauss(const Curve& c, double a, double b)
{
    static constexpr double nodes[5] = {0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640,
                                        0.9061798459386640};
    static constexpr double weights[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
                                          0.2369268850561891, 0.2369268850561891};
    const double mid = (a + b) / 2, halfWidth = (b - a) / 2;
    double sum = 0;
    for (int i = 0; i < 5; ++i)
        sum += weights[i] * speed(c, mid + halfWidth * nodes[i]);
    return sum * halfWidth;
}

double adaptiveLength(const Curve& c, double a, double b, double whole, int depth)
{
    const double mid = (a + b) / 2, left = gauss(c, a, mid), right = gauss(c, mid, b);
    if (depth == 0 || std::abs(left + right - whole) < 1e-5)
        return left + right;
    return adaptiveLength(c, a, mid, left, depth - 1) + adaptiveLength(c, mid, b, right, depth - 1);
}

bool boxesApart(const SegmentBox& a, const SegmentBox& b)
{
    return a.x0 > b.x1 + Tolerance || b.x0 > a.x1 + Tolerance || a.y0 > b.y1 + Tolerance || b.y0 > a.y1 + Tolerance;
}

// A direction's place round the circle, 0 to 4, rising with its angle and
// advancing by exactly 2 for a half turn: arcs compare as angles would,
// without the arc tangent.
double pseudoAngle(double dx, double dy)
{
    const double p = dx / (std::abs(dx) + std::abs(dy)); // -1 .. 1, falling with the angle in each half
    return dy >= 0 ? 1 - p : 3 + p;
}

// The narrowest arc of directions (start, width, in pseudo-angles) holding
// every vector from the apex to a point of c; width >= 2 (a half turn) when
// no half-plane holds them.
std::pair<double, double> directionArc(const Curve& c, double ax, double ay)
{
    double angles[4];
    int n = 0;
    for (int i = 0; i <= c.order; ++i) {
        const double dx = c.x[std::size_t(i)] - ax, dy = c.y[std::size_t(i)] - ay;
        if (dx != 0 || dy != 0)
            angles[n++] = pseudoAngle(dx, dy);
    }
    if (n == 0)
        return {0, 4};
    for (int i = 1; i < n; ++i) // at most four: std::sort's unrolling only makes the compiler warn
        for (int k = i; k > 0 && angles[k - 1] > angles[k]; --k)
            std::swap(angles[k - 1], angles[k]);
    // The arc is the circle without its largest gap between neighbouring directions.
    double gap = angles[0] + 4 - angles[n - 1];
    double start = angles[0];
    for (int i = 1; i < n; ++i)
        if (angles[i] - angles[i - 1] > gap) {
            gap = angles[i] - angles[i - 1];
            start = angles[i];
        }
    return {start, 4 - gap};
}

// The pseudo-angle of a piece's end away from the apex; -1 when it is at the apex.
double farEnd(const Curve& c, double ax, double ay)
{
    const auto n = std::size_t(c.order);
    const bool startAtApex = c.x[0] == ax && c.y[0] == ay;
    const double dx = (startAtApex ? c.x[n] : c.x[0]) - ax, dy = (startAtApex ? c.y[n] : c.y[0]) - ay;
    return dx == 0 && dy == 0 ? -1 : pseudoAngle(dx, dy);
}

// Whether two pieces that both end at the apex can meet nowhere else: their
// control points lie in two cones from it that share only the apex, or only
// an edge that at most one piece runs along and no other piece's far end
// lies on (a piece's points between its ends lie strictly inside its
// control points' hull, so off that edge unless the piece is straight): the
// two sides of a cusp, where the outline turns back along its own tangent.
bool apartBeyondApex(const Curve& a, const Curve& b, double ax, double ay)
{
    const auto [startA, widthA] = directionArc(a, ax, ay);
    const auto [startB, widthB] = directionArc(b, ax, ay);
    if (widthA >= 2 || widthB >= 2)
        return false;
    constexpr double margin = 1e-9;
    const double aToB = startB >= startA ? startB - startA : startB + 4 - startA;
    if (aToB > widthA + margin && 4 - aToB > widthB + margin)
        return true;
    if ((widthA == 0 && widthB == 0) || aToB < widthA || 4 - aToB < widthB)
        return false;
    const double edge = aToB <= widthA + margin ? startB : startA;
    auto offEdge = [&](const Curve& c, double width) { return width == 0 || std::abs(farEnd(c, ax, ay) - edge) > margin; };
    return offEdge(a, widthA) && offEdge(b, widthB);
}

struct Piece {
    Curve c;
    double t0 = 0, t1 = 1;
};

// Depth-first halving of whichever piece is larger until both are within
// the tolerance; pieces that hold a shared joint are apart when their cones
// from it are, and never meet by holding the joint alone.
bool piecesMeet(const Piece& a, const Piece& b, const Joints& j, int& budget)
{
    if (--budget < 0)
        return false;
    const SegmentBox boxA = boxOf(a.c), boxB = boxOf(b.c);
    if (boxesApart(boxA, boxB))
        return false;
    const bool atAEnd = j.aThenB && a.t1 == 1 && b.t0 == 0, atBEnd = j.bThenA && b.t1 == 1 && a.t0 == 0;
    if (atAEnd && !atBEnd && apartBeyondApex(a.c, b.c, a.c.x[std::size_t(a.c.order)], a.c.y[std::size_t(a.c.order)]))
        return false;
    if (atBEnd && !atAEnd && apartBeyondApex(a.c, b.c, a.c.x[0], a.c.y[0]))
        return false;
    const double sizeA = std::max(boxA.x1 - boxA.x0, boxA.y1 - boxA.y0);
    const double sizeB = std::max(boxB.x1 - boxB.x0, boxB.y1 - boxB.y0);
    if (sizeA <= Tolerance && sizeB <= Tolerance)
        return !atAEnd && !atBEnd;
    Piece first, second;
    const bool halveA = sizeA >= sizeB;
    const Piece& whole = halveA ? a : b;
    first = second = whole;
    split(whole.c, first.c, second.c);
    first.t1 = second.t0 = (whole.t0 + whole.t1) / 2;
    if (halveA)
        return piecesMeet(first, b, j, budget) || piecesMeet(second, b, j, budget);
    return piecesMeet(a, first, j, budget) || piecesMeet(a, second, j, budget);
}

int orientation(HalfPoint a, HalfPoint b, HalfPoint c)
{
    const __int128 v = cross(b - a, c - a);
    return (v > 0) - (v < 0);
}

bool within(HalfPoint a, HalfPoint b, HalfPoint p) // p on the line ab: within its extent
{
    return std::min(a.x2, b.x2) <= p.x2 && p.x2 <= std::max(a.x2, b.x2) && std::min(a.y2, b.y2) <= p.y2
        && p.y2 <= std::max(a.y2, b.y2);
}

bool linesMeet(const Segment& a, const Segment& b, Joints j)
{
    const HalfPoint da = a.end() - a.start(), db = b.end() - b.start();
    if (j.aThenB || j.bThenA) // sharing an end, they meet elsewhere only by running back along each other
        return cross(da, db) == 0 && dot(da, db) < 0;
    const int o1 = orientation(a.start(), a.end(), b.start()), o2 = orientation(a.start(), a.end(), b.end());
    const int o3 = orientation(b.start(), b.end(), a.start()), o4 = orientation(b.start(), b.end(), a.end());
    if (o1 * o2 < 0 && o3 * o4 < 0)
        return true;
    return (o1 == 0 && within(a.start(), a.end(), b.start())) || (o2 == 0 && within(a.start(), a.end(), b.end()))
        || (o3 == 0 && within(b.start(), b.end(), a.start())) || (o4 == 0 && within(b.start(), b.end(), a.end()));
}

} // namespace

std::vector<Segment> ContourSegments(std::span<const OutlinePoint> points)
{
    std::vector<Segment> out;
    const std::size_t n = points.size();
    const auto first = std::size_t(std::find_if(points.begin(), points.end(),
                                                [](const OutlinePoint& p) { return p.kind == PointKind::OnCurve; })
                                   - points.begin());
    if (first == n)
        return out;
    auto add = [&](Segment s) {
        for (int i = 1; i <= s.order; ++i)
            if (s.p[std::size_t(i)] != s.p[0]) {
                out.push_back(s);
                return;
            }
    };
    HalfPoint from = half(points[first]);
    std::vector<std::size_t> pending;
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t i = (first + k) % n;
        if (points[i].kind != PointKind::OnCurve) {
            pending.push_back(i);
            continue;
        }
        const HalfPoint to = half(points[i]);
        if (pending.empty()) {
            add({{from, to}, 1, int(i)});
        } else if (pending.size() == 2 && points[pending[0]].kind == PointKind::CubicOff) {
            add({{from, half(points[pending[0]]), half(points[pending[1]]), to}, 3, int(i)});
        } else {
            for (std::size_t q = 0; q + 1 < pending.size(); ++q) {
                const HalfPoint mid = midpoint(points[pending[q]], points[pending[q + 1]]);
                add({{from, half(points[pending[q]]), mid}, 2, int(pending[q])});
                from = mid;
            }
            add({{from, half(points[pending.back()]), to}, 2, int(i)});
        }
        pending.clear();
        from = to;
    }
    return out;
}

__int128 OrientedArea(std::span<const Segment> segments)
{
    // Twice the area under each Bézier, times 30: lines c01; quadratics
    // (2 c01 + 2 c12 + c02) / 3; cubics (6 c01 + 3 c02 + c03 + 3 c12 + 3 c13 + 6 c23) / 10.
    __int128 sum = 0;
    for (const Segment& s : segments) {
        auto c = [&](int i, int j) { return cross(s.p[std::size_t(i)], s.p[std::size_t(j)]); };
        if (s.order == 1)
            sum += 30 * c(0, 1);
        else if (s.order == 2)
            sum += 10 * (2 * c(0, 1) + 2 * c(1, 2) + c(0, 2));
        else
            sum += 3 * (6 * c(0, 1) + 3 * c(0, 2) + c(0, 3) + 3 * c(1, 2) + 3 * c(1, 3) + 6 * c(2, 3));
    }
    return sum;
}

double ArcLength(const Segment& s)
{
    if (s.isLine())
        return ArcLengthEstimate(s);
    const Curve c = curveOf(s);
    return adaptiveLength(c, 0, 1, gauss(c, 0, 1), 12);
}

double ArcLengthEstimate(const Segment& s)
{
    if (s.isLine()) {
        const double dx = s.end().x() - s.start().x(), dy = s.end().y() - s.start().y();
        return std::sqrt(dx * dx + dy * dy);
    }
    return gauss(curveOf(s), 0, 1);
}

double Overshoot(const Segment& s)
{
    if (s.isLine())
        return 0;
    const Curve c = curveOf(s);
    double most = 0;
    for (auto member : {&Curve::x, &Curve::y}) {
        const std::array<double, 4>& v = c.*member;
        const double e0 = v[0], e1 = v[std::size_t(c.order)];
        for (double t : rootsInside(derivative(v, c.order))) {
            const double at = evaluate(v, c.order, t);
            most = std::max({most, at - std::max(e0, e1), std::min(e0, e1) - at});
        }
    }
    return most;
}

HalfPoint StartTangent(const Segment& s)
{
    for (int i = 1; i <= s.order; ++i)
        if (s.p[std::size_t(i)] != s.p[0])
            return s.p[std::size_t(i)] - s.p[0];
    return {};
}

HalfPoint EndTangentReversed(const Segment& s)
{
    for (int i = s.order - 1; i >= 0; --i)
        if (s.p[std::size_t(i)] != s.end())
            return s.p[std::size_t(i)] - s.end();
    return {};
}

bool SegmentsMeet(const Segment& a, const Segment& b, Joints joints)
{
    if (a.isLine() && b.isLine())
        return linesMeet(a, b, joints);
    int budget = MeetBudget;
    return piecesMeet({curveOf(a)}, {curveOf(b)}, joints, budget);
}

bool CubicCrossesItself(const Segment& s)
{
    if (s.order != 3)
        return false;
    // B(t) = a t^3 + b t^2 + c t + d in half units; B(s) = B(t) with s != t
    // gives a (sigma^2 - pi) + b sigma + c = 0 for sigma = s + t, pi = s t.
    const HalfPoint a{-s.p[0].x2 + 3 * s.p[1].x2 - 3 * s.p[2].x2 + s.p[3].x2,
                      -s.p[0].y2 + 3 * s.p[1].y2 - 3 * s.p[2].y2 + s.p[3].y2};
    const HalfPoint b{3 * s.p[0].x2 - 6 * s.p[1].x2 + 3 * s.p[2].x2, 3 * s.p[0].y2 - 6 * s.p[1].y2 + 3 * s.p[2].y2};
    const HalfPoint c{3 * (s.p[1].x2 - s.p[0].x2), 3 * (s.p[1].y2 - s.p[0].y2)};
    const __int128 den = cross(b, a);
    if (den == 0) {
        // No loop; but a cubic on one line may run back over itself.
        const HalfPoint along = s.end() - s.start() == HalfPoint{} ? c : s.end() - s.start();
        for (int i = 1; i < 3; ++i)
            if (cross(along, s.p[std::size_t(i)] - s.start()) != 0)
                return false;
        std::array<double, 4> projected;
        for (int i = 0; i < 4; ++i)
            projected[std::size_t(i)] = double(dot(along, s.p[std::size_t(i)] - s.start()));
        return !rootsInside(derivative(projected, 3)).empty();
    }
    const long double sigma = (long double)(cross(a, c)) / (long double)den;
    const bool useX = (a.x2 < 0 ? -a.x2 : a.x2) >= (a.y2 < 0 ? -a.y2 : a.y2);
    const long double ak = useX ? a.x2 : a.y2, bk = useX ? b.x2 : b.y2, ck = useX ? c.x2 : c.y2;
    const long double pi = sigma * sigma + (bk * sigma + ck) / ak;
    const long double disc = sigma * sigma - 4 * pi;
    if (!(disc > 0))
        return false;
    const long double root = std::sqrt(disc), t0 = (sigma - root) / 2, t1 = (sigma + root) / 2;
    constexpr long double edge = 1e-9L;
    return t0 >= -edge && t1 <= 1 + edge && t1 - t0 > edge && !(t0 <= edge && t1 >= 1 - edge && s.start() == s.end());
}

SegmentBox BoxOf(const Segment& s)
{
    return boxOf(curveOf(s));
}

int RayCrossings(std::span<const Segment> segments, double x, double y)
{
    int crossings = 0;
    for (const Segment& s : segments) {
        const Curve c = curveOf(s);
        const SegmentBox box = boxOf(c);
        if (y < box.y0 || y >= box.y1 || x > box.x1)
            continue;
        // Each piece between turns in y is crossed at most once; its lower end
        // counts, its upper not, so a ray through a joint or a turn counts right.
        const std::vector<double> turns = rootsInside(derivative(c.y, c.order));
        double cuts[4] = {0, 1, 1, 1};
        std::copy(turns.begin(), turns.end(), cuts + 1);
        const std::size_t pieces = turns.size() + 1;
        cuts[pieces] = 1;
        for (std::size_t k = 0; k < pieces; ++k) {
            double lo = cuts[k], hi = cuts[k + 1];
            const double ylo = evaluate(c.y, c.order, lo), yhi = evaluate(c.y, c.order, hi);
            if (!(std::min(ylo, yhi) <= y && y < std::max(ylo, yhi)))
                continue;
            if (x < box.x0) { // the whole curve lies to the right
                ++crossings;
                continue;
            }
            const bool rising = yhi > ylo;
            for (int i = 0; i < 60 && hi - lo > 1e-15; ++i) {
                const double mid = (lo + hi) / 2;
                ((evaluate(c.y, c.order, mid) < y) == rising ? lo : hi) = mid;
            }
            if (evaluate(c.x, c.order, (lo + hi) / 2) > x)
                ++crossings;
        }
    }
    return crossings;
}
