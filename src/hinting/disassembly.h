#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hinting/opcodes.h"

// A program's listing as fontTools' Program.getAssembly() writes it, and the
// same per instruction for the debugger.

// One instruction of the listing.
struct ListedInstruction {
    std::size_t offset = 0;    // of its opcode in the program
    std::uint8_t opcode = 0;
    std::size_t line = 0;      // its first line in Disassembly::lines; a push's values follow it
    // FDEF and IDEF: the function or opcode number it defines, as the
    // pushes before it give it; nothing where they do not say (the number was
    // computed) and for every other instruction.
    std::optional<std::int32_t> defines;
};

struct Disassembly {
    std::vector<std::string> lines;               // getAssembly()'s lines
    std::vector<ListedInstruction> instructions;  // in program order
    // A push that runs past the end of the program ends the listing before
    // it: where it starts, else the program's length when it ends whole.
    std::size_t end = 0;
    bool truncated = false;
    DecodedInstruction cut; // the push that ran past the end, when truncated
};

// The listing of `program`; any bytes at all give one, undefined opcodes
// as "INSTR145[ ]". An NPUSHB or NPUSHW with a count of 0 is listed as
// "NPUSHB[ ]\t/* 0 values pushed */" (fontTools refuses such a program).
Disassembly Disassemble(std::span<const std::uint8_t> program);

// "FDEF 12", "IDEF 145"; "FDEF ?" where the number is not known.
std::string DefinitionName(const ListedInstruction& instruction);


// Where function `number` starts (an index into `instructions`), or with
// `idef` where opcode `number` is defined: the last definition that names it,
// since a later one replaces an earlier one when the program runs; nothing
// when none does.
std::optional<std::size_t> DefinitionAt(const Disassembly& listing, std::int32_t number, bool idef = false);
