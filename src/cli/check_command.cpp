#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "check/outline_checks.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"

namespace {

constexpr long MaxProblems = 100000;

std::string findingJson(int glyph, const Finding& f)
{
    JsonObject doc;
    doc.add("glyph", glyph);
    doc.add("check", jsonString(CheckName(f.check)));
    doc.add("contour", f.contour < 0 ? "null" : std::to_string(f.contour));
    doc.add("point", f.point < 0 ? "null" : std::to_string(f.point));
    doc.add("at", f.placed ? "[" + jsonNumber(f.x) + ", " + jsonNumber(f.y) + "]" : "null");
    if (f.component >= 0)
        doc.add("component", f.component);
    doc.add("detail", jsonString(f.detail));
    return doc.str();
}

// The glyph numbers after the font, sorted: the problems are listed by glyph.
int parseCheckArgs(std::vector<std::string>& args, std::vector<int>& glyphs)
{
    if (args.empty())
        return usageError("check takes a font file and glyph numbers");
    for (std::size_t i = 1; i < args.size(); ++i) {
        int n;
        if (!parseNumber(args[i], 0, 65535, n))
            return usageError("'" + args[i] + "' is no glyph number");
        glyphs.push_back(n);
    }
    return 0;
}

} // namespace

int runCheck(std::vector<std::string> args)
{
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
    std::vector<int> given;
    if (const int status = parseCheckArgs(args, given))
        return status;
    CollectedMessages load, messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], true, load, opened))
        return *status;
    const FontState& font = opened.font;
    Location location;
    if (const int status = applyLocation(font, at, location))
        return status;
    for (const int n : given)
        if (n >= font.NumGlyphs)
            return noSuchGlyph(font, std::to_string(n));
    std::vector<int> glyphs = given;
    std::sort(glyphs.begin(), glyphs.end());
    glyphs.erase(std::unique(glyphs.begin(), glyphs.end()), glyphs.end());
    if (given.empty())
        for (int g = 0; g < font.NumGlyphs; ++g)
            glyphs.push_back(g);

    long listed = 0;
    bool cut = false;
    std::fputs("{\"problems\": [", stdout);
    CheckGlyphs(font, location, glyphs, [&](GlyphFindings&& found) {
        messages.add(found.reports);
        if (found.status == OutlineStatus::Abandoned)
            messages.add({found.failure});
        for (const Finding& f : found.findings) {
            if (listed == MaxProblems) {
                cut = true;
                break;
            }
            const std::string json = (listed++ ? ",\n" : "\n") + findingJson(found.glyph, f);
            std::fwrite(json.data(), 1, json.size(), stdout);
        }
        return true;
    });
    std::string tail = "\n]";
    if (cut) {
        tail += ",\n\"problems_cut\": true";
        messages.MsgBox("Only the first " + std::to_string(MaxProblems) + " problems are listed.");
    }
    tail += ",\n\"glyphs_checked\": " + std::to_string(given.empty() ? font.NumGlyphs : int(given.size()));
    tail += ",\n\"messages\": " + jsonArray(messages.texts) + "\n}";
    printJson(tail);
    return 0;
}
