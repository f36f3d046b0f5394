// lumaro-inspect colour against fontTools' reading of the same COLR and CPAL
// tables: test fonts built by fontTools' colorLib with every paint format,
// several composite modes, every extend mode, variable paints and two
// palettes; every glyph's paint tree or layers, clip box and colours, at the
// default and at other locations. COLRv0 pictures against FreeType's.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QImage>
#include <QJsonObject>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/command_output.h"
#include "support/font_file_loading.h"
#include "support/freetype_face.h"
#include "support/picture_match.h"
#include FT_COLOR_H
#include "colour/colour_json.h"
#include "platform/colour_picture.h"
#include "tables/details.h"

namespace {

// Prints every glyph of argv[1] as lumaro-inspect colour gives it, at
// palette argv[2] and location argv[3] ("wght=900" or ""): fontTools' own
// tables, a Var table's values with the variation store's deltas added.
const char* const ReadScript = R"py(
import json, sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import otTables
from fontTools.ttLib.tables import otConverters as oc
from fontTools.varLib.varStore import VarStoreInstancer
from fontTools.varLib.models import normalizeLocation
f = TTFont(sys.argv[1])
palette = int(sys.argv[2])
user = dict((kv.split("=")[0], float(kv.split("=")[1])) for kv in sys.argv[3].split(",") if kv)
order = f.getGlyphOrder()
gid = {g: i for i, g in enumerate(order)}
colr = f["COLR"]
cpal = f["CPAL"].palettes[palette]
table = getattr(colr, "table", None)
instancer, mapping = None, None
if table is not None and table.VarStore is not None and user:
    axes = {a.axisTag: (a.minValue, a.defaultValue, a.maxValue) for a in f["fvar"].axes}
    instancer = VarStoreInstancer(table.VarStore, f["fvar"].axes, normalizeLocation(user, axes))
    mapping = table.VarIndexMap.mapping if table.VarIndexMap else None

def color(index, alpha):
    c = (0, 0, 0, 255) if index == 0xFFFF else (cpal[index].red, cpal[index].green, cpal[index].blue, cpal[index].alpha)
    return "#%02X%02X%02X%02X" % (c[0], c[1], c[2], int(c[3] * min(max(alpha, 0.0), 1.0) + 0.5))

def values(t):
    # the table's own values, a Var table's with its deltas at the location
    v = {c.name: getattr(t, c.name) for c in t.getConverters() if isinstance(c, (oc.BaseFixedValue, oc.Short, oc.UShort))}
    base = getattr(t, "VarIndexBase", 0xFFFFFFFF)
    if instancer is None or base == 0xFFFFFFFF:
        return v
    for i, attr in enumerate(t.getVariableAttrs()):
        idx = base + i
        if mapping is not None:
            idx = mapping[min(idx, len(mapping) - 1)]
        conv = t.getConverterByName(attr)
        factor = 1.0
        if isinstance(conv, oc.BaseFixedValue):
            factor = 1.0 / (1 << conv.precisionBits) * (180 if isinstance(conv, oc.Angle) else 1)
        v[attr] += instancer[idx] * factor
    return v

def line(t):
    stops = []
    for s in t.ColorLine.ColorStop:
        sv = values(s)
        stops.append({"offset": sv["StopOffset"], "palette_index": s.PaletteIndex, "alpha": sv["Alpha"],
                      "color": color(s.PaletteIndex, sv["Alpha"])})
    return {"extend": t.ColorLine.Extend.name.lower(), "stops": stops}

bases = {r.BaseGlyph: r.Paint for r in table.BaseGlyphList.BaseGlyphPaintRecord} if table is not None else {}
def base_paint(g):
    return bases.get(g)

NAMES = {"r0": "radius0", "r1": "radius1", "centerX": "center_x", "centerY": "center_y", "startAngle": "start_angle",
         "endAngle": "end_angle", "scaleX": "scale_x", "scaleY": "scale_y", "xSkewAngle": "x_skew_angle",
         "ySkewAngle": "y_skew_angle"}

def paint(t, painting):
    name = t.getFormatName().replace("PaintVar", "Paint")
    for form in ["Scale", "Rotate", "Skew"]:
        if name.startswith("Paint" + form):
            name = "Paint" + form
    out = {"format": name}
    if t.Format == 1:
        layers = [paint(table.LayerList.Paint[i], painting) for i in range(t.FirstLayerIndex, t.FirstLayerIndex + t.NumLayers)]
        out["layers"] = [l for l in layers if l is not None]
        return out
    if t.Format == 11:
        if t.Glyph in painting:
            return None
        out["glyph"] = gid[t.Glyph]
        out["paint"] = paint(base_paint(t.Glyph), painting + [t.Glyph])
        return out
    if t.Format == 32:
        out["mode"] = t.CompositeMode.name.lower()
        out["source"] = paint(t.SourcePaint, painting)
        out["backdrop"] = paint(t.BackdropPaint, painting)
        return out
    v = values(t.Transform if t.Format in (12, 13) else t)
    if t.Format in (2, 3):
        out.update({"palette_index": t.PaletteIndex, "alpha": v["Alpha"], "color": color(t.PaletteIndex, v["Alpha"])})
    for k, x in v.items():
        if k not in ("Alpha", "Format", "PaletteIndex"):
            out[NAMES.get(k, k)] = x
    if "scale" in v:
        out["scale_x"] = out["scale_y"] = out.pop("scale")
    if name in ("PaintScale", "PaintRotate", "PaintSkew"):
        out.setdefault("center_x", 0)
        out.setdefault("center_y", 0)
    if t.Format in range(4, 10):
        out.update(line(t))
    if t.Format == 10:
        out["glyph"] = gid[t.Glyph]
    if hasattr(t, "Paint"):
        out["paint"] = paint(t.Paint, painting)
    return out

glyphs = []
for g in order:
    entry = {"glyph": gid[g], "format": "none"}
    if table is None and g in colr.ColorLayers:
        entry["format"] = "COLRv0"
        entry["layers"] = [{"glyph": gid[l.name], "palette_index": l.colorID, "color": color(l.colorID, 1.0)} for l in colr.ColorLayers[g]]
    elif table is not None and base_paint(g) is not None:
        entry["format"] = "COLRv1"
        entry["paint"] = paint(base_paint(g), [g])
        clips = table.ClipList.clips if table.ClipList else {}
        entry["clip"] = None
        if g in clips:
            c = values(clips[g])
            entry["clip"] = [c["xMin"], c["yMin"], c["xMax"], c["yMax"]]
    glyphs.append(entry)
print(json.dumps(glyphs))
)py";

std::string python(const char* script, const std::vector<std::string>& args, int& status)
{
    std::string line = shellQuoted(PYTHON3) + " -c " + shellQuoted(script);
    for (const std::string& a : args)
        line += " " + shellQuoted(a);
    const CommandOutput run = runCommand(line);
    status = run.status;
    return run.out;
}

// Equal JSON, numbers within `tolerance`; the first difference as a path.
std::string difference(const QJsonValue& ours, const QJsonValue& ref, const std::string& path)
{
    if (ours.isDouble() && ref.isDouble())
        return std::fabs(ours.toDouble() - ref.toDouble()) <= 1e-3 ? "" : path;
    if (ours.type() != ref.type())
        return path + " (type)";
    if (ours.isArray()) {
        const QJsonArray a = ours.toArray(), b = ref.toArray();
        if (a.size() != b.size())
            return path + " (length)";
        for (qsizetype i = 0; i < a.size(); ++i)
            if (std::string d = difference(a[i], b[i], path + "[" + std::to_string(i) + "]"); !d.empty())
                return d;
        return "";
    }
    if (ours.isObject()) {
        const QJsonObject a = ours.toObject(), b = ref.toObject();
        if (a.keys() != b.keys())
            return path + " (keys)";
        for (const QString& k : a.keys())
            if (std::string d = difference(a[k], b[k], path + "." + k.toStdString()); !d.empty())
                return d;
        return "";
    }
    return ours == ref ? "" : path;
}

// Font Details' COLR and CPAL rows as fontTools reads the tables.
const char* const DetailsScript = R"py(
import json, sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1])
colr, cpal, name = f["COLR"], f["CPAL"], f["name"]
t = getattr(colr, "table", None)
def count(lst, attr):
    return len(getattr(lst, attr)) if lst is not None else 0
print(json.dumps({"colr": [colr.version, t.BaseGlyphRecordCount if t else len(colr.ColorLayers),
                           t.LayerRecordCount if t else sum(len(v) for v in colr.ColorLayers.values()),
                           count(t and t.BaseGlyphList, "BaseGlyphPaintRecord"), count(t and t.LayerList, "Paint")],
                  "cpal": [cpal.version, cpal.numPaletteEntries],
                  "palettes": [[ty, name.getDebugName(lab) if lab != 0xFFFF else ""]
                               for ty, lab in zip(cpal.paletteTypes, cpal.paletteLabels)]}))
)py";

struct ColourRun {
    std::string font;
    int palette;
    std::string location;
};

// A fresh folder holding the fonts tests/support/colour_fonts.py builds.
std::filesystem::path builtColourFonts(const std::string& name)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lumaro-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_EQ(runCommand(shellQuoted(PYTHON3) + " " + shellQuoted(COLOUR_FONTS_SCRIPT) + " " + shellQuoted(dir.string())).status, 0);
    return dir;
}

TEST(ColourVsFontTools, PaintTreesLayersAndClipsOfBuiltFonts)
{
    const std::filesystem::path dir = builtColourFonts("colour");
    int status = -1;

    const std::vector<ColourRun> runs{{"colr1.ttf", 0, ""}, {"colr1.ttf", 1, ""}, {"colr1var.ttf", 0, ""},
                                {"colr1var.ttf", 1, "wght=900"}, {"colr1var.ttf", 0, "wght=650"},
                                {"colr0.ttf", 0, ""}, {"colr0.ttf", 1, ""}};
    int compared = 0, coloured = 0;
    for (const ColourRun& run : runs) {
        const std::string font = (dir / run.font).string();
        SCOPED_TRACE(run.font + " palette " + std::to_string(run.palette) + " " + run.location);
        const QJsonArray ref =
            QJsonDocument::fromJson(QByteArray::fromStdString(python(ReadScript, {font, std::to_string(run.palette), run.location}, status))).array();
        ASSERT_EQ(status, 0);
        ASSERT_GT(ref.size(), 4);
        for (const QJsonValue& v : ref) {
            const QJsonObject want = v.toObject();
            const int glyph = want["glyph"].toInt();
            std::vector<std::string> words{"colour", font, std::to_string(glyph), "--palette", std::to_string(run.palette)};
            if (!run.location.empty())
                words.insert(words.end(), {"--location", run.location});
            const QJsonObject ours = inspectObject(words, &status);
            ASSERT_EQ(status, 0) << "glyph " << glyph;
            EXPECT_EQ(ours["format"], want["format"]) << "glyph " << glyph;
            for (const char* key : {"paint", "layers", "clip"})
                if (want.contains(key)) {
                    EXPECT_EQ(difference(ours[key], want[key], key), "") << "glyph " << glyph;
                }
            EXPECT_EQ(ours["messages"].toArray().size(), 0) << "glyph " << glyph;
            if (want["format"] != "none") {
                // A colour glyph is painted, whatever its colours.
                EXPECT_GT(ours["width"].toInt() * ours["rows"].toInt(), 0) << "glyph " << glyph;
                ++coloured;
            }
            ++compared;
        }
    }
    EXPECT_GE(coloured, 100);
    for (const char* name : {"colr0.ttf", "colr1.ttf"}) {
        SCOPED_TRACE(name);
        const std::string font = (dir / name).string();
        const QJsonObject want = QJsonDocument::fromJson(QByteArray::fromStdString(python(DetailsScript, {font}, status))).object();
        ASSERT_EQ(status, 0);
        FontState loaded;
        ASSERT_EQ(loadFontPath(loaded, font), LoadResult::Loaded);
        const FontDetails details = ReadFontDetails(loaded);
        ASSERT_GE(details.colour.size(), 2u);
        const ColourTableSummary& colr = details.colour[0];
        const ColourTableSummary& cpal = details.colour[1];
        EXPECT_EQ(colr.tag + cpal.tag, "COLRCPAL");
        EXPECT_EQ(QJsonArray({colr.version, colr.baseGlyphRecords, colr.layerRecords, colr.baseGlyphPaints, colr.layerPaints}),
                  want["colr"].toArray());
        EXPECT_EQ(QJsonArray({cpal.version, cpal.paletteEntries}), want["cpal"].toArray());
        QJsonArray palettes;
        for (const PaletteSummary& p : cpal.palettes)
            palettes.append(QJsonArray({int(p.type), QString::fromStdString(p.label)}));
        EXPECT_EQ(palettes, want["palettes"].toArray());
    }
    std::filesystem::remove_all(dir);
}

// FreeType's BGRA bitmap (premultiplied) as a picture.
QImage freeTypePicture(const FT_Bitmap& bitmap)
{
    QImage out(int(bitmap.width), int(bitmap.rows), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        const unsigned char* p = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x, p += 4)
            row[x] = qRgba(p[2], p[1], p[0], p[3]);
    }
    return out;
}

// Lumaro's picture of COLRv0 glyph g, placed at left, top, against
// FreeType's FT_LOAD_COLOR composition of the layers: the same placement
// and pixels matched within 1 px and `tolerance` levels per channel (see
// picture_match.h), but for `allowed` pixels.
void expectFreeTypeLayers(FT_Face f, int g, int ppem, int palette, const QImage& ours, int left, int top,
                          int tolerance, int allowed)
{
    ASSERT_EQ(FT_Set_Pixel_Sizes(f, 0, FT_UInt(ppem)), 0);
    ASSERT_EQ(FT_Palette_Select(f, FT_UShort(palette), nullptr), 0);
    ASSERT_EQ(FT_Load_Glyph(f, FT_UInt(g), FT_LOAD_COLOR | FT_LOAD_NO_HINTING | FT_LOAD_RENDER), 0);
    const FT_Bitmap& bitmap = f->glyph->bitmap;
    ASSERT_EQ(bitmap.pixel_mode, FT_PIXEL_MODE_BGRA);
    EXPECT_EQ(left, f->glyph->bitmap_left);
    EXPECT_EQ(top, f->glyph->bitmap_top);
    EXPECT_EQ(ours.size(), QSize(int(bitmap.width), int(bitmap.rows)));
    EXPECT_LE(unmatchedPixels(ours, freeTypePicture(bitmap), tolerance), allowed);
}

// Every glyph of the COLRv0 font at two sizes in both palettes: the picture
// lumaro-inspect colour writes against FreeType's, within 4 levels: both
// rasterise coverage exactly, so only rounding at the layers' edges differs.
TEST(ColourVsFreeType, Colr0LayersPictures)
{
    const std::filesystem::path dir = builtColourFonts("colr0");
    const std::string font = (dir / "colr0.ttf").string(), png = (dir / "ours.png").string();
    FreeTypeFace face(font);
    FT_Face f = face.get();
    ASSERT_NE(f, nullptr);
    int compared = 0;
    for (int ppem : {20, 100})
        for (int palette : {0, 1})
            for (int g = 0; g < int(f->num_glyphs); ++g) {
                SCOPED_TRACE("glyph " + std::to_string(g) + " ppem " + std::to_string(ppem) + " palette "
                             + std::to_string(palette));
                int status = -1;
                const QJsonObject ours = inspectObject({"colour", font, std::to_string(g), "--ppem", std::to_string(ppem),
                                                        "--palette", std::to_string(palette), "-o", png}, &status);
                ASSERT_EQ(status, 0);
                FT_LayerIterator layers{};
                FT_UInt layerGlyph = 0, layerColour = 0;
                const bool coloured = FT_Get_Color_Glyph_Layer(f, FT_UInt(g), &layerGlyph, &layerColour, &layers);
                ASSERT_EQ(ours["format"], coloured ? "COLRv0" : "none");
                if (!coloured)
                    continue;
                const QImage picture(QString::fromStdString(png));
                EXPECT_EQ(ours["width"], picture.width());
                EXPECT_EQ(ours["rows"], picture.height());
                expectFreeTypeLayers(f, g, ppem, palette, picture, ours["left"].toInt(), ours["top"].toInt(), 4, 0);
                ++compared;
            }
    EXPECT_EQ(compared, 8); // two colour glyphs
    std::filesystem::remove_all(dir);
}

// Glyph g as lumaro-inspect colour prints it (format, clip, paint or
// layers), made by the functions the command prints through, and its picture
// at ppem: the npm fonts have thousands of colour glyphs, too many to start
// the command for each.
struct InProcess {
    QJsonObject printed;
    ColourRendering picture;
};
InProcess colourInProcess(const FontState& font, const ColourTables& tables, int g, int ppem)
{
    const PaintSettings settings;
    const ColourGlyph glyph = DescribeColourGlyph(tables, g, settings.location, ppem);
    QJsonObject o{{"format", ColourFormatName(glyph.format)}, {"clip", QJsonValue::Null}};
    if (glyph.clip)
        o["clip"] = QJsonArray{glyph.clip->xMin, glyph.clip->yMin, glyph.clip->xMax, glyph.clip->yMax};
    if (glyph.paint)
        o["paint"] = QJsonDocument::fromJson(QByteArray::fromStdString(PaintJson(*glyph.paint, tables, settings))).object();
    else if (glyph.format == ColourFormat::ColrV0)
        o["layers"] = QJsonDocument::fromJson(QByteArray::fromStdString(LayersJson(glyph.layers, tables, settings))).array();
    return {o, RenderColourGlyph(font, tables, glyph, settings, ppem)};
}

// Every colour glyph of the npm COLRv0 font (Twemoji) and COLRv1 font (Noto
// Color Emoji) against fontTools' reading, every 97th through lumaro-inspect
// itself; the COLRv0 pictures at 48 ppem against FreeType's, within 32
// levels but for 0.5 % of a glyph's pixels: on Twemoji's small curves, Qt
// and FreeType flatten differently (each to within a quarter pixel or so),
// which moves an edge pixel's coverage by up to 30 levels.
TEST(ColourVsFontTools, NpmFontsEveryColourGlyph)
{
    for (const std::string path : {COLRV0_NPM_FONT, COLRV1_NPM_FONT}) {
        SCOPED_TRACE(path);
        FontState font;
        RecordingSink sink;
        ASSERT_EQ(loadFontFace(font, sink, path, 0), LoadResult::Loaded) << "scripts/setup installs " << path;
        const ColourTables tables = ReadColourTables(font);
        FreeTypeFace face(path);
        ASSERT_NE(face.get(), nullptr);
        int status = -1;
        const QJsonArray ref =
            QJsonDocument::fromJson(QByteArray::fromStdString(python(ReadScript, {path, "0", ""}, status))).array();
        ASSERT_EQ(status, 0);
        ASSERT_EQ(ref.size(), font.NumGlyphs);
        int coloured = 0;
        for (const QJsonValue& v : ref) {
            const QJsonObject want = v.toObject();
            const int glyph = want["glyph"].toInt();
            const ColourFormat format = ChooseColourFormat(tables, glyph);
            if (want["format"] == "none") {
                // An SVG document may draw a glyph COLR leaves out.
                EXPECT_TRUE(format != ColourFormat::ColrV0 && format != ColourFormat::ColrV1) << "glyph " << glyph;
                continue;
            }
            const InProcess ours = colourInProcess(font, tables, glyph, 48);
            for (const char* key : {"format", "paint", "layers", "clip"})
                if (want.contains(key)) {
                    EXPECT_EQ(difference(ours.printed[key], want[key], key), "") << "glyph " << glyph;
                }
            const QImage& image = ours.picture.image;
            if (format == ColourFormat::ColrV0)
                expectFreeTypeLayers(face.get(), glyph, 48, 0, image, ours.picture.left, ours.picture.top, 32,
                                     int(image.width() * image.height() / 200));
            if (coloured++ % 97 == 0) {
                const QJsonObject printed = inspectObject({"colour", path, std::to_string(glyph), "--ppem", "48"}, &status);
                ASSERT_EQ(status, 0);
                for (const char* key : {"format", "paint", "layers", "clip"})
                    EXPECT_EQ(printed[key], ours.printed[key]) << key << " of glyph " << glyph;
                EXPECT_EQ(printed["left"], ours.picture.left);
                EXPECT_EQ(printed["rows"], ours.picture.image.height());
            }
        }
        EXPECT_GE(coloured, 3000);
    }
}

} // namespace
