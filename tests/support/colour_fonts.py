# Colour test fonts built by fontTools' colorLib, for the tests and the fuzz
# seeds: colr1.ttf (every plain paint format, composite modes, every extend
# mode, clip boxes), colr1var.ttf (every Var format, through a
# DeltaSetIndexMap, on a wght axis) and colr0.ttf, written into the folder argv[1].
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
    # Left side bearings equal to the outlines' xMin, as in any made font:
    # FreeType places a TrueType outline by its hmtx bearing.
    glyf = fb.font["glyf"]
    for g in names:
        glyf[g].recalcBounds(glyf)
    fb.setupHorizontalMetrics({g: (1000, glyf[g].xMin) for g in names})
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
                                paletteTypes=[1, 2], paletteLabels=[None, "Dark"], paletteEntryLabels=None,
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
