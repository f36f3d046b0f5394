#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "outline/composite.h"
#include "sfnt/location.h"
#include "tables/font_state.h"

// The outline checks: what may be wrong with a glyph's points, each problem
// found tied to the point, segment or component it concerns. They read the
// points `lumaro-inspect outline` prints (a composite resolved) at a
// location. Nothing here draws; the window and lumaro-inspect both list
// what CheckGlyph finds.

// In the order findings at one place are listed.
enum class Check : std::uint8_t {
    OpenContour,
    DuplicatePoint,
    WrongDirection,
    SelfIntersection,
    OverlappingContours,
    MissingExtremum,
    ShortSegment,
    ColinearVectors,
    JaggySegment,
    SemiVertical,
    SemiHorizontal,
    AlignmentMiss,
    BboxMismatch,
    NestedComponent,
    FlippedComponent,
};
inline constexpr int CheckCount = 15;

// "open_contour", "duplicate_point" ...: the names lumaro-inspect prints.
const char* CheckName(Check check);
std::optional<Check> CheckNamed(std::string_view name);

// One problem. Contours and points index the outline as `outline` prints
// it; a segment or joint is at the place that ends it: an on-curve point by
// its own index, the midpoint of off-curve points j and j + 1 by j.
struct Finding {
    Check check = Check::OpenContour;
    int contour = -1;   // -1: the glyph as a whole, or a component
    int point = -1;     // -1: none
    int component = -1; // a component's index in file order; -1: none
    bool placed = false; // x, y hold the place named (halves possible)
    double x = 0, y = 0;
    std::string detail;
};

// The order findings are listed in: contour, point, component (none first),
// then the order of Check.
bool FindingBefore(const Finding& a, const Finding& b);

// What the checks need of the font, read once for a font and location.
struct CheckFacts {
    int unitsPerEm = 0;
    bool cff = false;       // CFF or CFF2: outer contours run counter-clockwise
    bool atDefault = true;  // the stored boxes hold only at the default location
    std::vector<int> heights; // the y values on-curve points align to
};
// 0, OS/2 sxHeight and sCapHeight (version 2 or later), hhea's ascender and
// descender, with MVAR's xhgt, cpht, hasc and hdsc deltas at the location,
// rounded. A missing or short OS/2 or MVAR leaves its values out.
CheckFacts ReadCheckFacts(const FontState& font, const Location& location);

// The contours of a resolved glyph as `outline` prints them: each part's
// contours in order, each point once (views into `glyph`).
std::vector<std::span<const OutlinePoint>> PrintedContours(const ResolvedGlyph& glyph);

// Every check but the font-level ones (stored box, components) on a
// glyph's contours, each its points in order.
std::vector<Finding> CheckContours(std::span<const std::span<const OutlinePoint>> contours, const CheckFacts& facts);

// One glyph checked at the location: its findings sorted. A glyph that
// cannot be resolved has none, its status Abandoned and the failure set.
struct GlyphFindings {
    int glyph = 0;
    std::vector<Finding> findings;
    OutlineStatus status = OutlineStatus::Empty;
    Failure failure;  // when Abandoned
    Reports reports;  // the resolution's own reports (variations not used)
};
GlyphFindings CheckGlyph(const FontState& font, int glyph, const Location& location, const CheckFacts& facts);

// Checks `glyphs` in the order given, handing each glyph's findings to
// `each` as soon as it is checked; stops early when `each` returns false
// (a cancelled run). Safe to run on a worker thread: the font is only read.
void CheckGlyphs(const FontState& font, const Location& location, std::span<const int> glyphs,
                 const std::function<bool(GlyphFindings&&)>& each);
