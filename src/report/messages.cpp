#include "report/messages.h"

#include <cmath>
#include <cstdio>

#include "hinting/opcodes.h"

namespace {

// CurvePoint is a float in the message; it is whole in practice, but a
// fraction would be written after a decimal point.
std::string blankSignedReal(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return BlankSigned((long long)value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", std::fabs(value));
    return (value < 0 ? "-" : " ") + std::string(buf);
}

std::string errorBox(const Failure& failure)
{
    const ErrorContext& work = failure.context;
    std::string text = "Error!\r\nCode =" + BlankSigned(failure.code)
                     + "\r\nNumberOffContours =" + BlankSigned(work.NumberOfContours)
                     + "\r\npontdb =" + BlankSigned(work.PointCount) + "\r\nb =" + blankSignedReal(work.CurvePoint);
    if (failure.code == ReadPastEnd)
        text += "\r\nReading: " + failure.detail;
    else if (failure.code == BadComposite)
        text += "\r\nComposite: " + failure.detail;
    else if (failure.code == BadCharString)
        text += "\r\nCharString: " + failure.detail;
    return text;
}

} // namespace

std::vector<std::string> MessageBoxes(const Failure& failure)
{
    if (failure.code == CmapFormatUnknown)
        return {"wrong cmapFormat!!"};
    if (failure.code == TableMissing)
        return {"Not found: " + failure.detail, errorBox(failure)};
    if (failure.code == BadVariations)
        return {};
    return {errorBox(failure)};
}

std::string StatusNote(const Reports& reports)
{
    for (const Failure& failure : reports)
        if (failure.code == BadVariations)
            return "Glyph " + std::to_string(failure.context.GlyphIndex)
                 + " is drawn at the default location: its variation data cannot be used (" + failure.detail + ").";
    return {};
}

std::vector<std::string> MessageBoxes(const Reports& reports)
{
    std::vector<std::string> boxes;
    for (const Failure& failure : reports)
        for (std::string& box : MessageBoxes(failure))
            boxes.push_back(std::move(box));
    return boxes;
}

std::string ColourStatus(const ColourGlyph& glyph)
{
    const auto count = [](std::size_t n, const char* what) {
        return ", " + std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    std::string detail;
    switch (glyph.format) {
    case ColourFormat::None: return {};
    case ColourFormat::ColrV1: detail = glyph.paint ? count(std::size_t(CountPaints(*glyph.paint)), "paint") : ""; break;
    case ColourFormat::ColrV0: detail = count(glyph.layers.size(), "layer"); break;
    case ColourFormat::Cbdt:
    case ColourFormat::Sbix:
        if (glyph.strike && glyph.strike->strikeIndex >= 0)
            detail = ", " + std::to_string(glyph.strike->strike.ppem) + " ppem";
        break;
    case ColourFormat::Svg: break;
    }
    return std::string("colour glyph (") + ColourFormatName(glyph.format) + detail + ")";
}

std::string WhyNotOpened(const Reports& reports)
{
    for (const Failure& failure : reports) {
        switch (failure.code) {
        case TableMissing:
            return "it has no " + failure.detail + " table";
        case ReadPastEnd:
            return "the file ends inside its " + failure.detail;
        case TooManyTables:
            return "it lists more than 32 tables";
        case BadLocaFormat:
            return "its glyph locations are in an unknown format";
        default:
            break;
        }
    }
    return "the file cannot be read";
}

std::string TruncatedPushText(const DecodedInstruction& cut)
{
    const std::string what = std::string(Opcode(cut.opcode).base) + " at offset " + std::to_string(cut.offset);
    if (cut.pushCount == 0)
        return "The program ends inside " + what + ": its count byte is missing.";
    return "The program ends inside " + what + ": it pushes " + std::to_string(cut.pushCount)
         + (cut.pushCount == 1 ? " value" : " values") + ", the program holds " + std::to_string(cut.available()) + ".";
}

namespace {

const char* programName(Program program)
{
    switch (program) {
    case Program::Fpgm: return "font program";
    case Program::Prep: return "control-value program";
    case Program::Glyph: break;
    }
    return "glyph program";
}

const char* hintErrorText(HintError error)
{
    switch (error) {
    case HintError::StackOverflow: return "the stack is full";
    case HintError::DivideByZero: return "a division by zero";
    case HintError::BadJump: return "a jump out of its program or function";
    case HintError::CallTooDeep: return "calls nested deeper than 32";
    case HintError::UndefinedFunction: return "a call of a function that is not defined";
    case HintError::TooManyInstructions: return "more than 1000000 instructions";
    case HintError::RunawayLoop: return "a loop that runs too long";
    case HintError::InvalidOpcode: return "an opcode without a meaning";
    case HintError::CodeOverflow: return "the program ends inside an instruction or a function";
    case HintError::NestedDefinition: return "a definition inside a definition";
    case HintError::DefinitionInGlyph: return "a definition in a glyph program";
    case HintError::TooManyDefinitions: return "more definitions than maxp allows";
    case HintError::EndWithoutCall: return "ENDF outside a function";
    case HintError::DebugOpcode: return "DEBUG, which is not run";
    }
    return "an error";
}

std::string where(const HintFailure& failure)
{
    return Mnemonic(failure.opcode) + " (" + programName(failure.program) + ", offset "
         + std::to_string(failure.offset) + "): " + hintErrorText(failure.error);
}

} // namespace

std::string HintingStatus(const HintFailure& failure)
{
    return "The instructions stopped at " + where(failure) + ".";
}

std::string UnhintedStatus(const HintFailure& failure, int ppem)
{
    return "Glyphs are shown unhinted at " + std::to_string(ppem) + " ppem: the instructions stopped at "
         + where(failure) + ".";
}
