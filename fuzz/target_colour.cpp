#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "colour/colour_glyph.h"
#include "colour/colour_json.h"

namespace {

// The first glyphs (the seeds' colour glyphs among them) and a few the input picks.
constexpr int FirstGlyphs = 8, PickedGlyphs = 4;

} // namespace

int fuzz::ColourGlyphs(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    const ColourTables tables = ReadColourTables(font);
    if (!tables.colr && !tables.cpal && !tables.svg && tables.cblc.empty() && tables.sbix.empty())
        return 0;
    // The strikes chosen for the smallest size, one the input picks and the largest.
    const int ppems[] = {0, tailByte(data, size, 5), LargestStrike};
    PaintSettings settings;
    settings.palette = tailByte(data, size, 4);
    const Location chosen = locationFrom(data, size, int(font.Variations.axes.size()));
    // Each glyph read, printed and painted at the default and at the input's
    // location: the paint graph is a program the font writes.
    for (const Location& at : {Location{}, chosen}) {
        settings.location = at;
        for (int g : glyphsChosen(font, data, size, FirstGlyphs, PickedGlyphs)) {
            const ColourGlyph glyph = DescribeColourGlyph(tables, g, at, ppems[1]);
            if (glyph.paint)
                PaintJson(*glyph.paint, tables, settings);
            PaintBounds bounds;
            PaintColourGlyph(font, tables, glyph, settings, bounds);
            if (glyph.svg)
                SvgJson(*glyph.svg);
            for (const int ppem : ppems)
                for (const ColourFormat format : {ColourFormat::Cbdt, ColourFormat::Sbix})
                    StrikeJson(FindColourStrike(tables, format, g, ppem));
        }
    }
    return 0;
}
