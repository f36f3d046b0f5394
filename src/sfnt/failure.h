#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sfnt/errors.h"

// What the error box prints of the work under way: the glyph, its contour
// and point counts and the curve point being assembled; all 0 for a failure
// raised while loading. (NoSuchFace keeps the face count in GlyphIndex.)
struct ErrorContext {
    int GlyphIndex = 0;
    int NumberOfContours = 0;
    std::int32_t PointCount = 0;
    float CurvePoint = 0;
};

// What went wrong, as a value: the numbered code (errors.h), the context its
// message box prints, and for some codes a last line's detail (what was
// being read, why a composite or a charstring cannot be used; the tag of a
// missing table).
// The texts are made from it at the edge (report/), never in the core.
struct Failure {
    int code = 0;
    ErrorContext context;
    std::string detail;
};

// Failures an action reported and went on past, in the order they happened.
using Reports = std::vector<Failure>;

// What a step that completes or is abandoned returns: nothing, or the
// failure that abandoned it.
using MaybeFailure = std::optional<Failure>;
