#pragma once
#include <string>
#include <vector>

#include "outline/composite.h"

// One glyph as `lumaro-inspect outline` prints it: its number, kind, the
// points of every contour in font units ([x, y, kind]), the components
// and the message texts its decoding showed.
std::string OutlineDocument(int glyph, const ResolvedGlyph& resolved, const std::vector<std::string>& messages);
