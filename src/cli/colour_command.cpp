#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "cli/commands.h"
#include "cli/common.h"
#include "colour/colour_json.h"
#include "platform/colour_picture.h"
#include "report/json.h"

namespace {

struct ColourArgs {
    std::vector<std::string> positional; // the font file and the glyph number
    int glyph = 0;
    int ppem = 128;
    int palette = 0;
    Rgba foreground{0, 0, 0, 255};
    LocationRequest location;
    std::string out;
};

// "#RRGGBB", nothing else.
bool parseColour(const std::string& text, Rgba& c)
{
    if (text.size() != 7 || text[0] != '#'
        || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return false;
    const unsigned long v = std::stoul(text.substr(1), nullptr, 16);
    c = {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 255};
    return true;
}

int parseColourArgs(std::vector<std::string> args, ColourArgs& c)
{
    if (const int status = takeLocation(args, c.location))
        return status;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--ppem") {
            if (!hasValue || !parseNumber(args[++i], 8, 512, c.ppem))
                return usageError("--ppem takes a whole number from 8 to 512");
        } else if (a == "--palette") {
            if (!hasValue || !parseNumber(args[++i], 0, 65535, c.palette))
                return usageError("--palette takes a palette number from 0");
        } else if (a == "--foreground") {
            if (!hasValue || !parseColour(args[++i], c.foreground))
                return usageError("--foreground takes a colour as #RRGGBB");
        } else if (a == "-o") {
            if (!hasValue || args[i + 1].empty())
                return usageError("-o needs a file name");
            c.out = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            c.positional.push_back(a);
        }
    }
    if (c.positional.size() != 2)
        return usageError("colour takes a font file and one glyph number");
    if (!parseNumber(c.positional[1], 0, std::numeric_limits<int>::max(), c.glyph))
        return usageError("'" + c.positional[1] + "' is no glyph number");
    return 0;
}

std::string clipJson(const std::optional<ClipBox>& clip)
{
    if (!clip)
        return "null";
    return "[" + jsonNumber(clip->xMin) + ", " + jsonNumber(clip->yMin) + ", " + jsonNumber(clip->xMax) + ", "
           + jsonNumber(clip->yMax) + "]";
}

} // namespace

int runColour(const std::vector<std::string>& args)
{
    ColourArgs c;
    if (const int status = parseColourArgs(args, c))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(c.positional[0], true, messages, opened))
        return *status;
    const FontState& font = opened.font;
    if (c.glyph >= font.NumGlyphs)
        return noSuchGlyph(font, c.positional[1]);
    PaintSettings settings;
    if (const int status = applyLocation(font, c.location, settings.location))
        return status;
    const ColourTables tables = ReadColourTables(font);
    const int palettes = tables.cpal ? int(tables.cpal->palettes.size()) : 0;
    if (c.palette >= std::max(palettes, 1))
        return usageError("the font has no palette " + std::to_string(c.palette) + " (it has "
                          + std::to_string(palettes) + ")");
    settings.palette = c.palette;
    settings.foreground = c.foreground;
    messages.texts.insert(messages.texts.end(), tables.problems.begin(), tables.problems.end());

    const ColourGlyph glyph = DescribeColourGlyph(tables, c.glyph, settings.location, c.ppem);
    messages.texts.insert(messages.texts.end(), glyph.messages.begin(), glyph.messages.end());
    const ColourRendering picture = RenderColourGlyph(font, tables, glyph, settings, c.ppem);
    messages.texts.insert(messages.texts.end(), picture.messages.begin(), picture.messages.end());
    if (!c.out.empty()) {
        // Straight alpha, as PNG keeps it; the picture has no text, so no application object is needed.
        if (picture.image.isNull())
            messages.texts.push_back("glyph " + std::to_string(c.glyph) + " paints nothing; no picture is written");
        else if (!picture.image.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(c.out), "PNG"))
            messages.texts.push_back("cannot write " + c.out);
    }

    JsonObject o;
    o.add("glyph", c.glyph).add("format", jsonString(ColourFormatName(glyph.format)));
    o.add("clip", clipJson(glyph.clip)).add("palette", c.palette).add("palettes", palettes);
    if (glyph.paint)
        o.add("paint", PaintJson(*glyph.paint, tables, settings));
    else if (glyph.format == ColourFormat::ColrV0)
        o.add("layers", LayersJson(glyph.layers, tables, settings));
    else if (glyph.strike && glyph.strike->found)
        o.add("strike", StrikeJson(*glyph.strike));
    else if (glyph.svg)
        o.add("svg", SvgJson(*glyph.svg));
    printJson(o.add("ppem", c.ppem)
                  .add("width", picture.image.width())
                  .add("rows", picture.image.height())
                  .add("left", picture.left)
                  .add("top", picture.top)
                  .add("messages", jsonArray(messages.texts))
                  .str(true));
    return 0;
}
