#include "tables/open_font.h"

#include <algorithm>

OpenedFont OpenFontBytes(std::string fileName, std::vector<std::uint8_t> bytes, bool composites, MessageSink& sink,
                         std::uint32_t faceOffset)
{
    constexpr int FirstShown = 4;
    OpenedFont opened;
    opened.font.FontFileName = std::move(fileName);
    opened.result = LoadFont(std::move(bytes), opened.font, sink, faceOffset);
    if (opened.result != LoadResult::Loaded)
        return opened;
    opened.lists = MakePickLists(opened.font, composites);
    const int count = int(opened.lists.GlyphList.size());
    if (count == 0)
        return opened;
    opened.firstEntry = std::min(FirstShown, count - 1);
    // The fifth entry shows glyph 4, whichever glyph the entry names.
    opened.firstGlyph = opened.firstEntry == FirstShown ? FirstShown : opened.lists.GlyphList[std::size_t(opened.firstEntry)];
    return opened;
}
