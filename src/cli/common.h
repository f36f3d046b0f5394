#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "sfnt/failure.h"
#include "tables/open_font.h"
#include "draw/surface.h"
#include "draw/view.h"

// What the commands share: opening a font as File > Open does, the message
// boxes as a list, and the answers for usage errors and abandoned loads.

// The message boxes the window would have shown, in order.
struct CollectedMessages {
    // The boxes of every report.
    void add(const Reports& reports);
    void MsgBox(const std::string& text) { texts.push_back(text); }
    std::vector<std::string> texts;
};


// The usage, for --help.
void printUsage(std::FILE* to);
// Prints one line, "lumaro-inspect: <problem>; try --help", on standard error; returns 2.
int usageError(const std::string& problem);
// The usage error of a glyph number not below the font's glyph count.
int noSuchGlyph(const FontState& font, const std::string& number);

// Removes "--face N" from args and opens that face of a collection from
// then on (face 0 without it); 0, or the usage error's status.
int takeFace(std::vector<std::string>& args);

// The face the next font opens at (--face's, 0 without it), and a change of it.
int chosenFace();
void chooseFace(int face);

// Opens path (the face --face chose) as File > Open does; a file that cannot
// be read or decoded at all is reported on standard error, a face number not
// below the count as a usage error (the caller then returns 2: notOpened).
OpenedFont openFont(const std::string& path, bool composites, CollectedMessages& messages);
bool notOpened(const OpenedFont& opened);

// For the commands that need a loaded font: the status to exit with when
// path did not load (2 unreadable, 1 abandoned, its messages printed);
// nothing when `opened` holds the font.
std::optional<int> openLoaded(const std::string& path, bool composites, CollectedMessages& messages,
                              OpenedFont& opened);

// Draws the glyph the open shows first, as the window does before any other.
void showFirstGlyph(const OpenedFont& opened, const ViewState& view, DrawingSurface& surface,
                    CollectedMessages& messages);

// Removes every `flag` from args; true when there was one.
bool takeFlag(std::vector<std::string>& args, const std::string& flag);

// The glyphs a command names after its font: numbers, or --all for every glyph.
struct GlyphSelection {
    std::vector<int> numbers;
    bool all = false;
};
// Reads args[1..]; 0, or the usage error's status.
int parseGlyphSelection(const std::vector<std::string>& args, GlyphSelection& selection);
// Checks the numbers against the font and fills in --all; 0, or the usage error's status.
int selectGlyphs(const FontState& font, GlyphSelection& selection);
// For the commands that take a font file and glyph numbers or --all: the
// arguments read (`what`: the usage error's words when there are too few),
// the font opened and the glyphs selected; the status to exit with when any
// of it fails, nothing when `opened` and `selection` are ready.
std::optional<int> openGlyphs(const std::vector<std::string>& args, const std::string& what, bool composites,
                              OpenedFont& opened, GlyphSelection& selection);

// --location TAG=VALUE[,...] and --instance NAME, as given.
struct LocationRequest {
    std::optional<std::string> location;
    std::optional<std::string> instance;
};
// Removes both options (and their values) from args; 0, or the usage error's status.
int takeLocation(std::vector<std::string>& args, LocationRequest& request);
// The user coordinates the request names on the font, axes not named at
// their default, values clamped; the font's defaults without a request.
// 0, or the usage error's status (an unknown tag or instance, either option
// on a font without fvar).
int resolveLocation(const FontState& font, const LocationRequest& request, std::vector<Fixed>& user);
// The same normalized into `location`; 0, or the usage error's status.
int applyLocation(const FontState& font, const LocationRequest& request, Location& location);
// {"wght": 400, ...} of user coordinates.
std::string locationJson(const FontVariations& variations, const std::vector<Fixed>& user);
// A user coordinate as JSON: to four decimals, no trailing zeros.
std::string coordinateJson(Fixed v);

// The answer to an abandoned load: {"messages": [...]}; returns 1.
int printAbandoned(const std::vector<std::string>& messages);

// Prints a JSON document and a line end on standard output.
void printJson(const std::string& json);

// A whole decimal number in [low, high], nothing else; false otherwise.
bool parseNumber(const std::string& text, int low, int high, int& value);

