#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The TrueType instruction set: one entry per opcode byte, shared by the
// disassembly, the interpreter and the debugger.

// Pops or pushes that the opcode alone does not fix: the loop variable
// (ALIGNRP, FLIPPT, IP, SHP, SHPIX), a count on the stack (DELTAP*, DELTAC*),
// the whole stack (CLEAR), the instruction stream (the pushes) or the
// font's axis count (GETVARIATION).
inline constexpr std::int8_t VariableCount = -1;

struct OpcodeInfo {
    std::string_view base; // "MIRP"; empty for a byte the instruction set leaves undefined
    std::string_view name; // the descriptive name, "MoveIndirectRelPt"
    std::uint8_t first = 0;    // the family's first opcode: MIRP[00000] is 0xE0
    std::uint8_t flagBits = 0; // how many low bits of the opcode are its flags (MIRP: 5)
    std::int8_t pops = 0;      // values taken from the stack, or VariableCount
    std::int8_t pushes = 0;    // values put on it, or VariableCount
    bool known() const { return !base.empty(); }
};

// The entry of opcode byte op; an undefined byte has an empty base.
const OpcodeInfo& Opcode(std::uint8_t op);

// The mnemonic with its flag bits as listings write it: "MIRP[10100]",
// "SVTCA[0]", and every push without its count bits, "PUSHB[ ]", as
// fontTools writes them; an undefined byte is "INSTR145[ ]".
std::string Mnemonic(std::uint8_t op);

// The instructions that take their values from the instruction stream.
enum PushOpcode : std::uint8_t {
    NPUSHB = 0x40, // a count byte, then that many bytes
    NPUSHW = 0x41, // a count byte, then that many words
    PUSHB = 0xB0,  // PUSHB[000] to PUSHB[111]: 1 to 8 bytes
    PUSHW = 0xB8,  // PUSHW[000] to PUSHW[111]: 1 to 8 words
};
inline bool IsPush(std::uint8_t op) { return op == NPUSHB || op == NPUSHW || (op >= PUSHB && op < PUSHW + 8); }

// One instruction as it stands in a program.
struct DecodedInstruction {
    std::size_t offset = 0;      // of the opcode in the program
    std::size_t length = 0;      // bytes it takes, its pushed data included; to the end of the program when truncated
    std::uint8_t opcode = 0;
    std::size_t pushCount = 0;   // the values a push says it pushes (NPUSHB: its count byte)
    bool words = false;          // the values are signed 16-bit words, else unsigned bytes
    bool truncated = false;      // the push runs past the end of the program (NPUSH*: its count byte too)
    std::span<const std::uint8_t> data; // the pushed values' bytes the program holds

    // How many of the pushed values the program holds whole.
    std::size_t available() const { return words ? data.size() / 2 : data.size(); }
    // Pushed value k (k < available()): a word is signed, a byte is not.
    std::int32_t value(std::size_t k) const
    {
        return words ? std::int16_t(data[2 * k] << 8 | data[2 * k + 1]) : std::int32_t(data[k]);
    }
};

// The instruction at `offset` (< program.size()). Never reads outside the
// program: a push that runs past its end is marked truncated, its length
// the bytes left.
DecodedInstruction DecodeInstruction(std::span<const std::uint8_t> program, std::size_t offset);
