#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "tables/find.h"
#include "tables/glyph_names.h"
#include "outline/composite.h"

int fuzz::OutlineAndFind(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    ResolvedGlyph glyph;
    std::string lastName;
    for (int g = 0; g < glyphsToVisit(font); ++g) {
        WorkingValues work;
        work.GlyphIndex = g;
        ResolveGlyph(font, g, Location{}, work, glyph);
        // Each call walks every mapped code: a few glyphs reach all its paths.
        if (g < 4)
            font.Unicode.codesFor(g);
        lastName = GlyphName(font, g);
    }
    for (char32_t code = 0; code <= 0x10FFFF; code += 4099)
        font.Unicode.glyphFor(code);
    for (const std::string& query : {std::string("3"), std::string("U+1F600"), std::string("\u00E9"),
                                    std::string("eacute"), std::string("65535"), lastName})
        FindGlyph(font, font.Unicode, query);
    return 0;
}
