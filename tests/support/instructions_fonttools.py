# The listings fontTools' Program.getAssembly() gives of every program of
# each font named: one JSON line a font, {"fpgm": P, "prep": P, "glyphs":
# [P, ...]} in glyph order, each P [length in bytes, the lines joined by
# newlines], or [length, null] where fontTools cannot list the program.
import json, sys
from fontTools.ttLib import TTFont


def listing(program):
    if program is None:
        return [0, ""]
    code = program.getBytecode()
    try:
        return [len(code), "\n".join(program.getAssembly())]
    except Exception:
        return [len(code), None]


for path in sys.argv[1:]:
    font = TTFont(path, lazy=False)
    out = {}
    for tag in ("fpgm", "prep"):
        out[tag] = listing(font[tag].program if tag in font else None)
    glyf = font["glyf"] if "glyf" in font else None
    out["glyphs"] = [listing(getattr(glyf[name], "program", None) if glyf else None)
                     for name in font.getGlyphOrder()]
    print(json.dumps(out))
