#pragma once
#include <vector>

// A variation location: normalized coordinates -1..1 per fvar axis, in axis
// order. An empty vector is the default location.
struct Location {
    std::vector<double> normalized;
};
