#pragma once
#include <string>
#include <vector>

#include "font/errors.h"
#include "font/font_state.h"
#include "font/loader.h"
#include "glyph/surface.h"
#include "glyph/view.h"

// What the commands share: opening a font as File > Open does, the message
// boxes as a list, and the answers for usage errors and abandoned loads.

// The message boxes the window would have shown, in order.
class CollectedMessages : public MessageSink {
public:
    void MsgBox(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};


// Prints "lumaro-inspect: <problem>" and the usage on standard error; returns 2.
int usageError(const std::string& problem);

// Reads path into font; a file that cannot be read at all is reported on
// standard error (the caller then returns 2).
LoadResult openFont(const std::string& path, FontState& font, MessageSink& sink);

// The answer to an abandoned load: {"messages": [...]}; returns 1.
int printAbandoned(const std::vector<std::string>& messages);

// Prints a JSON document and a line end on standard output.
void printJson(const std::string& json);

// A whole decimal number in [low, high], nothing else; false otherwise.
bool parseNumber(const std::string& text, int low, int high, int& value);

// The glyph an open shows first: glyph 4, or the glyph list's last entry when
// the list is shorter; -1 when the list is empty.
int firstGlyphShown(const FontState& font);
