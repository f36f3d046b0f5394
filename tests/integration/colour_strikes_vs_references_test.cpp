// Colour strikes and SVG documents read by Lumaro against the references:
// Noto Color Emoji's CBDT pictures against FreeType's FT_LOAD_COLOR bitmaps,
// sbix and SVG tables built by fontTools against fontTools' reading, and SVG
// glyph pictures against librsvg's.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "colour/bitmap_strikes.h"
#include "colour/svg_table.h"
#include "platform/colour_images.h"
#include "support/command_output.h"
#include "support/freetype_face.h"
#include "support/picture_match.h"
#include "support/sfnt_tables.h"
#include "tables/details.h"
#include "tables/loader.h"
#include "support/ttf_builder.h"

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int numGlyphsOf(const std::vector<std::uint8_t>& font)
{
    ByteReader r(sfntTable(font, "maxp"));
    r.skip(4);
    return r.u16();
}

// What `lumaro-inspect colour` prints of glyph g at ppem.
QJsonObject colourCommand(const std::string& path, int g, int ppem, const std::string& extra = {})
{
    const CommandOutput run = runCommand(shellQuoted(LUMARO_INSPECT) + " colour " + shellQuoted(path) + " "
                                         + std::to_string(g) + " --ppem " + std::to_string(ppem) + extra);
    EXPECT_EQ(run.status, 0);
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

// Every glyph at the strike's own size: the same box, placement and
// premultiplied pixels as FreeType's BGRA bitmap (FreeType's own PNG
// decoding premultiplies with its rounding; Qt's differs by at most 1).
// Every 29th glyph goes through lumaro-inspect colour too: the format
// chosen, the strike described and the picture placed as FreeType places it.
TEST(ColourStrikesVsFreeType, NotoColorEmojiEveryGlyph)
{
    const std::string path = std::string(NOTO_DIR) + "/NotoColorEmoji.ttf";
    const std::vector<std::uint8_t> font = fileBytes(path);
    ASSERT_FALSE(font.empty()) << path;
    const auto cblc = sfntTable(font, "CBLC"), cbdt = sfntTable(font, "CBDT");
    const StrikeList strikes = ReadCblcStrikes(cblc);
    ASSERT_TRUE(strikes.problem.empty()) << strikes.problem;
    ASSERT_FALSE(strikes.strikes.empty());
    const int ppem = strikes.strikes[0].ppem;

    FreeTypeFace face(path);
    FT_Face f = face.get();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(FT_Select_Size(f, 0), 0);
    int compared = 0, withoutImage = 0, worstChannel = 0, commands = 0;
    for (int g = 0; g < numGlyphsOf(font); ++g) {
        SCOPED_TRACE("glyph " + std::to_string(g));
        const StrikeGlyph ours = FindCbdtGlyph(cblc, cbdt, g, ppem);
        ASSERT_TRUE(ours.problem.empty()) << ours.problem;
        // FreeType gives a glyph without an image an empty bitmap.
        const bool freeTypeHasIt = FT_Load_Glyph(f, FT_UInt(g), FT_LOAD_COLOR) == 0 && f->glyph->bitmap.rows > 0;
        ASSERT_EQ(ours.found, freeTypeHasIt);
        if (g % 29 == 0) {
            const QJsonObject printed = colourCommand(path, g, ppem);
            EXPECT_EQ(printed["format"], freeTypeHasIt ? "CBDT" : "none");
            if (freeTypeHasIt) {
                EXPECT_EQ(printed["strike"]["ppem"], ppem);
                EXPECT_EQ(printed["width"], int(f->glyph->bitmap.width));
                EXPECT_EQ(printed["rows"], int(f->glyph->bitmap.rows));
                EXPECT_EQ(printed["left"], f->glyph->bitmap_left);
                EXPECT_EQ(printed["top"], f->glyph->bitmap_top);
                ++commands;
            }
        }
        if (!ours.found) {
            ++withoutImage;
            continue;
        }
        const ColourRendering picture = RenderStrikeGlyph(ours, ppem);
        ASSERT_TRUE(picture.messages.empty()) << picture.messages.front();
        const FT_Bitmap& bitmap = f->glyph->bitmap;
        ASSERT_EQ(bitmap.pixel_mode, FT_PIXEL_MODE_BGRA);
        ASSERT_EQ(picture.image.width(), int(bitmap.width));
        ASSERT_EQ(picture.image.height(), int(bitmap.rows));
        EXPECT_EQ(picture.left, f->glyph->bitmap_left);
        EXPECT_EQ(picture.top, f->glyph->bitmap_top);
        for (int y = 0; y < picture.image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.image.constScanLine(y));
            const unsigned char* ref = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
            for (int x = 0; x < picture.image.width(); ++x) {
                const unsigned char* p = ref + 4 * x; // B, G, R, A
                const int diffs[] = {qBlue(row[x]) - p[0], qGreen(row[x]) - p[1], qRed(row[x]) - p[2],
                                     qAlpha(row[x]) - p[3]};
                for (int d : diffs)
                    worstChannel = std::max(worstChannel, std::abs(d));
            }
        }
        ASSERT_LE(worstChannel, 1);
        ++compared;
    }
    EXPECT_GT(compared, 3000);
    EXPECT_GT(withoutImage, 0); // the blank and control glyphs
    EXPECT_GT(commands, 100);
}

// A font of six glyphs with an sbix table of two strikes (PNG and JPEG
// images of several sizes and origins, a 'dupe', an empty record) and an SVG table of
// four documents (one gzipped; a gradient, transforms, a clip path, a
// <use>), built by fontTools and read back by it: what fontTools reads is
// printed as JSON.
const char* const FontToolsScript = R"py(
import io, json, struct, sys, zlib
from PIL import Image
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables.sbixStrike import Strike
from fontTools.ttLib.tables.sbixGlyph import Glyph
from fontTools.ttLib.tables.S_V_G_ import SVGDocument

def png(w, h, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(rgba) * w for _ in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))

def jpeg(w, h, rgb):
    out = io.BytesIO()
    Image.new("RGB", (w, h), rgb).save(out, "JPEG")
    return out.getvalue()

order = [".notdef", "a", "b", "c", "d", "e"]
fb = FontBuilder(1000, isTTF=True)
fb.setupGlyphOrder(order)
fb.setupCharacterMap({0x61 + i: n for i, n in enumerate(order[1:])})
fb.setupGlyf({n: TTGlyphPen(None).glyph() for n in order})
fb.setupHorizontalMetrics({n: (600, 0) for n in order})
fb.setupHorizontalHeader(ascent=800, descent=-200)
fb.setupNameTable({"familyName": "Strikes", "styleName": "Regular"})
fb.setupOS2()
fb.setupPost()
sbix = newTable("sbix")
for ppem, scale in ((20, 1), (64, 3)):
    s = Strike(ppem=ppem, resolution=72)
    s.glyphs["a"] = Glyph(glyphName="a", graphicType="png ", originOffsetX=-2, originOffsetY=-3,
                          imageData=png(12 * scale, 16 * scale, (255, 0, 0, 255)))
    s.glyphs["b"] = Glyph(glyphName="b", graphicType="png ", originOffsetX=1, originOffsetY=4,
                          imageData=png(7 * scale, 5 * scale, (0, 128, 255, 128)))
    s.glyphs["c"] = Glyph(glyphName="c", graphicType="dupe", imageData=struct.pack(">H", 1))
    s.glyphs["e"] = Glyph(glyphName="e", graphicType="jpg ", originOffsetX=3, originOffsetY=-1,
                          imageData=jpeg(9 * scale, 6 * scale, (40, 160, 90)))
    sbix.strikes[ppem] = s
fb.font["sbix"] = sbix
svg = newTable("SVG ")
ns = 'xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"'
svg.docList = [
    SVGDocument('<svg %s><rect id="glyph1" x="100" y="-700" width="500" height="700" fill="#ff0000"/>'
                '<circle id="glyph2" cx="300" cy="-300" r="250" fill="#00ff00"/></svg>' % ns, 1, 2, False),
    SVGDocument('<svg %s><defs><linearGradient id="g"><stop offset="0" stop-color="#00f"/>'
                '<stop offset="1" stop-color="#f00"/></linearGradient></defs>'
                '<g id="glyph3" transform="translate(0,-500)"><rect width="400" height="400" fill="url(#g)"/></g>'
                '</svg>' % ns, 3, 3, True),
    SVGDocument('<svg %s><defs><clipPath id="c"><circle cx="250" cy="-250" r="200"/></clipPath></defs>'
                '<rect id="glyph4" width="500" height="500" y="-500" fill="#80f" clip-path="url(#c)"/></svg>' % ns, 4, 4, False),
    SVGDocument('<svg %s><g id="glyph5"><path id="t" d="M0 0 L500 -500 L0 -500 Z"/>'
                '<use xlink:href="#t" transform="translate(300,-100) scale(0.5)" fill="#0a6" opacity="0.5"/></g></svg>' % ns,
                5, 5, False),
]
fb.font["SVG "] = svg
fb.save(sys.argv[1])

f = TTFont(sys.argv[1])
out = {"numGlyphs": len(order), "sbix": [], "svg": []}
for ppem, strike in sorted(f["sbix"].strikes.items()):
    glyphs = []
    for gid, name in enumerate(f.getGlyphOrder()):
        g = strike.glyphs.get(name)
        if g is None or g.graphicType is None:
            glyphs.append({"gid": gid})
            continue
        entry = {"gid": gid, "type": g.graphicType.strip(), "x": g.originOffsetX, "y": g.originOffsetY}
        if g.graphicType == "dupe":
            entry["ref"] = f.getGlyphID(g.referenceGlyphName)
        else:
            entry["data"] = g.imageData.hex()
            if g.imageData.startswith(b"\x89PNG"):
                entry["w"], entry["h"] = struct.unpack(">II", g.imageData[16:24])
            else:
                entry["w"], entry["h"] = Image.open(io.BytesIO(g.imageData)).size
        glyphs.append(entry)
    out["sbix"].append({"ppem": ppem, "glyphs": glyphs})
for d in f["SVG "].docList:
    out["svg"].append({"doc": d.data, "start": d.startGlyphID, "end": d.endGlyphID, "compressed": bool(d.compressed)})
print(json.dumps(out))
)py";

struct BuiltFont {
    std::vector<std::uint8_t> bytes;
    QJsonObject read; // what fontTools reads of it
};

BuiltFont fontToolsFont()
{
    ttf::TempFontFile file({});
    const CommandOutput run = runCommand(shellQuoted(PYTHON3) + " -c " + shellQuoted(FontToolsScript) + " "
                                         + shellQuoted(file.path()));
    EXPECT_EQ(run.status, 0);
    return {fileBytes(file.path()), QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()};
}

TEST(ColourStrikesVsFontTools, SbixStrikesAndRecords)
{
    const BuiltFont font = fontToolsFont();
    const auto sbix = sfntTable(font.bytes, "sbix");
    const int numGlyphs = font.read["numGlyphs"].toInt();
    const QJsonArray strikes = font.read["sbix"].toArray();
    ASSERT_EQ(strikes.size(), 2);
    const StrikeList ours = ReadSbixStrikes(sbix, numGlyphs);
    ASSERT_EQ(ours.strikes.size(), 2u);
    int images = 0;
    for (const QJsonValue& s : strikes) {
        const int ppem = s["ppem"].toInt();
        const QJsonArray glyphs = s["glyphs"].toArray();
        for (const QJsonValue& g : glyphs) {
            SCOPED_TRACE("ppem " + std::to_string(ppem) + " glyph " + std::to_string(g["gid"].toInt()));
            const StrikeGlyph glyph = FindSbixGlyph(sbix, numGlyphs, g["gid"].toInt(), ppem);
            EXPECT_EQ(glyph.strike.ppem, ppem);
            EXPECT_TRUE(glyph.problem.empty()) << glyph.problem;
            EXPECT_EQ(glyph.found, g.toObject().contains("type"));
            if (!glyph.found)
                continue;
            // A dupe draws its reference's record.
            const QJsonValue record = g["type"] == "dupe" ? glyphs[g["ref"].toInt()] : g;
            EXPECT_EQ(glyph.dupeOf, g["type"] == "dupe" ? g["ref"].toInt() : -1);
            EXPECT_EQ(glyph.imageFormat, record["type"].toString().toStdString());
            EXPECT_EQ(glyph.originX, record["x"].toInt());
            EXPECT_EQ(glyph.originY, record["y"].toInt());
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(glyph.data.data()), qsizetype(glyph.data.size())).toHex(),
                      record["data"].toString().toLatin1());
            if (!record.toObject().contains("w"))
                continue;
            // The size the strike summary prints, read from the image's own header.
            EXPECT_EQ(glyph.width, record["w"].toInt());
            EXPECT_EQ(glyph.height, record["h"].toInt());
            const ColourRendering picture = RenderStrikeGlyph(glyph, ppem);
            ASSERT_TRUE(picture.messages.empty()) << picture.messages.front();
            EXPECT_EQ(picture.image.width(), record["w"].toInt());
            EXPECT_EQ(picture.image.height(), record["h"].toInt());
            EXPECT_EQ(picture.top, record["y"].toInt() + record["h"].toInt()); // bottom-left at the origin offset
            ++images;
        }
    }
    EXPECT_EQ(images, 8);
    // Font Details lists the strikes.
    FontState loaded;
    ASSERT_TRUE(LoadFont(font.bytes, loaded).empty());
    const FontDetails details = ReadFontDetails(loaded);
    ASSERT_EQ(details.colour.size(), 2u); // sbix, SVG
    EXPECT_EQ(details.colour[0].tag, "sbix");
    EXPECT_EQ(details.colour[0].strikePpems, (std::vector<int>{strikes[0]["ppem"].toInt(), strikes[1]["ppem"].toInt()}));
    EXPECT_EQ(details.colour[1].documents, font.read["svg"].toArray().size());
    // The strike nearest at or above the size asked, else the largest.
    EXPECT_EQ(FindSbixGlyph(sbix, numGlyphs, 1, 21).strike.ppem, 64);
    EXPECT_EQ(FindSbixGlyph(sbix, numGlyphs, 1, 10).strike.ppem, 20);
    EXPECT_EQ(FindSbixGlyph(sbix, numGlyphs, 1, 300).strike.ppem, 64);
}

TEST(ColourStrikesVsFontTools, SvgDocumentsAndRanges)
{
    const BuiltFont font = fontToolsFont();
    const auto svg = sfntTable(font.bytes, "SVG ");
    const QJsonArray docs = font.read["svg"].toArray();
    ASSERT_EQ(docs.size(), 4);
    const SvgIndex index = ReadSvgIndex(svg);
    ASSERT_TRUE(index.problem.empty()) << index.problem;
    ASSERT_EQ(index.records.size(), 4u);
    const ttf::TempFontFile file(font.bytes);
    for (int gid = 0; gid < font.read["numGlyphs"].toInt(); ++gid) {
        SCOPED_TRACE("glyph " + std::to_string(gid));
        int expected = -1;
        for (int d = 0; d < docs.size(); ++d)
            if (gid >= docs[d]["start"].toInt() && gid <= docs[d]["end"].toInt())
                expected = d;
        const SvgGlyphDocument doc = FindSvgDocument(svg, index, gid);
        ASSERT_EQ(doc.document, expected);
        // The command prefers SVG to the sbix images these glyphs also have.
        const QJsonObject printed = colourCommand(file.path(), gid, 100);
        EXPECT_EQ(printed["format"], expected < 0 ? "none" : "SVG");
        if (expected < 0)
            continue;
        EXPECT_EQ(printed["svg"]["document"], expected);
        EXPECT_EQ(printed["svg"]["first_glyph"], docs[expected]["start"]);
        EXPECT_EQ(printed["svg"]["gzipped"], docs[expected]["compressed"]);
        EXPECT_EQ(doc.record.firstGlyph, docs[expected]["start"].toInt());
        EXPECT_EQ(doc.record.lastGlyph, docs[expected]["end"].toInt());
        EXPECT_EQ(doc.gzipped, docs[expected]["compressed"].toBool());
        const SvgText text = SvgDocumentText(doc.bytes, doc.gzipped);
        EXPECT_TRUE(text.problem.empty()) << text.problem;
        EXPECT_EQ(text.text.toStdString(), docs[expected]["doc"].toString().toStdString());
        const ColourRendering picture = RenderSvgGlyph(text.text, gid, 1000, 100, false);
        EXPECT_TRUE(picture.messages.empty()) << picture.messages.front();
        EXPECT_FALSE(picture.image.isNull());
        EXPECT_EQ(printed["width"], picture.image.width());
        EXPECT_EQ(printed["rows"], picture.image.height());
        EXPECT_EQ(printed["left"], picture.left);
        EXPECT_EQ(printed["top"], picture.top);
    }
    // glyph1's rectangle x 100..600, y -700..0 in font units, y down: 50 x 70
    // pixels at 100 ppem, its top-left 10 pixels right and 70 up of the origin.
    const SvgGlyphDocument first = FindSvgDocument(svg, index, 1);
    const ColourRendering rect = RenderSvgGlyph(SvgDocumentText(first.bytes, first.gzipped).text, 1, 1000, 100, false);
    EXPECT_EQ(rect.image.size(), QSize(50, 70));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.image.pixel(25, 35), qRgb(255, 0, 0));
}

// Every SVG glyph at two sizes: the picture lumaro-inspect colour writes
// against rsvg-convert's rendering of the same document over the same pixel
// box (its viewBox in font units, y down, the other glyphs hidden), matched
// within 1 px and 1 level per channel (see picture_match.h): both are
// librsvg, so only rounding may differ. The clip path of glyph 4 and the
// translucent <use> above the baseline of glyph 5 are the cases a
// renderer gets wrong.
TEST(ColourStrikesVsRsvg, SvgGlyphPictures)
{
    const BuiltFont font = fontToolsFont();
    const ttf::TempFontFile file(font.bytes);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ours = dir.filePath("ours.png").toStdString(), ref = dir.filePath("ref.png").toStdString();
    const std::string svgPath = dir.filePath("glyph.svg").toStdString(), css = dir.filePath("only.css").toStdString();
    int compared = 0;
    for (const QJsonValue& doc : font.read["svg"].toArray())
        for (int gid = doc["start"].toInt(); gid <= doc["end"].toInt(); ++gid)
            for (int ppem : {40, 100}) {
                SCOPED_TRACE("glyph " + std::to_string(gid) + " ppem " + std::to_string(ppem));
                const QJsonObject printed = colourCommand(file.path(), gid, ppem, " -o " + shellQuoted(ours));
                ASSERT_EQ(printed["format"], "SVG");
                const double units = 1000.0 / ppem; // font units a pixel
                const int width = printed["width"].toInt(), rows = printed["rows"].toInt();
                const QString root = QString("<svg width=\"%1\" height=\"%2\" viewBox=\"%3 %4 %5 %6\" ")
                                         .arg(width).arg(rows).arg(printed["left"].toInt() * units)
                                         .arg(-printed["top"].toInt() * units).arg(width * units).arg(rows * units);
                std::ofstream(svgPath) << doc["doc"].toString().replace("<svg ", root).toStdString();
                std::ofstream(css) << "[id^=glyph] { display: none } #glyph" << gid << " { display: inline }";
                ASSERT_EQ(runCommand(shellQuoted(RSVG_CONVERT) + " -s " + shellQuoted(css) + " -o " + shellQuoted(ref)
                                     + " " + shellQuoted(svgPath)).status, 0);
                const QImage reference(QString::fromStdString(ref));
                ASSERT_EQ(reference.size(), QSize(width, rows));
                EXPECT_EQ(unmatchedPixels(QImage(QString::fromStdString(ours)), reference, 1), 0);
                ++compared;
            }
    EXPECT_EQ(compared, 10); // glyphs 1 to 5
}

} // namespace
