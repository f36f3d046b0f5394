#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/json.h"
#include "outline/composite.h"

namespace {

const char* kindName(OutlineStatus status)
{
    switch (status) {
    case OutlineStatus::Decoded:
        return "simple";
    case OutlineStatus::Composite:
        return "composite";
    case OutlineStatus::Empty:
        return "empty";
    case OutlineStatus::Abandoned:
        break;
    }
    return "abandoned";
}

std::string contoursJson(const ResolvedGlyph& glyph)
{
    std::string out = "[";
    for (const PlacedOutline& part : glyph.parts) {
        const Contours& o = part.outline;
        int start = 0;
        for (const int end : o.ends) {
            const int stop = end + 1;
            out += out.size() > 1 ? ",[" : "[";
            for (int i = start; i < stop; ++i) {
                const OutlinePoint p = o.points[std::size_t(i)];
                out += (i > start ? ",[" : "[") + std::to_string(p.x) + "," + std::to_string(p.y) + ","
                     + std::to_string(int(p.kind)) + "]";
            }
            out += "]";
            start = std::max(start, stop);
        }
    }
    return out + "]";
}

std::string number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string componentsJson(const ResolvedGlyph& glyph)
{
    std::string out = "[";
    for (const Component& c : glyph.components) {
        JsonObject doc;
        doc.add("glyph", c.glyph);
        doc.add("dx", c.dx);
        doc.add("dy", c.dy);
        doc.add("matrix", "[" + number(c.matrix[0]) + ", " + number(c.matrix[1]) + ", " + number(c.matrix[2]) + ", "
                              + number(c.matrix[3]) + "]");
        if (c.parentPoint >= 0)
            doc.add("match", "[" + std::to_string(c.parentPoint) + ", " + std::to_string(c.childPoint) + "]");
        out += (out.size() > 1 ? ", " : "") + doc.str();
    }
    return out + "]";
}

} // namespace

int runOutline(std::vector<std::string> args)
{
    LocationRequest at;
    if (const int status = takeLocation(args, at))
        return status;
    if (args.size() < 2)
        return usageError("outline takes a font file and glyph numbers or --all");
    GlyphSelection selection;
    if (const int status = parseGlyphSelection(args, selection))
        return status;
    CollectedMessages load;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], true, load, opened))
        return *status;
    if (const int status = selectGlyphs(opened.font, selection))
        return status;
    ViewState view;
    if (const int status = applyLocation(opened.font, at, view.location))
        return status;

    bool abandoned = false;
    std::fputc('[', stdout);
    for (std::size_t i = 0; i < selection.numbers.size(); ++i) {
        CollectedMessages messages;
        WorkingValues work;
        work.GlyphIndex = selection.numbers[i];
        const ResolvedGlyph glyph = ResolveGlyph(opened.font, work.GlyphIndex, view.location, work);
        messages.add(glyph.reports);
        if (glyph.status == OutlineStatus::Abandoned)
            messages.add({glyph.failure});
        abandoned |= glyph.status == OutlineStatus::Abandoned;
        JsonObject doc;
        doc.add("glyph", work.GlyphIndex);
        doc.add("kind", jsonString(kindName(glyph.parts.empty() && glyph.status != OutlineStatus::Abandoned
                                                ? OutlineStatus::Empty
                                                : glyph.status)));
        doc.add("contours", contoursJson(glyph));
        doc.add("components", componentsJson(glyph));
        doc.add("messages", jsonArray(messages.texts));
        const std::string json = (i ? ",\n" : "\n") + doc.str();
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    printJson("\n]");
    return abandoned ? 1 : 0;
}
