#pragma once
#include <string>
#include <vector>

#include "colour/colour_glyph.h"
#include "hinting/opcodes.h"
#include "hinting/interpreter.h"
#include "sfnt/failure.h"

// The words of failures, made here and nowhere else.

// The message boxes a failure shows, in order. A numbered code gives the
// "Error!" box with its working values, and for codes 15 and 17 a last line
// from the detail; code 14 comes after "Not found: " and the table's tag;
// an unknown character-map format is "wrong cmapFormat!!" alone; code 19
// raises no box (see StatusNote).
std::vector<std::string> MessageBoxes(const Failure& failure);
// Every report's boxes, in the order they were reported.
std::vector<std::string> MessageBoxes(const Reports& reports);

// What the status bar says of a drawing's reports that raise no box: a glyph
// drawn at the default location because its variation data cannot be used.
// Empty when there is nothing to say.
std::string StatusNote(const Reports& reports);

// What the status bar says of a colour glyph: "colour glyph (COLRv1, 12
// paints)", "(COLRv0, 3 layers)", "(CBDT, 109 ppem)", "(SVG)"; empty for a
// glyph without colour data.
std::string ColourStatus(const ColourGlyph& glyph);

// Why an open was abandoned, for the status bar after "... could not be
// opened: ". The first report that says something decides.
std::string WhyNotOpened(const Reports& reports);

// Why a program's listing ends early: the push `cut` runs past the end of
// the program (its count byte, or values it pushes, missing).
std::string TruncatedPushText(const DecodedInstruction& cut);
// What the status bar says when a glyph's instructions stopped early: the
// instruction, where it is and why; the points keep what the program did.
// "The instructions stopped at DIV[ ] (glyph program, offset 12): a division by zero."
std::string HintingStatus(const HintFailure& failure);

// What the status bar says when the font or control-value program failed at
// a size: every glyph is shown unhinted there.
std::string UnhintedStatus(const HintFailure& failure, int ppem);
