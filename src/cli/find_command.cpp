#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "platform/char_names.h"
#include "report/json.h"

int runFind(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usageError("find takes a font file and queries");

    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    const UnicodeMap& map = font.Unicode;
    JsonObject doc;
    std::set<std::string> done;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& query = args[i];
        if (!done.insert(query).second)
            continue; // a key appears once
        const std::optional<int> glyph = FindGlyphOrCharacter(font, map, query);
        doc.add(query, glyph ? std::to_string(*glyph) : "null");
    }
    printJson(doc.str());
    return 0;
}
