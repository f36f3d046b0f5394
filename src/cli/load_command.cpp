#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "platform/face_name.h"

int runLoad(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usageError("load takes one font file");
    const std::string& path = args[0];

    // File > Open: the face name first, then the load, then the first glyph.
    FontState font;
    CollectedMessages messages;
    const std::string faceName = GetFaceName(path);
    const LoadResult load = openFont(path, font, messages);
    if (load == LoadResult::Unreadable)
        return 2;
    if (load == LoadResult::Loaded) {
        if (const int first = firstGlyphShown(font); first >= 0) {
            NullSurface picture;
            ShowGlyph(first, font, ViewState(), picture, messages);
        }
    }

    // An abandoned load leaves the window as at start-up but for the face name.
    const bool loaded = load == LoadResult::Loaded;
    JsonObject doc;
    doc.add("face_name", jsonString(faceName));
    doc.add("glyph_count", jsonString(loaded ? GlyphCountText(font) : std::string()));
    doc.add("glyph_list", jsonArray(font.GlyphList));
    doc.add("char_list", jsonArray(font.CharList));
    doc.add("ascii_list", jsonArray(font.AsciiList));
    doc.add("unicode_cmap", loaded ? font.UnicodeCmap : 0);
    doc.add("messages", jsonArray(messages.texts));
    printJson(doc.str(true));
    return loaded ? 0 : 1;
}
