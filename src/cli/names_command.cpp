#include <cstdio>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "tables/names.h"

namespace {

// Writes `"key": [` and one string per index from text(k), each as soon as it
// is made: a naming table whose records share their storage never has all its
// texts in memory at once.
template <class TextOf>
void printStringArray(const char* key, std::size_t count, TextOf text)
{
    std::fprintf(stdout, "  \"%s\": [", key);
    for (std::size_t k = 0; k < count; ++k) {
        if (k)
            std::fputs(", ", stdout);
        const std::string json = jsonString(text(k));
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    std::fputs("],\n", stdout);
}

} // namespace

int runNames(const std::string& fontPath)
{
    CollectedMessages load;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(fontPath, false, load, opened))
        return *status;

    // The messages are those of "Info..." alone: a font without a naming
    // table gives "Not found: name" and the code 14 box, and no lines.
    CollectedMessages info;
    NameTable table;
    const MaybeFailure failure = ReadNameTable(opened.font, table);
    if (failure)
        info.add({*failure});
    std::fputs("{\n", stdout);
    printStringArray("lines", table.Lines.size(), [&](std::size_t k) { return table.Lines[k]; });
    printStringArray("texts", table.Records.size(), [&](std::size_t k) { return NameText(opened.font, table, k); });
    printJson("  \"messages\": " + jsonArray(info.texts) + "\n}");
    return failure ? 1 : 0;
}
