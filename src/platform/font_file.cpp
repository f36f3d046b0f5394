#include "platform/font_file.h"

#include <filesystem>
#include <fstream>

std::optional<std::vector<std::uint8_t>> ReadFontFile(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > 0xFFFFFFFFu)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    if (in.gcount() != std::streamsize(size))
        return std::nullopt;
    return bytes;
}

OpenedFont OpenFontPath(const std::string& path, bool composites, MessageSink& sink)
{
    std::optional<std::vector<std::uint8_t>> bytes = ReadFontFile(path);
    if (!bytes) {
        OpenedFont unreadable;
        unreadable.result = LoadResult::Unreadable;
        unreadable.font.FontFileName = path;
        return unreadable;
    }
    return OpenFontBytes(path, std::move(*bytes), composites, sink);
}
