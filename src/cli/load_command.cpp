#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/face_name.h"

int runLoad(std::vector<std::string> args)
{
    const bool composites = takeFlag(args, "--composites");
    if (args.size() != 1)
        return usageError("load takes one font file");
    const std::string& path = args[0];

    // File > Open: the face name first, then the load, then the first glyph.
    CollectedMessages messages;
    const OpenedFont opened = openFont(path, composites, messages);
    if (notOpened(opened))
        return 2;
    const std::string faceName = GetFaceName(path, opened.face);
    ViewState view;
    view.Composites = composites;
    NullSurface picture;
    showFirstGlyph(opened, view, picture, messages);

    // An abandoned load leaves the window as at start-up but for the face name.
    const bool loaded = opened.result == LoadResult::Loaded;
    JsonObject doc;
    doc.add("face_name", jsonString(faceName));
    doc.add("glyph_count", jsonString(loaded ? GlyphCountText(opened.font) : std::string()));
    doc.add("glyph_list", jsonArray(opened.lists.GlyphList));
    doc.add("char_list", jsonArray(opened.lists.CharList));
    doc.add("ascii_list", jsonArray(opened.lists.AsciiList));
    doc.add("unicode_cmap", loaded ? opened.font.UnicodeCmap : 0);
    doc.add("messages", jsonArray(messages.texts));
    doc.add("faces", opened.faces);
    doc.add("face", opened.face);
    printJson(doc.str(true));
    return loaded ? 0 : 1;
}
