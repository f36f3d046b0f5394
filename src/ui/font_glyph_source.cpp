#include "ui/font_glyph_source.h"

#include <algorithm>
#include <string_view>

#include "font/cmap.h"
#include "font/text.h"
#include "glyph/outline.h"

namespace {

// The parts of a loaded font that decoding, the character map and the names
// read; the pick lists and working values stay behind.
FontState copyFont(const FontState& from)
{
    FontState to;
    to.FontFileName = from.FontFileName;
    to.Loaded = from.Loaded;
    to.FontBytes = from.FontBytes;
    to.FontFile = ByteReader(to.FontBytes);
    to.NumTables = from.NumTables;
    to.TableDir = from.TableDir;
    to.TableOffset = from.TableOffset; // glyf, as a load leaves it
    to.TableLength = from.TableLength;
    to.NumGlyphs = from.NumGlyphs;
    to.HeadTable = from.HeadTable;
    to.GlyphOffset = from.GlyphOffset;
    to.HMetrics = from.HMetrics;
    to.GlyphNameIndex = from.GlyphNameIndex;
    to.GlyphNames = from.GlyphNames;
    to.UnicodeCmap = from.UnicodeCmap;
    to.CmapFormat = from.CmapFormat;
    to.CmapLength = from.CmapLength;
    to.CmapData = from.CmapData;
    return to;
}

// A reader over the first table tagged `tag`, or an empty one when there is
// none or its entry points outside the file.
ByteReader tableReader(const FontState& font, std::string_view tag)
{
    for (const TableEntry& entry : font.TableDir) {
        if (std::string_view(entry.Tag.data(), entry.Tag.size()) != tag)
            continue;
        const std::size_t size = font.FontBytes.size();
        if (entry.Offset > size || entry.Length > size - entry.Offset)
            return {};
        return ByteReader(std::span(font.FontBytes).subspan(entry.Offset, entry.Length));
    }
    return {};
}

// Messages of a decoding are not shown: the overview marks the glyph instead.
class QuietSink : public MessageSink {
public:
    void MsgBox(const std::string&) override {}
};

GlyphShape shapeOf(const GlyphOutline& outline)
{
    GlyphShape shape;
    // As the contour walk does: contour ends that go backwards give no
    // contour but move the next one's start.
    int start = 0;
    for (int c = 1; c <= outline.NumberOfContours; ++c) {
        const int stop = outline.EndPts[c] + 1;
        if (stop > start) {
            std::vector<OutlinePoint>& contour = shape.contours.emplace_back();
            for (int i = start; i < stop; ++i)
                contour.push_back({outline.Points[i].X, outline.Points[i].Y, (outline.PointFlags[i] & ON_CURVE) != 0});
        }
        start = stop;
    }
    return shape;
}

} // namespace

FontMetricsInfo ReadFontMetrics(const FontState& font)
{
    FontMetricsInfo m;
    ByteReader head = tableReader(font, "head");
    head.seek(18); // version, fontRevision, checkSumAdjustment, magicNumber, flags
    const int unitsPerEm = head.u16();
    // Outside the range the format allows, the scale would be meaningless.
    if (head.ok() && unitsPerEm >= 16 && unitsPerEm <= 16384)
        m.unitsPerEm = unitsPerEm;

    ByteReader hhea = tableReader(font, "hhea");
    hhea.seek(4); // version
    const int ascender = hhea.i16();
    const int descender = hhea.i16();
    if (hhea.ok()) {
        m.ascender = ascender;
        m.descender = descender;
    }
    return m;
}

FontGlyphSource::FontGlyphSource(const FontState& font, std::string fontName)
    : font_(copyFont(font)), metrics_(ReadFontMetrics(font_)), fontName_(std::move(fontName))
{
}

int FontGlyphSource::glyphCount() const
{
    return font_.Loaded ? font_.NumGlyphs : 0;
}

GlyphShape FontGlyphSource::shape(int glyph) const
{
    if (!known(glyph) || std::size_t(glyph) + 1 >= font_.GlyphOffset.size())
        return {};
    GlyphOutline outline;
    QuietSink quiet;
    const std::lock_guard lock(decoding_);
    switch (DecodeOutline(glyph, font_, outline, quiet)) {
    case OutlineStatus::Decoded:
        return shapeOf(outline);
    case OutlineStatus::Abandoned:
        return {true, {}};
    case OutlineStatus::NotDrawn: // glyph 3, which the decoding never draws
    case OutlineStatus::Empty:    // also composites: not decoded yet
        break;
    }
    return {};
}

void FontGlyphSource::invertCharacterMap() const
{
    // CharToGlyph reads only CmapData, which nothing changes after the copy.
    for (int code = 0; code <= 0xFFFF; ++code) {
        const int glyph = CharToGlyph(font_, code);
        if (glyph != 0 && known(glyph))
            codeIndex_.emplace_back(glyph, char32_t(code));
    }
    std::sort(codeIndex_.begin(), codeIndex_.end());
}

std::vector<char32_t> FontGlyphSource::codes(int glyph) const
{
    std::call_once(inverted_, [this] { invertCharacterMap(); });
    const auto first = std::lower_bound(codeIndex_.begin(), codeIndex_.end(), std::pair<int, char32_t>(glyph, 0));
    std::vector<char32_t> out;
    for (auto it = first; it != codeIndex_.end() && it->first == glyph; ++it)
        out.push_back(it->second);
    return out;
}

std::string FontGlyphSource::name(int glyph) const
{
    // As the Name box shows it: only the font's own post names, not the standard ones.
    if (!known(glyph) || std::size_t(glyph) >= font_.GlyphNameIndex.size())
        return {};
    const int k = font_.GlyphNameIndex[std::size_t(glyph)] - 258;
    if (k < 0 || std::size_t(k) >= font_.GlyphNames.size())
        return {};
    return Windows1252ToUtf8(font_.GlyphNames[std::size_t(k)]);
}

int FontGlyphSource::advance(int glyph) const
{
    if (!known(glyph) || std::size_t(glyph) >= font_.HMetrics.size())
        return 0;
    return font_.HMetrics[std::size_t(glyph)].AdvanceWidth;
}

FontMetricsInfo FontGlyphSource::metrics() const
{
    return metrics_;
}

std::string FontGlyphSource::fontName() const
{
    return fontName_;
}
