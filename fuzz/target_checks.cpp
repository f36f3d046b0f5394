#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "check/font_diff.h"
#include "check/outline_checks.h"
#include "outline/working_values.h"

namespace {

// Resolved points an input has checked: glyphs are taken in order while
// their points stay within this many, so that every glyph of a small font is
// checked and an input runs in well under a second even under the
// sanitizers. A glyph counts one at least, and its contour count where that
// is more and its ends were there to read: a damaged glyph claiming
// thousands of contours is refused with no points, yet every pass reads all
// its ends. The checks' time on the largest glyphs is the memory tests'.
constexpr std::size_t PointsPerInput = 5000;

// The glyphs from 0 on within the budget, resolved as the checks resolve them.
std::vector<int> glyphsWithinBudget(const FontState& font, const Location& at)
{
    std::vector<int> glyphs;
    WorkingValues work;
    ResolvedGlyph resolved;
    std::size_t points = 0;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        ResolveGlyph(font, g, at, work, resolved);
        std::size_t glyphPoints = 0;
        for (const PlacedOutline& part : resolved.parts)
            glyphPoints += part.outline.points.size();
        const bool endsRead = resolved.status != OutlineStatus::Abandoned || resolved.failure.code != ReadPastEnd;
        const std::size_t contours = endsRead ? std::size_t(std::max(work.NumberOfContours, 0)) : 0;
        points += std::max({glyphPoints, contours, std::size_t(1)});
        if (points > PointsPerInput)
            break;
        glyphs.push_back(g);
    }
    return glyphs;
}

// The input with its second half changed: every `stride`-th byte from the
// middle on gets `delta` added, both picked by the input. Its tables mostly
// still read and its glyphs and names differ: a second font to compare.
std::vector<std::uint8_t> mutatedHalf(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> out(data, data + size);
    const std::size_t stride = 1 + fuzz::tailByte(data, size, 2) % 64;
    const std::uint8_t delta = fuzz::tailByte(data, size, 3) | 1;
    for (std::size_t k = size / 2; k < size; k += stride)
        out[k] = std::uint8_t(out[k] + delta);
    return out;
}

// The comparison as the Compare part runs it, `pairs` pairs at most; the
// moves of the first pair whose points moved, as its picture asks for them.
void compare(const DiffSide& oldSide, const DiffSide& newSide, std::size_t pairs)
{
    const GlyphPairing pairing = PairGlyphs(oldSide.font, newSide.font);
    std::size_t done = 0;
    bool moved = false;
    DiffFonts(oldSide, newSide, pairing, [&](GlyphComparison&& c) {
        if (c.change == GlyphChange::PointsMoved && !moved) {
            moved = true;
            CompareGlyphs(oldSide, newSide, pairing, c.pair, true);
        }
        return ++done < pairs;
    });
}

} // namespace

int fuzz::ChecksAndDiff(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    const Location at = locationFrom(data, size, int(font.Variations.axes.size()));
    const std::vector<int> glyphs = glyphsWithinBudget(font, at);
    std::size_t findings = 0;
    CheckGlyphs(font, at, glyphs, [&](GlyphFindings&& checked) {
        findings += checked.findings.size();
        return true;
    });
    // The font with itself at two locations, and with its mutated half.
    compare({font, Location{}}, {font, at}, glyphs.size());
    FontState mutated;
    const std::vector<std::uint8_t> other = mutatedHalf(data, size);
    if (loadFont(other.data(), other.size(), mutated))
        compare({font, Location{}}, {mutated, Location{}}, glyphs.size());
    return int(findings & 0);
}
