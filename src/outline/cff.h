#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "outline/cff_index.h"
#include "sfnt/location.h"
#include "outline/outline.h"
#include "outline/working_values.h"
#include "sfnt/failure.h"
#include "tables/item_variation_store.h"

// What one Private DICT gives the charstrings.
struct CffPrivate {
    CffIndex subrs;
    double nominalWidthX = 0;
    int vsindex = 0; // CFF2: the item variation data blends use unless a charstring says otherwise
};

// A CFF or CFF2 table opened: the INDEXes and DICTs the charstrings need, as
// views into the table's bytes (the table must outlive it).
struct CffFont {
    bool cff2 = false;
    std::span<const std::uint8_t> table;
    std::string fontName;
    CffIndex strings;
    CffIndex globalSubrs;
    CffIndex charStrings;
    std::vector<CffPrivate> privates; // one, or one per Font DICT of a CID-keyed or CFF2 font
    bool cidKeyed = false;
    std::uint8_t fdSelectFormat = 0; // 0 or 3; with no FDSelect every glyph takes privates[0]
    std::span<const std::uint8_t> fdSelect;
    std::vector<std::uint16_t> charset; // SID (or CID) of each glyph; empty for the predefined ISOAdobe charset
    bool predefinedCharset = false;     // charset 0: glyph g is SID g
    ItemVariationStore variations; // CFF2: the regions blends weigh
};

// Opens a CFF (cff2 false) or CFF2 table. A table whose header, INDEXes or
// DICTs run past its end or cannot be parsed gives code 15 with what was
// being read.
std::variant<CffFont, Failure> ReadCff(std::span<const std::uint8_t> table, bool cff2);

// Glyph g's name from the charset and String INDEX (a view into the table);
// empty for a CID-keyed or CFF2 font, or a glyph the charset leaves out.
std::string_view CffGlyphName(const CffFont& font, int g);

// The glyph whose charset entry is sid (for endchar's accented form), or -1.
int CffGlyphOfSid(const CffFont& font, int sid);

// The Private DICT glyph g's charstring uses (FDSelect), or nothing.
const CffPrivate* CffPrivateOf(const CffFont& font, int g);

// The two glyphs an accented glyph is drawn from, the accent moved by dx, dy.
struct CffAccented {
    int base = 0, accent = 0;
    int dx = 0, dy = 0;
};

// One glyph decoded: its contours (on-curve and cubic control points, whole
// font units, a closing point equal to the first left out) and, for an
// accented glyph, its two components (their contours are in `contours`).
struct CffGlyph {
    Contours contours;
    std::optional<CffAccented> accented;
};

inline constexpr int MaxSubrDepth = 10;
inline constexpr int MaxCffStack = 48;
inline constexpr int MaxCff2Stack = 513;
// A real glyph runs a few hundred operators, subroutines included; a file
// whose glyphs each loop to this limit makes drawing them all take minutes.
inline constexpr int MaxCharStringOperators = 20000;
inline constexpr int MaxCffPoints = 65535;

// Runs glyph g's charstring at the location (CFF2). A charstring that breaks
// a limit above, calls a subroutine that is not there, runs short of
// operands or hints before any stem gives code 18 with why; the glyph is
// abandoned. work's GlyphIndex, NumberOfContours and PointCount are set.
std::variant<CffGlyph, Failure> DecodeCharString(const CffFont& font, int g, const Location& location,
                                                 WorkingValues work = {});

// The scalar of each region blended by item variation data `vsindex` at the
// location; nothing when there is no such data.
std::optional<std::vector<double>> BlendScalars(const ItemVariationStore& variations, int vsindex,
                                                const Location& location);
