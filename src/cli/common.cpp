#include "cli/common.h"

#include <charconv>
#include <cstdio>

#include "cli/json.h"

int usageError(const std::string& problem)
{
    std::fprintf(stderr,
                 "lumaro-inspect: %s\n"
                 "usage: lumaro-inspect load FONT\n"
                 "       lumaro-inspect map FONT [CODE ...]\n"
                 "       lumaro-inspect glyph FONT (N ... | --all)\n"
                 "       lumaro-inspect names FONT\n"
                 "       lumaro-inspect find FONT QUERY ...\n"
                 "       lumaro-inspect render FONT N -o OUT [--scale 1..10] [--offset 0..15] [--no-start-marks]\n",
                 problem.c_str());
    return 2;
}

LoadResult openFont(const std::string& path, FontState& font, MessageSink& sink)
{
    font.FontFileName = path;
    const LoadResult result = LoadFont(font, sink);
    if (result == LoadResult::Unreadable)
        std::fprintf(stderr, "lumaro-inspect: cannot read %s\n", path.c_str());
    return result;
}

int printAbandoned(const std::vector<std::string>& messages)
{
    printJson(JsonObject().add("messages", jsonArray(messages)).str(true));
    return 1;
}

void printJson(const std::string& json)
{
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
}

bool parseNumber(const std::string& text, int low, int high, int& value)
{
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, v);
    if (text.empty() || error != std::errc() || stop != end || v < low || v > high)
        return false;
    value = v;
    return true;
}

int firstGlyphShown(const FontState& font)
{
    constexpr std::size_t FirstShown = 4;
    if (font.GlyphList.empty())
        return -1;
    return font.GlyphList.size() > FirstShown ? int(FirstShown) : font.GlyphList.back();
}
