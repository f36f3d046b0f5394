#pragma once
#include <cstdint>
#include <functional>
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

enum class TextDirection { Auto, LeftToRight, RightToLeft, TopToBottom, BottomToTop };

// How to shape: what hb-shape's --features, --script, --language and
// --direction give.
struct ShapeOptions {
    std::vector<std::string> features; // HarfBuzz syntax items, each checked by SplitFeatures
    std::string script;                // ISO 15924 tag ("Deva"); empty: guessed by HarfBuzz
    std::string language;              // BCP 47 ("hi"); empty: guessed
    TextDirection direction = TextDirection::Auto;
};

// A script tag is four ASCII letters; a language tag is subtags of 1 to 8
// ASCII letters or digits joined by hyphens, the first of letters.
bool ScriptTagValid(std::string_view tag);
bool LanguageTagValid(std::string_view tag);

// One buffer message HarfBuzz gave while shaping, with the buffer as it stood.
struct TraceStep {
    std::string message;             // as hb-shape -V prints it ("start lookup 3 feature 'ccmp'")
    bool characters = false;         // the buffer still holds characters: glyph holds the code point
    bool positioned = false;         // advances and offsets are meaningful (from "start table GPOS" on)
    std::vector<ShapedGlyph> glyphs; // the buffer as it stood at the message
    int lookup = -1;                 // parsed from the message where it names one, else -1
    std::string feature;             // its feature tag where it names one
    bool gpos = false;               // the lookup is GPOS's (else GSUB's) where it names one
};

// A trace keeps at most this many messages, and this many glyphs over all of them.
constexpr long MaxTraceMessages = 200000;
constexpr long MaxTraceEntries = 10000000;

struct ShapeResult {
    std::vector<ShapedGlyph> glyphs;
    std::vector<TraceStep> trace;   // empty unless asked for
    bool traceCut = false;          // the trace reached MaxTraceMessages or MaxTraceEntries and ends there
    std::string script, language;   // what was used (guessed or given)
    TextDirection direction = TextDirection::LeftToRight; // what was used
};

// Shapes the UTF-8 text with face faceIndex of the font's bytes at the
// location, as hb-shape does with the same options: the font's scale its
// unitsPerEm, clusters counting characters (a bad UTF-8 byte is one U+FFFD),
// what the options leave empty guessed from the text. With trace, every
// buffer message is kept in the result. Nothing when HarfBuzz cannot read the
// face or an option is not valid (a feature, script or language tag).
std::optional<ShapeResult> Shape(std::span<const std::uint8_t> fontBytes, int faceIndex, const Location& location,
                                 std::string_view text, const ShapeOptions& options, bool trace = false);

// The same, handing each trace step to onStep as HarfBuzz gives it instead of
// keeping it (for a trace written as it goes); the result's trace is empty.
using TraceSink = std::function<void(const TraceStep&)>;
std::optional<ShapeResult> Shape(std::span<const std::uint8_t> fontBytes, int faceIndex, const Location& location,
                                 std::string_view text, const ShapeOptions& options, const TraceSink& onStep);

// The glyphs alone, with the font's default features and those given.
std::optional<std::vector<ShapedGlyph>> ShapeText(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                  const Location& location, std::string_view text,
                                                  const std::vector<std::string>& features = {});

// Text split into runs by ICU's bidi algorithm (direction Auto: paragraph
// level from the text; LeftToRight/RightToLeft: that paragraph level;
// vertical: one run), each run shaped on its own with its own direction and
// the text around it as context, runs in visual order. Clusters count
// characters of the whole text. Nothing as Shape gives nothing.
struct ShapedRun {
    int start = 0, length = 0; // characters
    bool rightToLeft = false;
    std::vector<ShapedGlyph> glyphs;
};
std::optional<std::vector<ShapedRun>> ShapeRuns(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                const Location& location, std::string_view text,
                                                const ShapeOptions& options);

// What the text view lists: the font's scripts with their languages, and its
// features with names.
struct LayoutFeature {
    std::string tag;
    std::string name; // the UI name (cvXX/ssXX from the name table) or the registered feature's name, else empty
    bool gsub = false, gpos = false;
};
struct LayoutScript {
    std::string tag;
    std::vector<std::string> languages; // language system tags ("MAR "), the default one not listed
    // The same as ShapeOptions takes them, by HarfBuzz's mapping: the script
    // as ISO 15924 ("dev2" gives "Deva"; empty for DFLT), each language as BCP 47 ("MAR " gives "mr").
    std::string script;
    std::vector<std::string> languageCodes;
};
struct FontLayout {
    std::vector<LayoutScript> scripts;   // GSUB's and GPOS's, each once, in table order
    std::vector<LayoutFeature> features; // likewise
    bool verticalMetrics = false;        // vhea and vmtx: vertical text has advances of its own
};
// Empty lists for a face HarfBuzz cannot read or without layout tables.
FontLayout ReadFontLayout(std::span<const std::uint8_t> fontBytes, int faceIndex);

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
