#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "tables/names.h"

int fuzz::NamingTable(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    NameTable table;
    if (ReadNameTable(font, table))
        return 0;
    // Texts one at a time, as the Info dialog asks for them.
    for (std::size_t k = 0; k < table.Records.size() && k < 64; ++k)
        NameText(font, table, k);
    return 0;
}
