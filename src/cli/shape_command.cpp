#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/shaping.h"

namespace {

struct ShapeArgs {
    std::vector<std::string> positional;
    ShapeOptions options;
    bool trace = false;
    LocationRequest location;
};

std::optional<TextDirection> parseDirection(const std::string& text)
{
    if (text == "ltr")
        return TextDirection::LeftToRight;
    if (text == "rtl")
        return TextDirection::RightToLeft;
    if (text == "ttb")
        return TextDirection::TopToBottom;
    if (text == "btt")
        return TextDirection::BottomToTop;
    return std::nullopt;
}

// Reads the option's value into `value`; 0, or the usage error's status.
int takeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value)
{
    if (i + 1 >= args.size())
        return usageError(args[i] + " needs a value");
    value = args[++i];
    return 0;
}

int parseShapeArgs(std::vector<std::string> args, ShapeArgs& s)
{
    if (const int status = takeLocation(args, s.location))
        return status;
    s.trace = takeFlag(args, "--trace");
    std::string features, direction;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* value = a == "--features" ? &features
                           : a == "--script"   ? &s.options.script
                           : a == "--language" ? &s.options.language
                           : a == "--direction" ? &direction
                                                : nullptr;
        if (!value)
            s.positional.push_back(a);
        else if (const int status = takeValue(args, i, *value))
            return status;
    }
    if (s.positional.size() != 2)
        return usageError("shape takes a font file and one text");
    const std::optional<std::vector<std::string>> featureList = SplitFeatures(features);
    if (!featureList)
        return usageError("--features: '" + features + "' is not in HarfBuzz's feature syntax");
    s.options.features = *featureList;
    if (!s.options.script.empty() && !ScriptTagValid(s.options.script))
        return usageError("--script: '" + s.options.script + "' is no ISO 15924 script tag (four letters)");
    if (!s.options.language.empty() && !LanguageTagValid(s.options.language))
        return usageError("--language: '" + s.options.language + "' is no BCP 47 language tag");
    if (!direction.empty()) {
        const std::optional<TextDirection> d = parseDirection(direction);
        if (!d)
            return usageError("--direction takes ltr, rtl, ttb or btt");
        s.options.direction = *d;
    }
    return 0;
}

std::string glyphJson(const ShapedGlyph& g, bool characters, bool positioned)
{
    JsonObject object;
    object.add(characters ? "unicode" : "glyph", g.glyph).add("cluster", g.cluster);
    if (positioned)
        object.add("x_advance", g.xAdvance).add("y_advance", g.yAdvance).add("x_offset", g.xOffset).add("y_offset", g.yOffset);
    return object.str();
}

std::string glyphsJson(const std::vector<ShapedGlyph>& glyphs, bool characters, bool positioned, const char* between)
{
    std::string list = "[";
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        list += (i ? between : "") + glyphJson(glyphs[i], characters, positioned);
    return list + "]";
}

// Writes each step as HarfBuzz gives it: a trace can be far larger than the text.
struct TraceWriter {
    long steps = 0;
    void operator()(const TraceStep& step)
    {
        std::string line = steps++ ? ",\n" : "\n";
        line += JsonObject()
                    .add("message", jsonString(step.message))
                    .add("glyphs", glyphsJson(step.glyphs, step.characters, step.positioned, ", "))
                    .str();
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
};

} // namespace

int runShape(const std::vector<std::string>& arguments)
{
    ShapeArgs s;
    if (const int status = parseShapeArgs(arguments, s))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(s.positional[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    Location at;
    if (const int status = applyLocation(font, s.location, at))
        return status;
    // The font is checked before anything is written: a face HarfBuzz cannot
    // read is a usage error with nothing on standard output.
    if (!Shape(font.FontBytes, font.Face, at, "", s.options))
        return usageError("HarfBuzz cannot read " + s.positional[0]);

    TraceWriter writer;
    if (s.trace)
        std::fputs("{\"trace\": [", stdout);
    // Shapes as the check above did: only the text differs, and argv's text is never too long for HarfBuzz.
    const std::optional<ShapeResult> shaped =
        Shape(font.FontBytes, font.Face, at, s.positional[1], s.options, s.trace ? TraceSink(std::ref(writer)) : TraceSink());
    std::string head;
    if (s.trace) {
        head = "\n]";
        if (shaped->traceCut) {
            head += ", \"trace_cut\": true";
            messages.MsgBox("The trace holds HarfBuzz's first " + std::to_string(writer.steps)
                            + " messages only: a trace keeps at most " + std::to_string(MaxTraceMessages)
                            + " messages and " + std::to_string(MaxTraceEntries) + " glyphs in all.");
        }
        head += ",";
    }
    std::string body = JsonObject()
                           .add("glyphs", glyphsJson(shaped->glyphs, false, true, ",\n    "))
                           .add("messages", jsonArray(messages.texts))
                           .str(true);
    if (s.trace)
        body.erase(0, body.find('{') + 1); // its members follow the trace's
    printJson(head + body);
    return 0;
}
