// TrueType programs that end inside a push, hold undefined opcodes or are
// empty, and glyph instructions that run past the glyph's data.
#include <gtest/gtest.h>

#include "hinting/disassembly.h"
#include "outline/composite.h"
#include "report/messages.h"
#include "support/glyph_font.h"

namespace {

const std::string Svtca0 = "SVTCA[0]\t/* SetFPVectorToAxis */";

TEST(Instructions, MalformedProgramsListWhatTheyHold)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> program;
        std::vector<std::string> lines;
        std::string message; // empty: the listing ends with the program
    };
    const Case cases[] = {
        {"empty", {}, {}, ""},
        {"undefined opcodes", {0x28, 0x00, 0x92}, {"INSTR40[ ]", Svtca0, "INSTR146[ ]"}, ""},
        {"signed words", {0xB9, 0xFF, 0xFE, 0x01, 0x00}, {"PUSHW[ ]\t/* 2 values pushed */", "-2", "256"}, ""},
        {"a count of 0", {0x40, 0x00, 0x00}, {"NPUSHB[ ]\t/* 0 values pushed */", Svtca0}, ""},
        {"PUSHB past the end", {0x00, 0xB2, 7, 8}, {Svtca0},
         "The program ends inside PUSHB at offset 1: it pushes 3 values, the program holds 2."},
        {"half a word", {0xB8, 0x01}, {},
         "The program ends inside PUSHW at offset 0: it pushes 1 value, the program holds 0."},
        {"NPUSHW past the end", {0x41, 0x02, 0x00, 0x01, 0x00}, {},
         "The program ends inside NPUSHW at offset 0: it pushes 2 values, the program holds 1."},
        {"NPUSHB without its count", {0x00, 0x40}, {Svtca0},
         "The program ends inside NPUSHB at offset 1: its count byte is missing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Disassembly listing = Disassemble(c.program);
        EXPECT_EQ(listing.lines, c.lines);
        EXPECT_EQ(listing.truncated, !c.message.empty());
        if (listing.truncated) {
            EXPECT_EQ(TruncatedPushText(listing.cut), c.message);
            EXPECT_EQ(listing.end, listing.cut.offset);
            EXPECT_EQ(listing.cut.offset + listing.cut.length, c.program.size()); // a skip ends at the end
        } else {
            EXPECT_EQ(listing.end, c.program.size());
        }
    }
}

TEST(Instructions, DefinitionsAreNumberedByWhatWasPushed)
{
    // PUSHB 1 0; FDEF ENDF; FDEF ENDF; PUSHB 2 3; ADD; FDEF ENDF; IDEF (below what was pushed) ENDF
    const std::vector<std::uint8_t> program = {0xB1, 1, 0, 0x2C, 0x2D, 0x2C, 0x2D, 0xB1, 2, 3, 0x60,
                                               0x2C, 0x2D, 0x89, 0x2D};
    const Disassembly listing = Disassemble(program);
    std::vector<std::string> names;
    for (const ListedInstruction& in : listing.instructions)
        if (in.opcode == 0x2C || in.opcode == 0x89)
            names.push_back(DefinitionName(in));
    EXPECT_EQ(names, (std::vector<std::string>{"FDEF 0", "FDEF 1", "FDEF ?", "IDEF ?"}));
    EXPECT_EQ(DefinitionAt(listing, 1), std::optional<std::size_t>(3)); // after the push and FDEF 0, ENDF
    EXPECT_EQ(DefinitionAt(listing, 2), std::nullopt);
    EXPECT_EQ(DefinitionAt(listing, 0, true), std::nullopt);
}

TEST(Instructions, GlyphInstructionsStayInsideTheGlyph)
{
    using ttf::Bytes;
    const auto simple = [](std::uint16_t length, std::vector<std::uint8_t> code) {
        Bytes b;
        b.i16(1).i16(0).i16(0).i16(0).i16(0).u16(0).u16(length); // one contour of one point
        for (std::uint8_t v : code)
            b.u8(v);
        return rawGlyph(b.u8(ON_CURVE).u16(0).u16(0).data);
    };
    const auto composite = [](std::uint16_t flags, std::vector<std::uint8_t> code) {
        Bytes b;
        b.i16(-1).i16(0).i16(0).i16(0).i16(0).u16(flags | MORE_COMPONENTS).u16(0).u16(0);
        b.u16(flags).u16(0).u16(0).u16(std::uint16_t(code.size()));
        for (std::uint8_t v : code)
            b.u8(v);
        return rawGlyph(b.data);
    };
    FontState font;
    fillGlyphFont(font, {simple(2, {0x00, 0x01}), simple(900, {}), composite(WE_HAVE_INSTRUCTIONS, {0x30}),
                         composite(0, {0x30}), ttf::Glyph{}});
    struct Case {
        int glyph;
        std::vector<std::uint8_t> bytes;
        bool fails;
    };
    for (const Case& c : {Case{0, {0x00, 0x01}, false}, Case{1, {}, true}, Case{2, {0x30}, false},
                          Case{3, {}, false}, Case{4, {}, false}}) {
        SCOPED_TRACE(c.glyph);
        const GlyphProgram program = GlyphInstructions(font, c.glyph);
        EXPECT_EQ(std::vector<std::uint8_t>(program.bytes.begin(), program.bytes.end()), c.bytes);
        EXPECT_EQ(program.failure.has_value(), c.fails);
    }
}

} // namespace
