#pragma once
#include "outline/composite.h"
#include "tables/font_state.h"

// Opens the font's CFF or CFF2 table into font.Cff and takes each glyph's
// kind from its charstring (an accented glyph is a composite). false: the
// table cannot be opened (code 15 shown, naming what was read).
bool OpenCffOutlines(FontState& font, MessageSink& sink);

// Glyph g of a CFF font in the outline parts the drawing reads: one part
// whose off-curve points are cubic, or an accented glyph's base and accent
// as two components. A charstring that cannot be run shows code 18 and
// gives Abandoned.
void ResolveCffGlyph(const FontState& font, int g, WorkingValues& work, MessageSink& sink, ResolvedGlyph& out,
                     bool components);

// The box of glyph g's points, control points included; 0, 0, 0, 0 for a
// glyph without points or one that cannot be decoded.
BBox CffGlyphBox(const FontState& font, int g);
