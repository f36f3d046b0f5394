#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sfnt/location.h"

// Text shaped by HarfBuzz, and what HarfBuzz tells of a face's layout tables
// and variation axes.

// One glyph of shaped text, in font units, as hb-shape prints it.
struct ShapedGlyph {
    int glyph = 0;
    int cluster = 0; // index of its first character in the text (characters, not bytes)
    int xAdvance = 0, yAdvance = 0;
    int xOffset = 0, yOffset = 0;
};

// The features given in HarfBuzz's syntax ("-liga,+smcp,kern=0"), one
// comma-separated item each; nothing when an item is no feature.
std::optional<std::vector<std::string>> SplitFeatures(std::string_view features);

// Shapes the UTF-8 text with face faceIndex of the font's bytes at the
// location, with the font's default features and those given (each checked by
// SplitFeatures). Direction, script and language are guessed from the text.
// Nothing when HarfBuzz cannot read the face or a feature is unknown syntax.
std::optional<std::vector<ShapedGlyph>> ShapeText(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                  const Location& location, std::string_view text,
                                                  const std::vector<std::string>& features = {});

// The scripts and features of a GSUB or GPOS table, as tags.
struct LayoutTable {
    std::vector<std::string> scripts;
    std::vector<std::string> features; // in table order, repeats kept once
};

struct VariationAxis {
    std::string tag;
    std::string name;
    double min = 0, defaultValue = 0, max = 0;
    bool hidden = false;
};

struct NamedInstance {
    std::string name;
    std::vector<double> coordinates; // user values, in axis order
};

struct LayoutSummary {
    LayoutTable gsub, gpos;
    std::vector<VariationAxis> axes;
    std::vector<NamedInstance> instances;
};

// What HarfBuzz reads of the face's GSUB, GPOS and fvar; empty parts for
// tables the face does not have.
LayoutSummary ReadLayoutSummary(std::span<const std::uint8_t> fontBytes, int faceIndex);
