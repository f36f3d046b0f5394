#pragma once
#include <vector>

// A point in a variable font's design space: normalized coordinates -1..1,
// one per fvar axis in axis order. An empty vector is the default location.
struct Location {
    std::vector<double> normalized;
};
