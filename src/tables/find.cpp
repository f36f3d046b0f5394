#include "tables/find.h"

#include <algorithm>
#include <cstdint>

#include "tables/glyph_names.h"
#include "tables/text.h"

namespace {

constexpr std::size_t MaxHexDigits = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

// "U+00E9" or "u+1d11e": the code; nullopt for anything else.
std::optional<char32_t> codeNotation(std::string_view q)
{
    if (q.size() < 3 || q.size() > 2 + MaxHexDigits || (q[0] != 'U' && q[0] != 'u') || q[1] != '+')
        return std::nullopt;
    char32_t code = 0;
    for (char c : q.substr(2)) {
        const std::optional<int> digit = hexValue(c);
        if (!digit)
            return std::nullopt;
        code = code * 16 + char32_t(*digit);
    }
    return code;
}

// The one Unicode scalar value q encodes in UTF-8 (shortest form, no
// surrogates); nullopt when q is anything else.
std::optional<char32_t> singleScalar(std::string_view q)
{
    if (q.empty())
        return std::nullopt;
    const Utf8Sequence first = Utf8At(q, 0);
    if (first.length == 0 || first.length != q.size())
        return std::nullopt;
    return first.code;
}

// Glyph 0 is the missing-character glyph: a code mapped to it, or to a glyph
// the font does not have, has no glyph.
std::optional<int> glyphOfCode(const FontState& font, const UnicodeMap& map, char32_t code)
{
    const int g = map.glyphFor(code);
    if (g > 0 && g < font.NumGlyphs)
        return g;
    return std::nullopt;
}

} // namespace

std::optional<int> FindGlyph(const FontState& font, const UnicodeMap& map, std::string_view query)
{
    if (!query.empty() && std::all_of(query.begin(), query.end(), isDigit)) {
        // Leading zeros are allowed; any number too long to be a glyph is none.
        const std::string_view digits = query.substr(std::min(query.find_first_not_of('0'), query.size()));
        int n = 0;
        for (char c : digits.substr(0, 6))
            n = n * 10 + (c - '0');
        if (digits.size() <= 6 && n < font.NumGlyphs)
            return n;
        return std::nullopt;
    }
    std::optional<char32_t> code = codeNotation(query);
    if (!code)
        code = singleScalar(query);
    if (code) {
        if (const std::optional<int> g = glyphOfCode(font, map, *code))
            return g;
    }
    return GlyphNamed(font, query);
}
