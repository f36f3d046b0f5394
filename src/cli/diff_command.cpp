#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "check/font_diff.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "tables/glyph_names.h"

namespace {

// --location and --instance in the order given: the first for OLD, a second for NEW.
int takeLocations(std::vector<std::string>& args, std::vector<LocationRequest>& requests)
{
    for (std::size_t i = 0; i < args.size();) {
        const bool location = args[i] == "--location", instance = args[i] == "--instance";
        if (!location && !instance) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(args[i] + " needs a value");
        if (requests.size() == 2)
            return usageError("diff takes at most two locations");
        LocationRequest r;
        (location ? r.location : r.instance) = args[i + 1];
        requests.push_back(r);
        args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i) + 2);
    }
    return 0;
}

std::string pairJson(const FontState& oldFont, const FontState& newFont, const GlyphComparison& c)
{
    JsonObject doc;
    doc.add("old", c.pair.oldGlyph < 0 ? "null" : std::to_string(c.pair.oldGlyph));
    doc.add("new", c.pair.newGlyph < 0 ? "null" : std::to_string(c.pair.newGlyph));
    doc.add("name", jsonString(c.pair.newGlyph < 0 ? GlyphName(oldFont, c.pair.oldGlyph)
                                                   : GlyphName(newFont, c.pair.newGlyph)));
    doc.add("change", jsonString(GlyphChangeName(c.change)));
    if (c.change == GlyphChange::PointsMoved)
        doc.add("max_distance", jsonNumber(c.maxDistance));
    return doc.str();
}

} // namespace

int runDiff(std::vector<std::string> args)
{
    std::vector<LocationRequest> at;
    if (const int status = takeLocations(args, at))
        return status;
    const int oldFace = chosenFace();
    if (const int status = takeFace(args)) // a second --face is NEW's
        return status;
    const int newFace = chosenFace();
    for (const std::string& a : args)
        if (a.size() > 1 && a[0] == '-')
            return usageError("unknown option '" + a + "'");
    if (args.size() != 2)
        return usageError("diff takes two font files");

    CollectedMessages load, messages;
    std::array<OpenedFont, 2> opened;
    std::array<Location, 2> locations;
    for (std::size_t side = 0; side < 2; ++side) {
        chooseFace(side == 0 ? oldFace : newFace);
        if (const std::optional<int> status = openLoaded(args[side], true, load, opened[side]))
            return *status;
        const LocationRequest request = at.empty() ? LocationRequest{} : at[std::min(side, at.size() - 1)];
        if (const int status = applyLocation(opened[side].font, request, locations[side]))
            return status;
    }
    const FontState& oldFont = opened[0].font;
    const FontState& newFont = opened[1].font;
    const GlyphPairing pairing = PairGlyphs(oldFont, newFont);

    std::array<int, GlyphChangeCount> counts{};
    std::size_t written = 0;
    std::fputs("{\"glyphs\": [", stdout);
    DiffFonts({oldFont, locations[0]}, {newFont, locations[1]}, pairing, [&](GlyphComparison&& c) {
        messages.add(c.reports);
        ++counts[std::size_t(c.change)];
        const std::string json = (written++ ? ",\n" : "\n") + pairJson(oldFont, newFont, c);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return true;
    });
    JsonObject summary;
    for (int k = 0; k < GlyphChangeCount; ++k)
        summary.add(GlyphChangeName(GlyphChange(k)), counts[std::size_t(k)]);
    printJson("\n],\n\"summary\": " + summary.str() + ",\n\"messages\": " + jsonArray(messages.texts) + "\n}");
    return 0;
}
