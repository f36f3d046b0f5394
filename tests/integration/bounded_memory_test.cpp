// lumaro-inspect on small fonts built to multiply their size: every command
// stays within a fixed memory budget, whatever the records and glyphs claim.
#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "support/container_builder.h"
#include "support/crafted_fonts.h"

extern char** environ;

namespace {

// The sanitizers' shadow memory and quarantine come on top of what the tool
// uses, and they slow it tenfold: there the fonts claim less.
#if defined(__SANITIZE_ADDRESS__)
constexpr long BudgetKilobytes = 256 * 1024;
constexpr std::uint8_t NameFill = 0x02; // records of 514 bytes
constexpr int AllGlyphs = 200;
#else
constexpr long BudgetKilobytes = 64 * 1024;
constexpr std::uint8_t NameFill = 0x06; // records of 1542 bytes
constexpr int AllGlyphs = 1000;
#endif

struct Usage {
    int status = -1;
    long peakKilobytes = 0;
    double seconds = 0;
};

// Runs lumaro-inspect with its output thrown away; its exit status and peak memory.
Usage measure(std::vector<std::string> args)
{
    args.insert(args.begin(), LUMARO_INSPECT);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
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
          {"names"}, {"map"}}},
        {"shared glyph data, every glyph", ttf::sharedGlyphFont(AllGlyphs),
         {{"glyph", "--all", "--composites"}, {"outline", "--all"}}},
        {"long format 4", ttf::longFormat4Font(), {{"map"}, {"load"}}},
        {"composites 64 wide and 16 deep", ttf::compositeFanFont(),
         {{"outline", "1"}, {"glyph", "1", "--composites"}, {"load", "--composites"}}},
    };
    for (const Amplifier& c : cases) {
        ASSERT_LT(c.bytes.size(), 1u << 20) << c.what;
        ttf::TempFontFile file(c.bytes);
        for (std::vector<std::string> args : c.commands) {
            const std::string command = c.what + std::string(": ") + args[0];
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
