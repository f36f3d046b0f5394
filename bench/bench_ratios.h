#pragma once
// Ratios of two benchmarks' CPU times, printed after the table by the
// reporter in bench_versus.cpp: each benchmark file adds the pairs it wants.
#include <string>
#include <vector>

struct BenchRatio {
    std::string title;       // "Versus DejaVuSans.ttf"
    std::string numerator;   // benchmark names, in the same time unit
    std::string denominator;
    std::string what;        // "Lumaro / FreeType"
};

inline std::vector<BenchRatio>& benchRatios()
{
    static std::vector<BenchRatio> ratios;
    return ratios;
}
