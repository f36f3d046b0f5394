#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sfnt/failure.h"
#include "tables/font_state.h"
#include "outline/glyf.h"
#include "sfnt/location.h"
#include "outline/outline.h"

// Flag bits of a composite glyph's component records.
enum ComponentFlag : std::uint16_t {
    ARG_1_AND_2_ARE_WORDS = 0x0001,
    ARGS_ARE_XY_VALUES = 0x0002, // without it the arguments are point numbers to match
    WE_HAVE_A_SCALE = 0x0008,
    MORE_COMPONENTS = 0x0020,
    WE_HAVE_INSTRUCTIONS = 0x0100, // the composite's own instructions follow its last record
    USE_MY_METRICS = 0x0200, // the composite takes this component's advance
    WE_HAVE_AN_X_AND_Y_SCALE = 0x0040,
    WE_HAVE_A_TWO_BY_TWO = 0x0080,
    SCALED_COMPONENT_OFFSET = 0x0800,
    UNSCALED_COMPONENT_OFFSET = 0x1000,
    ROUND_XY_TO_GRID = 0x0004,      // hinted offsets are rounded to whole pixels
};

// One component record as the file gives it (a point-matching record's
// arguments are unsigned point numbers).
struct ComponentRecord {
    std::uint16_t flags = 0;
    int glyph = 0;
    int arg1 = 0, arg2 = 0;
    ComponentMatrix matrix = IdentityMatrix;
};

// Reads one record at r; false when it runs past the glyph's data.
bool ReadComponentRecord(ByteReader& r, ComponentRecord& rec);

inline constexpr int MaxComponentDepth = 16;    // composites nested deeper are refused
inline constexpr int MaxComponentVisits = 4096; // component records followed for one glyph
inline constexpr int MaxResolvedPoints = 65535; // points of one resolved glyph

// One component record of a composite, as applied.
struct Component {
    int glyph = 0;
    std::uint16_t flags = 0;
    ComponentMatrix matrix = IdentityMatrix;
    int dx = 0, dy = 0;                    // the offset applied, matched or given
    int parentPoint = -1, childPoint = -1; // point matching; -1 when the offset was given
};

// A simple glyph's outline moved into place inside a composite.
struct PlacedOutline {
    int glyph = 0;
    ComponentMatrix matrix = IdentityMatrix; // from the glyph's own units into the composite's
    int dx = 0, dy = 0;
    Contours outline;
};

// Any glyph's outline: a simple glyph is one part in place as it stands.
struct ResolvedGlyph {
    OutlineStatus status = OutlineStatus::Empty; // Decoded, Composite, Empty or Abandoned
    std::vector<Component> components;           // a composite's own records, in file order
    std::vector<PlacedOutline> parts;            // every simple glyph drawn, in order
    Failure failure;                             // when Abandoned
    std::int32_t advance = 0;                    // its advance width where it was resolved (see AdvanceAt)
    Reports reports;                             // at a location: why it is drawn at the default instead
    int NumberOfContours() const;
};

// Decodes glyph g at `location` with its components resolved, nested ones
// too. Transformed points are rounded as FreeType does: each 16.16 product on its own. A
// composite that cannot be resolved (it refers back to itself, nests deeper
// than 16, names a glyph not in the font, runs past its data, matches a
// point it does not have, or grows past the limits above) fails with code
// 17; a component that fails to decode fails with its own code. Either way
// the glyph is Abandoned, with that failure.
// At a location, every glyph's points and a composite's component offsets
// move by their gvar deltas; variation data that cannot be used resolves the
// whole glyph at the default instead, with one BadVariations report.
// Without `components`, a composite is left unread: status Composite, no parts.
ResolvedGlyph ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                           bool components = true);
// The same into `out`, whose outlines are reused: for decoding many glyphs.
void ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                  ResolvedGlyph& out, bool components = true);

// The advance width of glyph g as resolved at a location: HVAR's when the
// font has one, else the varied phantom points', of the component whose
// metrics a composite uses; hmtx's at the default.
std::int32_t AdvanceAt(const FontState& font, int g, const Location& location, const ResolvedGlyph& resolved);

// The TrueType instructions of glyph g, as views into the font's bytes: a
// simple glyph's after its contour ends; a composite's after its last record
// when a record has WE_HAVE_INSTRUCTIONS (any record, as fontTools reads it).
// Empty for a glyph without data or without instructions and for a CFF font.
// A header, records or instructions that run past the glyph's data fail
// with code 15, naming the glyph.
struct GlyphProgram {
    std::span<const std::uint8_t> bytes;
    MaybeFailure failure;
};
GlyphProgram GlyphInstructions(const FontState& font, int g);
