#pragma once
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QString>
#include <QTransform>

#include "ui/overview/glyph_source.h"

class QPainter;
class QPalette;

// The glyph's contours as one path in font units, y up, as the outline walk
// gives them; filled with the winding rule, as TrueType outlines are.
QPainterPath glyphPath(const GlyphShape& shape);

// Font units to a box's pixels at one scale for the whole font: the box's
// height holds ascender to descender, the baseline lies ascender below its
// top, and the ink (the path's bounds) is centred across. A font without
// usable hhea values is placed by its em, baseline at four fifths.
// The scale is lowered, for that glyph alone, where its ink would span more
// than MaxInkBoxes boxes.
inline constexpr double MaxInkBoxes = 16;
QTransform glyphTransform(const FontMetricsInfo& metrics, const QRectF& box, const QRectF& ink);

// The glyph filled in `colour`, placed as above in `box`.
void drawGlyph(QPainter& painter, const QPainterPath& path, const FontMetricsInfo& metrics, const QRectF& box, const QColor& colour);

// The glyph's colour picture placed as its outline would be in `box`;
// false, with nothing drawn, for a glyph without one.
bool drawColourGlyph(QPainter& painter, const GlyphSource& source, int glyph, const QRectF& box);

// The sign of a glyph whose decoding was abandoned: a red crossed square.
void drawAbandonedMark(QPainter& painter, const QRectF& box);

// A built thumbnail. A null image with abandoned false is an empty glyph.
struct Thumbnail {
    QImage image;
    bool abandoned = false;
};

// Decodes and draws one glyph into an image of box pixels (times the device ratio).
Thumbnail buildThumbnail(const GlyphSource& source, int glyph, QSize box, qreal deviceRatio);

// What lies below the glyph: its number and, if printable, its first character.
QString cellLabel(const GlyphSource& source, int glyph);

// Number, codes, name and advance, one to a line.
QString glyphToolTip(const GlyphSource& source, int glyph);

// Where things lie in one cell of the grid: the glyph's square and the label below.
struct CellGeometry {
    static constexpr int Pad = 5;
    int box = 48;         // side of the glyph's square, pixels
    int labelHeight = 14; // one line of the label font

    QSize cellSize() const { return {box + 2 * Pad, box + 2 * Pad + labelHeight}; }
    QRect glyphRect(const QRect& cell) const { return {cell.left() + Pad, cell.top() + Pad, box, box}; }
    QRect labelRect(const QRect& cell) const
    {
        return {cell.left() + 1, cell.top() + Pad + box + Pad / 2, cell.width() - 2, labelHeight};
    }
};

// One cell: its frame and selection, the thumbnail (nothing while it is not
// built, or for an empty glyph; the mark when abandoned) and the label.
void paintCell(QPainter& painter, const QRect& cell, const CellGeometry& geometry, const Thumbnail* thumbnail,
               const QString& label, bool selected, const QPalette& palette, const QColor& ground = {});

// The pale colour a glyph's cell is filled with for its change against the
// font compared with: a GlyphChange as a number (none for Identical or -1).
QColor ChangeColour(int change);
