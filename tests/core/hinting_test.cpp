// Single instructions and failures of the TrueType interpreter, on a built
// font whose units are 26.6 pixels at 10 ppem (unitsPerEm 640): glyph 1 is
// the square (100,100)-(300,300), and each case runs a program on it.
#include <gtest/gtest.h>

#include <optional>

#include "hinting/hinted_glyph.h"
#include "hinting/opcodes.h"
#include "hinting/stepping_session.h"
#include "report/messages.h"
#include "support/font_loading.h"
#include "support/variation_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* name;
    Bytes glyph;                  // glyph 1's program
    Bytes fpgm, prep;
    int version = 35;
    Vec point0;                   // where point 0 ends, in the glyph's frame
    std::optional<HintError> failure = std::nullopt; // the glyph program's
    bool unhinted = false;        // the font or control-value program failed
};

// glyf data of the square with `program` after its contour end.
ttf::ByteVector squareWith(const Bytes& program)
{
    ttf::ByteVector data = ttf::glyphData(ttf::squareGlyph(100, 100, 300, 300));
    ttf::putU16(data, 12, std::uint16_t(program.size())); // instructionLength
    data.insert(data.begin() + 14, program.begin(), program.end());
    return data;
}

ttf::ByteVector buildFont(const Case& c, const std::vector<ttf::Table>& extra = {},
                          const ttf::ByteVector& composite = {})
{
    ttf::FontSpec design = ttf::squaresFont(2);
    design.glyphs[1].raw = squareWith(c.glyph);
    if (!composite.empty())
        design.glyphs.push_back({{}, {}, {}, composite});
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    ttf::Table* head = ttf::findTable(tables, "head");
    ttf::putU16(head->data, 18, 640); // unitsPerEm
    ttf::Table* maxp = ttf::findTable(tables, "maxp");
    ttf::putU16(maxp->data, 16, 4);  // maxTwilightPoints
    ttf::putU16(maxp->data, 18, 8);  // maxStorage
    ttf::putU16(maxp->data, 20, 4);  // maxFunctionDefs
    ttf::putU16(maxp->data, 24, 16); // maxStackElements
    tables.push_back({"cvt ", {0, 200, 0xFF, 0x9C}}); // 200, -100
    if (!c.fpgm.empty())
        tables.push_back({"fpgm", c.fpgm});
    if (!c.prep.empty())
        tables.push_back({"prep", c.prep});
    tables.insert(tables.end(), extra.begin(), extra.end());
    return ttf::assemble(tables);
}

HintedGlyph hint(const ttf::ByteVector& bytes, int version, const Location& location = {})
{
    FontState font;
    RecordingSink sink;
    EXPECT_EQ(loadFontBytes(font, sink, bytes), LoadResult::Loaded);
    HintingContext context(font);
    return context.HintGlyph(1, 10, version, location);
}

Bytes npushb(std::uint8_t n)
{
    Bytes b{0x40, n};
    b.resize(2 + std::size_t(n), 1);
    return b;
}

// Glyph 1: lsb 1, xMin 100: its first phantom point is at x = 99, and
// v35's frame starts at it rounded; v40's (and an unhinted glyph's) at 99.
constexpr std::int64_t Origin = 128, Unrounded = 99;

const Case Cases[] = {
    {"MDAP[1] rounds x", {0xB0, 0, 0x2F}, {}, {}, 35, {128 - Origin, 100}},
    {"SVTCA[0] then MDAP[1] rounds y", {0x00, 0xB0, 0, 0x2F}, {}, {}, 35, {100 - Origin, 128}},
    {"an underflow reads zeros", {0x2F}, {}, {}, 35, {128 - Origin, 100}},
    {"a point out of range is skipped", {0xB0, 50, 0x2F}, {}, {}, 35, {100 - Origin, 100}},
    {"MIAP[0] takes the CVT", {0xB1, 0, 0, 0x3E}, {}, {}, 35, {200 - Origin, 100}},
    {"MIAP with a CVT entry out of range is skipped", {0xB1, 0, 9, 0x3E}, {}, {}, 35, {100 - Origin, 100}},
    {"RS of storage out of range reads 0", {0xB1, 0, 99, 0x43, 0x2F}, {}, {}, 35, {128 - Origin, 100}},
    {"SHPIX moves the first phantom point: the frame follows", {0xB1, 4, 64, 0x38}, {}, {}, 35, {100 - 192, 100}},
    {"SHPIX in x is ignored in backward compatibility", {0xB1, 4, 64, 0x38}, {}, {}, 40, {100 - Unrounded, 100}},
    {"DIV by zero stops the program", {0xB1, 1, 0, 0x62, 0xB0, 0, 0x2F}, {}, {}, 35, {100 - Origin, 100},
     HintError::DivideByZero},
    {"CALL of an undefined function", {0xB0, 3, 0x2B}, {}, {}, 35, {100 - Origin, 100}, HintError::UndefinedFunction},
    {"a function calling itself", {0xB0, 0, 0x2B}, {0xB0, 0, 0x2C, 0xB0, 0, 0x2B, 0x2D}, {}, 35,
     {100 - Origin, 100}, HintError::CallTooDeep},
    {"a function rounds point 0", {0xB0, 1, 0x2B}, {0xB0, 1, 0x2C, 0xB0, 0, 0x2F, 0x2D}, {}, 35,
     {128 - Origin, 100}},
    {"a backward jump forever", {0xB8, 0xFF, 0xFD, 0x1C}, {}, {}, 35, {100 - Origin, 100}, HintError::RunawayLoop},
    {"a push that runs past the program", {0x40, 60}, {}, {}, 35, {100 - Origin, 100}, HintError::CodeOverflow},
    {"a push past the stack (16 + 32 values)", npushb(60), {}, {}, 35, {100 - Origin, 100}, HintError::StackOverflow},
    {"FDEF in a glyph program", {0xB0, 0, 0x2C, 0x2D}, {}, {}, 35, {100 - Origin, 100},
     HintError::DefinitionInGlyph},
    {"an undefined opcode", {0x28}, {}, {}, 35, {100 - Origin, 100}, HintError::InvalidOpcode},
    {"IF false skips to ELSE", {0xB0, 0, 0x58, 0x00, 0x1B, 0xB0, 0, 0x2F, 0x59}, {}, {}, 35, {128 - Origin, 100}},
    {"the control-value program fails: unhinted", {0xB0, 0, 0x2F}, {}, {0xB1, 1, 0, 0x62}, 35,
     {100 - Unrounded, 100}, std::nullopt, true},
    {"the control-value program turns instructions off", {0xB0, 0, 0x2F}, {}, {0xB1, 1, 1, 0x8E}, 35,
     {100 - Unrounded, 100}},
};

TEST(Hinting, SingleInstructionsAndFailures)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        const HintedGlyph g = hint(buildFont(c), c.version);
        ASSERT_EQ(g.points.size(), 4u);
        EXPECT_EQ(g.points[0].x, c.point0.x);
        EXPECT_EQ(g.points[0].y, c.point0.y);
        EXPECT_EQ(g.sizeFailure.has_value(), c.unhinted);
        // Both control-value programs here leave the glyph unhinted.
        EXPECT_EQ(g.hinted, c.prep.empty());
        if (!g.hinted) {
            EXPECT_EQ(g.instructions, 0);
        }
        if (c.failure) {
            ASSERT_EQ(g.failures.size(), 1u);
            EXPECT_EQ(g.failures[0].error, *c.failure);
            EXPECT_NE(HintingStatus(g.failures[0]).find(Mnemonic(g.failures[0].opcode)), std::string::npos);
        } else {
            EXPECT_TRUE(g.failures.empty());
        }
    }
}

// The debugger's run: the glyph program steps one instruction at a time,
// each step recording what it popped and moved.
TEST(Hinting, GlyphProgramSteps)
{
    const Case c{"PUSHB 0, MDAP[1]", {0xB0, 0, 0x2F}, {}, {}, 35, {}};
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, buildFont(c)), LoadResult::Loaded);
    HintingContext context(font);
    std::optional<Execution> run = context.GlyphExecution(1, 10, 35, {});
    ASSERT_TRUE(run);
    run->recordSteps = true;
    EXPECT_TRUE(run->Step());
    EXPECT_EQ(run->top, 1u);
    EXPECT_FALSE(run->Step());
    EXPECT_EQ(run->lastStep.pops, std::vector<std::int64_t>{0});
    ASSERT_EQ(run->lastStep.moved.size(), 1u);
    EXPECT_EQ(run->lastStep.moved[0].to, (Vec{128, 100}));
    EXPECT_TRUE(run->finished);
    EXPECT_FALSE(context.GlyphExecution(0, 10, 35, {})); // glyph 0 has no program
}

// cvar moves CVT entry 0 from 200 to 240 at the axis maximum; MIAP shows it.
TEST(Hinting, CvarVariesTheCvt)
{
    const Case c{"MIAP[0] takes the varied CVT", {0xB1, 0, 0, 0x3E}, {}, {}, 35, {}};
    ttf::Bytes cvar;
    cvar.u32(0x00010000).u16(1).u16(14);         // version, one tuple, data at 14
    cvar.u16(6).u16(0xA000).i16(ttf::f2dot14(1)); // size, embedded peak + own points; peak 1.0
    cvar.u8(0);                                   // every entry
    ttf::packDeltas(cvar, {40, 0});
    ttf::putU16(cvar.data, 8, std::uint16_t(cvar.size() - 14));
    const auto bytes = buildFont(c, {{"fvar", ttf::fvarTable({{"wght", 100, 400, 900}}, {})}, {"cvar", cvar.data}});
    EXPECT_EQ(hint(bytes, 35, Location{{1.0}}).points[0].x, 240 - Origin);
    EXPECT_EQ(hint(bytes, 35, Location{{0.5}}).points[0].x, 220 - Origin);
    EXPECT_EQ(hint(bytes, 35).points[0].x, 200 - Origin);
}

// The debugger's controls over a function, the control-value program and a
// composite: fpgm defines function 0 (round point 0), prep sets CVT 0 to
// 128, glyph 1 calls the function and rounds point 1, and glyph 2 (glyph 1
// as its component) moves point 2 to CVT 0 after its component's program.
TEST(Hinting, SteppingSession)
{
    const Case c{"", {0xB0, 0, 0x2B, 0xB0, 1, 0x2F}, {0xB0, 0, 0x2C, 0xB0, 0, 0x2F, 0x2D}, {0xB1, 0, 128, 0x44}, 35, {}};
    constexpr std::uint16_t WE_HAVE_INSTRUCTIONS = 0x0100;
    ttf::ByteVector composite = ttf::glyphData(ttf::compositeGlyph({{1, 0, 0, {}, false, WE_HAVE_INSTRUCTIONS}}));
    for (const std::uint8_t b : {0, 4, 0xB1, 2, 0, 0x3E}) // length 4: MIAP[0] point 2, CVT 0
        composite.push_back(b);
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, buildFont(c, {}, composite)), LoadResult::Loaded);
    SteppingSession session(font);
    const auto x = [&](std::uint32_t point) { return session.execution().glyph.cur[point].x; };

    ASSERT_TRUE(session.Load(1, 10, 35, {}, Program::Glyph));
    session.Step();
    session.StepOver(); // the CALL, run to its return
    EXPECT_TRUE(session.execution().calls.empty());
    EXPECT_EQ(session.execution().ip, 3u);
    EXPECT_EQ(x(0), 128);
    ASSERT_EQ(session.movesOf(false, 0).size(), 1u);
    EXPECT_EQ(session.movesOf(false, 0)[0].program, Program::Fpgm);

    session.Restart();
    EXPECT_EQ(session.steps(), 0);
    EXPECT_EQ(x(0), 100);
    session.ToggleBreakpoint(Program::Fpgm, 5); // the function's MDAP
    session.RunToBreakpoint();
    EXPECT_EQ(session.execution().range, Program::Fpgm);
    EXPECT_EQ(session.execution().ip, 5u);
    EXPECT_EQ(session.execution().calls.size(), 1u);
    session.StepOut();
    EXPECT_EQ(session.execution().range, Program::Glyph);
    session.RunToEnd();
    EXPECT_TRUE(session.execution().finished);
    EXPECT_EQ(x(1), 128);

    ASSERT_TRUE(session.Load(1, 10, 35, {}, Program::Prep));
    EXPECT_EQ(session.startCvt().at(0), 200);
    session.RunToEnd();
    EXPECT_EQ(session.execution().Cvt().at(0), 128);

    ASSERT_TRUE(session.Load(2, 10, 35, {}, Program::Glyph));
    EXPECT_EQ(x(0), 128); // the component's own program has run
    EXPECT_EQ(x(2), 300);
    session.RunToEnd();
    EXPECT_EQ(x(2), 128);
    EXPECT_TRUE(session.execution().failures.empty());
}

} // namespace
