#include "tables/open_font.h"

#include <algorithm>

OpenedFont OpenFontBytes(std::string fileName, std::vector<std::uint8_t> bytes, bool composites,
                         std::uint32_t faceOffset)
{
    constexpr int FirstShown = 4;
    OpenedFont opened;
    opened.font.FontFileName = std::move(fileName);
    if (MaybeFailure failure = LoadFont(std::move(bytes), opened.font, faceOffset)) {
        opened.reports.push_back(std::move(*failure));
        return opened;
    }
    opened.result = LoadResult::Loaded;
    opened.lists = MakePickLists(opened.font, composites);
    const int count = int(opened.lists.GlyphList.size());
    if (count == 0)
        return opened;
    opened.firstEntry = std::min(FirstShown, count - 1);
    // The fifth entry shows glyph 4, whichever glyph the entry names.
    opened.firstGlyph = opened.firstEntry == FirstShown ? FirstShown : opened.lists.GlyphList[std::size_t(opened.firstEntry)];
    return opened;
}
