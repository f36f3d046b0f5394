#pragma once
#include <array>
#include <cstdint>
#include <vector>

// The one outline every glyph source fills (glyf, composites, variations,
// CFF and CFF2) and everything that draws, lists, exports or prints reads.

// The values are FreeType's outline tags, and what `outline` prints.
enum class PointKind : std::uint8_t {
    QuadraticOff = 0, // TrueType off-curve point
    OnCurve = 1,
    CubicOff = 2, // CFF control point: two of them between on-curve points
};

// Font units; wide enough for varied and transformed points.
struct OutlinePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    PointKind kind = PointKind::OnCurve;
    friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};

// Contours of one glyph in its own units. ends[c] is the index of the last
// point of contour c (from 0), in increasing order.
struct Contours {
    std::vector<int> ends;
    std::vector<OutlinePoint> points;
};

// The transform xscale, scale01, scale10, yscale, as glyf stores them:
// x' = xscale * x + scale10 * y, y' = scale01 * x + yscale * y.
using ComponentMatrix = std::array<double, 4>;
inline constexpr ComponentMatrix IdentityMatrix{1, 0, 0, 1};
