#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"

namespace {

struct RenderRequest {
    std::vector<std::string> positional; // the font file, and the glyph number without --all
    std::string font;
    int glyph = 0;
    bool all = false;
    std::string out;
    std::optional<PictureFormat> format; // else from the extension of out
    ViewState view;                      // the sliders' and the check box's start positions
    int size = PictureSurface::PictureSize;
};

int parseRenderOption(const std::vector<std::string>& args, std::size_t& i, RenderRequest& req, bool& haveOut)
{
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    int value;
    if (a == "-o") {
        if (!hasValue || args[i + 1].empty())
            return usageError("-o needs a file name");
        req.out = args[++i];
        haveOut = true;
    } else if (a == "--scale") {
        if (!hasValue || !parseNumber(args[++i], 1, 10, value))
            return usageError("--scale takes a whole number from 1 to 10");
        req.view.ViewScale = value;
    } else if (a == "--offset") {
        if (!hasValue || !parseNumber(args[++i], 0, 15, value))
            return usageError("--offset takes a whole number from 0 to 15");
        req.view.ViewMargin = value * 100;
    } else if (a == "--size") {
        if (!hasValue || !parseNumber(args[++i], MinPictureSize, MaxPictureSize, value))
            return usageError("--size takes a whole number from 16 to 4096");
        req.size = value;
    } else if (a == "--stretch") {
        req.view.Stretch = true;
    } else if (a == "--no-start-marks") {
        req.view.ShowStartPoints = 0;
    } else if (a == "--format") {
        if (!hasValue || !(req.format = formatFromName(args[++i])))
            return usageError("--format takes jpeg, png or svg");
    } else if (a == "--all") {
        req.all = true;
    } else if (a == "--composites") {
        req.view.Composites = true;
    } else if (a.size() > 1 && a[0] == '-') {
        return usageError("unknown option '" + a + "'");
    } else {
        req.positional.push_back(a);
    }
    return 0;
}

int parseRenderArgs(const std::vector<std::string>& args, RenderRequest& req)
{
    bool haveOut = false;
    for (std::size_t i = 0; i < args.size(); ++i)
        if (const int status = parseRenderOption(args, i, req, haveOut))
            return status;
    const std::vector<std::string>& positional = req.positional;
    if (positional.size() != (req.all ? 1u : 2u) || !haveOut)
        return usageError("render takes a font file, a glyph number or --all, and -o OUT");
    if (!req.all && !parseNumber(positional[1], 0, 65535, req.glyph))
        return usageError("'" + positional[1] + "' is no glyph number");
    req.font = positional[0];
    return 0;
}

// "glyph-00036.png": the glyph number in five digits.
std::string glyphFileName(const std::string& folder, int glyph, PictureFormat format)
{
    char name[32];
    std::snprintf(name, sizeof name, "glyph-%05d.%s", glyph, extensionOf(format));
    return QDir(QString::fromStdString(folder)).filePath(QString::fromLatin1(name)).toStdString();
}

// What the picture of glyph g is saved with.
SaveOptions saveOptions(const GlyphReadout& g, const PictureSurface& picture, const ViewState& view, int size)
{
    return {size, &g.drawn, fontToPicture(picture, g.work, view)};
}

// Every glyph of the pick list, in list order, as "Next" steps through it,
// each saved into folder; picture holds one glyph at a time. Stops at the
// first file that cannot be written.
int renderAll(const OpenedFont& opened, const RenderRequest& req, PictureSurface& picture, PictureFormat format,
              CollectedMessages& messages)
{
    const std::string& folder = req.out;
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        std::fprintf(stderr, "lumaro-inspect: cannot make the folder %s\n", folder.c_str());
        return 2;
    }
    const int total = int(opened.lists.GlyphList.size());
    int written = 0;
    bool abandoned = false;
    for (const int n : opened.lists.GlyphList) {
        const GlyphReadout g = ShowGlyph(n, opened.font, req.view, picture);
        messages.add(g.reports);
        abandoned |= g.abandoned;
        const std::string file = glyphFileName(req.out, n, format);
        if (const std::string failure = savePicture(picture, format, file, saveOptions(g, picture, req.view, req.size));
            !failure.empty()) {
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

// Printing text needs a GUI application; no display is needed.
std::unique_ptr<QGuiApplication> startGuiApplication()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumaro-inspect";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int runRender(std::vector<std::string> args)
{
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
    RenderRequest req;
    if (const int status = parseRenderArgs(args, req))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(req.font, req.view.Composites, messages, opened))
        return *status;
    if (req.glyph >= opened.font.NumGlyphs)
        return usageError("the font has no glyph " + std::to_string(req.glyph) + " (it has"
                          + GlyphCountText(opened.font) + ")");
    if (const int status = applyLocation(opened.font, at, req.view.location))
        return status;
    const auto app = startGuiApplication();

    // The picture as the window shows it: the open drew its first glyph, which
    // may have set the text colour, and then glyph n was chosen.
    PictureSurface picture;
    CollectedMessages shownAtOpen; // reported by load
    showFirstGlyph(opened, req.view, picture, shownAtOpen);
    const PictureFormat chosen = req.format.value_or(formatFromExtension(req.out).value_or(PictureFormat::Jpeg));
    if (req.all)
        return renderAll(opened, req, picture, chosen, messages);
    const GlyphReadout g = ShowGlyph(req.glyph, opened.font, req.view, picture);
    messages.add(g.reports);
    if (const std::string failure = savePicture(picture, chosen, req.out, saveOptions(g, picture, req.view, req.size));
        !failure.empty()) {
        messages.MsgBox(failure);
        return printAbandoned(messages.texts);
    }
    printJson(JsonObject().add("written", jsonString(req.out)).add("messages", jsonArray(messages.texts)).str(true));
    return g.abandoned ? 1 : 0;
}
