// COLRv1 pictures against Skia's, the field's reference renderer for COLRv1
// (bundled by @napi-rs/canvas, driven by tests/support/skia_colour.js):
// every colour glyph of the colorLib test fonts (every paint format,
// composite mode and extend mode) and every colour glyph that the cmap of
// the npm COLRv1 emoji font reaches, drawn by the same character at the
// same ppem and placement, palette 0, foreground black. A pixel matches
// when a pixel within 1 px of it in the other picture is within 32 levels
// per premultiplied channel: Skia antialiases a path by sampling each pixel
// on four rows, so a horizontal edge's coverage comes in quarters, an eighth
// (32 levels) from the exact coverage Lumaro's rasteriser gives, and the
// neighbourhood cannot help along such an edge. Where several layers share
// an edge the two differ further, so up to 3 % of a glyph's pixels (0.5 %
// of all a font's) may stay unmatched; a wrong colour, gradient, transform
// or composite changes far more.
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <gtest/gtest.h>

#include "colour/colour_glyph.h"
#include "platform/colour_picture.h"
#include "support/command_output.h"
#include "support/font_file_loading.h"
#include "support/picture_match.h"

namespace {

namespace fs = std::filesystem;

// Pixels Skia's picture holds beyond Lumaro's on every side.
constexpr int Margin = 4;
constexpr int Tolerance = 32;

// The font Skia draws. Without its SVG table, which Skia might draw instead
// of COLR, and without GSUB, so that a character draws its cmap glyph alone.
// And one difference mended: the format interpolates a colour line over
// premultiplied colour, as Lumaro does, but Skia interpolates unpremultiplied
// colour, which differs wherever two adjacent stops differ in alpha (a
// shading that fades to transparent: 25 levels of 255 in Noto's seal). So
// such a pair of stops is given Steps - 1 stops more between them, with the
// premultiplied interpolation's colours (new palette entries): Skia's
// straight lines between them then stay within a level of the curve.
// Palette 0 and foreground black, as the pictures compared.
const char* const ReferenceFontScript = R"py(
import copy, sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables.C_P_A_L_ import Color
Steps = 8
f = TTFont(sys.argv[1])
for tag in ("SVG ", "GSUB"):
    if tag in f:
        del f[tag]
cpal, table = f["CPAL"], f["COLR"].table
def rgba(stop):
    c = (0, 0, 0, 255) if stop.PaletteIndex == 0xFFFF else cpal.palettes[0][stop.PaletteIndex]
    a = c[3] / 255 * stop.Alpha
    return [c[2] / 255 * a, c[1] / 255 * a, c[0] / 255 * a, a] if stop.PaletteIndex != 0xFFFF else [0, 0, 0, a]
def between(s0, s1, t):
    p = [x + (y - x) * t for x, y in zip(rgba(s0), rgba(s1))]
    a = p[3]
    rgb = [min(255, round(x / a * 255)) for x in p[:3]] if a > 0 else [0, 0, 0]
    for palette in cpal.palettes:
        palette.append(Color(red=rgb[0], green=rgb[1], blue=rgb[2], alpha=round(a * 255)))
    stop = copy.deepcopy(s0)
    stop.StopOffset, stop.PaletteIndex, stop.Alpha = s0.StopOffset + (s1.StopOffset - s0.StopOffset) * t, len(cpal.palettes[0]) - 1, 1.0
    if hasattr(stop, "VarIndexBase"):
        stop.VarIndexBase = 0xFFFFFFFF
    return stop
seen = set()
def mend(paint):
    if paint is None or id(paint) in seen:
        return
    seen.add(id(paint))
    line = getattr(paint, "ColorLine", None)
    if line is not None and id(line) not in seen:
        seen.add(id(line))
        stops = sorted(line.ColorStop, key=lambda s: s.StopOffset)
        out = stops[:1]
        for s0, s1 in zip(stops, stops[1:]):
            if rgba(s0)[3] != rgba(s1)[3] and s0.StopOffset != s1.StopOffset:
                out += [between(s0, s1, k / Steps) for k in range(1, Steps)]
            out.append(s1)
        line.ColorStop, line.StopCount = out, len(out)
    for name in ("Paint", "SourcePaint", "BackdropPaint"):
        mend(getattr(paint, name, None))
for record in table.BaseGlyphList.BaseGlyphPaintRecord:
    mend(record.Paint)
for paint in (table.LayerList.Paint if table.LayerList else []):
    mend(paint)
cpal.numPaletteEntries = len(cpal.palettes[0])
f.flavor = None
f.save(sys.argv[2])
)py";
struct Comparison {
    int colourGlyphs = 0;        // COLRv1 glyphs of the font
    std::vector<int> glyphs;     // those the cmap reaches, compared
    std::vector<int> unmatched;  // their unmatched pixels
    std::vector<int> pixels;     // and their pictures' pixels
};

// Lumaro's picture of every COLRv1 glyph the cmap reaches against Skia's
// picture of its first character, drawn from the reference font.
Comparison compareWithSkia(const std::string& path, int ppem, const fs::path& dir)
{
    Comparison c;
    FontState font;
    RecordingSink sink;
    if (loadFontFace(font, sink, path, 0) != LoadResult::Loaded) {
        ADD_FAILURE() << "cannot open " << path << " (scripts/setup installs it)";
        return c;
    }
    const ColourTables tables = ReadColourTables(font);
    const PaintSettings settings; // palette 0, foreground black, default location
    const std::string reference = (dir / "reference.ttf").string();
    EXPECT_EQ(runCommand(shellQuoted(PYTHON3) + " -c " + shellQuoted(ReferenceFontScript) + " " + shellQuoted(path) + " "
                         + shellQuoted(reference)).status, 0);

    std::vector<QImage> ours;
    QJsonArray jobs;
    for (int g = 0; g < font.NumGlyphs; ++g) {
        if (ChooseColourFormat(tables, g) != ColourFormat::ColrV1)
            continue;
        ++c.colourGlyphs;
        const std::vector<char32_t> codes = font.Unicode.codesFor(g);
        if (codes.empty())
            continue;
        const ColourRendering picture =
            RenderColourGlyph(font, tables, DescribeColourGlyph(tables, g, settings.location, ppem), settings, ppem);
        EXPECT_TRUE(picture.messages.empty()) << "glyph " << g << ": " << picture.messages.front();
        QImage padded(picture.image.width() + 2 * Margin, picture.image.height() + 2 * Margin,
                      QImage::Format_ARGB32_Premultiplied);
        padded.fill(Qt::transparent);
        QPainter(&padded).drawImage(Margin, Margin, picture.image);
        ours.push_back(padded);
        c.glyphs.push_back(g);
        jobs.append(QJsonObject{{"code", int(codes.front())}, {"left", picture.left}, {"top", picture.top},
                                {"width", picture.image.width()}, {"rows", picture.image.height()},
                                {"out", QString::fromStdString((dir / (std::to_string(g) + ".png")).string())}});
    }
    const fs::path jobsPath = dir / "jobs.json";
    std::ofstream(jobsPath) << QJsonDocument(QJsonObject{{"ppem", ppem}, {"margin", Margin}, {"foreground", "#000000"},
                                                         {"glyphs", jobs}}).toJson().toStdString();
    const CommandOutput skia = runCommand("NODE_PATH=" + shellQuoted(NODE_MODULES) + " " + shellQuoted(NODE) + " "
                                          + shellQuoted(SKIA_COLOUR_SCRIPT) + " " + shellQuoted(reference) + " "
                                          + shellQuoted(jobsPath.string()) + " 2>&1");
    EXPECT_EQ(skia.status, 0) << skia.out;
    for (qsizetype i = 0; i < qsizetype(ours.size()); ++i) {
        const QImage theirs(jobs[i].toObject()["out"].toString());
        c.unmatched.push_back(unmatchedPixels(ours[std::size_t(i)], theirs, Tolerance));
        c.pixels.push_back(int(ours[std::size_t(i)].width() * ours[std::size_t(i)].height()));
    }
    return c;
}

void expectMatched(const Comparison& c)
{
    long unmatched = 0, pixels = 0;
    for (std::size_t i = 0; i < c.unmatched.size(); ++i) {
        EXPECT_LE(c.unmatched[i] * 100, c.pixels[i] * 3) << "glyph " << c.glyphs[i] << ": " << c.unmatched[i] << " of "
                                                         << c.pixels[i] << " pixels unmatched";
        unmatched += c.unmatched[i];
        pixels += c.pixels[i];
    }
    EXPECT_LE(unmatched * 200, pixels) << unmatched << " of " << pixels << " pixels unmatched";
}

// Every colour glyph of the colorLib fonts has a character.
TEST(ColourVsSkia, Colr1TestFontsEveryGlyph)
{
    const fs::path dir = fs::temp_directory_path() / ("lumaro-skia-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(runCommand(shellQuoted(PYTHON3) + " " + shellQuoted(COLOUR_FONTS_SCRIPT) + " " + shellQuoted(dir.string())).status, 0);
    for (const char* name : {"colr1.ttf", "colr1var.ttf"}) {
        SCOPED_TRACE(name);
        const Comparison c = compareWithSkia((dir / name).string(), 100, dir);
        EXPECT_GE(c.colourGlyphs, 14);
        EXPECT_EQ(int(c.glyphs.size()), c.colourGlyphs);
        expectMatched(c);
    }
    fs::remove_all(dir);
}

// The 1 448 colour glyphs the cmap of Noto Color Emoji's COLRv1 font reaches
// (2 564 more are reached only through GSUB's sequences), at 96 ppem.
TEST(ColourVsSkia, NpmColr1FontCmapGlyphs)
{
    const fs::path dir = fs::temp_directory_path() / ("lumaro-skia-npm-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const Comparison c = compareWithSkia(COLRV1_NPM_FONT, 96, dir);
    EXPECT_GE(c.glyphs.size(), 1000u);
    expectMatched(c);
    fs::remove_all(dir);
}

} // namespace
