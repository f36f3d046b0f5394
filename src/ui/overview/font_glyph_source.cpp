#include "ui/overview/font_glyph_source.h"

#include "tables/glyph_names.h"
#include "outline/composite.h"
#include "outline/outline_walk.h"
#include "sfnt/table_directory.h"

FontMetricsInfo ReadFontMetrics(const FontState& font)
{
    FontMetricsInfo m;
    if (font.HeadTable.usableUnitsPerEm())
        m.unitsPerEm = font.HeadTable.UnitsPerEm;
    m.ascender = font.HheaTable.Ascender;
    m.descender = font.HheaTable.Descender;
    return m;
}

FontGlyphSource::FontGlyphSource(std::shared_ptr<const FontState> font, std::string fontName, Location location,
                                 std::shared_ptr<const ColourTables> colour, Rgba foreground)
    : font_(std::move(font)), fontName_(std::move(fontName)), location_(std::move(location)), colour_(std::move(colour)),
      foreground_(foreground)
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
    // A failure is not shown: the overview marks the glyph instead.
    WorkingValues work;
    const ResolvedGlyph resolved = ResolveGlyph(*font_, glyph, location_, work);
    GlyphShape shape;
    shape.abandoned = resolved.status == OutlineStatus::Abandoned;
    for (const PlacedOutline& part : resolved.parts)
        AppendContours(shape.outline, part.outline);
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
    if (location_.normalized.empty())
        return font_->HMetrics[std::size_t(glyph)].AdvanceWidth;
    WorkingValues work;
    return AdvanceAt(*font_, glyph, location_, ResolveGlyph(*font_, glyph, location_, work));
}

FontMetricsInfo FontGlyphSource::metrics() const
{
    return ReadFontMetrics(*font_);
}

std::string FontGlyphSource::fontName() const
{
    return fontName_;
}

ColourRendering FontGlyphSource::colourPicture(int glyph, int ppem, QSize fit) const
{
    if (!colour_ || !known(glyph))
        return {};
    // Described at the size drawn, so that a strike glyph is looked up once.
    const ColourGlyph described = DescribeColourGlyph(*colour_, glyph, location_, ppem);
    if (described.format == ColourFormat::None)
        return {};
    PaintSettings settings{location_, 0, foreground_};
    return RenderColourGlyph(*font_, *colour_, described, settings, ppem, fit);
}

std::shared_ptr<const ColourTables> FontColourTables(const FontState& font)
{
    for (const char* tag : {"COLR", "SVG ", "CBDT", "sbix"})
        if (font.Loaded && !TableBytes(font, tag).empty())
            return std::make_shared<const ColourTables>(ReadColourTables(font));
    return nullptr;
}
