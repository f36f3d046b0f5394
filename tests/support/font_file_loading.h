#pragma once
// Loading font files in tests, as the window does: the bytes read at the platform edge.
#include <string>

#include "tables/loader.h"
#include "platform/font_file.h"

inline LoadResult loadFontPath(FontState& font, MessageSink& sink, const std::string& path)
{
    auto bytes = ReadFontFile(path);
    if (!bytes)
        return LoadResult::Unreadable;
    font.FontFileName = path;
    return LoadFont(std::move(*bytes), font, sink);
}
