#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/picture_export.h"
#include "platform/pixel_picture.h"
#include "platform/pixels.h"

namespace {

struct PixelsArgs {
    std::vector<std::string> positional; // the font file and the glyph number
    PixelRequest request;
    bool havePpem = false;
    LocationRequest location; // read once the font is open
    std::string out;
};

int parsePixelsArgs(std::vector<std::string> args, PixelsArgs& p)
{
    if (const int status = takeLocation(args, p.location))
        return status;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--ppem") {
            if (!hasValue || !parseNumber(args[++i], MinPpem, MaxPpem, p.request.ppem))
                return usageError("--ppem takes a whole number from 6 to 200");
            p.havePpem = true;
        } else if (a == "--hinting") {
            const std::string v = hasValue ? args[++i] : "";
            if (v == "native")
                p.request.hinting = Hinting::Native;
            else if (v == "auto")
                p.request.hinting = Hinting::Auto;
            else if (v == "none")
                p.request.hinting = Hinting::None;
            else
                return usageError("--hinting takes native, auto or none");
        } else if (a == "--mono") {
            p.request.mono = true;
        } else if (a == "-o") {
            if (!hasValue || args[i + 1].empty())
                return usageError(a + " needs a value");
            p.out = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            p.positional.push_back(a);
        }
    }
    if (p.positional.size() != 2)
        return usageError("pixels takes a font file and one glyph number");
    // A number past any font's glyphs is checked against the font, as any other.
    if (!parseNumber(p.positional[1], 0, std::numeric_limits<int>::max(), p.request.glyph))
        return usageError("'" + p.positional[1] + "' is no glyph number");
    if (!p.havePpem)
        return usageError("pixels needs --ppem");
    return 0;
}

std::vector<std::string> hexRows(const GlyphPixels& pixels)
{
    static const char digits[] = "0123456789abcdef";
    std::vector<std::string> rows;
    for (int y = 0; y < pixels.rows; ++y) {
        std::string row;
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint8_t v = pixels.values[std::size_t(y) * std::size_t(pixels.width) + std::size_t(x)];
            row += digits[v >> 4];
            row += digits[v & 15];
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

int runPixels(const std::vector<std::string>& args)
{
    PixelsArgs p;
    if (const int status = parsePixelsArgs(args, p))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(p.positional[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    if (p.request.glyph >= font.NumGlyphs)
        return noSuchGlyph(font, p.positional[1]);
    Location location;
    if (const int status = applyLocation(font, p.location, location))
        return status;

    const std::optional<GlyphPixels> pixels = RenderPixels(font.FontBytes, font.Face, location, p.request);
    if (!pixels) {
        // The font opened: a glyph FreeType refuses is this glyph's failure, not a usage error.
        messages.texts.push_back("FreeType cannot render glyph " + std::to_string(p.request.glyph) + " at "
                                 + std::to_string(p.request.ppem) + " pixels per em.");
        return printAbandoned(messages.texts);
    }
    if (!p.out.empty()) {
        // The picture has no text: painting it needs no application object.
        const QImage picture = DrawPixelPicture(*pixels, PixelPictureOptions{});
        const std::string problem = saveImage(picture, PictureFormat::Png, p.out);
        if (!problem.empty())
            messages.texts.push_back(problem);
    }
    printJson(JsonObject()
                  .add("glyph", p.request.glyph)
                  .add("ppem", p.request.ppem)
                  .add("width", pixels->width)
                  .add("rows", pixels->rows)
                  .add("left", pixels->left)
                  .add("top", pixels->top)
                  .add("advance", jsonNumber(pixels->advance))
                  .add("pixels", jsonArray(hexRows(*pixels)))
                  .add("messages", jsonArray(messages.texts))
                  .str(true));
    return 0;
}
