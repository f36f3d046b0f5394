#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"

int runGlyph(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usageError("glyph takes a font file and glyph numbers or --all");
    bool all = false;
    std::vector<int> numbers;
    for (std::size_t i = 1; i < args.size(); ++i) {
        int n;
        if (args[i] == "--all")
            all = true;
        else if (parseNumber(args[i], 0, 65535, n))
            numbers.push_back(n);
        else
            return usageError("'" + args[i] + "' is no glyph number");
    }
    if (all && !numbers.empty())
        return usageError("glyph takes either glyph numbers or --all");

    FontState font;
    CollectedMessages load;
    const LoadResult result = openFont(args[0], font, load);
    if (result == LoadResult::Unreadable)
        return 2;
    if (result == LoadResult::Abandoned)
        return printAbandoned(load.texts);
    for (int n : numbers)
        if (n >= font.NumGlyphs)
            return usageError("the font has no glyph " + std::to_string(n) + " (it has" + GlyphCountText(font) + ")");
    if (all)
        for (int n = 0; n < font.NumGlyphs; ++n)
            numbers.push_back(n);

    const ViewState view;
    NullSurface picture;
    bool abandoned = false;
    std::string out = "[";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        CollectedMessages messages;
        const GlyphReadout g = ShowGlyph(numbers[i], font, view, picture, messages);
        abandoned |= g.abandoned;
        JsonObject doc;
        doc.add("number", jsonString(g.Text6));
        doc.add("name", jsonString(g.Text7));
        doc.add("minY", jsonString(g.Text1));
        doc.add("maxY", jsonString(g.Text2));
        doc.add("minX", jsonString(g.Text3));
        doc.add("maxX", jsonString(g.Text4));
        doc.add("lines", jsonString(g.Text5));
        doc.add("messages", jsonArray(messages.texts));
        out += (i ? ",\n" : "\n") + doc.str();
    }
    printJson(out + "\n]");
    return abandoned ? 1 : 0;
}
