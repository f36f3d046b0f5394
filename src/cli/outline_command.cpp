#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "outline/composite.h"
#include "report/outline_json.h"

int runOutline(const std::vector<std::string>& args)
{
    OpenedFont opened;
    GlyphSelection selection;
    if (const std::optional<int> status =
            openGlyphs(args, "outline takes a font file and glyph numbers or --all", true, opened, selection))
        return *status;

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
