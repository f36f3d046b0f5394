#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "glyph/view.h"

int fuzz::DrawGlyphs(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    IgnoredMessages sink;
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    for (bool metrics : {false, true}) {
        view.Metrics = metrics;
        for (int g = 0; g < glyphsToVisit(font); ++g)
            ShowGlyph(g, font, view, surface, sink);
    }
    return 0;
}
