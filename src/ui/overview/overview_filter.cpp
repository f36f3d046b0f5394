#include "ui/overview/overview_filter.h"

#include <algorithm>
#include <optional>

#include "check/font_diff.h"
#include "check/outline_checks.h"
#include "platform/char_names.h"
#include "ui/overview/glyph_source.h"

namespace {

constexpr long LastGlyph = 0xFFFF;
constexpr long LastCode = 0x10FFFF;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

int digitValue(char c, int base)
{
    const char l = lowerAscii(c);
    const int v = (c >= '0' && c <= '9') ? c - '0' : (l >= 'a' && l <= 'f') ? l - 'a' + 10 : 99;
    return v < base ? v : -1;
}

// A whole number made of digits only, held at `limit`; nothing for anything else.
std::optional<long> number(std::string_view s, int base, long limit)
{
    if (s.empty())
        return std::nullopt;
    long value = 0;
    for (char c : s) {
        const int d = digitValue(c, base);
        if (d < 0)
            return std::nullopt;
        value = std::min(limit, value * base + d); // held below the limit: never overflows
    }
    return value;
}

std::optional<long> code(std::string_view s)
{
    if (s.size() < 2 || lowerAscii(s[0]) != 'u' || s[1] != '+')
        return std::nullopt;
    return number(s.substr(2), 16, LastCode);
}

// "a" or "a-b" where each side is read by `read`.
template <typename Read>
std::optional<GlyphFilter> range(std::string_view s, GlyphFilter::Kind kind, Read read)
{
    const std::size_t dash = s.find('-');
    const auto first = read(trimmed(s.substr(0, dash)));
    const auto last = dash == std::string_view::npos ? first : read(trimmed(s.substr(dash + 1)));
    if (!first || !last)
        return std::nullopt;
    return GlyphFilter{kind, std::min(*first, *last), std::max(*first, *last), {}};
}

// "problems", "problems:<check>", "changed", "changed:<change>" or a change's
// name, ignoring ASCII case; nothing for anything else.
std::optional<GlyphFilter> markFilter(std::string_view s)
{
    std::string lower;
    std::transform(s.begin(), s.end(), std::back_inserter(lower), lowerAscii);
    const std::string_view text = lower;
    if (text == "problems")
        return GlyphFilter{GlyphFilter::Kind::Problems, (1L << CheckCount) - 1, 0, {}};
    if (text.starts_with("problems:"))
        if (const std::optional<Check> check = CheckNamed(trimmed(text.substr(9))))
            return GlyphFilter{GlyphFilter::Kind::Problems, 1L << int(*check), 0, {}};
    long changed = 0; // every change but Identical
    for (int c = 1; c < GlyphChangeCount; ++c)
        changed |= 1L << c;
    if (text == "changed")
        return GlyphFilter{GlyphFilter::Kind::Changed, changed, 0, {}};
    const std::string_view name = text.starts_with("changed:") ? trimmed(text.substr(8)) : text;
    for (int c = 0; c < GlyphChangeCount; ++c)
        if (name == GlyphChangeName(GlyphChange(c)))
            return GlyphFilter{GlyphFilter::Kind::Changed, 1L << c, 0, {}};
    return std::nullopt;
}

} // namespace

std::uint16_t GlyphMarks::problemsOf(int glyph) const
{
    return glyph >= 0 && std::size_t(glyph) < problems.size() ? problems[std::size_t(glyph)] : 0;
}

int GlyphMarks::changeOf(int glyph) const
{
    return glyph >= 0 && std::size_t(glyph) < changes.size() ? changes[std::size_t(glyph)] : -1;
}

GlyphFilter parseGlyphFilter(std::string_view text)
{
    const std::string_view s = trimmed(text);
    if (s.empty())
        return {};
    if (auto glyphs = range(s, GlyphFilter::Kind::GlyphRange, [](std::string_view t) { return number(t, 10, LastGlyph); }))
        return *glyphs;
    if (auto codes = range(s, GlyphFilter::Kind::CodeRange, code))
        return *codes;
    if (auto marked = markFilter(s))
        return *marked;
    GlyphFilter f;
    if (const std::optional<int> block = BlockNamed(s)) {
        f.kind = GlyphFilter::Kind::Block;
        f.first = f.last = *block;
        return f;
    }
    f.kind = GlyphFilter::Kind::Name;
    std::transform(s.begin(), s.end(), std::back_inserter(f.name), lowerAscii);
    return f;
}

bool glyphMatches(const GlyphFilter& filter, const GlyphSource& source, int glyph, const GlyphMarks* marks)
{
    switch (filter.kind) {
    case GlyphFilter::Kind::All:
        return true;
    case GlyphFilter::Kind::GlyphRange:
        return glyph >= filter.first && glyph <= filter.last;
    case GlyphFilter::Kind::CodeRange: {
        const auto codes = source.codes(glyph);
        return std::any_of(codes.begin(), codes.end(), [&](char32_t c) { return c >= char32_t(filter.first) && c <= char32_t(filter.last); });
    }
    case GlyphFilter::Kind::Block: {
        const auto codes = source.codes(glyph);
        return std::any_of(codes.begin(), codes.end(), [&](char32_t c) { return InBlock(c, int(filter.first)); });
    }
    case GlyphFilter::Kind::Name: {
        std::string name = source.name(glyph);
        std::transform(name.begin(), name.end(), name.begin(), lowerAscii);
        return name.find(filter.name) != std::string::npos;
    }
    case GlyphFilter::Kind::Problems:
        return marks && (marks->problemsOf(glyph) & filter.first) != 0;
    case GlyphFilter::Kind::Changed: {
        const int change = marks ? marks->changeOf(glyph) : -1;
        return change >= 0 && ((filter.first >> change) & 1) != 0;
    }
    }
    return false;
}

bool readsEveryGlyph(const GlyphFilter& filter)
{
    return filter.kind != GlyphFilter::Kind::All && filter.kind != GlyphFilter::Kind::GlyphRange &&
           filter.kind != GlyphFilter::Kind::Problems && filter.kind != GlyphFilter::Kind::Changed;
}

std::vector<int> matchingGlyphs(const GlyphFilter& filter, const GlyphSource& source, const std::atomic<bool>* cancelled,
                                const GlyphMarks* marks)
{
    std::vector<int> matches;
    const int total = source.glyphCount();
    for (int g = 0; g < total; ++g) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            break;
        if (glyphMatches(filter, source, g, marks))
            matches.push_back(g);
    }
    return matches;
}
