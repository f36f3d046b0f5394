#include "ui/font_glyph_source.h"

#include <algorithm>
#include <string_view>

#include "font/cmap.h"
#include "font/text.h"
#include "glyph/outline.h"

namespace {

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

// Every code 0..65535 with a glyph other than 0; CharToGlyph reads only the
// character map copied at load, which nothing changes afterwards.
std::vector<std::pair<int, char32_t>> invertCharacterMap(const FontState& font)
{
    std::vector<std::pair<int, char32_t>> index;
    for (int code = 0; code <= 0xFFFF; ++code) {
        const int glyph = CharToGlyph(font, code);
        if (glyph > 0 && glyph < font.NumGlyphs)
            index.emplace_back(glyph, char32_t(code));
    }
    std::sort(index.begin(), index.end());
    return index;
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
    : font_(font), glyfOffset_(font.TableOffset), metrics_(ReadFontMetrics(font)), fontName_(std::move(fontName)),
      inverting_(std::async(std::launch::async, invertCharacterMap, std::cref(font)))
{
}

FontGlyphSource::~FontGlyphSource()
{
    if (inverting_.valid())
        inverting_.wait();
}

int FontGlyphSource::glyphCount() const
{
    return font_.Loaded ? font_.NumGlyphs : 0;
}

GlyphShape FontGlyphSource::shape(int glyph) const
{
    if (!known(glyph) || std::size_t(glyph) + 1 >= font_.GlyphOffset.size())
        return {};
    // DecodeOutline moves the cursor and sets working values in the state it
    // is given. Each call gets a state of its own over the font's bytes, whose
    // two-entry loca holds this glyph's start and end, read as its glyph 0.
    FontState one;
    one.Loaded = true;
    one.FontFile = ByteReader(font_.FontBytes);
    one.TableOffset = glyfOffset_;
    one.NumGlyphs = 1;
    one.GlyphOffset = {font_.GlyphOffset[std::size_t(glyph)], font_.GlyphOffset[std::size_t(glyph) + 1]};
    GlyphOutline outline;
    QuietSink quiet;
    switch (DecodeOutline(0, one, outline, quiet)) {
    case OutlineStatus::Decoded:
        return shapeOf(outline);
    case OutlineStatus::Abandoned:
        return {true, {}};
    case OutlineStatus::NotDrawn: // only ever glyph 3 of the state, never 0
    case OutlineStatus::Empty:    // also composites: not decoded yet
        break;
    }
    return {};
}

const FontGlyphSource::CodeIndex& FontGlyphSource::codeIndex() const
{
    std::call_once(inverted_, [this] { codeIndex_ = inverting_.get(); });
    return codeIndex_;
}

std::vector<char32_t> FontGlyphSource::codes(int glyph) const
{
    const CodeIndex& index = codeIndex();
    const auto first = std::lower_bound(index.begin(), index.end(), std::pair<int, char32_t>(glyph, 0));
    std::vector<char32_t> out;
    for (auto it = first; it != index.end() && it->first == glyph; ++it)
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
