#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "font/cmap.h"

int fuzz::LoadAndLists(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    for (bool composites : {false, true})
        MakePickLists(font, composites);
    for (int code = 0; code < 65536; code += 61)
        CharToGlyph(font, code);
    return 0;
}
