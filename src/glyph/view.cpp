#include "glyph/view.h"

#include <algorithm>

#include "glyph/curve.h"
#include "glyph/listing.h"
#include "glyph/outline.h"
#include "glyph/segment.h"
#include "font/glyph_names.h"

bool DrawGlyph(FontState& font, const ViewState& view, DrawingSurface& surface, MessageSink& sink, std::string& OutlineText)
{
    GlyphOutline outline;
    switch (DecodeOutline(font.GlyphIndex, font, outline, sink)) {
    case OutlineStatus::NotDrawn:
        return true;
    case OutlineStatus::Empty:
        DrawEmptyMark(surface);
        return true;
    case OutlineStatus::Abandoned:
        return false;
    case OutlineStatus::Decoded:
        break;
    }
    ListHeader(OutlineText, outline.NumberOfContours);
    GlyphDrawing d{font, view, surface, OutlineText};
    if (!WalkContours(outline, d, sink)) {
        // A run too long to draw: nothing of the glyph stays, as for a glyph refused before drawing.
        surface.Cls();
        OutlineText.clear();
        return false;
    }
    return true;
}

GlyphReadout ShowGlyph(int n, FontState& font, const ViewState& view, DrawingSurface& surface, MessageSink& sink)
{
    GlyphReadout out;
    const auto known = [](int i, const auto& table) { return i >= 0 && std::size_t(i) < table.size(); };
    if (!font.Loaded || n < 0 || n >= font.NumGlyphs || !known(n, font.GlyphBox) || !known(n + 1, font.GlyphOffset)) {
        surface.Cls();
        return out;
    }
    // The scale slider never goes below 1; a zero would divide by zero.
    ViewState v = view;
    v.ViewScale = std::max(1, view.ViewScale);
    const BBox box = font.GlyphBox[std::size_t(n)];
    const double s = v.ViewScale, m = v.ViewMargin;

    font.GlyphIndex = n;
    font.OriginX = 0;
    font.OriginY = float(-double(box.YMax) / s);
    std::string OutlineText;
    surface.Cls();
    surface.Scale(box.XMin / s - m, box.YMin / s - m, box.XMax / s + m, box.YMax / s + m);
    out.abandoned = !DrawGlyph(font, v, surface, sink, OutlineText);

    out.Text1 = std::to_string(box.YMin);
    out.Text2 = std::to_string(box.YMax);
    out.Text3 = std::to_string(box.XMin);
    out.Text4 = std::to_string(box.XMax);
    out.Text5 = std::move(OutlineText);
    out.Text6 = std::to_string(n);
    out.Text7 = GlyphName(font, n);
    return out;
}
