#include <memory>

#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "ui/overview/font_glyph_source.h"
#include "ui/overview/overview_drawing.h"

int fuzz::Thumbnails(const std::uint8_t* data, std::size_t size)
{
    auto font = std::make_shared<FontState>();
    if (!loadFont(data, size, *font))
        return 0;
    const FontGlyphSource source(font, "fuzz");
    // Paths for many glyphs; images, the costly part, for a few.
    for (int g = 0; g < glyphsToVisit(*font); ++g) {
        glyphPath(source.shape(g));
        if (g < 16)
            buildThumbnail(source, g, QSize(48, 48), 1.0);
    }
    return 0;
}
