#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "platform/jpeg_export.h"
#include "platform/picture_surface.h"

namespace {

struct RenderRequest {
    std::vector<std::string> positional; // font file, glyph number
    std::string out;
    ViewState view; // the sliders' and the check box's start positions
};

int parseRenderArgs(const std::vector<std::string>& args, RenderRequest& req)
{
    bool haveOut = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
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
        } else if (a == "--no-start-marks") {
            req.view.ShowStartPoints = 0;
        } else if (a == "--composites") {
            req.view.Composites = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            req.positional.push_back(a);
        }
    }
    if (req.positional.size() != 2 || !haveOut)
        return usageError("render takes a font file, a glyph number and -o OUT");
    return 0;
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

int runRender(const std::vector<std::string>& args)
{
    RenderRequest req;
    if (const int status = parseRenderArgs(args, req))
        return status;
    int n;
    if (!parseNumber(req.positional[1], 0, 65535, n))
        return usageError("'" + req.positional[1] + "' is no glyph number");

    CollectedMessages messages;
    const OpenedFont opened = openFont(req.positional[0], req.view.Composites, messages);
    if (opened.result == LoadResult::Unreadable)
        return 2;
    if (opened.result == LoadResult::Abandoned)
        return printAbandoned(messages.texts);
    if (n >= opened.font.NumGlyphs)
        return usageError("the font has no glyph " + req.positional[1] + " (it has" + GlyphCountText(opened.font) + ")");
    const auto app = startGuiApplication();

    // The picture as the window shows it: the open drew its first glyph, which
    // may have set the text colour, and then glyph n was chosen.
    PictureSurface picture;
    CollectedMessages shownAtOpen; // reported by load
    showFirstGlyph(opened, req.view, picture, shownAtOpen);
    const GlyphReadout g = ShowGlyph(n, opened.font, req.view, picture, messages);

    if (const std::string failure = saveJpeg(picture.image(), req.out); !failure.empty()) {
        messages.MsgBox(failure);
        return printAbandoned(messages.texts);
    }
    printJson(JsonObject().add("written", jsonString(req.out)).add("messages", jsonArray(messages.texts)).str(true));
    return g.abandoned ? 1 : 0;
}
