#pragma once
#include <cstdint>

#include "sfnt/failure.h"

// The working values of one glyph's decoding and drawing. They travel with
// the call (the font itself is never written).
struct WorkingValues {
    int GlyphIndex = 0;
    int NumberOfContours = 0;
    float GlyphXMin = 0, GlyphYMin = 0, GlyphXMax = 0, GlyphYMax = 0; // the box being drawn
    std::int32_t PointCount = 0;
    float CurvePoint = 0;
    float OriginX = 0, OriginY = 0;
    float CurveSteps = 5;

    // A failure raised while decoding or drawing prints these values:
    // `Failure{code, work, detail}` takes them.
    operator ErrorContext() const { return {GlyphIndex, NumberOfContours, PointCount, CurvePoint}; }
};
