#pragma once
// Loading font files in tests, as the window does: the bytes read at the platform edge.
#include <string>

#include "tables/loader.h"
#include "platform/font_file.h"
#include "support/recording_sink.h"

inline LoadResult loadFontPath(FontState& font, RecordingSink& sink, const std::string& path)
{
    auto bytes = ReadFontFile(path);
    if (!bytes)
        return LoadResult::Unreadable;
    font.FontFileName = path;
    return LoadFont(std::move(*bytes), font, sink);
}

// The same, the failure of an abandoned load set aside.
inline LoadResult loadFontPath(FontState& font, const std::string& path)
{
    RecordingSink ignored;
    return loadFontPath(font, ignored, path);
}

// Face `face` of a font file in any container, opened as File > Open does;
// Unreadable also when the container cannot be decoded or has no such face.
inline LoadResult loadFontFace(FontState& font, RecordingSink& sink, const std::string& path, int face)
{
    OpenedFont opened = OpenFontPath(path, false, face);
    sink.take(opened.reports);
    font = std::move(opened.font);
    return opened.result == LoadResult::Refused ? LoadResult::Unreadable : opened.result;
}
