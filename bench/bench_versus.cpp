// Lumaro against FreeType: open a font and read every glyph's outline, composites resolved.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H

#include "bench_ratios.h"
#include "outline/composite.h"
#include "platform/font_container.h"
#include "platform/font_file.h"
#include "tables/fvar.h"

namespace {

// LUMARO_BENCH_FONTS (paths separated by ':'), else DejaVu Sans and Serif and
// TrueType fonts unlike them: FreeSerif's nested and scaled composites,
// Liberation Sans, Noto Sans SignWriting's large glyphs, Droid Sans Fallback's
// CJK ones and the Inter variable font (also at its boldest instance); then a
// font of each other format: CFF (Cantarell, Nimbus Roman), CID-keyed CFF in
// a collection (Noto Sans CJK), a TrueType collection (WenQuanYi Micro Hei),
// WOFF (DejaVu Sans Bold) and WOFF2 (Fira Code).
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
    return {std::string(DEJAVU_DIR) + "/DejaVuSans.ttf",
            std::string(DEJAVU_DIR) + "/DejaVuSerif.ttf",
            std::string(FREEFONT_DIR) + "/FreeSerif.ttf",
            std::string(LIBERATION_DIR) + "/LiberationSans-Regular.ttf",
            std::string(NOTO_DIR) + "/NotoSansSignWriting-Regular.ttf",
            DROID_FALLBACK_FONT,
            INTER_VARIABLE_FONT,
            std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf",
            std::string(URW_BASE35_DIR) + "/NimbusRoman-Regular.otf",
            std::string(NOTO_CJK_DIR) + "/NotoSansCJK-Regular.ttc",
            WQY_MICROHEI_TTC,
            std::string(DEJAVU_WOFF_DIR) + "/DejaVuSans-Bold.woff",
            std::string(FIRACODE_WEB_DIR) + "/woff2/FiraCode-Regular.woff2"};
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
    const FileKind kind = RecogniseFile(*bytes); // before the bytes are moved away
    auto decoded = DecodeWebFont(kind, std::move(*bytes));
    DecodedFont* file = std::get_if<DecodedFont>(&decoded);
    if (!file)
        return false;
    const FaceChoice face = ChooseFace(file->kind, file->bytes, 0);
    LoadFont(std::move(file->bytes), font, face.offset);
    return !face.refusal && font.Loaded;
}

// A variable font's boldest named instance (the highest wght, else the last
// instance); nothing for a font without instances.
std::optional<FvarInstance> boldestInstance(const std::string& path)
{
    FontState font;
    if (!loadFirstFace(path, font) || font.Variations.instances.empty())
        return std::nullopt;
    const FontVariations& v = font.Variations;
    const auto wght = std::find_if(v.axes.begin(), v.axes.end(), [](const FvarAxis& a) { return a.tag == "wght"; });
    if (wght == v.axes.end())
        return v.instances.back();
    const std::size_t axis = std::size_t(wght - v.axes.begin());
    return *std::max_element(v.instances.begin(), v.instances.end(), [&](const FvarInstance& a, const FvarInstance& b) {
        return a.coordinates[axis] < b.coordinates[axis];
    });
}

// Every glyph at `user` (empty: the default location).
void lumaroEveryOutline(benchmark::State& state, const std::string& path, const std::vector<Fixed>& user)
{
    long points = 0;
    for (auto _ : state) {
        FontState font;
        if (!loadFirstFace(path, font)) {
            state.SkipWithError("the font did not load");
            return;
        }
        const Location location = user.empty() ? Location{} : Normalize(font.Variations, user);
        ResolvedGlyph glyph; // its buffers are reused, as FreeType reuses its glyph slot's
        for (int g = 0; g < font.NumGlyphs; ++g) {
            WorkingValues work;
            ResolveGlyph(font, g, location, work, glyph);
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

void freetypeEveryOutline(benchmark::State& state, const std::string& path, const std::vector<Fixed>& user)
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
        std::vector<FT_Fixed> design(user.begin(), user.end());
        if (!design.empty() && FT_Set_Var_Design_Coordinates(face, FT_UInt(design.size()), design.data()) != 0) {
            state.SkipWithError("FreeType did not take the instance");
            FT_Done_Face(face);
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

// Prints the usual table, then each ratio of benchRatios(): Lumaro's CPU time
// over FreeType's for each font among them (CPU time: the ratio should not
// depend on what else the machine runs).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median comes last and is the one kept.
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type == Run::RT_Iteration || median) && !run.error_occurred && run.iterations > 0)
                times_[run.run_name.str()] = run.GetAdjustedCPUTime(); // a pair shares its unit
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const BenchRatio& ratio : benchRatios()) {
            const auto numerator = times_.find(ratio.numerator);
            const auto denominator = times_.find(ratio.denominator);
            if (numerator != times_.end() && denominator != times_.end() && denominator->second > 0)
                GetOutputStream() << ratio.title << ": " << ratio.what << " = "
                                  << numerator->second / denominator->second << "\n";
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    const auto pair = [](const std::string& at, const std::string& path, const std::vector<Fixed>& user) {
        const std::string lumaro = "Versus/Lumaro" + at + "/" + fileName(path);
        const std::string freetype = "Versus/FreeType" + at + "/" + fileName(path);
        benchmark::RegisterBenchmark(lumaro.c_str(), lumaroEveryOutline, path, user)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(freetype.c_str(), freetypeEveryOutline, path, user)->Unit(benchmark::kMillisecond);
        benchRatios().push_back({"Versus " + (at.empty() ? "" : at + "/") + fileName(path), lumaro, freetype,
                                 "Lumaro / FreeType"});
    };
    for (const std::string& path : benchFonts()) {
        pair("", path, {});
        if (const std::optional<FvarInstance> instance = boldestInstance(path))
            pair("@" + instance->name, path, instance->coordinates);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
