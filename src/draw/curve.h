#pragma once
#include <array>
#include <cstdint>

#include "sfnt/failure.h"
#include "outline/outline.h"
#include "draw/segment.h"

inline constexpr int MaxRunPoints = 199;

// The points of the run being assembled, font units, at indexes 1..m.
struct CurveRun {
    std::array<std::int32_t, MaxRunPoints + 2> CurveX{};
    std::array<std::int32_t, MaxRunPoints + 2> CurveY{};
    bool cubic = false; // it holds cubic control points: two of them make one cubic segment
};

// Knot vector of one run. SplineBasis reaches Knots(n + 3), one past 2n for
// a run of three points; every entry it can touch is filled.
using KnotVector = std::array<int, 2 * MaxRunPoints + 4>;

// Knot j of the clamped uniform quadratic knot vector for n = CurveDegree:
// 0, 0, 0, 1, 2, ..., n - 2, n - 1, n - 1, n - 1.
float KnotValue(int j, int CurveDegree);

// The B-spline basis value N(i, k, t) over Knots (Cox-de Boor); a term whose
// denominator is 0 is left out.
double SplineBasis(int i, int k, double t, const KnotVector& Knots);

// Draws the run CurveX/CurveY(1..m): its control polygon in light grey, then
// the quadratic B-spline sampled CurveSteps times per arc in black; a cubic
// run of four points is the one cubic segment, sampled as often as a
// quadratic run of four. m <= 1 draws nothing.
void DrawCurve(int m, const CurveRun& run, GlyphDrawing& d);

// Walks the decoded contours into runs from one on-curve point to the next,
// with start marks and listing lines; the first contour is numbered
// firstContourNo (a composite's components number on). Fails with code 13
// when a run grew past 199 points; the drawing is then abandoned.
MaybeFailure WalkContours(const Contours& outline, int firstContourNo, GlyphDrawing& d);
