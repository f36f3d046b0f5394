#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "hinting/disassembly.h"
#include "outline/composite.h"
#include "report/json.h"
#include "report/messages.h"
#include "sfnt/table_directory.h"

namespace {

// The program args[1] names: "--fpgm", "--prep" or a glyph number (checked
// against the font later).
struct ProgramChoice {
    std::string table; // "fpgm" or "prep"; empty for a glyph
    int glyph = 0;
};

int parseChoice(const std::vector<std::string>& args, ProgramChoice& choice)
{
    if (args.size() != 2)
        return usageError("instructions takes a font file and a glyph number, --fpgm or --prep");
    if (args[1] == "--fpgm" || args[1] == "--prep")
        choice.table = args[1].substr(2);
    else if (!parseNumber(args[1], 0, 65535, choice.glyph))
        return usageError("'" + args[1] + "' is no glyph number");
    return 0;
}

} // namespace

int runInstructions(const std::vector<std::string>& args)
{
    ProgramChoice choice;
    if (const int status = parseChoice(args, choice))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    if (choice.table.empty() && choice.glyph >= font.NumGlyphs)
        return noSuchGlyph(font, args[1]);

    GlyphProgram program;
    if (choice.table.empty())
        program = GlyphInstructions(font, choice.glyph);
    else
        program.bytes = TableBytes(font, choice.table); // a CFF font has neither table: an empty program
    if (program.failure)
        messages.add({*program.failure});
    const Disassembly listing = Disassemble(program.bytes);
    if (listing.truncated)
        messages.MsgBox(TruncatedPushText(listing.cut));

    printJson(JsonObject()
                  .add("program", jsonString(choice.table.empty() ? "glyph " + std::to_string(choice.glyph)
                                                                  : choice.table))
                  .add("length", int(program.bytes.size()))
                  .add("assembly", jsonArray(listing.lines))
                  .add("messages", jsonArray(messages.texts))
                  .str(true));
    return program.failure ? 1 : 0;
}
