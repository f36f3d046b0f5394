# fontTools' reading of a font's GSUB and GPOS, one line per fact, in the
# words the layout test prints Lumaro's reading in: scripts and their
# language systems, features, lookups (extensions resolved), the mappings of
# GSUB types 1 to 4 and the pairs of GPOS type 2. Class pairs are expanded per
# covered first glyph; those whose values are all zero are left out, and a
# second class 0 is written as the second glyph -1.
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
gid = {name: i for i, name in enumerate(font.getGlyphOrder())}
FIELDS = ("XPlacement", "YPlacement", "XAdvance", "YAdvance")
DEVICES = ("XPlaDevice", "YPlaDevice", "XAdvDevice", "YAdvDevice")


def ids(names):
    return " ".join(str(gid[n]) for n in names)


def value(v, fmt):
    values = ",".join(str(getattr(v, f, 0) or 0) if v is not None else "0" for f in FIELDS)
    devices = sum(1 << (4 + k) for k, d in enumerate(DEVICES) if v is not None and getattr(v, d, None) is not None)
    return "%d:%s:%d" % (fmt, values, devices)


def zero(v):
    return v is None or (not any(getattr(v, f, 0) for f in FIELDS) and all(getattr(v, d, None) is None for d in DEVICES))


def lang(table, script, tag, ls):
    req = -1 if ls.ReqFeatureIndex == 0xFFFF else ls.ReqFeatureIndex
    print("%s script %s %s req=%d features=%s" % (table, script, tag, req, ",".join(map(str, ls.FeatureIndex))))


def pairs(table, i, k, s):
    if s.Format == 1:
        for first, ps in zip(s.Coverage.glyphs, s.PairSet):
            for r in ps.PairValueRecord:
                print("%s pair %d %d %d %d %s %s" % (table, i, k, gid[first], gid[r.SecondGlyph],
                                                      value(r.Value1, s.ValueFormat1), value(r.Value2, s.ValueFormat2)))
        return
    seconds = {}
    for g, c in s.ClassDef2.classDefs.items():
        seconds.setdefault(c, []).append(g)
    for first in s.Coverage.glyphs:
        row = s.Class1Record[s.ClassDef1.classDefs.get(first, 0)].Class2Record
        for c2, r in enumerate(row):
            v1, v2 = getattr(r, "Value1", None), getattr(r, "Value2", None)
            if zero(v1) and zero(v2):
                continue
            for second in ([-1] if c2 == 0 else [gid[g] for g in seconds.get(c2, [])]):
                print("%s pair %d %d %d %d %s %s" % (table, i, k, gid[first], second,
                                                      value(v1, s.ValueFormat1), value(v2, s.ValueFormat2)))


def maps(table, i, k, kind, s):
    line = lambda a, b: print("%s map %d %d %s > %s" % (table, i, k, a, b))
    if kind == 1:
        for a, b in s.mapping.items():
            line(gid[a], gid[b])
    elif kind == 2:
        for a, b in s.mapping.items():
            line(gid[a], ids(b))
    elif kind == 3:
        for a, b in s.alternates.items():
            line(gid[a], ids(b))
    else:
        for first, ligatures in s.ligatures.items():
            for lig in ligatures:
                line(ids([first] + lig.Component), gid[lig.LigGlyph])


for table in ("GSUB", "GPOS"):
    if table not in font:
        continue
    t = font[table].table
    for sr in t.ScriptList.ScriptRecord if t.ScriptList else []:
        if sr.Script.DefaultLangSys:
            lang(table, sr.ScriptTag, "dflt", sr.Script.DefaultLangSys)
        for lr in sr.Script.LangSysRecord:
            lang(table, sr.ScriptTag, lr.LangSysTag, lr.LangSys)
    for n, fr in enumerate(t.FeatureList.FeatureRecord if t.FeatureList else []):
        params = fr.Feature.FeatureParams
        ui = getattr(params, "UINameID", getattr(params, "FeatUILabelNameID", 0)) if params else 0
        print("%s feature %d %s ui=%d lookups=%s" % (table, n, fr.FeatureTag, ui,
                                                   ",".join(map(str, fr.Feature.LookupListIndex))))
    for i, lookup in enumerate(t.LookupList.Lookup if t.LookupList else []):
        kind, subtables = lookup.LookupType, lookup.SubTable
        if kind == (9 if table == "GPOS" else 7):
            kind, subtables = subtables[0].ExtensionLookupType, [s.ExtSubTable for s in subtables]
        mfs = lookup.MarkFilteringSet if lookup.LookupFlag & 0x10 else -1
        print("%s lookup %d type=%d flags=%d mfs=%d subtables=%d" % (table, i, kind, lookup.LookupFlag, mfs,
                                                                    lookup.SubTableCount))
        for k, s in enumerate(subtables):
            if table == "GSUB" and kind <= 4:
                maps(table, i, k, kind, s)
            elif table == "GPOS" and kind == 2:
                pairs(table, i, k, s)
