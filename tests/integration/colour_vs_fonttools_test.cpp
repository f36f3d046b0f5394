// lumaro-inspect colour against fontTools' reading of the same COLR and CPAL
// tables: test fonts built by fontTools' colorLib with every paint format,
// several composite modes, every extend mode, variable paints and two
// palettes; every glyph's paint tree or layers, clip box and colours, at the
// default and at other locations.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/command_output.h"

namespace {

// Writes colr1.ttf (every plain paint format, composite modes, clip boxes),
// colr1var.ttf (every Var format, through a DeltaSetIndexMap) and colr0.ttf
// into the folder argv[1].
const char* const BuildScript = R"py(
import sys
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.colorLib.builder import buildCOLR, buildCPAL
from fontTools.varLib import builder as vb
from fontTools.ttLib.tables import otTables as ot

def rect(x0, y0, x1, y1):
    p = TTGlyphPen(None); p.moveTo((x0, y0)); p.lineTo((x0, y1)); p.lineTo((x1, y1)); p.lineTo((x1, y0)); p.closePath()
    return p.glyph()

def blob():
    p = TTGlyphPen(None); p.moveTo((100, 100)); p.qCurveTo((100, 700), (500, 700)); p.qCurveTo((900, 700), (900, 100)); p.closePath()
    return p.glyph()

def font(path, colr_glyphs, version, variable=False, clips=None, palettes=None):
    shapes = {".notdef": rect(0, 0, 500, 700), "square": rect(100, 0, 900, 800), "bar": rect(0, 300, 1000, 500),
              "blob": blob()}
    names = list(shapes) + [g for g in colr_glyphs]
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({0x41 + i: g for i, g in enumerate(names[1:])})
    glyphs = dict(shapes)
    for g in colr_glyphs:
        glyphs[g] = rect(0, 0, 1000, 1000)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({g: (1000, 0) for g in names})
    fb.setupHorizontalHeader(ascent=900, descent=-100)
    fb.setupNameTable({"familyName": "Colour Test", "styleName": "Regular"})
    fb.setupOS2(); fb.setupPost()
    kw = {}
    if variable:
        fb.setupFvar([("wght", 100, 400, 900, "Weight")], [])
        regions = vb.buildVarRegionList([{"wght": (0, 1.0, 1.0)}], ["wght"])
        # item k moves field k of the paints below (VarIndexBase 0 onwards, mapped through a DeltaSetIndexMap)
        data = vb.buildVarData([0], [[-8192], [300], [-200], [4096], [-4096], [2048], [50], [100]], optimize=False)
        kw["varStore"] = vb.buildVarStore(regions, [data])
        m = ot.DeltaSetIndexMap(); m.Format = 0; m.mapping = [0, 1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1, 0]
        kw["varIndexMap"] = m
    fb.font["COLR"] = buildCOLR(colr_glyphs, version=version, glyphMap=fb.font.getReverseGlyphMap(), clipBoxes=clips, **kw)
    fb.font["CPAL"] = buildCPAL(palettes or [[(1, 0, 0, 1), (0, 0.5, 1, 1), (0, 1, 0, 0.5)], [(0.2, 0.2, 0.2, 1), (1, 1, 0, 1), (1, 0, 1, 1)]],
                                paletteTypes=[1, 2], paletteLabels=[None, None], paletteEntryLabels=None,
                                nameTable=fb.font["name"])
    fb.save(path)

def line(extend=0, var=False):
    stops = [{"StopOffset": 0.0, "PaletteIndex": 0, "Alpha": 1.0}, {"StopOffset": 0.5, "PaletteIndex": 0xFFFF, "Alpha": 0.75},
             {"StopOffset": 1.0, "PaletteIndex": 1, "Alpha": 1.0}]
    if var:
        for k, s in enumerate(stops):
            s["VarIndexBase"] = 3 + k
    return {"Extend": extend, "ColorStop": stops}

def glyph(paint, g="square"):
    return {"Format": 10, "Paint": paint, "Glyph": g}

solid = {"Format": 2, "PaletteIndex": 1, "Alpha": 1.0}
v1 = {
  "c_solid": glyph({"Format": 2, "PaletteIndex": 0, "Alpha": 0.5}),
  "c_linear_pad": glyph({"Format": 4, "ColorLine": line(0), "x0": 100, "y0": 0, "x1": 900, "y1": 0, "x2": 100, "y2": 300}),
  "c_linear_repeat": glyph({"Format": 4, "ColorLine": line(1), "x0": 300, "y0": 0, "x1": 500, "y1": 100, "x2": 300, "y2": 800}),
  "c_radial_reflect": glyph({"Format": 6, "ColorLine": line(2), "x0": 500, "y0": 400, "r0": 0, "x1": 500, "y1": 400, "r1": 150}),
  "c_radial_two": glyph({"Format": 6, "ColorLine": line(0), "x0": 300, "y0": 300, "r0": 50, "x1": 600, "y1": 500, "r1": 300}),
  "c_sweep_pad": glyph({"Format": 8, "ColorLine": line(0), "centerX": 500, "centerY": 400, "startAngle": 45, "endAngle": 270}),
  "c_sweep_repeat": glyph({"Format": 8, "ColorLine": line(1), "centerX": 500, "centerY": 400, "startAngle": 0, "endAngle": 90}),
  "c_sweep_reflect": glyph({"Format": 8, "ColorLine": line(2), "centerX": 400, "centerY": 300, "startAngle": -30, "endAngle": 60}),
  "c_layers": {"Format": 1, "Layers": [glyph(solid, "bar"), glyph({"Format": 2, "PaletteIndex": 2, "Alpha": 1.0}, "blob")]},
  "c_transform": {"Format": 12, "Paint": glyph(solid, "bar"), "Transform": {"xx": 0.5, "yx": 0.25, "xy": -0.25, "yy": 0.75, "dx": 100, "dy": 50}},
  "c_translate": {"Format": 14, "Paint": glyph(solid, "bar"), "dx": 50, "dy": -100},
  "c_scale": {"Format": 16, "Paint": glyph(solid), "scaleX": 0.5, "scaleY": 1.5},
  "c_scale_centre": {"Format": 18, "Paint": glyph(solid), "scaleX": 0.5, "scaleY": 0.75, "centerX": 500, "centerY": 400},
  "c_scale_uniform": {"Format": 20, "Paint": glyph(solid), "scale": 0.5},
  "c_scale_uniform_centre": {"Format": 22, "Paint": glyph(solid), "scale": 0.5, "centerX": 500, "centerY": 400},
  "c_rotate": {"Format": 24, "Paint": glyph(solid, "bar"), "angle": 30},
  "c_rotate_centre": {"Format": 26, "Paint": glyph(solid, "bar"), "angle": -45, "centerX": 500, "centerY": 400},
  "c_skew": {"Format": 28, "Paint": glyph(solid), "xSkewAngle": 15, "ySkewAngle": 0},
  "c_skew_centre": {"Format": 30, "Paint": glyph(solid), "xSkewAngle": -10, "ySkewAngle": 20, "centerX": 500, "centerY": 400},
  "c_colr_glyph": {"Format": 1, "Layers": [{"Format": 11, "Glyph": "c_layers"}, {"Format": 11, "Glyph": "c_rotate"}]},
}
modes = ["src_over", "multiply", "screen", "xor", "dest_in", "src_out", "hsl_hue", "hsl_saturation", "hsl_color", "hsl_luminosity", "difference", "clear"]
for mode in modes:
    v1["c_mode_" + mode] = {"Format": 32, "CompositeMode": mode,
        "SourcePaint": glyph({"Format": 2, "PaletteIndex": 1, "Alpha": 0.8}, "blob"),
        "BackdropPaint": glyph({"Format": 4, "ColorLine": line(0), "x0": 100, "y0": 0, "x1": 900, "y1": 0, "x2": 100, "y2": 300})}
var = {
  "v_solid": glyph({"Format": 3, "PaletteIndex": 0, "Alpha": 1.0, "VarIndexBase": 0}),
  "v_linear": glyph({"Format": 5, "ColorLine": line(0, True), "x0": 100, "y0": 0, "x1": 900, "y1": 0, "x2": 100, "y2": 300, "VarIndexBase": 1}),
  "v_radial": glyph({"Format": 7, "ColorLine": line(1, True), "x0": 500, "y0": 400, "r0": 10, "x1": 500, "y1": 400, "r1": 300, "VarIndexBase": 2}),
  "v_sweep": glyph({"Format": 9, "ColorLine": line(2, True), "centerX": 500, "centerY": 400, "startAngle": 0, "endAngle": 180, "VarIndexBase": 4}),
  "v_transform": {"Format": 13, "Paint": glyph(solid, "bar"), "Transform": {"xx": 1, "yx": 0, "xy": 0, "yy": 1, "dx": 0, "dy": 0, "VarIndexBase": 1}},
  "v_translate": {"Format": 15, "Paint": glyph(solid), "dx": 10, "dy": 20, "VarIndexBase": 1},
  "v_scale": {"Format": 17, "Paint": glyph(solid), "scaleX": 0.5, "scaleY": 0.5, "VarIndexBase": 3},
  "v_scale_centre": {"Format": 19, "Paint": glyph(solid), "scaleX": 0.5, "scaleY": 0.5, "centerX": 500, "centerY": 400, "VarIndexBase": 3},
  "v_scale_uniform": {"Format": 21, "Paint": glyph(solid), "scale": 0.75, "VarIndexBase": 5},
  "v_scale_uniform_centre": {"Format": 23, "Paint": glyph(solid), "scale": 0.75, "centerX": 500, "centerY": 400, "VarIndexBase": 5},
  "v_rotate": {"Format": 25, "Paint": glyph(solid, "bar"), "angle": 10, "VarIndexBase": 3},
  "v_rotate_centre": {"Format": 27, "Paint": glyph(solid, "bar"), "angle": 10, "centerX": 500, "centerY": 400, "VarIndexBase": 3},
  "v_skew": {"Format": 29, "Paint": glyph(solid), "xSkewAngle": 5, "ySkewAngle": 5, "VarIndexBase": 4},
  "v_skew_centre": {"Format": 31, "Paint": glyph(solid), "xSkewAngle": 5, "ySkewAngle": 5, "centerX": 500, "centerY": 400, "VarIndexBase": 3},
}
out = sys.argv[1]
font(out + "/colr1.ttf", v1, 1, clips={"c_solid": (0, 0, 1000, 1000), "c_layers": (50, 50, 950, 950)})
font(out + "/colr1var.ttf", var, 1, variable=True)
font(out + "/colr0.ttf", {"c_v0": [("square", 0), ("bar", 1), ("blob", 0xFFFF)], "c_v0b": [("blob", 2)]}, 0)
)py";

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

def base_paint(g):
    for r in table.BaseGlyphList.BaseGlyphPaintRecord:
        if r.BaseGlyph == g:
            return r.Paint

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

struct ColourRun {
    std::string font;
    int palette;
    std::string location;
};

TEST(ColourVsFontTools, PaintTreesLayersAndClipsOfBuiltFonts)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lumaro-colour-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    int status = -1;
    python(BuildScript, {dir.string()}, status);
    ASSERT_EQ(status, 0);

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
    std::filesystem::remove_all(dir);
}

} // namespace
