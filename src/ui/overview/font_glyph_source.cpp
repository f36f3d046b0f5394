#include "ui/overview/font_glyph_source.h"

#include "tables/glyph_names.h"
#include "outline/composite.h"

namespace {

// Messages of a decoding are not shown: the overview marks the glyph instead.
class QuietSink : public MessageSink {
public:
    void MsgBox(const std::string&) override {}
};

// As the contour walk does: contour ends that go backwards give no contour
// but move the next one's start.
void addContours(const GlyphOutline& outline, GlyphShape& shape)
{
    int start = 0;
    for (int c = 1; c <= outline.NumberOfContours; ++c) {
        const int stop = outline.EndPts[std::size_t(c)] + 1;
        if (stop > start) {
            std::vector<ShapePoint>& contour = shape.contours.emplace_back();
            for (int i = start; i < stop; ++i) {
                const GlyphPoint p = outline.Points[std::size_t(i)];
                contour.push_back({p.X, p.Y, (outline.PointFlags[std::size_t(i)] & ON_CURVE) != 0});
            }
        }
        start = stop;
    }
}

} // namespace

FontMetricsInfo ReadFontMetrics(const FontState& font)
{
    FontMetricsInfo m;
    const int unitsPerEm = font.HeadTable.UnitsPerEm;
    if (unitsPerEm >= 16 && unitsPerEm <= 16384)
        m.unitsPerEm = unitsPerEm;
    m.ascender = font.HheaTable.Ascender;
    m.descender = font.HheaTable.Descender;
    return m;
}

FontGlyphSource::FontGlyphSource(std::shared_ptr<const FontState> font, std::string fontName)
    : font_(std::move(font)), fontName_(std::move(fontName))
{
}

int FontGlyphSource::glyphCount() const
{
    return font_->Loaded ? font_->NumGlyphs : 0;
}

GlyphShape FontGlyphSource::shape(int glyph) const
{
    if (!known(glyph))
        return {};
    QuietSink quiet;
    WorkingValues work;
    const ResolvedGlyph resolved = ResolveGlyph(*font_, glyph, work, quiet);
    GlyphShape shape;
    shape.abandoned = resolved.status == OutlineStatus::Abandoned;
    for (const PlacedOutline& part : resolved.parts) {
        addContours(part.outline, shape);
        shape.cubic |= part.outline.CubicOffCurve;
    }
    return shape;
}

std::vector<char32_t> FontGlyphSource::codes(int glyph) const
{
    return known(glyph) ? font_->Unicode.codesFor(glyph) : std::vector<char32_t>();
}

std::string FontGlyphSource::name(int glyph) const
{
    return known(glyph) ? GlyphName(*font_, glyph) : std::string();
}

int FontGlyphSource::advance(int glyph) const
{
    if (!known(glyph) || std::size_t(glyph) >= font_->HMetrics.size())
        return 0;
    return font_->HMetrics[std::size_t(glyph)].AdvanceWidth;
}

FontMetricsInfo FontGlyphSource::metrics() const
{
    return ReadFontMetrics(*font_);
}

std::string FontGlyphSource::fontName() const
{
    return fontName_;
}
