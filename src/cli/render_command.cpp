#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"

namespace {

// "glyph-00036.png": the glyph number in five digits.
std::string glyphFileName(const std::string& folder, int glyph, PictureFormat format)
{
    char name[32];
    std::snprintf(name, sizeof name, "glyph-%05d.%s", glyph, extensionOf(format));
    return QDir(QString::fromStdString(folder)).filePath(QString::fromLatin1(name)).toStdString();
}

// Every glyph of the pick list, in list order, as "Next" steps through it,
// each saved into folder; picture holds one glyph at a time. Stops at the
// first file that cannot be written.
int renderAll(FontState& font, const ViewState& view, PictureSurface& picture, PictureFormat format,
              const std::string& folder, CollectedMessages& messages)
{
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        std::fprintf(stderr, "lumaro-inspect: cannot make the folder %s\n", folder.c_str());
        return 2;
    }
    const int total = int(font.GlyphList.size());
    int written = 0;
    bool abandoned = false;
    for (const int n : font.GlyphList) {
        abandoned |= ShowGlyph(n, font, view, picture, messages).abandoned;
        if (const std::string failure = savePicture(picture, format, glyphFileName(folder, n, format)); !failure.empty()) {
            messages.MsgBox(failure);
            abandoned = true;
            break;
        }
        ++written;
        if (written % 100 == 0 || written == total)
            std::fprintf(stderr, "lumaro-inspect: %d of %d pictures written\n", written, total);
    }
    printJson(JsonObject()
                  .add("written", written)
                  .add("folder", jsonString(folder))
                  .add("messages", jsonArray(messages.texts))
                  .str(true));
    return abandoned ? 1 : 0;
}

} // namespace

int runRender(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    std::string out;
    bool haveOut = false;
    bool all = false;
    std::optional<PictureFormat> format; // else from the extension of OUT
    ViewState view; // the sliders' and the check box's start positions
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        int value;
        if (a == "-o") {
            if (!hasValue || args[i + 1].empty())
                return usageError("-o needs a file name");
            out = args[++i];
            haveOut = true;
        } else if (a == "--scale") {
            if (!hasValue || !parseNumber(args[++i], 1, 10, value))
                return usageError("--scale takes a whole number from 1 to 10");
            view.ViewScale = value;
        } else if (a == "--offset") {
            if (!hasValue || !parseNumber(args[++i], 0, 15, value))
                return usageError("--offset takes a whole number from 0 to 15");
            view.ViewMargin = value * 100;
        } else if (a == "--no-start-marks") {
            view.ShowStartPoints = 0;
        } else if (a == "--format") {
            if (!hasValue || !(format = formatFromName(args[++i])))
                return usageError("--format takes jpeg, png or svg");
        } else if (a == "--all") {
            all = true;
        } else if (a == "--composites") {
            // Taken for the sake of scripts; the pick list and the drawing do not show composite glyphs yet.
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    int n = 0;
    if (positional.size() != (all ? 1u : 2u) || !haveOut)
        return usageError("render takes a font file, a glyph number or --all, and -o OUT");
    if (!all && !parseNumber(positional[1], 0, 65535, n))
        return usageError("'" + positional[1] + "' is no glyph number");

    FontState font;
    CollectedMessages messages;
    const LoadResult load = openFont(positional[0], font, messages);
    if (load == LoadResult::Unreadable)
        return 2;
    if (load == LoadResult::Abandoned)
        return printAbandoned(messages.texts);
    if (n >= font.NumGlyphs)
        return usageError("the font has no glyph " + positional[1] + " (it has" + GlyphCountText(font) + ")");

    // Printing text needs a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumaro-inspect";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    // The picture as the window shows it: the open drew its first glyph, which
    // may have set the text colour, and then glyph n was chosen.
    PictureSurface picture;
    if (const int first = firstGlyphShown(font); first >= 0) {
        CollectedMessages shownAtOpen; // reported by load
        ShowGlyph(first, font, view, picture, shownAtOpen);
    }
    const PictureFormat chosen = format.value_or(formatFromExtension(out).value_or(PictureFormat::Jpeg));
    if (all)
        return renderAll(font, view, picture, chosen, out, messages);
    const GlyphReadout g = ShowGlyph(n, font, view, picture, messages);

    if (const std::string failure = savePicture(picture, chosen, out); !failure.empty()) {
        messages.MsgBox(failure);
        return printAbandoned(messages.texts);
    }
    printJson(JsonObject().add("written", jsonString(out)).add("messages", jsonArray(messages.texts)).str(true));
    return g.abandoned ? 1 : 0;
}
