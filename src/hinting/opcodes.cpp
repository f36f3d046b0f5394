#include "hinting/opcodes.h"

#include <array>

namespace {

struct Family {
    std::uint8_t first;
    std::uint8_t flagBits;
    std::string_view base;
    std::string_view name;
    std::int8_t pops;
    std::int8_t pushes;
};

constexpr std::int8_t V = VariableCount;

// The names are fontTools' (the field's common listing), its spelling
// ("LessThenOrEqual") included, so that listings compare line for line.
constexpr Family Families[] = {
    {0x00, 1, "SVTCA", "SetFPVectorToAxis", 0, 0},
    {0x02, 1, "SPVTCA", "SetPVectorToAxis", 0, 0},
    {0x04, 1, "SFVTCA", "SetFVectorToAxis", 0, 0},
    {0x06, 1, "SPVTL", "SetPVectorToLine", 2, 0},
    {0x08, 1, "SFVTL", "SetFVectorToLine", 2, 0},
    {0x0A, 0, "SPVFS", "SetPVectorFromStack", 2, 0},
    {0x0B, 0, "SFVFS", "SetFVectorFromStack", 2, 0},
    {0x0C, 0, "GPV", "GetPVector", 0, 2},
    {0x0D, 0, "GFV", "GetFVector", 0, 2},
    {0x0E, 0, "SFVTPV", "SetFVectorToPVector", 0, 0},
    {0x0F, 0, "ISECT", "MovePtToIntersect", 5, 0},
    {0x10, 0, "SRP0", "SetRefPoint0", 1, 0},
    {0x11, 0, "SRP1", "SetRefPoint1", 1, 0},
    {0x12, 0, "SRP2", "SetRefPoint2", 1, 0},
    {0x13, 0, "SZP0", "SetZonePointer0", 1, 0},
    {0x14, 0, "SZP1", "SetZonePointer1", 1, 0},
    {0x15, 0, "SZP2", "SetZonePointer2", 1, 0},
    {0x16, 0, "SZPS", "SetZonePointerS", 1, 0},
    {0x17, 0, "SLOOP", "SetLoopVariable", 1, 0},
    {0x18, 0, "RTG", "RoundToGrid", 0, 0},
    {0x19, 0, "RTHG", "RoundToHalfGrid", 0, 0},
    {0x1A, 0, "SMD", "SetMinimumDistance", 1, 0},
    {0x1B, 0, "ELSE", "Else", 0, 0},
    {0x1C, 0, "JMPR", "Jump", 1, 0},
    {0x1D, 0, "SCVTCI", "SetCVTCutIn", 1, 0},
    {0x1E, 0, "SSWCI", "SetSingleWidthCutIn", 1, 0},
    {0x1F, 0, "SSW", "SetSingleWidth", 1, 0},
    {0x20, 0, "DUP", "DuplicateTopStack", 1, 2},
    {0x21, 0, "POP", "PopTopStack", 1, 0},
    {0x22, 0, "CLEAR", "ClearStack", V, 0},
    {0x23, 0, "SWAP", "SwapTopStack", 2, 2},
    {0x24, 0, "DEPTH", "GetDepthStack", 0, 1},
    {0x25, 0, "CINDEX", "CopyXToTopStack", 1, 1},
    {0x26, 0, "MINDEX", "MoveXToTopStack", 1, 1},
    {0x27, 0, "ALIGNPTS", "AlignPts", 2, 0},
    {0x29, 0, "UTP", "UnTouchPt", 1, 0},
    {0x2A, 0, "LOOPCALL", "LoopAndCallFunction", 2, 0},
    {0x2B, 0, "CALL", "CallFunction", 1, 0},
    {0x2C, 0, "FDEF", "FunctionDefinition", 1, 0},
    {0x2D, 0, "ENDF", "EndFunctionDefinition", 0, 0},
    {0x2E, 1, "MDAP", "MoveDirectAbsPt", 1, 0},
    {0x30, 1, "IUP", "InterpolateUntPts", 0, 0},
    {0x32, 1, "SHP", "ShiftPointByLastPoint", V, 0},
    {0x34, 1, "SHC", "ShiftContourByLastPt", 1, 0},
    {0x36, 1, "SHZ", "ShiftZoneByLastPoint", 1, 0},
    {0x38, 0, "SHPIX", "ShiftZoneByPixel", V, 0},
    {0x39, 0, "IP", "InterpolatePts", V, 0},
    {0x3A, 1, "MSIRP", "MoveStackIndirRelPt", 2, 0},
    {0x3C, 0, "ALIGNRP", "AlignRelativePt", V, 0},
    {0x3D, 0, "RTDG", "RoundToDoubleGrid", 0, 0},
    {0x3E, 1, "MIAP", "MoveIndirectAbsPt", 2, 0},
    {0x40, 0, "NPUSHB", "PushNBytes", 0, V},
    {0x41, 0, "NPUSHW", "PushNWords", 0, V},
    {0x42, 0, "WS", "WriteStore", 2, 0},
    {0x43, 0, "RS", "ReadStore", 1, 1},
    {0x44, 0, "WCVTP", "WriteCVTInPixels", 2, 0},
    {0x45, 0, "RCVT", "ReadCVT", 1, 1},
    {0x46, 1, "GC", "GetCoordOnPVector", 1, 1},
    {0x48, 0, "SCFS", "SetCoordFromStackFP", 2, 0},
    {0x49, 1, "MD", "MeasureDistance", 2, 1},
    {0x4B, 0, "MPPEM", "MeasurePixelPerEm", 0, 1},
    {0x4C, 0, "MPS", "MeasurePointSize", 0, 1},
    {0x4D, 0, "FLIPON", "SetAutoFlipOn", 0, 0},
    {0x4E, 0, "FLIPOFF", "SetAutoFlipOff", 0, 0},
    {0x4F, 0, "DEBUG", "DebugCall", 1, 0},
    {0x50, 0, "LT", "LessThan", 2, 1},
    {0x51, 0, "LTEQ", "LessThenOrEqual", 2, 1},
    {0x52, 0, "GT", "GreaterThan", 2, 1},
    {0x53, 0, "GTEQ", "GreaterThanOrEqual", 2, 1},
    {0x54, 0, "EQ", "Equal", 2, 1},
    {0x55, 0, "NEQ", "NotEqual", 2, 1},
    {0x56, 0, "ODD", "Odd", 1, 1},
    {0x57, 0, "EVEN", "Even", 1, 1},
    {0x58, 0, "IF", "If", 1, 0},
    {0x59, 0, "EIF", "EndIf", 0, 0},
    {0x5A, 0, "AND", "LogicalAnd", 2, 1},
    {0x5B, 0, "OR", "LogicalOr", 2, 1},
    {0x5C, 0, "NOT", "LogicalNot", 1, 1},
    {0x5D, 0, "DELTAP1", "DeltaExceptionP1", V, 0},
    {0x5E, 0, "SDB", "SetDeltaBaseInGState", 1, 0},
    {0x5F, 0, "SDS", "SetDeltaShiftInGState", 1, 0},
    {0x60, 0, "ADD", "Add", 2, 1},
    {0x61, 0, "SUB", "Subtract", 2, 1},
    {0x62, 0, "DIV", "Divide", 2, 1},
    {0x63, 0, "MUL", "Multiply", 2, 1},
    {0x64, 0, "ABS", "Absolute", 1, 1},
    {0x65, 0, "NEG", "Negate", 1, 1},
    {0x66, 0, "FLOOR", "Floor", 1, 1},
    {0x67, 0, "CEILING", "Ceiling", 1, 1},
    {0x68, 2, "ROUND", "Round", 1, 1},
    {0x6C, 2, "NROUND", "NoRound", 1, 1},
    {0x70, 0, "WCVTF", "WriteCVTInFUnits", 2, 0},
    {0x71, 0, "DELTAP2", "DeltaExceptionP2", V, 0},
    {0x72, 0, "DELTAP3", "DeltaExceptionP3", V, 0},
    {0x73, 0, "DELTAC1", "DeltaExceptionC1", V, 0},
    {0x74, 0, "DELTAC2", "DeltaExceptionC2", V, 0},
    {0x75, 0, "DELTAC3", "DeltaExceptionC3", V, 0},
    {0x76, 0, "SROUND", "SuperRound", 1, 0},
    {0x77, 0, "S45ROUND", "SuperRound45Degrees", 1, 0},
    {0x78, 0, "JROT", "JumpRelativeOnTrue", 2, 0},
    {0x79, 0, "JROF", "JumpRelativeOnFalse", 2, 0},
    {0x7A, 0, "ROFF", "RoundOff", 0, 0},
    {0x7C, 0, "RUTG", "RoundUpToGrid", 0, 0},
    {0x7D, 0, "RDTG", "RoundDownToGrid", 0, 0},
    {0x7E, 0, "SANGW", "SetAngleWeight", 1, 0},
    {0x7F, 0, "AA", "AdjustAngle", 1, 0},
    {0x80, 0, "FLIPPT", "FlipPoint", V, 0},
    {0x81, 0, "FLIPRGON", "FlipRangeOn", 2, 0},
    {0x82, 0, "FLIPRGOFF", "FlipRangeOff", 2, 0},
    {0x85, 0, "SCANCTRL", "ScanConversionControl", 1, 0},
    {0x86, 1, "SDPVTL", "SetDualPVectorToLine", 2, 0},
    {0x88, 0, "GETINFO", "GetInfo", 1, 1},
    {0x89, 0, "IDEF", "InstructionDefinition", 1, 0},
    {0x8A, 0, "ROLL", "RollTopThreeStack", 3, 3},
    {0x8B, 0, "MAX", "Maximum", 2, 1},
    {0x8C, 0, "MIN", "Minimum", 2, 1},
    {0x8D, 0, "SCANTYPE", "ScanType", 1, 0},
    {0x8E, 0, "INSTCTRL", "SetInstrExecControl", 2, 0},
    {0x91, 0, "GETVARIATION", "GetVariation", 0, V},
    {0xB0, 3, "PUSHB", "PushBytes", 0, V},
    {0xB8, 3, "PUSHW", "PushWords", 0, V},
    {0xC0, 5, "MDRP", "MoveDirectRelPt", 1, 0},
    {0xE0, 5, "MIRP", "MoveIndirectRelPt", 2, 0},
};

constexpr std::array<OpcodeInfo, 256> MakeTable()
{
    std::array<OpcodeInfo, 256> table{};
    for (const Family& f : Families)
        for (int k = 0; k < (1 << f.flagBits); ++k)
            table[std::size_t(f.first + k)] = {f.base, f.name, f.first, f.flagBits, f.pops, f.pushes};
    return table;
}

constexpr std::array<OpcodeInfo, 256> Table = MakeTable();

// The bytes a push takes after its opcode (and count byte).
std::size_t pushBytes(std::size_t count, bool words) { return words ? 2 * count : count; }

} // namespace

const OpcodeInfo& Opcode(std::uint8_t op) { return Table[op]; }

std::string Mnemonic(std::uint8_t op)
{
    const OpcodeInfo& info = Table[op];
    if (!info.known())
        return "INSTR" + std::to_string(op) + "[ ]";
    std::string text(info.base);
    text += '[';
    // A push's flags are its count, which the values pushed show.
    if (info.flagBits == 0 || IsPush(op))
        text += ' ';
    else
        for (int bit = info.flagBits - 1; bit >= 0; --bit)
            text += (op - info.first) >> bit & 1 ? '1' : '0';
    return text + ']';
}

DecodedInstruction DecodeInstruction(std::span<const std::uint8_t> program, std::size_t offset)
{
    DecodedInstruction in;
    in.offset = offset;
    in.opcode = program[offset];
    in.length = 1;
    if (!IsPush(in.opcode))
        return in;

    const std::size_t left = program.size() - offset - 1; // the bytes after the opcode
    std::size_t header = 1;
    if (in.opcode == NPUSHB || in.opcode == NPUSHW) {
        in.words = in.opcode == NPUSHW;
        if (left == 0) { // the count byte itself is missing
            in.truncated = true;
            return in;
        }
        in.pushCount = program[offset + 1];
        header = 2;
    } else {
        in.words = in.opcode >= PUSHW;
        in.pushCount = std::size_t(in.opcode - (in.words ? PUSHW : PUSHB)) + 1;
    }
    const std::size_t wanted = pushBytes(in.pushCount, in.words);
    const std::size_t held = left - (header - 1);
    in.truncated = wanted > held;
    in.data = program.subspan(offset + header, in.truncated ? held : wanted);
    in.length = header + in.data.size();
    return in;
}
