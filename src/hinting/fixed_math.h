#pragma once
#include <cstdint>

// FreeType's arithmetic on its 64-bit longs, to the last rounding: the
// hinted points are compared with FreeType's exactly. Sums wrap instead of
// overflowing, as FreeType's ADD_LONG does.
namespace hintmath {

inline std::int64_t add(std::int64_t a, std::int64_t b) { return std::int64_t(std::uint64_t(a) + std::uint64_t(b)); }
inline std::int64_t sub(std::int64_t a, std::int64_t b) { return std::int64_t(std::uint64_t(a) - std::uint64_t(b)); }
inline std::int64_t neg(std::int64_t a) { return std::int64_t(0 - std::uint64_t(a)); }
inline std::int64_t abs(std::int64_t a) { return a < 0 ? neg(a) : a; }

// round(a * b / c) on the magnitudes; 0x7FFFFFFF for c == 0.
inline std::int64_t mulDiv(std::int64_t a, std::int64_t b, std::int64_t c, bool rounded = true)
{
    int s = 1;
    std::uint64_t ua = std::uint64_t(a), ub = std::uint64_t(b), uc = std::uint64_t(c);
    if (a < 0) { ua = 0 - ua; s = -s; }
    if (b < 0) { ub = 0 - ub; s = -s; }
    if (c < 0) { uc = 0 - uc; s = -s; }
    std::uint64_t r = 0x7FFFFFFFu;
    if (uc > 0)
        r = std::uint64_t(((unsigned __int128)ua * ub + (rounded ? uc >> 1 : 0)) / uc);
    return s < 0 ? neg(std::int64_t(r)) : std::int64_t(r);
}

// a * b / 65536, rounded half away from zero.
inline std::int64_t mulFix(std::int64_t a, std::int64_t b)
{
    const __int128 ab = (__int128)a * b;
    return std::int64_t((ab + 0x8000 - (ab < 0)) >> 16);
}

// a * 65536 / b, rounded on the magnitudes; ±0x7FFFFFFF for b == 0.
inline std::int64_t divFix(std::int64_t a, std::int64_t b)
{
    int s = 1;
    std::uint64_t ua = std::uint64_t(a), ub = std::uint64_t(b);
    if (a < 0) { ua = 0 - ua; s = -s; }
    if (b < 0) { ub = 0 - ub; s = -s; }
    const std::uint64_t q = ub == 0 ? 0x7FFFFFFFu : std::uint64_t((((unsigned __int128)ua << 16) + (ub >> 1)) / ub);
    return s < 0 ? neg(std::int64_t(q)) : std::int64_t(q);
}

// a * b / 16384 for an F2Dot14 b, rounded half away from zero.
inline std::int64_t mulFix14(std::int64_t a, std::int64_t b)
{
    __int128 ab = (__int128)a * b;
    ab += 0x2000 + (ab < 0 ? -1 : 0);
    return std::int64_t(ab >> 14);
}

inline std::int64_t dotFix14(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by)
{
    __int128 t = (__int128)ax * bx + (__int128)ay * by;
    t += 0x2000 + (t < 0 ? -1 : 0);
    return std::int64_t(t >> 14);
}

inline std::int64_t pixRound(std::int64_t x) { return std::int64_t(std::uint64_t(x) + 32) & -64; }
inline std::int64_t pixFloor(std::int64_t x) { return x & -64; }
inline std::int64_t pixCeil(std::int64_t x) { return std::int64_t(std::uint64_t(x) + 63) & -64; }

} // namespace hintmath
