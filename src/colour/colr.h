#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sfnt/location.h"
#include "sfnt/reader.h"
#include "tables/item_variation_store.h"

// A COLR table: its header read, its lists looked up in place. Version 0
// has the base glyph and layer records; version 1 adds the paint lists,
// the clip boxes and the variation data of its Var paints.
struct Colr {
    std::span<const std::uint8_t> table;
    int version = 0;
    std::uint32_t baseGlyphRecordsOffset = 0, layerRecordsOffset = 0;
    int numBaseGlyphRecords = 0, numLayerRecords = 0;
    std::uint32_t baseGlyphListOffset = 0, layerListOffset = 0, clipListOffset = 0; // 0: none
    std::uint32_t numBaseGlyphPaintRecords = 0, numLayers = 0;
    std::optional<DeltaSetIndexMap> varIndexMap;
    std::optional<ItemVariationStore> varStore;
    std::vector<std::string> problems; // parts of the header that could not be used, for the messages
};

// The header; nullopt when it lies past the table. A version 1 list whose
// count lies past the table is dropped with a problem, as is variation data
// that cannot be read (its paints then keep their default values).
std::optional<Colr> ReadColr(std::span<const std::uint8_t> table);

// One COLRv0 layer: a glyph filled with a palette entry.
struct ColrLayer {
    int glyph = 0;
    int paletteIndex = 0;
};

// Glyph g's version 0 layers in paint order; nullopt when g has no base
// glyph record. Layers the layer records cannot back are left out and
// `cut` set.
std::optional<std::vector<ColrLayer>> ColrV0Layers(const Colr& colr, int g, bool& cut);

// Where glyph g's version 1 paint starts in the table; nullopt when g has none.
std::optional<std::size_t> BaseGlyphPaint(const Colr& colr, int g);

// Where layer k of the LayerList starts in the table; nullopt past the list.
std::optional<std::size_t> LayerPaint(const Colr& colr, std::uint32_t k);

struct ClipBox {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Glyph g's clip box at a location (formats 1 and 2), in font units;
// nullopt when the ClipList gives none or the box lies past the table.
std::optional<ClipBox> GlyphClip(const Colr& colr, int g, const Location& location);

// The delta of a Var field in the field's own stored units: varIndexBase +
// field mapped through the DeltaSetIndexMap (or taken as outer << 16 |
// inner without one) into the store. 0 at the default location, for
// 0xFFFFFFFF, and without variation data.
double VarDelta(const Colr& colr, std::uint32_t varIndexBase, int field, const Location& location);

// A 24-bit offset, which the COLR version 1 tables use for their subtables.
std::uint32_t ReadOffset24(ByteReader& r);
