#include "platform/char_names.h"

#include <algorithm>

#include <unicode/uchar.h>

#include "tables/find.h"

namespace {

constexpr char32_t LastCode = 0x10FFFF;

} // namespace

std::string CharacterName(char32_t code)
{
    if (code > LastCode)
        return {};
    char name[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_charName(UChar32(code), U_UNICODE_CHAR_NAME, name, sizeof name, &status);
    if (U_FAILURE(status) || length <= 0)
        return {};
    return std::string(name, std::size_t(length));
}

std::optional<char32_t> CharacterNamed(std::string_view name)
{
    // u_charFromName takes a NUL-terminated name and compares it uppercased;
    // a NUL inside the query would cut it short.
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string text(name);
    UErrorCode status = U_ZERO_ERROR;
    const UChar32 code = u_charFromName(U_UNICODE_CHAR_NAME, text.c_str(), &status);
    if (U_FAILURE(status) || code < 0)
        return std::nullopt;
    return char32_t(code);
}

std::string BlockName(char32_t code)
{
    if (code > LastCode)
        return {};
    const UBlockCode block = ublock_getCode(UChar32(code));
    if (block == UBLOCK_NO_BLOCK)
        return {};
    const char* name = u_getPropertyValueName(UCHAR_BLOCK, block, U_LONG_PROPERTY_NAME);
    if (!name)
        return {};
    std::string text = name;
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

std::optional<int> BlockNamed(std::string_view name)
{
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string text(name);
    const int32_t block = u_getPropertyValueEnum(UCHAR_BLOCK, text.c_str());
    if (block == UCHAR_INVALID_CODE || block == UBLOCK_NO_BLOCK)
        return std::nullopt;
    return int(block);
}

bool InBlock(char32_t code, int block)
{
    return code <= LastCode && ublock_getCode(UChar32(code)) == block;
}

std::optional<int> FindGlyphOrCharacter(const FontState& font, const UnicodeMap& map, std::string_view query)
{
    if (const std::optional<int> glyph = FindGlyph(font, map, query))
        return glyph;
    const std::optional<char32_t> code = CharacterNamed(query);
    if (!code)
        return std::nullopt;
    // Glyph 0 is the missing-character glyph, never a match.
    const int glyph = map.glyphFor(*code);
    if (glyph > 0 && glyph < font.NumGlyphs)
        return glyph;
    return std::nullopt;
}
