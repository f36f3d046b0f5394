#pragma once
#include <optional>
#include <string>
#include <vector>

#include "sfnt/errors.h"

// What went wrong, as a value: the numbered code (errors.h), the working
// values its message box prints, and for some codes a last line's detail
// (what was being read, why a composite or a charstring cannot be used; the
// tag of a missing table).
// The texts are made from it at the edge (report/), never in the core.
struct Failure {
    int code = 0;
    WorkingValues work;
    std::string detail;
};

// Failures an action reported and went on past, in the order they happened.
using Reports = std::vector<Failure>;

// What a step that completes or is abandoned returns: nothing, or the
// failure that abandoned it.
using MaybeFailure = std::optional<Failure>;
