#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "outline/composite.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

// Two fonts (or two faces, or one font at two locations) compared glyph by
// glyph: which glyph of NEW stands for which glyph of OLD, and what changed.

// In the order a pair is given the first that applies.
enum class GlyphChange : std::uint8_t {
    Identical,
    PointsMoved,       // same contours, points and kinds; some point elsewhere
    OutlineChanged,    // any other difference of the points
    ComponentsChanged, // same points; components differ, or simple against composite
    AdvanceChanged,    // same points and components; the advance differs
    Added,             // in NEW only
    Removed,           // in OLD only
};
inline constexpr int GlyphChangeCount = 7;
// "identical", "points_moved" ...: the names lumaro-inspect prints.
const char* GlyphChangeName(GlyphChange change);

// A glyph of OLD and its partner in NEW; -1 on the side that has none.
struct PairedGlyph {
    int oldGlyph = -1, newGlyph = -1;
};

// Pairs in three passes, each among glyphs not yet paired: the same glyph
// name (names empty or given twice in either font not used); the same code
// point in each font's best Unicode map, codes in increasing order; the same
// glyph number. `pairs`: OLD's glyphs in order (removed ones with newGlyph
// -1), then NEW's unpaired glyphs in order (added, oldGlyph -1).
struct GlyphPairing {
    std::vector<PairedGlyph> pairs;
    std::vector<int> newOf; // each OLD glyph's partner, -1 for none
};
GlyphPairing PairGlyphs(const FontState& oldFont, const FontState& newFont);

// One side of a comparison: a loaded font and where it is read.
struct DiffSide {
    const FontState& font;
    Location location;
};

// A point of OLD and where its partner lies in NEW (contour and point index
// the outline as `outline` prints it).
struct PointMove {
    int contour = 0, point = 0;
    OutlinePoint from, to;
};

struct GlyphComparison {
    PairedGlyph pair;
    GlyphChange change = GlyphChange::Identical;
    double maxDistance = 0;       // PointsMoved: the largest distance between partner points
    std::vector<PointMove> moves; // PointsMoved, when asked for: every point that moved
    Reports reports;              // either side's failures and reports, OLD's first
};

// One pair compared (both glyphs resolved at their side's location); a
// glyph that cannot be resolved compares as one without points, its
// failure among the reports.
GlyphComparison CompareGlyphs(const DiffSide& oldSide, const DiffSide& newSide, const GlyphPairing& pairing,
                              PairedGlyph pair, bool withMoves = false);

// Every pair of the pairing compared in order, each handed to `each` as soon
// as it is done (without moves); stops when `each` returns false. The fonts
// are only read: safe on a worker thread.
void DiffFonts(const DiffSide& oldSide, const DiffSide& newSide, const GlyphPairing& pairing,
               const std::function<bool(GlyphComparison&&)>& each);
