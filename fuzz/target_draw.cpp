#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "draw/view.h"

int fuzz::DrawGlyphs(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    // One view per input, from its last byte: the listing is the same in
    // both, and drawing it twice halved the inputs a second.
    view.Metrics = (data[size - 1] & 1) != 0;
    for (int g = 0; g < glyphsToVisit(font); ++g)
        ShowGlyph(g, font, view, surface);
    return 0;
}
