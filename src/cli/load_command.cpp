#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/face_name.h"

namespace {

std::string rawArray(const std::vector<std::string>& members)
{
    std::string out = "[";
    for (const std::string& m : members)
        out += (out.size() > 1 ? ", " : "") + m;
    return out + "]";
}

std::string axesJson(const FontVariations& variations)
{
    std::vector<std::string> axes;
    for (const FvarAxis& a : variations.axes) {
        JsonObject doc;
        doc.add("tag", jsonString(a.tag));
        doc.add("name", jsonString(a.name));
        doc.add("min", coordinateJson(a.min));
        doc.add("default", coordinateJson(a.def));
        doc.add("max", coordinateJson(a.max));
        doc.add("hidden", a.hidden ? "true" : "false");
        axes.push_back(doc.str());
    }
    return rawArray(axes);
}

std::string instancesJson(const FontVariations& variations)
{
    std::vector<std::string> instances;
    for (const FvarInstance& i : variations.instances) {
        JsonObject doc;
        doc.add("name", jsonString(i.name));
        doc.add("coordinates", locationJson(variations, i.coordinates));
        instances.push_back(doc.str());
    }
    return rawArray(instances);
}

} // namespace

int runLoad(std::vector<std::string> args)
{
    const bool composites = takeFlag(args, "--composites");
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
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
    std::vector<Fixed> user;
    if (opened.result == LoadResult::Loaded) {
        if (const int status = resolveLocation(opened.font, at, user))
            return status;
        view.location = Normalize(opened.font.Variations, user);
    }
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
    doc.add("axes", axesJson(opened.font.Variations));
    doc.add("instances", instancesJson(opened.font.Variations));
    doc.add("location", locationJson(opened.font.Variations, user));
    doc.add("messages", jsonArray(messages.texts));
    doc.add("faces", opened.faces);
    doc.add("face", opened.face);
    printJson(doc.str(true));
    return loaded ? 0 : 1;
}
