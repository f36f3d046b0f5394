#pragma once
// Charstrings that break the reader's limits, each with the reason it gives:
// the damaged-charstring tests and the fuzzers' seeds.
#include <vector>

#include "support/cff_builder.h"

namespace cff {

struct DamagedCase {
    const char* name;
    FontDesign design; // glyph 1 is the damaged one
    const char* why;
};

inline FontDesign withGlyph(ttf::ByteVector glyph, std::vector<ttf::ByteVector> subrs = {})
{
    FontDesign d;
    d.charStrings = {Code().op(EndChar).bytes(), std::move(glyph)};
    d.localSubrs = {std::move(subrs)};
    return d;
}

// Subroutine k calls subroutine k + 1 ten times: 10^9 calls from glyph 1.
inline std::vector<ttf::ByteVector> fanOut()
{
    std::vector<ttf::ByteVector> subrs;
    for (int k = 0; k < 9; ++k) {
        Code c;
        for (int i = 0; i < 10; ++i)
            c.n(k + 1 - 107).op(CallSubr);
        subrs.push_back(c.op(Return).bytes());
    }
    subrs.push_back(Code().op(Return).bytes());
    return subrs;
}

inline std::vector<DamagedCase> damagedCases()
{
    Code tooMany;
    for (int i = 0; i < 49; ++i)
        tooMany.n(1);
    return {
        {"DeepRecursion", withGlyph(Code().n(-107).op(CallSubr).bytes(), {Code().n(-107).op(CallSubr).bytes()}),
         "subroutines nested deeper than 10"},
        {"StackOverflow", withGlyph(tooMany.op(RLineTo).bytes()), "argument stack overflow (more than 48 operands)"},
        {"SubrOutOfRange", withGlyph(Code().n(5).op(CallSubr).bytes(), {Code().op(Return).bytes()}),
         "subroutine 112 is not in the font (1 there)"},
        {"GlobalSubrMissing", withGlyph(Code().n(0).op(CallGSubr).bytes()),
         "global subroutine 107 is not in the font (0 there)"},
        {"EndlessCalls", withGlyph(Code().n(-107).op(CallSubr).bytes(), fanOut()), "more than 20000 operators"},
        {"HintMaskBeforeStems", withGlyph(Code().op(HintMask).raw({0xff}).ns({1, 1}).op(RMoveTo).bytes()),
         "hintmask before any stem"},
        {"TooFewOperands", withGlyph(Code().n(1).op(RRCurveTo).bytes()), "too few operands for a curveto"},
        {"OddRLineCurve", withGlyph(Code().ns({0, 0}).op(RMoveTo).ns({5, 5, 10, 0, 10, 20, 30, 40, 50}).op(RLineCurve).bytes()),
         "rlinecurve with an odd number of operands"},
        {"CutNumber", withGlyph(Code().raw({28, 1}).bytes()), "a number runs past the end of the charstring"},
    };
}

} // namespace cff
