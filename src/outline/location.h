#pragma once
#include <vector>

// A point in a variable font's design space: normalized coordinates (-1..1)
// per fvar axis, in axis order. Empty: the default location.
struct Location {
    std::vector<double> normalized;
};
