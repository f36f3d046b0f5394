#pragma once
#include <array>
#include <string>

#include "draw/surface.h"

// The outline listing shown in the "Lines:" box. Lines end in CR LF.

// A number right-aligned in five columns; a longer one is written whole.
std::string FiveColumns(long long value);

// Replaces the text with "Number of Contours:" and the count, then an empty line.
void ListHeader(std::string& OutlineText, int numberOfContours);

// "Contour:" c and "Position:" x, depth below the box top; an empty line
// before every contour but the first, and none right after a component line.
void ListContour(std::string& OutlineText, int contourNo, long long x, long long depth, bool afterComponent = false);

// "Component:" and the glyph a composite places next, its offset, and its
// matrix (xscale, scale01, scale10, yscale) when that is not the identity; an
// empty line before every component but the first.
void ListComponent(std::string& OutlineText, bool first, int glyph, int dx, int dy, const std::array<double, 4>& matrix);

// One drawn segment: dx and -dy in five columns each; "   C" marks a
// control-polygon segment (any colour but black).
void ListSegment(std::string& OutlineText, long long dx, long long dyDown, Rgb colour);
