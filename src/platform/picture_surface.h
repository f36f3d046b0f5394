#pragma once
#include <string>
#include <variant>
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include "draw/surface.h"
#include "draw/view.h"

class QPainter;

// The window's drawing area as a picture: 5300 x 5300 twips, 353 x 353
// pixels at 96 dpi, times the device pixel ratio. It keeps what was drawn
// until the next Cls, both as pixels (image(), which the window paints) and
// as a list of marks that paintPicture() draws again at any resolution, for
// the export. Lines and circles are drawn without anti-aliasing, one pixel wide.
// Printing text needs a QGuiApplication; without one Print draws nothing.
class PictureSurface : public DrawingSurface {
public:
    static constexpr int PictureSize = 353; // pixels at device pixel ratio 1

    // Cleared to the background colour, user window 0..5300 twips on both axes.
    explicit PictureSurface(qreal devicePixelRatio = 1);

    // The pixels, with every mark drawn so far (painted when asked for).
    const QImage& image() const;

    // Paints the picture as it stands, background and every mark since the
    // last Cls, on painter in picture pixels (0..353 on both axes), with the
    // line ends on the grid of `ratio` device pixels per picture pixel.
    void paintPicture(QPainter& painter, qreal ratio) const;
    // The picture at its own size, 353 x 353 pixels, whatever the device pixel ratio.
    QImage exportImage() const;
    // The background, and the text colour before ForeColor is first set:
    // the application palette's Base and Text colours (white, black without one).
    QColor backColor() const { return backColor_; }
    QColor windowTextColor() const { return windowText_; }

    void Cls() override;
    void Scale(double x1, double y1, double x2, double y2) override;
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override;
    void Circle(double x, double y, double radius, Rgb colour) override;
    void CurrentX(double x) override { currentX_ = x; }
    void CurrentY(double y) override { currentY_ = y; }
    void ForeColor(Rgb colour) override;
    void FontName(const std::string& name) override { fontName_ = name; }
    void FontSize(double points) override { fontSize_ = points; }
    void Print(const std::string& text) override;

    // What was drawn, in picture pixels at ratio 1.
    struct LineMark {
        QPointF from, to;
        QColor colour;
    };
    struct CircleMark {
        QPointF centre;
        double radius;
        QColor colour;
    };
    struct TextMark {
        QPointF baseline; // the left end of the text's baseline
        QFont font;
        QColor colour;
        QString text;
    };
    using Mark = std::variant<LineMark, CircleMark, TextMark>;
    // Every mark since the last Cls, in drawing order.
    const std::vector<Mark>& marks() const { return marks_; }

    // Paints the picture on a canvas: the background over `area`, then the
    // marks through `toCanvas` (picture pixels to the painter's), lines one
    // canvas pixel wide, circles and texts at `markScale` times their size.
    // Smooth lines are antialiased. Without `glyph`, the marks of the glyph's
    // own drawing are left out (the outline's and the control polygon's steps,
    // the start marks and contour numbers): the canvas draws those from the points.
    void paintCanvas(QPainter& painter, const QRectF& area, const QTransform& toCanvas, double markScale,
                     bool smooth, bool glyph = true) const;
    // A mark of the glyph's own drawing, told by its colour: the outline's
    // black and the polygon's grey steps, the red start circles, the numbers
    // in the contour numbers' blue.
    static bool isGlyphMark(const Mark& mark);
    // The picture drawn at side x side pixels (not scaled up from 353).
    QImage imageAt(int side) const;

    // Position of a user point in the picture, in pixels at ratio 1 from its
    // upper-left corner; false when the user window has no width or height.
    bool toPicture(double x, double y, double& px, double& py) const;

    // The font that prints for a font name and size: Linux lacks "Small Fonts"
    // and "Consolas", so a small sans-serif and DejaVu Sans Mono stand in.
    static QFont printFont(const std::string& name, double points);

private:
    void add(Mark mark); // keeps it for image_ and the export
    static void paintMark(QPainter& painter, const Mark& mark, qreal ratio);

    mutable QImage image_;
    mutable std::size_t painted_ = 0; // marks_[0, painted_) are on image_
    std::vector<Mark> marks_;
    // The font of the last Print, kept: looking a font up is slow.
    std::string printedName_;
    double printedSize_ = -1;
    QFont printedFont_;
    double printedAscent_ = 0;
    QColor backColor_;
    QColor windowText_;
    QColor foreColor_;
    double left_ = 0, top_ = 0, width_ = 5300, height_ = 5300; // user window
    double currentX_ = 0, currentY_ = 0;
    std::string fontName_ = "Small Fonts";
    double fontSize_ = 6;
};

// Where the font units of the glyph just drawn fall in the picture, in
// picture pixels: work as the drawing left it, view as it was drawn with.
QTransform fontToPicture(const PictureSurface& picture, const WorkingValues& work, const ViewState& view);
