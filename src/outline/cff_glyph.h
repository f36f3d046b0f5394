#pragma once
#include "outline/composite.h"
#include "tables/font_state.h"

// Opens the font's CFF or CFF2 table into font.Cff and takes each glyph's
// kind from its charstring (an accented glyph is a composite). A table that
// cannot be opened gives code 15, naming what was read.
MaybeFailure OpenCffOutlines(FontState& font);

// Glyph g of a CFF font at `location` in the outline parts the drawing
// reads: one part of on-curve and cubic control points, or an accented
// glyph's base and accent as two components. A charstring that cannot be run
// gives Abandoned with its code 18 failure.
void ResolveCffGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                     ResolvedGlyph& out, bool components);

// The box of glyph g's points, control points included; 0, 0, 0, 0 for a
// glyph without points or one that cannot be decoded.
BBox CffGlyphBox(const FontState& font, int g);
