#pragma once
#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "sfnt/location.h"
#include "sfnt/fixed.h"
#include "tables/item_variation_store.h"

struct FontState;

enum AxisFlag : int {
    HIDDEN_AXIS = 0x0001,
};

// One fvar axis, its values in user coordinates (16.16).
struct FvarAxis {
    std::string tag;  // four characters
    std::string name; // from the naming table; the tag when it has none
    Fixed min = 0, def = 0, max = 0;
    bool hidden = false;
};

// One named instance: its subfamily name and user coordinates per axis.
struct FvarInstance {
    std::string name;
    std::vector<Fixed> coordinates;
};

// One avar segment map: (from, to) pairs in 16.16, in increasing order.
using SegmentMap = std::vector<std::pair<Fixed, Fixed>>;

// Where a glyph's variation data lies in gvar.
struct GvarTable {
    std::size_t offset = 0, length = 0;  // the table within the font's bytes
    int axisCount = 0;
    std::vector<Fixed> sharedTuples;     // sharedTupleCount * axisCount peaks, 16.16
    std::vector<std::uint32_t> offsets;  // glyphCount + 1, from the start of the table
    std::string unusable;                // not empty: why no glyph can be varied (a damaged header)
};

// A font's variations: fvar's axes and instances, avar's maps, gvar and HVAR.
// Empty axes: not a variable font.
struct FontVariations {
    std::vector<FvarAxis> axes;
    std::vector<FvarInstance> instances;
    std::vector<SegmentMap> avar; // empty, or one map per axis
    std::optional<GvarTable> gvar;
    std::optional<ItemVariationStore> hvar;
    std::optional<DeltaSetIndexMap> advanceMap;
};

// Reads fvar, avar, gvar and HVAR. A table that is damaged or disagrees with
// fvar's axis count is left out; fvar itself damaged leaves no axes.
FontVariations ReadVariations(const FontState& font);

// The user coordinates of the default location.
std::vector<Fixed> DefaultCoordinates(const FontVariations& variations);

// User coordinates (clamped to each axis) normalized with fvar's ranges and
// avar's maps. The default location gives an empty Location.
Location Normalize(const FontVariations& variations, std::span<const Fixed> user);
