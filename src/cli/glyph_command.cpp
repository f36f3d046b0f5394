#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"

namespace {

std::string readoutJson(const GlyphReadout& g, const std::vector<std::string>& messages)
{
    JsonObject doc;
    doc.add("number", jsonString(g.number));
    doc.add("name", jsonString(g.name));
    doc.add("minY", jsonString(g.minY));
    doc.add("maxY", jsonString(g.maxY));
    doc.add("minX", jsonString(g.minX));
    doc.add("maxX", jsonString(g.maxX));
    doc.add("lines", jsonString(g.listing));
    doc.add("messages", jsonArray(messages));
    return doc.str();
}

} // namespace

int runGlyph(std::vector<std::string> args)
{
    ViewState view;
    view.Composites = takeFlag(args, "--composites");
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
    OpenedFont opened;
    GlyphSelection selection;
    if (const std::optional<int> status = openGlyphs(args, "glyph takes a font file and glyph numbers or --all",
                                                     view.Composites, opened, selection))
        return *status;
    if (const int status = applyLocation(opened.font, at, view.location))
        return status;

    // Written as it goes: a whole font's read-outs are never held at once.
    NullSurface picture;
    bool abandoned = false;
    std::fputc('[', stdout);
    for (std::size_t i = 0; i < selection.numbers.size(); ++i) {
        CollectedMessages messages;
        const GlyphReadout g = ShowGlyph(selection.numbers[i], opened.font, view, picture);
        messages.add(g.reports);
        abandoned |= g.abandoned;
        std::fputs(i ? ",\n" : "\n", stdout);
        const std::string json = readoutJson(g, messages.texts);
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    printJson("\n]");
    return abandoned ? 1 : 0;
}
