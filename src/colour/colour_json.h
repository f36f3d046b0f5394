#pragma once
#include <string>
#include <utility>
#include <vector>

#include "colour/colour_glyph.h"

// "#RRGGBBAA"
std::string ColourText(Rgba c);

// A paint tree as `lumaro-inspect colour` prints it: each node an object
// with its "format" (the table's name without Var) and its fields in snake
// case, colours at the palette chosen.
std::string PaintJson(const PaintNode& node, const ColourTables& tables, const PaintSettings& settings);

// A node's own fields as PaintJson prints them, without its paints and
// stops: each its name and its JSON text.
std::vector<std::pair<std::string, std::string>> PaintFields(const PaintNode& node, const ColourTables& tables,
                                                             const PaintSettings& settings);
bool IsGradient(PaintKind kind);

// COLRv0 layers: [{"glyph", "palette_index", "color"}] in paint order.
std::string LayersJson(const std::vector<ColrLayer>& layers, const ColourTables& tables, const PaintSettings& settings);

// A strike glyph: {"ppem", "image_format", "width", "height", "origin_x", "origin_y"}.
std::string StrikeJson(const StrikeGlyph& glyph);

// An SVG glyph's document: {"document", "first_glyph", "last_glyph", "gzipped", "length"}.
std::string SvgJson(const SvgGlyphDocument& document);
