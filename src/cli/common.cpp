#include "cli/common.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "report/json.h"
#include "platform/font_file.h"
#include "report/messages.h"
#include "report/container_text.h"

namespace {

int faceToOpen = 0;

} // namespace

void printUsage(std::FILE* to)
{
    std::fputs("usage: lumaro-inspect load FONT [--composites]\n"
               "       lumaro-inspect map FONT [CODE ...]\n"
               "       lumaro-inspect glyph FONT (N ... | --all) [--composites]\n"
               "       lumaro-inspect outline FONT (N ... | --all)\n"
               "       lumaro-inspect names FONT\n"
               "       lumaro-inspect find FONT QUERY ...\n"
               "       lumaro-inspect render FONT (N | --all) -o OUT [--format jpeg|png|svg]\n"
               "                             [--composites] [--scale 1..10] [--offset 0..15] [--no-start-marks]\n"
               "                             [--size 16..4096]\n"
               "       lumaro-inspect pixels FONT N --ppem 6..200 [--hinting native|auto|none] [--mono]\n"
               "                             [--location TAG=VALUE,...] [-o OUT.png]\n"
               "       lumaro-inspect shape FONT TEXT [--features F,...] [--script TAG] [--language BCP47]\n"
               "                             [--direction ltr|rtl|ttb|btt] [--location TAG=VALUE,...] [--trace]\n"
               "       lumaro-inspect tables FONT\n"
               "       lumaro-inspect colour FONT N [--ppem 8..512] [--palette K] [--foreground #RRGGBB]\n"
               "                             [--location TAG=VALUE,...] [-o OUT.png]\n"
               "       lumaro-inspect instructions FONT (N | --fpgm | --prep)\n"
               "       lumaro-inspect hint FONT N --ppem 6..200 [--interpreter 40|35] [--trace]\n"
               "                             [--location TAG=VALUE,...]\n"
               "       lumaro-inspect check FONT [N ...] [--location TAG=VALUE,...]\n"
               "       lumaro-inspect diff OLD NEW [--face N [--face M]] [--location L [--location M]]\n"
               "       lumaro-inspect --help | --version\n"
               "every command takes --face N: the face of a collection (from 0);\n"
               "load, glyph, outline and render of a variable font also take\n"
               "[--location TAG=VALUE[,TAG=VALUE...]] [--instance NAME].\n"
               "Each command prints one JSON document. Exit status: 0 done, 1 abandoned by the\n"
               "font's own error handling (\"messages\" says why), 2 a usage error or a file that\n"
               "cannot be opened.\n",
               to);
}

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "lumaro-inspect: %s; try --help\n", problem.c_str());
    return 2;
}

void CollectedMessages::add(const Reports& reports)
{
    for (std::string& box : MessageBoxes(reports))
        texts.push_back(std::move(box));
    if (std::string note = StatusNote(reports); !note.empty())
        texts.push_back(std::move(note));
}

int takeFace(std::vector<std::string>& args)
{
    const auto at = std::find(args.begin(), args.end(), "--face");
    if (at == args.end())
        return 0;
    if (at + 1 == args.end() || !parseNumber(at[1], 0, 0xFFFF, faceToOpen))
        return usageError("--face takes a face number");
    args.erase(at, at + 2);
    return 0;
}

int chosenFace()
{
    return faceToOpen;
}

void chooseFace(int face)
{
    faceToOpen = face;
}

OpenedFont openFont(const std::string& path, bool composites, CollectedMessages& messages)
{
    OpenedFont opened = OpenFontPath(path, composites, faceToOpen);
    messages.add(opened.reports);
    if (opened.result == LoadResult::Unreadable)
        std::fprintf(stderr, "lumaro-inspect: cannot read %s\n", path.c_str());
    else if (opened.result == LoadResult::Refused && opened.refusal.code == NoSuchFace)
        usageError(path + ": " + ContainerFailureText(opened.refusal));
    else if (opened.result == LoadResult::Refused)
        std::fprintf(stderr, "lumaro-inspect: cannot open %s: %s\n", path.c_str(),
                     ContainerFailureText(opened.refusal).c_str());
    return opened;
}

bool notOpened(const OpenedFont& opened)
{
    return opened.result == LoadResult::Unreadable || opened.result == LoadResult::Refused;
}

std::optional<int> openLoaded(const std::string& path, bool composites, CollectedMessages& messages,
                              OpenedFont& opened)
{
    opened = openFont(path, composites, messages);
    if (notOpened(opened))
        return 2;
    if (opened.result == LoadResult::Abandoned)
        return printAbandoned(messages.texts);
    return std::nullopt;
}

std::optional<int> openGlyphs(const std::vector<std::string>& args, const std::string& what, bool composites,
                              OpenedFont& opened, GlyphSelection& selection)
{
    if (args.size() < 2)
        return usageError(what);
    if (const int status = parseGlyphSelection(args, selection))
        return status;
    CollectedMessages load;
    if (const std::optional<int> status = openLoaded(args[0], composites, load, opened))
        return status;
    if (const int status = selectGlyphs(opened.font, selection))
        return status;
    return std::nullopt;
}

void showFirstGlyph(const OpenedFont& opened, const ViewState& view, DrawingSurface& surface,
                    CollectedMessages& messages)
{
    if (opened.firstGlyph >= 0)
        messages.add(ShowGlyph(opened.firstGlyph, opened.font, view, surface).reports);
}

bool takeFlag(std::vector<std::string>& args, const std::string& flag)
{
    const auto removed = std::erase(args, flag);
    return removed > 0;
}

int parseGlyphSelection(const std::vector<std::string>& args, GlyphSelection& selection)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        int n;
        if (args[i] == "--all")
            selection.all = true;
        else if (parseNumber(args[i], 0, 65535, n))
            selection.numbers.push_back(n);
        else
            return usageError("'" + args[i] + "' is no glyph number");
    }
    if (selection.all == !selection.numbers.empty())
        return usageError("give either glyph numbers or --all");
    return 0;
}

int noSuchGlyph(const FontState& font, const std::string& number)
{
    return usageError("the font has no glyph " + number + " (it has" + GlyphCountText(font) + ")");
}

int selectGlyphs(const FontState& font, GlyphSelection& selection)
{
    for (int n : selection.numbers)
        if (n >= font.NumGlyphs)
            return noSuchGlyph(font, std::to_string(n));
    if (selection.all)
        for (int n = 0; n < font.NumGlyphs; ++n)
            selection.numbers.push_back(n);
    return 0;
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


int takeLocation(std::vector<std::string>& args, LocationRequest& request)
{
    for (std::size_t i = 0; i < args.size();) {
        const bool location = args[i] == "--location", instance = args[i] == "--instance";
        if (!location && !instance) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(args[i] + " needs a value");
        (location ? request.location : request.instance) = args[i + 1];
        args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i) + 2);
    }
    return 0;
}

namespace {

// One TAG=VALUE of --location into user; 0, or the usage error's status.
int setAxis(const FontVariations& variations, const std::string& item, std::vector<Fixed>& user)
{
    const auto eq = item.find('=');
    const std::string tag = item.substr(0, eq), value = eq == std::string::npos ? "" : item.substr(eq + 1);
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (value.empty() || end != value.c_str() + value.size() || !std::isfinite(v))
        return usageError("--location takes TAG=VALUE[,TAG=VALUE...], not '" + item + "'");
    const auto axis = std::find_if(variations.axes.begin(), variations.axes.end(),
                                   [&](const FvarAxis& a) { return a.tag == tag; });
    if (axis == variations.axes.end())
        return usageError("the font has no axis '" + tag + "'");
    const double clamped = std::clamp(v, axis->min / 65536.0, axis->max / 65536.0);
    user[std::size_t(axis - variations.axes.begin())] = std::clamp(Fixed(std::lround(clamped * FixedOne)), axis->min, axis->max);
    return 0;
}

} // namespace

int resolveLocation(const FontState& font, const LocationRequest& request, std::vector<Fixed>& user)
{
    const FontVariations& variations = font.Variations;
    user = DefaultCoordinates(variations);
    if ((request.location || request.instance) && variations.axes.empty())
        return usageError("the font has no variation axes");
    if (request.instance) {
        const auto found = std::find_if(variations.instances.begin(), variations.instances.end(),
                                        [&](const FvarInstance& i) { return i.name == *request.instance; });
        if (found == variations.instances.end())
            return usageError("the font has no instance '" + *request.instance + "'");
        user = found->coordinates;
    }
    if (request.location) {
        std::size_t start = 0;
        while (start <= request.location->size()) {
            const auto comma = std::min(request.location->find(',', start), request.location->size());
            if (const int status = setAxis(variations, request.location->substr(start, comma - start), user))
                return status;
            start = comma + 1;
        }
    }
    return 0;
}

int applyLocation(const FontState& font, const LocationRequest& request, Location& location)
{
    std::vector<Fixed> user;
    if (const int status = resolveLocation(font, request, user))
        return status;
    location = Normalize(font.Variations, user);
    return 0;
}

std::string locationJson(const FontVariations& variations, const std::vector<Fixed>& user)
{
    JsonObject doc;
    for (std::size_t i = 0; i < variations.axes.size() && i < user.size(); ++i)
        doc.add(variations.axes[i].tag, coordinateJson(user[i]));
    return doc.str();
}

std::string coordinateJson(Fixed v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", std::round(v / 65536.0 * 10000) / 10000);
    return buf;
}
