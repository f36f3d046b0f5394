#include "platform/font_file.h"

#include "platform/font_container.h"

#include <filesystem>
#include <cstdio>
#include <memory>

std::optional<std::vector<std::uint8_t>> ReadFontFile(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > 0xFFFFFFFFu)
        return std::nullopt;
    // One read straight into the buffer: a stream would copy through its own.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (size > 0 && std::fread(bytes.data(), 1, size, in.get()) != size)
        return std::nullopt;
    return bytes;
}

OpenedFont OpenFontPath(const std::string& path, bool composites, int face)
{
    OpenedFont refused;
    refused.font.FontFileName = path;
    std::optional<std::vector<std::uint8_t>> bytes = ReadFontFile(path);
    if (!bytes) {
        refused.result = LoadResult::Unreadable;
        return refused;
    }
    refused.kind = RecogniseFile(*bytes);
    auto decoded = DecodeWebFont(refused.kind, std::move(*bytes));
    if (Failure* bad = std::get_if<Failure>(&decoded)) {
        refused.result = LoadResult::Refused;
        refused.refusal = std::move(*bad);
        return refused;
    }
    DecodedFont& font = std::get<DecodedFont>(decoded);
    OpenedFont opened = OpenFontBytes(path, font.kind, std::move(font.bytes), composites, face);
    opened.kind = refused.kind;
    return opened;
}
