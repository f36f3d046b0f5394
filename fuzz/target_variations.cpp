#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "draw/view.h"
#include "outline/composite.h"
#include "tables/fvar.h"

namespace {

// Named instances visited per input; the first glyphs resolved at each
// location, and more the input picks.
constexpr std::size_t InstancesPerInput = 4;
constexpr int FirstGlyphs = 4, PickedGlyphs = 4;

// User coordinates at a corner of the design space: axis a at its maximum
// when bit a of `corner` is set, else at its minimum.
std::vector<Fixed> cornerCoordinates(const FontVariations& v, unsigned corner)
{
    std::vector<Fixed> user;
    for (std::size_t a = 0; a < v.axes.size(); ++a)
        user.push_back(a < 32 && (corner >> a & 1) ? v.axes[a].max : v.axes[a].min);
    return user;
}

} // namespace

int fuzz::Variations(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font) || font.Variations.axes.empty())
        return 0;
    const FontVariations& v = font.Variations;
    std::vector<Location> locations{Location{}, locationFrom(data, size, int(v.axes.size()))};
    for (std::size_t i = 0; i < std::min(v.instances.size(), InstancesPerInput); ++i)
        locations.push_back(Normalize(v, v.instances[i].coordinates));
    const unsigned chosen = tailByte(data, size, 2) | unsigned(tailByte(data, size, 3)) << 8;
    for (unsigned corner : {0u, ~0u, chosen})
        locations.push_back(Normalize(v, cornerCoordinates(v, corner)));

    // Each glyph resolved with its advance at every location; drawn in both
    // views at the input's own, where drawing meets the most varied outlines.
    const std::vector<int> glyphs = glyphsChosen(font, data, size, FirstGlyphs, PickedGlyphs);
    WorkingValues work;
    ResolvedGlyph resolved;
    for (const Location& at : locations)
        for (int g : glyphs) {
            ResolveGlyph(font, g, at, work, resolved);
            AdvanceAt(font, g, at, resolved);
        }
    NullSurface surface;
    ViewState view;
    view.Composites = true;
    view.location = locations[1];
    for (bool metrics : {false, true}) {
        view.Metrics = metrics;
        for (int g : glyphs)
            ShowGlyph(g, font, view, surface);
    }
    return 0;
}
