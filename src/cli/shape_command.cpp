#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/shaping.h"

int runShape(const std::vector<std::string>& arguments)
{
    std::vector<std::string> args = arguments;
    LocationRequest location;
    if (const int status = takeLocation(args, location))
        return status;
    std::vector<std::string> positional;
    std::string features;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--features") {
            if (i + 1 >= args.size())
                return usageError(a + " needs a value");
            features = args[++i];
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2)
        return usageError("shape takes a font file and one text");
    const std::optional<std::vector<std::string>> featureList = SplitFeatures(features);
    if (!featureList)
        return usageError("--features: '" + features + "' is not in HarfBuzz's feature syntax");

    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(positional[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    Location at;
    if (const int status = applyLocation(font, location, at))
        return status;
    const std::optional<std::vector<ShapedGlyph>> glyphs = ShapeText(font.FontBytes, font.Face, at, positional[1], *featureList);
    if (!glyphs)
        return usageError("HarfBuzz cannot read " + positional[0]);

    std::string list = "[";
    for (const ShapedGlyph& g : *glyphs) {
        if (list.size() > 1)
            list += ",\n    ";
        list += JsonObject()
                    .add("glyph", g.glyph)
                    .add("cluster", g.cluster)
                    .add("x_advance", g.xAdvance)
                    .add("y_advance", g.yAdvance)
                    .add("x_offset", g.xOffset)
                    .add("y_offset", g.yOffset)
                    .str();
    }
    printJson(JsonObject().add("glyphs", list + "]").add("messages", jsonArray(messages.texts)).str(true));
    return 0;
}
