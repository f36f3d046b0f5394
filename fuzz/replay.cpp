// Runs every kept regression input through every fuzz target, in the normal
// build (under the sanitizers in the sanitizer build), and the crafted fonts
// that once multiplied their size in time or memory, built here rather than
// kept as files. usage: fuzz_replay REGRESSIONS_FOLDER
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "support/colr_builder.h"
#include "support/crafted_fonts.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Each input through every target; the slowest run in seconds.
double runAll(const std::vector<std::uint8_t>& bytes)
{
    double slowest = 0;
    for (const fuzz::Target& t : fuzz::Targets) {
        const auto start = std::chrono::steady_clock::now();
        t.body(bytes.data(), bytes.size());
        slowest = std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return slowest;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || !fs::is_directory(argv[1])) {
        std::fprintf(stderr, "usage: fuzz_replay REGRESSIONS_FOLDER\n");
        return 2;
    }
    std::vector<ttf::CraftedFont> inputs = ttf::malformedFonts();
    inputs.push_back({"shared-name-storage", ttf::sharedNameStorageFont()});
    inputs.push_back({"shared-glyph-data", ttf::sharedGlyphFont()});
    inputs.push_back({"long-format-4", ttf::longFormat4Font()});
    inputs.push_back({"composite-fan", ttf::compositeFanFont()});
    inputs.push_back({"long-curve-runs", ttf::longCurveRunsFont()});
    for (const colr::DamagedColr& c : colr::damagedColrCases())
        inputs.push_back({std::string("colour: ") + c.name, colr::colourFont(c.table())});
    for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
        if (entry.is_regular_file() && entry.path().filename() != "README")
            inputs.push_back({entry.path().string(), readFile(entry.path())});
    }
    int slow = 0;
    for (const ttf::CraftedFont& input : inputs) {
        const double seconds = runAll(input.bytes);
        if (seconds > 5) {
            std::fprintf(stderr, "%s: %.1f s in one target\n", input.name.c_str(), seconds);
            ++slow;
        }
    }
    std::printf("%zu inputs through %zu targets, %d slow\n", inputs.size(), std::size(fuzz::Targets), slow);
    return slow == 0 ? 0 : 1;
}
