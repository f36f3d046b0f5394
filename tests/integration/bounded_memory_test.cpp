// lumaro-inspect on small fonts built to multiply their size: every command
// stays within a fixed memory budget, whatever the records and glyphs claim.
#include <algorithm>
#include <chrono>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "layout/lookup_content.h"
#include "sfnt/table_directory.h"
#include "support/cff_damaged.h"
#include "support/colour_tables.h"
#include "support/colr_builder.h"
#include "support/compressors.h"
#include "support/container_builder.h"
#include "support/crafted_fonts.h"
#include "support/variation_builder.h"
#include "tables/loader.h"

extern char** environ;

namespace {

// The sanitizers' shadow memory and quarantine come on top of what the tool
// uses, and they slow it tenfold: there the fonts claim less.
#if defined(__SANITIZE_ADDRESS__)
constexpr long BudgetKilobytes = 256 * 1024;
constexpr std::uint8_t NameFill = 0x02; // records of 514 bytes
constexpr int AllGlyphs = 200;
constexpr double FewSeconds = 30;
#else
constexpr long BudgetKilobytes = 64 * 1024;
constexpr std::uint8_t NameFill = 0x06; // records of 1542 bytes
constexpr int AllGlyphs = 1000;
constexpr double FewSeconds = 5;
#endif

struct Usage {
    int status = -1;
    long peakKilobytes = 0;
    double seconds = 0;
};

// Runs lumaro-inspect with its standard output written to `output` (thrown
// away by default); its exit status and peak memory.
Usage measure(std::vector<std::string> args, const std::string& output = "/dev/null")
{
    args.insert(args.begin(), LUMARO_INSPECT);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    Usage usage;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, LUMARO_INSPECT, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage r{};
        wait4(pid, &status, 0, &r);
        usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        usage.peakKilobytes = r.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    usage.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return usage;
}

// Glyph 1: 3 000 contours of one point; glyph 2: 256 copies of one square,
// every contour on top of the others.
ttf::ByteVector coincidentContoursFont()
{
    ttf::FontSpec design = ttf::craftedBase();
    design.glyphs[1] = ttf::pointRowGlyph(3000);
    design.glyphs[2] = ttf::compositeGlyph(std::vector<ttf::Component>(256, ttf::Component{3, 0, 0}));
    return ttf::buildFont(design);
}

struct Amplifier {
    const char* what;
    ttf::ByteVector bytes;
    std::vector<std::vector<std::string>> commands; // after the font
};

TEST(BoundedMemory, EveryCommandOnFontsThatMultiplyTheirSize)
{
    // Names: 65 535 records over one storage (100 MB of text unsanitized).
    // Glyphs: 65 535 glyphs of one 2000-point glyph; --all on fewer of them.
    const Amplifier cases[] = {
        {"shared name storage", ttf::sharedNameStorageFont(0xFFFF, NameFill),
         {{"names"}, {"load"}, {"map"}, {"find", "A", "U+0041"}}},
        {"shared glyph data", ttf::sharedGlyphFont(),
         {{"load", "--composites"}, {"glyph", "0", "1", "65534"}, {"outline", "65534"}, {"find", "65534", "x"},
          {"names"}, {"map"}, {"check", "0", "1", "65534"}}},
        {"shared glyph data, every glyph", ttf::sharedGlyphFont(AllGlyphs),
         {{"glyph", "--all", "--composites"}, {"outline", "--all"}, {"check"}, {"diff"}}},
        {"one-point and coincident contours", coincidentContoursFont(), {{"check"}, {"diff"}}},
        {"long format 4", ttf::longFormat4Font(), {{"map"}, {"load"}}},
        {"composites 64 wide and 16 deep", ttf::compositeFanFont(),
         {{"outline", "1"}, {"glyph", "1", "--composites"}, {"load", "--composites"}, {"check", "1"}}},
    };
    for (const Amplifier& c : cases) {
        ASSERT_LT(c.bytes.size(), 1u << 20) << c.what;
        ttf::TempFontFile file(c.bytes);
        for (std::vector<std::string> args : c.commands) {
            const std::string command = c.what + std::string(": ") + args[0];
            args.insert(args.begin() + 1, file.path());
            if (args[0] == "diff") // the font with itself
                args.insert(args.begin() + 1, file.path());
            const Usage u = measure(args);
            EXPECT_TRUE(u.status == 0 || u.status == 1) << command << ": status " << u.status; // 1: a glyph abandoned
            EXPECT_LT(u.peakKilobytes, BudgetKilobytes) << command;
            EXPECT_LT(u.seconds, 60) << command;
        }
    }
}

} // namespace

namespace {

// Containers whose headers claim far more than they hold: refused, or
// decoded to what they hold, within the budget either way.
TEST(BoundedMemory, ContainersClaimingHugeSizes)
{
    std::ifstream in(std::string(FIRACODE_WEB_DIR) + "/woff2/FiraCode-Regular.woff2", std::ios::binary);
    ttf::ByteVector woff2{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(woff2.size(), 48u);
    ttf::putU32(woff2, 16, 250u << 20); // totalSfntSize: 250 MB
    ttf::ByteVector ttc = ttf::collection({ttf::buildFont(ttf::squaresFont(3))});
    ttf::putU32(ttc, 8, 0xFFFFFFFF);
    ttf::ByteVector woff = ttf::woff(ttf::buildFont(ttf::squaresFont(3)));
    ttf::putU32(woff, ttf::woffEntryAt(1) + 12, 0xFFFFFFF0); // glyf: origLength
    ttf::putU32(woff, 16, 0xFFFFFFFF);                       // totalSfntSize
    for (const ttf::ByteVector& bytes : {woff2, ttc, woff}) {
        ttf::TempFontFile file(bytes);
        for (const char* command : {"load", "names"}) {
            const Usage u = measure({command, file.path()});
            EXPECT_TRUE(u.status == 0 || u.status == 2) << command << ": status " << u.status;
            EXPECT_LT(u.peakKilobytes, BudgetKilobytes) << command;
        }
    }
}

} // namespace

namespace {

using cff::Code;

// A collection header claiming 65 535 faces, every one of them at the same
// table directory: the offsets are all there, the faces all overlap.
ttf::ByteVector collectionOfOneFaceRepeated(const ttf::ByteVector& font)
{
    constexpr std::uint32_t Faces = 0xFFFF, At = 12 + 4 * Faces;
    ttf::Bytes b;
    b.tag("ttcf").u16(1).u16(0).u32(Faces);
    for (std::uint32_t f = 0; f < Faces; ++f)
        b.u32(At);
    ttf::ByteVector moved = font;
    for (std::size_t t = 0; t < ttf::getU16(moved, 4); ++t)
        ttf::putU32(moved, 12 + 16 * t + 8, ttf::getU32(moved, 12 + 16 * t + 8) + At);
    return b.append(moved).data;
}

// A CFF font of `glyphs` copies of glyph 1's charstring.
ttf::ByteVector cffFontOf(int glyphs, const ttf::ByteVector& glyph, std::vector<ttf::ByteVector> subrs = {})
{
    cff::FontDesign d = cff::withGlyph(glyph, std::move(subrs));
    d.charStrings.resize(std::size_t(glyphs), glyph);
    return cff::otfFont(cff::cffTable(d), false, d.charStrings.size());
}

// Its Global Subr INDEX (one subroutine) claiming 65 535, its offsets running past the table.
ttf::ByteVector cffIndexPastTheTable()
{
    cff::FontDesign d = cff::withGlyph(Code().ns({10, 10}).op(RMoveTo).bytes());
    d.globalSubrs = {Code().op(Return).bytes()};
    ttf::ByteVector font = cff::otfFont(cff::cffTable(d), false, d.charStrings.size());
    const ttf::ByteVector index = {0, 1, 4, 0, 0, 0, 1, 0, 0, 0, 2, Return};
    const auto at = std::search(font.begin(), font.end(), index.begin(), index.end());
    if (at != font.end())
        ttf::putU16(font, std::size_t(at - font.begin()), 0xFFFF);
    return font;
}

// 65 535 stems in 2731 hstemhm, then one hintmask of 8192 bytes.
ttf::ByteVector hintMaskOfAllStems()
{
    Code c;
    for (int stems = 0; stems < 0xFFFF;) {
        const int here = std::min(24, 0xFFFF - stems);
        for (int k = 0; k < 2 * here; ++k)
            c.n(1);
        c.op(HStemHm);
        stems += here;
    }
    c.op(HintMask);
    for (int k = 0; k < 8192; ++k)
        c.raw({0xFF});
    return cffFontOf(2, c.ns({10, 10}).op(RMoveTo).ns({20, 20}).op(RLineTo).op(EndChar).bytes());
}

// A WOFF whose last table, 'zzzz', inflates to `size` zero bytes. The test
// never holds them (its own peak memory would be counted as the tool's).
ttf::ByteVector zlibBomb(std::uint32_t size)
{
    ttf::ByteVector woff = ttf::woff(ttf::craftedWith([](std::vector<ttf::Table>& tables) {
        tables.push_back({"zzzz", ttf::ByteVector(4, 0)});
    }));
    const std::size_t entry = ttf::woffEntryAt(ttf::getU16(woff, 12) - 1u);
    const ttf::ByteVector stream = ttf::deflatedZeros(size);
    woff.resize(ttf::getU32(woff, entry + 4));
    woff.insert(woff.end(), stream.begin(), stream.end());
    woff.resize((woff.size() + 3) & ~std::size_t(3));
    ttf::putU32(woff, 8, std::uint32_t(woff.size()));
    ttf::putU32(woff, 16, ttf::getU32(woff, 16) - 4 + size);
    ttf::putU32(woff, entry + 8, std::uint32_t(stream.size()));
    ttf::putU32(woff, entry + 12, size);
    return woff;
}

// Glyph 1, a square, varied along one axis (wght 100..400..900) by `data`.
ttf::ByteVector squareVariedBy(const ttf::ByteVector& data)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(2));
    tables.push_back({"fvar", ttf::fvarTable({{"wght", 100, 400, 900, 0}}, {})});
    tables.push_back({"gvar", ttf::gvarTable(1, {}, {{}, data}, 2)});
    return ttf::assemble(tables);
}

// 4095 tuples (the most a glyph can have), each moving every point.
ttf::ByteVector mostTuples()
{
    ttf::Tuple t;
    t.peak = {1.0};
    t.points = std::vector<int>{};
    t.dx = t.dy = std::vector<int>(8, 1);
    return ttf::glyphVariations(std::vector<ttf::Tuple>(0xFFF, t));
}

// One tuple naming 10 000 points of a glyph of 8 (its 4 and the phantoms).
ttf::ByteVector pointsPastTheGlyph()
{
    ttf::Tuple t;
    t.peak = {1.0};
    t.points = std::vector<int>(10000);
    std::iota(t.points->begin(), t.points->end(), 0);
    t.dx = t.dy = std::vector<int>(10000, 1);
    return ttf::glyphVariations({t});
}

struct Hostile {
    const char* what;
    ttf::ByteVector bytes;
    std::vector<std::vector<std::string>> commands; // after the font
    int status;                                     // 2: refused, 1: abandoned, 0: opened and shown
    const char* said = nullptr;                     // a part of every command's output, where given
};

// Each command of the case on its font: the status expected, within the
// budget and a few seconds, and what it says where the case names it.
void expectBounded(const Hostile& c)
{
    ASSERT_LT(c.bytes.size(), 1u << 20) << c.what;
    ttf::TempFontFile file(c.bytes), output({}, ".json");
    for (std::vector<std::string> args : c.commands) {
        const std::string command = c.what + std::string(": ") + args[0] + " " + args.back();
        args.insert(args.begin() + 1, file.path());
        const Usage u = measure(args, output.path());
        EXPECT_EQ(u.status, c.status) << command;
        EXPECT_LT(u.peakKilobytes, BudgetKilobytes) << command;
        EXPECT_LT(u.seconds, FewSeconds) << command;
        if (c.said) { // the end of what it printed, where the messages are: the test's own memory stays small
            std::ifstream in(output.path(), std::ios::ate);
            in.seekg(std::max<std::streamoff>(0, std::streamoff(in.tellg()) - 4096));
            const std::string end{std::istreambuf_iterator<char>(in), {}};
            EXPECT_NE(end.find(c.said), std::string::npos) << command << ": " << end;
        }
    }
}

// Files under 1 MB built to make the containers, charstrings, variations and pixels
// exhaust memory or time: each refused or bounded, every command within the
// budget and a few seconds.
TEST(BoundedMemory, HostileFilesOfTheNewFormats)
{
    const ttf::ByteVector bomb = zlibBomb(64u << 20); // 64 MB of zeros in 64 KB
    ttf::ByteVector pastOrigLength = bomb; // the same stream, its origLength claiming a little more than its bytes
    const std::size_t zzzz = ttf::woffEntryAt(ttf::getU16(bomb, 12) - 1u);
    ttf::putU32(pastOrigLength, zzzz + 12, ttf::getU32(bomb, zzzz + 8) + 100);
    ttf::ByteVector lyingWoff2 = ttf::woff2Of(ttf::buildFont(ttf::craftedBase()));
    ttf::putU32(lyingWoff2, 16, 200u << 20); // totalSfntSize: 200 MB
    Code pushes;
    for (int k = 0; k < 100000; ++k)
        pushes.n(1);
    ttf::ByteVector claimedTuples = mostTuples(); // shared points and 4095 tuples claimed, one there
    claimedTuples.resize(4 + 6 + 19);
    ttf::putU16(claimedTuples, 0, 0xFFFF);
    const std::vector<std::vector<std::string>> varied = {{"glyph", "1", "--location", "wght=900"},
                                                          {"outline", "--all", "--location", "wght=650"},
                                                          {"load", "--location", "wght=100"}};
    // An sbix strike at 12 ppem whose glyph 1 is a PNG of 16 384 pixels a
    // side: a gigabyte once decoded to colour, from 260 KB.
    std::vector<ttf::Table> strikeTables = ttf::fontTables(ttf::squaresFont(2));
    const ttf::ByteVector greyRows = ttf::deflatedZeros(std::size_t(16384) * (16384 + 1)); // each row after its filter byte
    strikeTables.push_back({"sbix", ttf::sbixTable(12, {{}, {0, 0, "png ", ttf::pngOf(16384, 16384, greyRows)}})});
    ttf::FontSpec wide = ttf::squaresFont(2);
    wide.glyphs[1] = ttf::squareGlyph(-16000, -16000, 16000, 16000);

    const Hostile cases[] = {
        {"WOFF table of a zlib bomb", bomb, {{"load"}, {"names"}}, 2},
        {"WOFF table inflating past its origLength", pastOrigLength, {{"load"}}, 2},
        {"WOFF2 whose totalSfntSize lies", lyingWoff2, {{"load"}, {"map"}}, 2},
        {"65 535 faces overlapping", collectionOfOneFaceRepeated(ttf::buildFont(ttf::craftedBase())),
         {{"load"}, {"load", "--face", "65534"}}, 2},
        {"CFF INDEX past the table", cffIndexPastTheTable(), {{"load"}, {"glyph", "1"}}, 1},
        {"charstrings looping through subroutines", cffFontOf(AllGlyphs, Code().n(-107).op(CallSubr).bytes(), cff::fanOut()),
         {{"glyph", "--all"}, {"outline", "--all"}}, 1},
        {"charstring pushing without end", cffFontOf(2, pushes.bytes()), {{"glyph", "1"}, {"outline", "1"}}, 1},
        {"hintmask of 65 535 stems", hintMaskOfAllStems(), {{"glyph", "1"}, {"outline", "1"}}, 0},
        {"gvar of 4095 tuples", squareVariedBy(mostTuples()), varied, 0},
        {"gvar claiming 65 535 tuples", squareVariedBy(claimedTuples), varied, 0},
        {"gvar points past the glyph's", squareVariedBy(pointsPastTheGlyph()), varied, 0},
        // FreeType is not asked for the bitmap: the glyph's failure in a font that opened.
        {"glyph 32 em wide at 200 pixels", ttf::buildFont(wide), {{"pixels", "1", "--ppem", "200"}}, 1},
        // The pixel view wants outlines, which FreeType does not give for an
        // sbix face (it holds them bitmaps only): refused, the strike never decoded.
        {"sbix PNG of a gigabyte", ttf::assemble(strikeTables), {{"pixels", "1", "--ppem", "12"}}, 1},
    };
    for (const Hostile& c : cases)
        expectBounded(c);
}

// A font whose glyph 1 (a square) runs `glyph`, with the font and
// control-value programs given and maxp's limits all at 65 535.
ttf::ByteVector instructedSquare(const ttf::ByteVector& glyph, const ttf::ByteVector& fpgm, const ttf::ByteVector& prep)
{
    ttf::FontSpec design = ttf::squaresFont(2);
    ttf::ByteVector data = ttf::glyphData(ttf::squareGlyph(100, 100, 300, 300));
    ttf::putU16(data, 12, std::uint16_t(glyph.size())); // instructionLength
    data.insert(data.begin() + 14, glyph.begin(), glyph.end());
    design.glyphs[1].raw = data;
    std::vector<ttf::Table> tables = ttf::fontTables(design);
    ttf::Table* maxp = ttf::findTable(tables, "maxp");
    for (const std::size_t field : {16, 18, 20, 22, 24}) // twilight points, storage, functions, instructions, stack
        ttf::putU16(maxp->data, field, 0xFFFF);
    tables.push_back({"cvt ", ttf::ByteVector(2 * 0xFFFF, 1)});
    if (!fpgm.empty())
        tables.push_back({"fpgm", fpgm});
    if (!prep.empty())
        tables.push_back({"prep", prep});
    return ttf::assemble(tables);
}

// Programs built to run without end, recurse, fill every table maxp allows
// or move the whole twilight zone: each stopped where FreeType stops it,
// the hint command within the budget and a few seconds.
TEST(BoundedMemory, HostileInstructions)
{
    using Program = ttf::ByteVector;
    Program loop(65535 - 4, 0x21); // POPs reading zeros, then a backward jump to itself
    for (const std::uint8_t b : {0xB8, 0xFF, 0xFD, 0x1C})
        loop.push_back(b);
    const Program recursion{0xB0, 0, 0x2C, 0xB0, 0, 0x2B, 0x2D}; // FDEF 0: CALL 0
    Program everyFunction; // FDEF 0 to 65 534, each empty; PUSHW sign-extends, so from 32 768 on f is 32 767 + an ADD
    for (int f = 0; f < 0xFFFF; ++f) {
        const int pushed = f < 0x8000 ? f : f - 0x7FFF;
        everyFunction.insert(everyFunction.end(), {0xB8, std::uint8_t(pushed >> 8), std::uint8_t(pushed)});
        if (f >= 0x8000)
            everyFunction.insert(everyFunction.end(), {0xB8, 0x7F, 0xFF, 0x60});
        everyFunction.insert(everyFunction.end(), {0x2C, 0x2D});
    }
    // LOOPCALL of the last function 65 535 times.
    const Program callEveryLast{0xB8, 0x7F, 0xFF, 0xB8, 0x7F, 0xFF, 0x60, 0xB0, 1, 0x60, // 65 535 = 32 767 + 32 767 + 1
                                0xB8, 0x7F, 0xFF, 0xB8, 0x7F, 0xFF, 0x60, 0x2A};      // 65 534; LOOPCALL
    // Zone pointer 0 at the twilight zone, then MDAP[1] of each of its points in a loop.
    const Program twilightSweep{0xB0, 0, 0x13, 0xB9, 0xFF, 0xFE, 0x00, 0x00, // SZP0 0; counter 65 534
                                0x20, 0x2E, 0xB0, 1, 0x61,             // DUP MDAP[0] 1 SUB
                                0x20, 0xB8, 0xFF, 0xF7, 0x1A, 0x79};   // DUP -9 SWAP... JROF
    const std::vector<std::vector<std::string>> hint = {{"hint", "1", "--ppem", "200"},
                                                        {"hint", "1", "--ppem", "12", "--interpreter", "35", "--trace"}};
    const Hostile cases[] = {
        {"a glyph program of 65 535 bytes looping with JMPR", instructedSquare(loop, {}, {}), hint, 0,
         "a loop that runs too long"},
        {"a function calling itself", instructedSquare({0xB0, 0, 0x2B}, recursion, {}), hint, 0,
         "calls nested deeper than 32"},
        {"65 535 functions, the last called 65 535 times", instructedSquare(callEveryLast, everyFunction, {}), hint, 0,
         "a loop that runs too long"},
        {"the control-value program moving a twilight zone of 65 535 points", instructedSquare({}, {}, twilightSweep),
         hint, 0},
    };
    for (const Hostile& c : cases) {
        expectBounded(c);
        expectBounded({c.what, c.bytes, {{"instructions", "1"}}, 0});
    }
}

} // namespace

namespace {

using colr::ColrBuilder;

// The crafted base font of `glyphs` glyphs (the first eight drawn, the rest
// empty) with `added` among its tables.
ttf::ByteVector craftedWithTables(std::vector<ttf::Table> added, int glyphs = 8)
{
    ttf::FontSpec design = ttf::craftedBase();
    if (glyphs > int(design.glyphs.size())) {
        design.glyphs.resize(std::size_t(glyphs));
        design.glyphNames.clear();
    }
    return ttf::craftedWith([&](std::vector<ttf::Table>& tables) { tables.insert(tables.end(), added.begin(), added.end()); },
                            design);
}

ttf::ByteVector colrFont(const ColrBuilder& c, int glyphs = 8)
{
    return craftedWithTables({{"COLR", c.build()}, {"CPAL", colr::cpalTable()}}, glyphs);
}

// PaintGlyph of glyph 1 over a solid colour.
std::uint32_t glyphOverSolid(ColrBuilder& c)
{
    const std::uint32_t at = c.at();
    c.paints.u8(10);
    colr::offset24(c.paints, 6);
    c.paints.u16(1);
    colr::solid(c);
    return at;
}

// Glyph 5 paints glyph 6, which paints glyph 7 ... `depth` times over.
ttf::ByteVector colrGlyphChain(int depth)
{
    ColrBuilder c;
    for (int g = 5; g < 5 + depth; ++g)
        c.bases.push_back({g, colr::colrGlyph(c, g + 1)});
    c.bases.push_back({5 + depth, glyphOverSolid(c)});
    return colrFont(c, 6 + depth);
}

// 65 535 layers: 255 PaintColrLayers of 255 glyphs each, under one more.
ttf::ByteVector mostLayers()
{
    ColrBuilder c;
    const std::uint32_t leaf = glyphOverSolid(c);
    c.layers.assign(255 * 256, leaf);
    for (std::uint32_t k = 0; k < 255; ++k)
        c.layers.push_back(colr::layers(c, 255, int(k * 255)));
    c.bases = {{5, colr::layers(c, 255, 255 * 256)}};
    return colrFont(c);
}

// Two PaintColrLayers, each the other's one layer.
ttf::ByteVector layerCycle()
{
    ColrBuilder c;
    const std::uint32_t a = colr::layers(c, 1, 0), b = colr::layers(c, 1, 1);
    c.layers = {b, a};
    c.bases = {{5, a}};
    return colrFont(c);
}

// A clip box 2^15 units a side: 16 777 pixels at 512 ppem.
constexpr std::array<std::int16_t, 4> WideClip{-16384, -16384, 16384, 16384};

// 255 layers of one colour filling the wide clip box.
ttf::ByteVector wideClip()
{
    ColrBuilder c;
    c.layers.assign(255, colr::solid(c));
    c.bases = {{5, colr::layers(c, 255, 0)}};
    c.clip = WideClip;
    return colrFont(c);
}

// PaintComposite nested `depth` deep over the wide clip box: a layer of the
// whole picture for each level.
ttf::ByteVector wideComposites(int depth)
{
    ColrBuilder c;
    for (int k = 0; k < depth; ++k) {
        c.paints.u8(32);
        colr::offset24(c.paints, 8); // source: the next composite, the last one's the solid
        c.paints.u8(3);              // src_over
        colr::offset24(c.paints, 8 * std::uint32_t(depth - k)); // backdrop: the solid after them all
    }
    colr::solid(c);
    c.bases = {{5, 0}};
    c.clip = WideClip;
    return colrFont(c);
}

// Glyph 1 in a CBDT strike at `ppem`: a PNG of side x side grey pixels
// over `inflated` bytes of image data, under metrics of 255 x 255.
ttf::ByteVector cbdtPng(std::uint8_t ppem, std::uint32_t side, std::size_t inflated)
{
    const ttf::ByteVector png = ttf::pngOf(side, side, ttf::deflatedZeros(inflated));
    const ttf::ByteVector cbdt = ttf::Bytes().u16(3).u16(0).u8(255).u8(255).u8(0).u8(0).u8(255) // header, small metrics
                                     .u32(std::uint32_t(png.size())).append(png).data;
    const ttf::ByteVector cblc = ttf::cblcTable(ppem, 32, 1, 1, 1, ttf::indexFormat1(1, 1, 17, 4, {0, std::uint32_t(cbdt.size() - 4)}));
    return craftedWithTables({{"CBLC", cblc}, {"CBDT", cbdt}});
}

// Glyph 1's SVG document, as stored.
ttf::ByteVector svgFont(const ttf::ByteVector& document)
{
    return craftedWithTables({{"SVG ", ttf::svgTable({{1, 1, 14, std::uint32_t(document.size())}}, document)}});
}

ttf::ByteVector svgFont(std::string_view document)
{
    return svgFont(ttf::Bytes().text(document).data);
}

// Files under 1 MB built to make the colour readers exhaust memory or time,
// each shown by the colour command as the colour view would: bounded, and
// the messages say what was left out.
TEST(BoundedMemory, HostileColourGlyphs)
{
    const std::vector<std::vector<std::string>> colour = {{"colour", "5", "--ppem", "512"}};
    const std::vector<std::vector<std::string>> glyph1 = {{"colour", "1", "--ppem", "512"}};
    const Hostile cases[] = {
        {"layers painting each other in a cycle", layerCycle(), colour, 0, "nests deeper than 64"},
        {"a PaintColrGlyph chain 10 000 deep", colrGlyphChain(10000), colour, 0, "nests deeper than 64"},
        {"65 535 layers", mostLayers(), colour, 0, "more than 10000 paints"},
        {"a clip box of 2^15 units at 512 ppem", wideClip(), colour, 0, "cut at 1024 pixels"},
        {"composites nested 8 deep in that clip box", wideComposites(8), colour, 0, "painted without their own layer"},
        {"a CBDT PNG inflating to 4 GB", cbdtPng(20, 65536, 64u << 20), {{"colour", "1", "--ppem", "20"}}, 0, "over the limit"},
        {"a CBDT strike of 8 ppem drawn at 512", cbdtPng(8, 255, 255 * 256), glyph1, 0, "drawn at 2048 pixels a side"},
        {"a gzipped SVG document inflating to 256 MB", svgFont(ttf::deflatedZeros(256u << 20, true)), glyph1, 0,
         "inflates past the limit"},
        {"an SVG glyph 8 em wide", svgFont(R"(<svg xmlns="http://www.w3.org/2000/svg">
             <rect id="glyph1" x="-4000" y="-4000" width="8000" height="8000"/></svg>)"), glyph1, 0, "over the limit"},
        // librsvg leaves a reference cycle out without a word: the rest is drawn.
        {"an SVG glyph using itself", svgFont(R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink">
             <g id="glyph1"><rect y="-500" width="500" height="500"/><use xlink:href="#glyph1"/></g></svg>)"),
         glyph1, 0, "\"width\": 256"},
        {"SVG uses naming each other", svgFont(R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink">
             <g id="glyph1"><use id="a" xlink:href="#b"/><use id="b" xlink:href="#a"/></g></svg>)"),
         glyph1, 0, "\"width\": 0"},
    };
    for (const Hostile& c : cases)
        expectBounded(c);
}

} // namespace

namespace {

// A GSUB table whose 'ccmp' feature, on for every script, runs lookup 0.
// `lookups` are whole Lookup tables, each at a 16-bit offset: only the last
// may run past 64 KB.
ttf::ByteVector gsubOf(const std::vector<ttf::ByteVector>& lookups)
{
    ttf::Bytes b;
    b.u16(1).u16(0).u16(10).u16(30).u16(44);          // version 1.0; ScriptList, FeatureList, LookupList
    b.u16(1).tag("DFLT").u16(8).u16(4).u16(0);        // one script, its default LangSys 4 bytes on
    b.u16(0).u16(0xFFFF).u16(1).u16(0);               // no required feature; feature 0
    b.u16(1).tag("ccmp").u16(8).u16(0).u16(1).u16(0); // feature 'ccmp': lookup 0
    b.u16(std::uint16_t(lookups.size()));
    std::size_t at = 2 + 2 * lookups.size();
    for (const ttf::ByteVector& l : lookups) {
        b.u16(std::uint16_t(at));
        at += l.size();
    }
    for (const ttf::ByteVector& l : lookups)
        b.append(l);
    return b.data;
}

// A contextual lookup (format 3) that runs lookup `next` twice at every glyph.
ttf::ByteVector contextCalling(int next)
{
    ttf::Bytes b;
    b.u16(5).u16(0).u16(1).u16(8);                           // contextual, no flags, one subtable 8 bytes on
    b.u16(3).u16(1).u16(2).u16(16);                          // one input glyph, two lookups, its coverage 16 bytes on
    b.u16(0).u16(std::uint16_t(next)).u16(0).u16(std::uint16_t(next)); // at input glyph 0: `next`, twice
    b.u16(2).u16(1).u16(0).u16(0xFFFF).u16(0);               // coverage: one range, every glyph ID
    return b.data;
}

// A single substitution lookup of `subtables` subtables (glyph + 1), all of
// one coverage of 65 535 ranges of a glyph each.
ttf::ByteVector singlesOfOneCoverage(int subtables)
{
    ttf::Bytes b;
    b.u16(1).u16(0).u16(std::uint16_t(subtables));
    const std::size_t first = 6 + 2 * std::size_t(subtables), coverage = first + 6 * std::size_t(subtables);
    for (int k = 0; k < subtables; ++k)
        b.u16(std::uint16_t(first + 6 * std::size_t(k)));
    for (int k = 0; k < subtables; ++k)
        b.u16(1).u16(std::uint16_t(coverage - first - 6 * std::size_t(k))).i16(1);
    b.u16(2).u16(0xFFFF);
    for (int g = 0; g < 0xFFFF; ++g)
        b.u16(std::uint16_t(g)).u16(std::uint16_t(g)).u16(std::uint16_t(g));
    return b.data;
}

// A multiple substitution lookup of `subtables` offsets to one subtable
// whose 30 000 sequences all claim 65 535 glyphs at the table's last bytes:
// every covered glyph is a problem.
ttf::ByteVector sequencesPastTheEnd(int subtables)
{
    constexpr std::size_t Sequences = 30000, Coverage = 6 + 2 * Sequences;
    ttf::Bytes b;
    b.u16(2).u16(0).u16(std::uint16_t(subtables));
    for (int k = 0; k < subtables; ++k)
        b.u16(std::uint16_t(6 + 2 * subtables));
    b.u16(1).u16(std::uint16_t(Coverage)).u16(std::uint16_t(Sequences));
    for (std::size_t k = 0; k < Sequences; ++k)
        b.u16(std::uint16_t(Coverage + 10));
    b.u16(2).u16(1).u16(0).u16(0xFFFE).u16(0); // every glyph covered
    b.u16(0xFFFF);                             // a sequence of 65 535 glyphs, and the table ends
    return b.data;
}

// The resident memory of this process in kilobytes.
long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// What the lookup browser reads, run in a child process: every lookup of
// the font's GSUB expanded whole and for glyph 1. Its exit status is 1 when
// some expansion was cut, its peak the memory it added.
Usage browseLookups(const ttf::ByteVector& bytes)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const long before = residentKilobytes();
        FontState font;
        LoadFont(bytes, font);
        bool cut = false;
        const auto read = ReadGsubGpos(TableBytes(font, "GSUB"), false);
        if (const auto* layout = std::get_if<GsubGposTable>(&read))
            for (int l = 0; l < int(layout->lookups.size()); ++l)
                cut = ExpandLookup(*layout, l).cut | ExpandLookup(*layout, l, 1).cut | cut;
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        const long added = r.ru_maxrss - before;
        const bool written = write(pipeEnds[1], &added, sizeof added) == sizeof added;
        _exit(written ? int(cut) : 3);
    }
    close(pipeEnds[1]);
    Usage usage;
    if (read(pipeEnds[0], &usage.peakKilobytes, sizeof usage.peakKilobytes) != sizeof usage.peakKilobytes)
        usage.peakKilobytes = -1;
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    usage.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return usage;
}

// GSUB tables built to make shaping and the lookup browser recurse or
// multiply a coverage: shaped by lumaro-inspect and browsed, both bounded.
TEST(BoundedMemory, HostileLayoutTables)
{
    const ttf::ByteVector recursion = craftedWithTables({{"GSUB", gsubOf({contextCalling(1), contextCalling(0)})}});
    const ttf::ByteVector coverage = craftedWithTables({{"GSUB", gsubOf({singlesOfOneCoverage(64)})}});
    const ttf::ByteVector sequences = craftedWithTables({{"GSUB", gsubOf({sequencesPastTheEnd(140)})}});
    // HarfBuzz ends the recursion at its own limits without a word: the text is shaped.
    const std::string text(1000, 'A');
    const Hostile cases[] = {
        {"contextual lookups calling each other twice over", recursion, {{"shape", text}}, 0, "\"cluster\": 999"},
        {"a coverage of 65 535 ranges in 64 subtables", coverage, {{"shape", text}, {"shape", text, "--trace"}}, 0,
         "\"cluster\": 999"},
    };
    for (const Hostile& c : cases)
        expectBounded(c);
    for (const auto& [what, bytes, cut] : {std::tuple{"recursion", recursion, false}, std::tuple{"coverage", coverage, true},
                                           std::tuple{"4 million problems", sequences, true}}) {
        const Usage u = browseLookups(bytes);
        EXPECT_EQ(u.status, int(cut)) << what; // 1: the browser says it shows the first entries only
        EXPECT_GE(u.peakKilobytes, 0) << what;
        EXPECT_LT(u.peakKilobytes, BudgetKilobytes) << what;
        EXPECT_LT(u.seconds, FewSeconds) << what;
    }
}

} // namespace
