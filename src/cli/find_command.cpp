#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "font/find.h"
#include "font/table_bytes.h"

int runFind(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usageError("find takes a font file and queries");

    FontState font;
    CollectedMessages messages;
    const LoadResult load = openFont(args[0], font, messages);
    if (load == LoadResult::Unreadable)
        return 2;
    if (load == LoadResult::Abandoned)
        return printAbandoned(messages.texts);

    const UnicodeMap map = ReadUnicodeMap(TableBytes(font, "cmap"));
    JsonObject doc;
    std::set<std::string> done;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& query = args[i];
        if (!done.insert(query).second)
            continue; // a key appears once
        const std::optional<int> glyph = FindGlyph(font, map, query);
        doc.add(query, glyph ? std::to_string(*glyph) : "null");
    }
    printJson(doc.str());
    return 0;
}
