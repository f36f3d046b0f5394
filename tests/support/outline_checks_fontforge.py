# FontForge's reading of a font's outlines, for the outline checks to be
# compared with: one JSON object from each glyph number to
# [intersects, wrong_direction, missing_extrema, zero_length], each true or false, with
# composite glyphs' references unlinked first (FontForge checks a glyph's own
# contours only). Run by Debian's python3, where python3-fontforge is.
#   intersects:      the layer's selfIntersects() (within or between contours)
#   wrong_direction: correctDirection() reverses some contour
#   missing_extrema: validate()'s "missing points at extrema" bit
#   zero_length:     two neighbouring on-curve points at one place (FontForge
#                    keeps a charstring's zero-length line, which FreeType drops)
import json, sys
import fontforge

MISSING_EXTREMA = 0x20

font = fontforge.open(sys.argv[1])
out = {}
for glyph in font.glyphs():
    if glyph.references:
        glyph.unlinkRef()
    layer = glyph.foreground
    intersects = len(layer) > 0 and bool(layer.selfIntersects())
    before = [c.isClockwise() for c in layer]
    layer.correctDirection()
    wrong = before != [c.isClockwise() for c in layer]
    extrema = bool(glyph.validate(True) & MISSING_EXTREMA)
    zero = any(p.on_curve and q.on_curve and (p.x, p.y) == (q.x, q.y)
               for c in layer for p, q in zip(c, list(c)[1:] + list(c)[:1]))
    out[glyph.originalgid] = [intersects, wrong, extrema, zero]
print(json.dumps(out))
