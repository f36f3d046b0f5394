#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "outline/composite.h"
#include "report/outline_json.h"

int runOutline(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usageError("outline takes a font file and glyph numbers or --all");
    GlyphSelection selection;
    if (const int status = parseGlyphSelection(args, selection))
        return status;
    CollectedMessages load;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], true, load, opened))
        return *status;
    if (const int status = selectGlyphs(opened.font, selection))
        return status;

    bool abandoned = false;
    std::fputc('[', stdout);
    for (std::size_t i = 0; i < selection.numbers.size(); ++i) {
        CollectedMessages messages;
        WorkingValues work;
        work.GlyphIndex = selection.numbers[i];
        const ResolvedGlyph glyph = ResolveGlyph(opened.font, work.GlyphIndex, Location{}, work);
        if (glyph.status == OutlineStatus::Abandoned)
            messages.add({glyph.failure});
        abandoned |= glyph.status == OutlineStatus::Abandoned;
        const std::string json = (i ? ",\n" : "\n") + OutlineDocument(work.GlyphIndex, glyph, messages.texts);
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    printJson("\n]");
    return abandoned ? 1 : 0;
}
