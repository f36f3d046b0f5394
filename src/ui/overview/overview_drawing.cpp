#include "ui/overview/overview_drawing.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPalette>
#include <QStringList>

#include "platform/code_text.h"
#include "platform/outline_path.h"

QPainterPath glyphPath(const GlyphShape& shape)
{
    QPainterPath path = ContoursPath(shape.outline);
    path.setFillRule(Qt::WindingFill);
    return path;
}

QTransform glyphTransform(const FontMetricsInfo& metrics, const QRectF& box, const QRectF& ink)
{
    double top = metrics.ascender, bottom = metrics.descender;
    if (top <= bottom) {
        top = 0.8 * metrics.unitsPerEm;
        bottom = -0.2 * metrics.unitsPerEm;
    }
    // Damaged metrics (a line a few units high) would blow a glyph up to
    // thousands of boxes, and filling such a path takes the rasteriser
    // seconds for a 48-pixel cell; no more than MaxInkBoxes boxes of it are drawn.
    const double inkSide = std::max({ink.width(), ink.height(), 1.0});
    const double scale = std::min(box.height() / (top - bottom), MaxInkBoxes * box.height() / inkSide);
    return QTransform(scale, 0, 0, -scale, box.center().x() - ink.center().x() * scale, box.top() + top * scale);
}

void drawGlyph(QPainter& painter, const QPainterPath& path, const FontMetricsInfo& metrics, const QRectF& box, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setTransform(glyphTransform(metrics, box, path.boundingRect()), true);
    painter.fillPath(path, colour);
    painter.restore();
}

void drawAbandonedMark(QPainter& painter, const QRectF& box)
{
    const double side = std::min(box.width(), box.height()) * 0.6;
    QRectF mark(0, 0, side, side);
    mark.moveCenter(box.center());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 0, 0), std::max(1.5, side / 12)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mark);
    painter.drawLine(mark.topLeft(), mark.bottomRight());
    painter.drawLine(mark.topRight(), mark.bottomLeft());
    painter.restore();
}

// The glyph's colour picture at the size its outline would be drawn at in
// box: on the baseline, centred across, on whole pixels, shrunk to fit and
// centred where it is larger (a strike image comes shrunk, in the one
// scaling it has, and is moved into the box). False when the glyph has no
// colour picture.
bool drawColourGlyph(QPainter& painter, const GlyphSource& source, int glyph, const QRectF& box)
{
    const FontMetricsInfo metrics = source.metrics();
    const QTransform place = glyphTransform(metrics, box, QRectF());
    const int ppem = std::max(1, int(std::lround(place.m11() * metrics.unitsPerEm)));
    const ColourRendering picture = source.colourPicture(glyph, ppem, box.size().toSize());
    if (picture.image.isNull())
        return false;
    const QSizeF size = picture.image.size();
    if (const double fit = std::min(box.width() / size.width(), box.height() / size.height()); fit < 1) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(box.center() - QPointF(size.width(), size.height()) * fit / 2, size * fit),
                          picture.image);
        return true;
    }
    const double left = std::round(box.center().x() - size.width() / 2);
    const double top = std::clamp(std::round(place.dy()) - picture.top, box.top(), box.bottom() - size.height());
    painter.drawImage(QPointF(left, top), picture.image);
    return true;
}

Thumbnail buildThumbnail(const GlyphSource& source, int glyph, QSize box, qreal deviceRatio)
{
    if (box.isEmpty())
        return {};
    // Painted in device pixels, so a colour picture is made at the size it is shown.
    QImage image(box * deviceRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (!drawColourGlyph(painter, source, glyph, QRectF(image.rect()))) {
        const GlyphShape shape = source.shape(glyph);
        if (shape.abandoned)
            return {QImage(), true};
        if (shape.outline.ends.empty())
            return {};
        drawGlyph(painter, glyphPath(shape), source.metrics(), QRectF(image.rect()), Qt::black);
    }
    painter.end();
    image.setDevicePixelRatio(deviceRatio);
    return {image, false};
}

QString cellLabel(const GlyphSource& source, int glyph)
{
    QString label = QString::number(glyph);
    const std::vector<char32_t> codes = source.codes(glyph);
    if (!codes.empty() && QChar::isPrint(codes.front()))
        label += QStringLiteral("  ") + QString::fromUcs4(&codes.front(), 1);
    return label;
}

QString glyphToolTip(const GlyphSource& source, int glyph)
{
    constexpr std::size_t MaxCodesShown = 12;
    const std::vector<char32_t> codes = source.codes(glyph);
    QStringList shown;
    for (std::size_t i = 0; i < std::min(codes.size(), MaxCodesShown); ++i)
        shown << CodeText(codes[i]);
    if (codes.size() > MaxCodesShown)
        shown << QStringLiteral("and %1 more").arg(codes.size() - MaxCodesShown);
    const QString name = QString::fromStdString(source.name(glyph));
    return QStringLiteral("Glyph %1\nCharacters: %2\nName: %3\nAdvance: %4")
        .arg(glyph)
        .arg(shown.isEmpty() ? QStringLiteral("none") : shown.join(QStringLiteral(", ")))
        .arg(name.isEmpty() ? QStringLiteral("none") : name)
        .arg(source.advance(glyph));
}

void paintCell(QPainter& painter, const QRect& cell, const CellGeometry& geometry, const Thumbnail* thumbnail,
               const QString& label, bool selected, const QPalette& palette, const QColor& ground)
{
    painter.save();
    painter.fillRect(cell, ground.isValid() ? QBrush(ground) : palette.base());
    if (selected) {
        QColor tint = palette.highlight().color();
        tint.setAlpha(60);
        painter.fillRect(cell, tint);
        painter.setPen(QPen(palette.highlight().color(), 2));
        painter.drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    }
    // The right and bottom edges only: neighbouring cells share one line.
    painter.setPen(palette.mid().color());
    painter.drawLine(cell.topRight(), cell.bottomRight());
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());

    const QRect glyphArea = geometry.glyphRect(cell);
    if (thumbnail && thumbnail->abandoned)
        drawAbandonedMark(painter, glyphArea);
    else if (thumbnail && !thumbnail->image.isNull())
        painter.drawImage(glyphArea.topLeft(), thumbnail->image);

    const QRect labelArea = geometry.labelRect(cell);
    painter.setPen(palette.text().color());
    painter.drawText(labelArea, Qt::AlignCenter, painter.fontMetrics().elidedText(label, Qt::ElideRight, labelArea.width()));
    painter.restore();
}

QColor ChangeColour(int change)
{
    // In the order of GlyphChange: identical, points moved, outline changed,
    // components changed, advance changed, added, removed.
    static const QColor colours[] = {QColor(), QColor(255, 244, 190), QColor(255, 215, 170), QColor(225, 210, 250),
                                     QColor(200, 230, 250), QColor(205, 245, 205), QColor(250, 200, 200)};
    return change >= 0 && change < int(std::size(colours)) ? colours[change] : QColor();
}
