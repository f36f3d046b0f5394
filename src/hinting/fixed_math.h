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
    std::uint64_t product = 0;
    if (uc == 0)
        ;
    else if (!__builtin_mul_overflow(ua, ub, &product) && product < (std::uint64_t(1) << 62))
        r = (product + (rounded ? uc >> 1 : 0)) / uc; // the usual case, without 128-bit division
    else
        r = std::uint64_t(((unsigned __int128)ua * ub + (rounded ? uc >> 1 : 0)) / uc);
    return s < 0 ? neg(std::int64_t(r)) : std::int64_t(r);
}

// a * b / 65536, rounded half away from zero.
inline std::int64_t mulFix(std::int64_t a, std::int64_t b)
{
    std::int64_t p = 0;
    if (!__builtin_mul_overflow(a, b, &p) && p < (std::int64_t(1) << 62) && p > -(std::int64_t(1) << 62))
        return (p + 0x8000 - (p < 0)) >> 16;
    const __int128 ab = (__int128)a * b;
    return std::int64_t((ab + 0x8000 - (ab < 0)) >> 16);
}

// mulFix for 32-bit values, whose product cannot overflow.
inline std::int64_t mulFix32(std::int32_t a, std::int32_t b)
{
    const std::int64_t p = std::int64_t(a) * b;
    return (p + 0x8000 - (p < 0)) >> 16;
}

// a * 65536 / b, rounded on the magnitudes; ±0x7FFFFFFF for b == 0.
inline std::int64_t divFix(std::int64_t a, std::int64_t b)
{
    int s = 1;
    std::uint64_t ua = std::uint64_t(a), ub = std::uint64_t(b);
    if (a < 0) { ua = 0 - ua; s = -s; }
    if (b < 0) { ub = 0 - ub; s = -s; }
    std::uint64_t q = 0x7FFFFFFFu;
    if (ub != 0)
        q = ua < (std::uint64_t(1) << 46) ? ((ua << 16) + (ub >> 1)) / ub
                                          : std::uint64_t((((unsigned __int128)ua << 16) + (ub >> 1)) / ub);
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
