#include "draw/curve.h"

#include <algorithm>

#include "draw/listing.h"
#include "outline/outline_walk.h"

float KnotValue(int j, int CurveDegree)
{
    if (j < 3)
        return 0;
    if (j <= CurveDegree)
        return float(j - 2);
    return float(CurveDegree - 1);
}

double SplineBasis(int i, int k, double t, const KnotVector& Knots)
{
    if (k == 1)
        return (Knots[i] <= t && t < Knots[i + 1]) ? 1.0 : 0.0;
    double sum = 0;
    const int leftSpan = Knots[i + k - 1] - Knots[i];
    if (leftSpan != 0)
        sum = (t - Knots[i]) * SplineBasis(i, k - 1, t, Knots) / leftSpan;
    const int rightSpan = Knots[i + k] - Knots[i + 1];
    if (rightSpan != 0)
        sum = sum + (Knots[i + k] - t) * SplineBasis(i + 1, k - 1, t, Knots) / rightSpan;
    return sum;
}

namespace {

void DrawCubic(const CurveRun& run, GlyphDrawing& d)
{
    // As many steps as a quadratic run of these four points takes, spread
    // over the one cubic segment they make.
    const float CurveSteps = d.work.CurveSteps;
    const float lastStep = 2.0f * CurveSteps - 1.0f;
    const auto& X = run.CurveX;
    const auto& Y = run.CurveY;
    int previousX = X[1], previousY = Y[1];
    for (int s = 0; float(s) <= lastStep; ++s) {
        const double u = double(s) / double(CurveSteps) / 2.0, v = 1.0 - u;
        const double b0 = v * v * v, b1 = 3 * v * v * u, b2 = 3 * v * u * u, b3 = u * u * u;
        const int sampleX = RoundHalfEven(b0 * X[1] + b1 * X[2] + b2 * X[3] + b3 * X[4]);
        const int sampleY = RoundHalfEven(b0 * Y[1] + b1 * Y[2] + b2 * Y[3] + b3 * Y[4]);
        if (s != 0)
            DrawSegment(previousX, previousY, sampleX, sampleY, Black, d);
        previousX = sampleX;
        previousY = sampleY;
    }
    DrawSegment(previousX, previousY, X[4], Y[4], Black, d);
}

} // namespace

void DrawCurve(int m, const CurveRun& run, GlyphDrawing& d)
{
    const int n = m - 1;
    if (n <= 0)
        return;
    const auto& CurveX = run.CurveX;
    const auto& CurveY = run.CurveY;

    for (int i = 1; i <= n; ++i)
        DrawSegment(CurveX[i], CurveY[i], CurveX[i + 1], CurveY[i + 1], LightGrey, d);
    if (n == 1) {
        DrawSegment(CurveX[1], CurveY[1], CurveX[2], CurveY[2], Black, d);
        return;
    }
    if (run.cubic && n == 3)
        return DrawCubic(run, d);

    KnotVector Knots;
    for (int j = 0; j <= n + 3 || j <= 2 * n; ++j)
        Knots[j] = int(KnotValue(j, n));

    const float CurveSteps = d.work.CurveSteps;
    const float lastStep = float(n - 1) * CurveSteps - 1.0f;
    int previousX = CurveX[1], previousY = CurveY[1];
    for (int s = 0; float(s) <= lastStep; ++s) {
        const double t = double(s) / double(CurveSteps);
        double x = 0, y = 0;
        // Basis j is 0 unless Knots[j] <= t < Knots[j + 3], which with these
        // knots holds for j from floor(t) to floor(t) + 2 only: a point of a
        // long run costs three terms, not the whole run.
        const int first = std::max(0, int(t) - 1), last = std::min(n, int(t) + 3);
        for (int j = first; j <= last; ++j) {
            if (t < Knots[j] || t >= Knots[j + 3])
                continue;
            const double basis = SplineBasis(j, 3, t, Knots);
            x = x + CurveX[j + 1] * basis;
            y = y + CurveY[j + 1] * basis;
        }
        const int sampleX = RoundHalfEven(x), sampleY = RoundHalfEven(y);
        if (s != 0)
            DrawSegment(previousX, previousY, sampleX, sampleY, Black, d);
        previousX = sampleX;
        previousY = sampleY;
    }
    DrawSegment(previousX, previousY, CurveX[n + 1], CurveY[n + 1], Black, d);
}

namespace {

// Adds point k of the contour to the run; an on-curve point ends the run
// there and starts the next one from it.
void addToRun(const OutlinePoint& point, CurveRun& run, GlyphDrawing& d)
{
    const int p = int(d.work.CurvePoint);
    run.CurveX[p] = point.x;
    run.CurveY[p] = point.y;
    switch (point.kind) {
    case PointKind::OnCurve:
        DrawCurve(p, run, d);
        run.CurveX[1] = run.CurveX[p];
        run.CurveY[1] = run.CurveY[p];
        run.cubic = false;
        d.work.CurvePoint = 1;
        break;
    case PointKind::QuadraticOff:
        break;
    case PointKind::CubicOff:
        // Two control points between on-curve ones: the on-curve point that
        // ends the run draws them as one cubic segment.
        run.cubic = true;
        break;
    }
    d.work.CurvePoint = d.work.CurvePoint + 1;
}

} // namespace

MaybeFailure WalkContours(const Contours& outline, int firstContourNo, GlyphDrawing& d)
{
    WorkingValues& font = d.work;
    const int YMax = int(font.GlyphYMax);
    CurveRun run;
    MaybeFailure failure;
    ForEachContour(outline, [&](std::size_t c, int ContourStart, int ContourStop) {
        if (failure)
            return;
        const int ContourNo = firstContourNo + int(c);
        font.CurvePoint = 1;
        run.cubic = false;
        const OutlinePoint first = outline.points[std::size_t(ContourStart)];
        if (d.view.ShowStartPoints == 1)
            DrawStartMark(first, ContourNo, d);
        ListContour(d.OutlineText, ContourNo, first.x + (long long)font.OriginX, YMax - (long long)first.y,
                    c == 0 && firstContourNo > 1);

        for (int i = ContourStart; i <= ContourStop; ++i) {
            const int k = i == ContourStop ? ContourStart : i; // the closing step takes the first point again
            addToRun(outline.points[std::size_t(k)], run, d);
            if (font.CurvePoint >= MaxRunPoints + 1) {
                failure = Failure{RunTooLong, font, {}};
                return;
            }
        }
        DrawCurve(int(font.CurvePoint) - 1, run, d);
    });
    return failure;
}
