#pragma once
// Loading font files in tests, as the window does: the bytes read at the platform edge.
#include <string>

#include "tables/loader.h"
#include "platform/font_container.h"
#include "platform/font_file.h"

inline LoadResult loadFontPath(FontState& font, MessageSink& sink, const std::string& path)
{
    auto bytes = ReadFontFile(path);
    if (!bytes)
        return LoadResult::Unreadable;
    font.FontFileName = path;
    return LoadFont(std::move(*bytes), font, sink);
}

// Face `face` of a font file in any container, decoded as File > Open does;
// Unreadable also when the container cannot be decoded or has no such face.
inline LoadResult loadFontFace(FontState& font, MessageSink& sink, const std::string& path, int face)
{
    auto bytes = ReadFontFile(path);
    if (!bytes)
        return LoadResult::Unreadable;
    auto decoded = DecodeFontFile(std::move(*bytes));
    DecodedFont* file = std::get_if<DecodedFont>(&decoded);
    if (!file || face < 0 || std::size_t(face) >= file->faceOffsets.size())
        return LoadResult::Unreadable;
    font.FontFileName = path;
    return LoadFont(std::move(file->bytes), font, sink, file->faceOffsets[std::size_t(face)]);
}
