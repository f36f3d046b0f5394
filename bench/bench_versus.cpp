// Lumaro against FreeType: open a font and read every glyph's outline, composites resolved.
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "outline/composite.h"
#include "platform/font_container.h"
#include "platform/font_file.h"

namespace {

// LUMARO_BENCH_FONTS (paths separated by ':'), else DejaVu Sans and Serif.
std::vector<std::string> benchFonts()
{
    std::vector<std::string> fonts;
    if (const char* list = std::getenv("LUMARO_BENCH_FONTS"); list && *list) {
        std::stringstream in(list);
        for (std::string path; std::getline(in, path, ':');)
            if (!path.empty())
                fonts.push_back(path);
        return fonts;
    }
    return {std::string(DEJAVU_DIR) + "/DejaVuSans.ttf", std::string(DEJAVU_DIR) + "/DejaVuSerif.ttf"};
}

std::string fileName(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// Collections open at face 0; WOFF and WOFF2 files are decoded first, as FreeType does.
bool loadFirstFace(const std::string& path, FontState& font)
{
    std::optional<std::vector<std::uint8_t>> bytes = ReadFontFile(path);
    if (!bytes)
        return false;
    auto decoded = DecodeFontFile(std::move(*bytes));
    DecodedFont* file = std::get_if<DecodedFont>(&decoded);
    return file && !LoadFont(std::move(file->bytes), font, file->faceOffsets.front());
}

void lumaroEveryOutline(benchmark::State& state, const std::string& path)
{
    long points = 0;
    for (auto _ : state) {
        FontState font;
        if (!loadFirstFace(path, font)) {
            state.SkipWithError("the font did not load");
            return;
        }
        ResolvedGlyph glyph; // its buffers are reused, as FreeType reuses its glyph slot's
        for (int g = 0; g < font.NumGlyphs; ++g) {
            WorkingValues work;
            ResolveGlyph(font, g, Location{}, work, glyph);
            for (const PlacedOutline& part : glyph.parts)
                points += part.outline.points.size();
        }
    }
    benchmark::DoNotOptimize(points);
}

int countMove(const FT_Vector*, void* user)
{
    ++*static_cast<long*>(user);
    return 0;
}
int countLine(const FT_Vector*, void* user) { return countMove(nullptr, user); }
int countConic(const FT_Vector*, const FT_Vector*, void* user) { return countMove(nullptr, user); }
int countCubic(const FT_Vector*, const FT_Vector*, const FT_Vector*, void* user) { return countMove(nullptr, user); }

void freetypeEveryOutline(benchmark::State& state, const std::string& path)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        state.SkipWithError("FreeType did not start");
        return;
    }
    const FT_Outline_Funcs funcs{countMove, countLine, countConic, countCubic, 0, 0};
    long segments = 0;
    for (auto _ : state) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
            state.SkipWithError("FreeType did not open the font");
            break;
        }
        for (FT_Long g = 0; g < face->num_glyphs; ++g)
            if (FT_Load_Glyph(face, FT_UInt(g), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
                FT_Outline_Decompose(&face->glyph->outline, &funcs, &segments);
        FT_Done_Face(face);
    }
    benchmark::DoNotOptimize(segments);
    FT_Done_FreeType(library);
}

// Prints the usual table, then Lumaro's CPU time over FreeType's for each font
// (CPU time: the ratio should not depend on what else the machine runs).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
                seconds_[run.benchmark_name()] = run.cpu_accumulated_time / double(run.iterations);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const std::string& path : benchFonts()) {
            const std::string name = fileName(path);
            const auto lumaro = seconds_.find("Versus/Lumaro/" + name);
            const auto freetype = seconds_.find("Versus/FreeType/" + name);
            if (lumaro != seconds_.end() && freetype != seconds_.end() && freetype->second > 0)
                GetOutputStream() << "Versus " << name << ": Lumaro / FreeType = " << lumaro->second / freetype->second
                                  << "\n";
        }
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv)
{
    for (const std::string& path : benchFonts()) {
        benchmark::RegisterBenchmark(("Versus/Lumaro/" + fileName(path)).c_str(), lumaroEveryOutline, path)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Versus/FreeType/" + fileName(path)).c_str(), freetypeEveryOutline, path)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
