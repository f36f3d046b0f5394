#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "outline/composite.h"
#include "report/outline_json.h"

int runOutline(std::vector<std::string> args)
{
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
    OpenedFont opened;
    GlyphSelection selection;
    if (const std::optional<int> status =
            openGlyphs(args, "outline takes a font file and glyph numbers or --all", true, opened, selection))
        return *status;
    ViewState view;
    if (const int status = applyLocation(opened.font, at, view.location))
        return status;

    bool abandoned = false;
    std::fputc('[', stdout);
    for (std::size_t i = 0; i < selection.numbers.size(); ++i) {
        CollectedMessages messages;
        WorkingValues work;
        work.GlyphIndex = selection.numbers[i];
        const ResolvedGlyph glyph = ResolveGlyph(opened.font, work.GlyphIndex, view.location, work);
        messages.add(glyph.reports);
        if (glyph.status == OutlineStatus::Abandoned)
            messages.add({glyph.failure});
        abandoned |= glyph.status == OutlineStatus::Abandoned;
        const std::string json = (i ? ",\n" : "\n") + OutlineDocument(work.GlyphIndex, glyph, messages.texts);
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    printJson("\n]");
    return abandoned ? 1 : 0;
}
