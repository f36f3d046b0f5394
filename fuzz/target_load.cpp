#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "tables/cmap.h"

int fuzz::LoadAndLists(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    // Each list walks all 65 536 codes: one setting per input, from its last byte.
    MakePickLists(font, (data[size - 1] & 1) != 0);
    for (int code = 0; code < 65536; code += 61)
        CharToGlyph(font, code);
    return 0;
}
