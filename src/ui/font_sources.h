#pragma once
#include <functional>
#include <vector>

#include <QString>

#include "sfnt/fixed.h"
#include "tables/font_state.h"

class QMenu;

// What may be set beside the open font, as the text view's rows and File >
// "Compare With..." offer it: another font file, another face of the open
// collection, or the open font at another location.
struct FontSourceChoices {
    std::function<void()> file;
    std::function<void(int face)> face;
    std::function<void()> location;
};

// Fills `menu` afresh: "Font File...", for a collection a "Face" menu of
// every face by its name, and "Location..." (disabled for a font without
// axes). With no font, "Font File..." alone.
void FillFontSourceMenu(QMenu* menu, const FontState* font, int faceCount, const FontSourceChoices& choices);

// "Inter Light · wght 300 opsz 14", "Noto Sans CJK JP · face 3 of 10": the
// font's full name (else its file's), its face in a collection and its
// visible axes' user values (`user` empty: none given).
QString FontSourceLabel(const FontState& font, int faceCount, const std::vector<Fixed>& user);
