#pragma once
#include <functional>
#include <vector>

#include "ui/overview/glyph_source.h"

class QIODevice;

inline constexpr int SheetColumns = 8;
inline constexpr int SheetRows = 10;

// Writes a glyph sheet as PDF: A4 pages of SheetColumns x SheetRows cells,
// each glyph filled at one scale with its number and character below, the
// font's name and "Page n of m" at the top of each page. `progress` is told
// how many glyphs are done after each page and may return false to stop;
// the result is then false and the device holds an unfinished file.
bool writeGlyphSheet(QIODevice& device, const GlyphSource& source, const std::vector<int>& glyphs,
                     const std::function<bool(int done)>& progress = {});
