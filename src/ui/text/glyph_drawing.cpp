#include "ui/text/glyph_drawing.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "ui/overview/overview_drawing.h"

namespace {

Rgba rgba(const QColor& c)
{
    return {std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()), std::uint8_t(c.alpha())};
}

} // namespace

GlyphDrawing::GlyphDrawing(std::shared_ptr<const FontState> font, const Location& location, QColor foreground)
    : font_(font), source_(font, "", location, FontColourTables(*font), rgba(foreground)),
      unitsPerEm_(std::max(1, source_.metrics().unitsPerEm))
{
}

int GlyphDrawing::advance(int glyph)
{
    auto found = advances_.find(glyph);
    if (found == advances_.end())
        found = advances_.emplace(glyph, source_.advance(glyph)).first;
    return found->second;
}

void GlyphDrawing::draw(QPainter& painter, int glyph, QPointF origin, double size, const QColor& colour)
{
    const double scale = size / unitsPerEm_;
    const int ppem = std::max(1, int(std::lround(size)));
    auto picture = pictures_.find({glyph, ppem});
    if (picture == pictures_.end())
        picture = pictures_.emplace(std::pair(glyph, ppem), source_.colourPicture(glyph, ppem, {})).first;
    if (!picture->second.image.isNull()) {
        painter.drawImage(QPointF(origin.x() + picture->second.left, origin.y() - picture->second.top),
                          picture->second.image);
        return;
    }
    auto path = paths_.find(glyph);
    if (path == paths_.end())
        path = paths_.emplace(glyph, glyphPath(source_.shape(glyph))).first;
    const QTransform place(scale, 0, 0, -scale, origin.x(), origin.y());
    painter.fillPath(place.map(path->second), colour);
}
