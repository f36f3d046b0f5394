#include <string>
#include <vector>

#include <QGuiApplication>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "platform/jpeg_export.h"
#include "platform/picture_surface.h"

int runRender(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    std::string out;
    bool haveOut = false;
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
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    int n;
    if (positional.size() != 2 || !haveOut)
        return usageError("render takes a font file, a glyph number and -o OUT");
    if (!parseNumber(positional[1], 0, 65535, n))
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
    const GlyphReadout g = ShowGlyph(n, font, view, picture, messages);

    if (const std::string failure = saveJpeg(picture.image(), out); !failure.empty()) {
        messages.MsgBox(failure);
        return printAbandoned(messages.texts);
    }
    printJson(JsonObject().add("written", jsonString(out)).add("messages", jsonArray(messages.texts)).str(true));
    return g.abandoned ? 1 : 0;
}
