#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "tables/cmap.h"

int runMap(const std::vector<std::string>& args)
{
    if (args.empty())
        return usageError("map takes a font file and character codes");
    std::vector<int> codes;
    for (std::size_t i = 1; i < args.size(); ++i) {
        int code;
        if (!parseNumber(args[i], 0, 65535, code))
            return usageError("'" + args[i] + "' is no character code (0 to 65535)");
        codes.push_back(code);
    }

    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;

    if (codes.empty()) {
        std::vector<int> glyphs(65536);
        for (int c = 0; c < 65536; ++c)
            glyphs[std::size_t(c)] = CharToGlyph(font, c);
        printJson(jsonArray(glyphs));
        return 0;
    }
    JsonObject doc;
    std::vector<bool> done(65536);
    for (int c : codes) {
        if (done[std::size_t(c)])
            continue; // a key appears once
        done[std::size_t(c)] = true;
        doc.add(std::to_string(c), CharToGlyph(font, c));
    }
    printJson(doc.str());
    return 0;
}
