#include "report/outline_json.h"

#include <algorithm>
#include <cstdio>

#include "outline/outline_walk.h"
#include "report/json.h"

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

// Each point once, in glyf order, in the contour that first takes it.
std::string contoursJson(const ResolvedGlyph& glyph)
{
    std::string out = "[";
    for (const PlacedOutline& part : glyph.parts) {
        const Contours& o = part.outline;
        ForEachContourOnce(o, [&](std::size_t, int first, int stop) {
            out += out.size() > 1 ? ",[" : "[";
            for (int i = first; i < stop; ++i) {
                const OutlinePoint p = o.points[std::size_t(i)];
                out += (i > first ? ",[" : "[") + std::to_string(p.x) + "," + std::to_string(p.y) + ","
                     + std::to_string(int(p.kind)) + "]";
            }
            out += "]";
        });
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

std::string OutlineDocument(int glyph, const ResolvedGlyph& resolved, const std::vector<std::string>& messages)
{
    JsonObject doc;
    doc.add("glyph", glyph);
    doc.add("kind", jsonString(kindName(resolved.parts.empty() && resolved.status != OutlineStatus::Abandoned
                                            ? OutlineStatus::Empty
                                            : resolved.status)));
    doc.add("contours", contoursJson(resolved));
    doc.add("components", componentsJson(resolved));
    doc.add("messages", jsonArray(messages));
    return doc.str();
}
