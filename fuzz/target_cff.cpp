#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "outline/cff.h"
#include "outline/cff_glyph.h"

int fuzz::CffCharStrings(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font) || !font.Cff)
        return 0;
    const CffFont& cff = *font.Cff;
    // A CFF2 location from the input, now and then with one axis more than
    // the store's regions have (fvar's count is what the window passes).
    Location at;
    if (cff.cff2)
        at = locationFrom(data, size, cff.variations.axisCount + (tailByte(data, size, 0) >> 7));
    WorkingValues work;
    ResolvedGlyph resolved;
    const bool components = (tailByte(data, size, 1) & 1) != 0;
    for (int g : glyphsChosen(font, data, size, GlyphsPerInput)) {
        ResolveCffGlyph(font, g, at, work, resolved, components);
        CffGlyphBox(font, g);
        CffGlyphName(cff, g);
    }
    return 0;
}
