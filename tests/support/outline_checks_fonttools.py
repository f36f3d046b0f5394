# The outline checks that FontForge does not make, written from their
# definitions on fontTools' reading of a font: one JSON line, an object from
# each glyph number to {"points": contours as `outline` prints them,
# "problems": [[check, contour, point], ...]} (point null for the glyph's
# box, the component's index for component checks).
import json, math, sys
from fontTools.ttLib import TTFont
from fontTools.pens.recordingPen import RecordingPen
from fontTools.misc.bezierTools import calcQuadraticArcLength, calcCubicArcLength

font = TTFont(sys.argv[1])
order = font.getGlyphOrder()
upem = font["head"].unitsPerEm
os2 = font["OS/2"] if "OS/2" in font else None
heights = [0]
if os2 is not None and os2.version >= 2:
    heights += [os2.sxHeight, os2.sCapHeight]
heights += [font["hhea"].ascent, font["hhea"].descent]


def cff_contours(name):
    # As FreeType reads a charstring: no zero-length lines, no repeated closing point.
    pen = RecordingPen()
    font.getGlyphSet()[name].draw(pen)
    contours, current = [], None
    for op, args in pen.value:
        if op == "moveTo":
            current = [[*args[0], 1]]
            contours.append(current)
        elif op == "lineTo":
            if tuple(args[0]) != tuple(current[-1][:2]):
                current.append([*args[0], 1])
        elif op == "curveTo":
            current += [[*args[0], 2], [*args[1], 2], [*args[2], 1]]
        elif op in ("closePath", "endPath"):
            if len(current) > 1 and current[-1] == current[0]:
                current.pop()
    return [[[int(round(v)) for v in p[:2]] + [p[2]] for p in c] for c in contours]


def glyf_contours(name):
    glyf = font["glyf"]
    coords, ends, flags = glyf[name].getCoordinates(glyf)
    contours, start = [], 0
    for end in ends:
        contours.append([[int(round(coords[i][0])), int(round(coords[i][1])), flags[i] & 1] for i in range(start, end + 1)])
        start = end + 1
    return contours


def segments(points):
    # (name, control points as halves) between consecutive on-curve places.
    n = len(points)
    first = next(i for i, p in enumerate(points) if p[2] == 1)
    half = lambda p: (2 * p[0], 2 * p[1])
    out, pending, start = [], [], half(points[first])
    for k in range(1, n + 1):
        i = (first + k) % n
        if points[i][2] != 1:
            pending.append(i)
            continue
        end = half(points[i])
        if not pending:
            out.append((i, [start, end]))
        elif len(pending) == 2 and points[pending[0]][2] == 2:
            out.append((i, [start, half(points[pending[0]]), half(points[pending[1]]), end]))
        else:
            for a, b in zip(pending, pending[1:]):
                mid = (points[a][0] + points[b][0], points[a][1] + points[b][1])
                out.append((a, [start, half(points[a]), mid]))
                start = mid
            out.append((i, [start, half(points[pending[-1]]), end]))
        pending, start = [], end
    return [(name, [(x / 2, y / 2) for x, y in ps]) for name, ps in out if any(p != ps[0] for p in ps)]


def length(ps):
    if len(ps) == 2:
        return math.dist(*ps)
    return calcQuadraticArcLength(*ps) if len(ps) == 3 else calcCubicArcLength(*ps)


def angle(u, v):
    return math.atan2(abs(u[0] * v[1] - u[1] * v[0]), u[0] * v[0] + u[1] * v[1])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1])


def contour_problems(c, points, out):
    n = len(points)
    if n < 3 or all(p[2] != 1 for p in points):
        out.append(["open_contour", c, 0])
        return
    for i, p in enumerate(points):
        if p[:2] == points[i - 1][:2]:
            out.append(["duplicate_point", c, i])
        if p[2] == 1 and any(abs(p[1] - h) in (1, 2) for h in heights):
            out.append(["alignment_miss", c, i])
    segs = segments(points)
    total = sum(length(ps) for _, ps in segs)
    for k, (name, ps) in enumerate(segs):
        nxt = segs[(k + 1) % len(segs)][1]
        if length(ps) < 3 or length(ps) < 0.006 * total:
            out.append(["short_segment", c, name])
        if len(ps) == 2 and len(nxt) == 2 and angle(sub(ps[1], ps[0]), sub(nxt[1], nxt[0])) < 0.1:
            out.append(["colinear_vectors", c, name])
        back = next(sub(p, ps[-1]) for p in reversed(ps) if p != ps[-1])
        ahead = next(sub(p, nxt[0]) for p in nxt if p != nxt[0])
        turn = angle(back, ahead)
        if 0 < turn < 0.25 and back[0] * ahead[1] != back[1] * ahead[0]:
            out.append(["jaggy_segment", c, name])
        if len(ps) == 2:
            dx, dy = abs(ps[1][0] - ps[0][0]), abs(ps[1][1] - ps[0][1])
            if dx > 0 and math.degrees(math.atan2(dx, dy)) < 0.5:
                out.append(["semi_vertical", c, name])
            if dy > 0 and math.degrees(math.atan2(dy, dx)) < 0.5:
                out.append(["semi_horizontal", c, name])


result = {}
for g, name in enumerate(order):
    contours = cff_contours(name) if "glyf" not in font else glyf_contours(name)
    problems = []
    for c, points in enumerate(contours):
        contour_problems(c, points, problems)
    if "glyf" in font:
        glyph = font["glyf"][name]
        every = [p for c in contours for p in c]
        if every and glyph.numberOfContours != 0:
            box = (min(p[0] for p in every), min(p[1] for p in every), max(p[0] for p in every), max(p[1] for p in every))
            if box != (glyph.xMin, glyph.yMin, glyph.xMax, glyph.yMax):
                problems.append(["bbox_mismatch", None, None])
        for k, component in enumerate(getattr(glyph, "components", []) if glyph.isComposite() else []):
            if font["glyf"][component.glyphName].isComposite():
                problems.append(["nested_component", None, k])
            t = getattr(component, "transform", [[1, 0], [0, 1]])
            if t[0][0] * t[1][1] - t[0][1] * t[1][0] < 0:
                problems.append(["flipped_component", None, k])
    result[g] = {"points": contours, "problems": problems}
print(json.dumps(result))
