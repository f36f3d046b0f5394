#pragma once
#include <cmath>
#include <cstdint>

// 16.16 fixed-point arithmetic as the reference rasterizers do it: products
// and quotients rounded half away from zero on the magnitudes.
using Fixed = std::int32_t;

inline constexpr Fixed FixedOne = 0x10000;

inline constexpr std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// round(a * b / 65536)
inline constexpr Fixed MulFix(std::int64_t a, std::int64_t b)
{
    const std::int64_t c = (Magnitude(a) * Magnitude(b) + 0x8000) >> 16;
    return Fixed((a < 0) != (b < 0) ? -c : c);
}

// round(a * b / c); 0x7FFFFFFF when c is 0
inline constexpr Fixed MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return 0x7FFFFFFF;
    const std::int64_t q = (Magnitude(a) * Magnitude(b) + Magnitude(c) / 2) / Magnitude(c);
    return Fixed(((a < 0) != (b < 0)) != (c < 0) ? -q : q);
}

// round(a * 65536 / b); 0x7FFFFFFF when b is 0
inline constexpr Fixed DivFix(std::int64_t a, std::int64_t b)
{
    return MulDiv(a, FixedOne, b);
}

// A summed delta to whole units, half upwards.
inline constexpr std::int32_t FixedToInt(std::int64_t v)
{
    return std::int32_t((v + 0x8000) >> 16);
}

// A normalized coordinate, which is held as an exact 16.16 value in a double.
// Rounded half away from zero as lround does, without its library call for
// every value a Fixed can hold: this runs for every tuple of every glyph.
inline Fixed ToFixed(double v)
{
    const double x = v * FixedOne;
    if (!(std::fabs(x) < 0x1p31))
        return Fixed(std::lround(x));
    const auto whole = std::int64_t(x); // towards zero
    const double rest = x - double(whole); // exact: x has no bits below 2^-21
    return Fixed(whole + (rest >= 0.5) - (rest <= -0.5));
}
