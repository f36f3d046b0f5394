#include "cli/commands.h"

#include "cli/common.h"
#include "cli/json.h"
#include "font/names.h"

int runNames(const std::string& fontPath)
{
    CollectedMessages load;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(fontPath, false, load, opened))
        return *status;

    // The messages are those of "Info..." alone: a font without a naming
    // table gives "Not found: name" and the code 14 box, and no lines.
    CollectedMessages info;
    NameReading reading;
    const bool read = ReadNames(opened.font, info, reading);
    printJson(JsonObject()
                  .add("lines", jsonArray(reading.Lines))
                  .add("texts", jsonArray(reading.NameText))
                  .add("messages", jsonArray(info.texts))
                  .str(true));
    return read ? 0 : 1;
}
