#pragma once
#include <array>
#include <utility>
#include <vector>

#include <QFrame>
#include <QImage>
#include <QPainterPath>
#include <QStaticText>
#include <QTransform>

#include "draw/view.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"

// "on-curve", "off-curve" (quadratic) or "cubic off-curve".
QString PointKindWords(PointKind kind);

// The drawing area inside a one-pixel sunken border: the glyph drawn from its
// points at the screen's resolution, the exact curve at any zoom, its control
// polygon, start marks and contour numbers where the picture has them; the
// rest of the picture drawn elsewhere (the metrics view's lines and marks,
// the empty mark) painted again over it. At the fit the whole picture fills
// the largest square the area holds (353 x 353 at the designed size); the
// wheel zooms about the pointer, a middle-button drag (or a left one with
// Space held) pans. It can number every point, report the point under the
// pointer and select a point or a segment.
class GlyphCanvas : public QFrame {
    Q_OBJECT
public:
    explicit GlyphCanvas(QWidget* parent = nullptr);

    // The picture to show; it must outlive the canvas. Call update() after drawing.
    void setPicture(const PictureSurface* picture)
    {
        picture_ = picture;
        ++generation_;
    }
    // The glyph just drawn into the picture, where its font units fall in the
    // picture, and the view it was drawn with (its start marks and scale);
    // clears the selection and returns to the fit.
    void setGlyph(const DrawnGlyph& glyph, const QTransform& fontToPicture, const ViewState& view);

    const DrawnGlyph& glyph() const { return glyph_; }
    const QTransform& fontToPicture() const { return fontToPicture_; }
    // The picture as the canvas shows it, at the screen's resolution.
    QImage shownImage();
    // The same drawn at `factor` times the canvas's size, not scaled up.
    QImage shownImage(double factor) const;
    // Font units to the canvas's pixels, zoom and pan applied.
    QTransform fontToCanvas() const { return fontToPicture_ * pictureToCanvas(); }
    // The outline and the control polygon as the canvas draws them, in font units.
    const QPainterPath& outlinePath() const { return outlinePath_; }
    const QPainterPath& polygonPath() const { return polygonPath_; }
    bool startMarks() const { return startMarks_; }
    // Canvas pixels per picture unit at the fit: the start marks' size.
    double markUnit() const;
    // What an SVG of the view as shown holds, in the canvas's pixels from its contents' corner.
    ShownView shownView() const;

    void setSmooth(bool on);
    void setPointNumbers(bool on);
    bool pointNumbers() const { return numbers_; }

    // Picture pixels to the canvas's own pixels, zoom and pan applied.
    QTransform pictureToCanvas() const;
    // Canvas pixels per picture pixel, and the zoom over the fit (1 at the fit).
    double scale() const { return pictureToCanvas().m11(); }
    double zoom() const { return zoom_; }
    void zoomBy(double factor, QPointF about);
    void zoomIn();
    void zoomOut();
    void fit();
    // The zoom and pan, to be given back when the same glyph is drawn again (a reload).
    std::pair<double, QPointF> zoomAndPan() const { return {zoom_, pan_}; }
    void setZoomAndPan(std::pair<double, QPointF> kept);

    // The point nearest `at` (canvas pixels) within a few pixels, or -1.
    int pointAt(QPointF at) const;
    // The segment nearest `at` within a few pixels, or -1.
    int segmentAt(QPointF at) const;
    // "Point 12 of contour 2: x 345, y -12, off-curve", the words for point i.
    QString describePoint(int i) const;

    int selectedPoint() const { return selectedPoint_; }
    int selectedSegment() const { return selectedSegment_; }
    // A point ringed and a segment drawn over, either -1 for none.
    void setSelection(int point, int segment);

    // Drawn over the glyph in font units, never into the picture: a badge at
    // each problem's place, and another font's outline with an arrow from
    // each of its points that moved to where it lies in this glyph. Both are
    // cleared when a glyph is given.
    void setBadges(std::vector<QPointF> places);
    void setOverlay(QPainterPath outline, std::vector<QLineF> arrows);
    const std::vector<QPointF>& badges() const { return badges_; }
    const QPainterPath& overlay() const { return overlay_; }
    const std::vector<QLineF>& arrows() const { return arrows_; }

signals:
    void MouseUp(Qt::MouseButton button);
    void pointHovered(const QString& description); // empty when the pointer leaves every point
    void pointClicked(int point);
    void segmentClicked(int segment);
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QPointF pointOnCanvas(int i) const;
    QLineF segmentOnCanvas(int i) const;
    enum class PointMark { OnCurve, QuadraticOff, CubicOff, Implied };
    QImage markImage(PointMark mark, qreal ratio) const;
    void placeMark(QPainter& painter, PointMark mark, QPointF at, qreal ratio) const;
    void paintPoints(QPainter& painter, qreal ratio) const;

    void paintSelection(QPainter& painter) const;
    void paintMarks(QPainter& painter) const;
    void paintGlyph(QPainter& painter) const;
    void paintStartMarks(QPainter& painter, const QTransform& toCanvas) const;

    const PictureSurface* picture_ = nullptr;
    DrawnGlyph glyph_;
    QTransform fontToPicture_;
    QPainterPath outlinePath_, polygonPath_; // font units
    bool startMarks_ = true;
    double unitPixels_ = 1; // picture pixels per picture unit
    double zoom_ = 1;
    QPointF pan_; // canvas pixels, from the fitted place
    bool smooth_ = true;
    bool numbers_ = false;
    bool spaceHeld_ = false;
    bool panning_ = false;
    bool dragged_ = false;
    QPointF lastPos_;
    int hovered_ = -1;
    int selectedPoint_ = -1;
    int selectedSegment_ = -1;
    std::vector<QPointF> badges_;
    QPainterPath overlay_;
    std::vector<QLineF> arrows_;
    // Kept between redraws: the numbers "0", "1", ... laid out once, the marks
    // drawn once for the screen's ratio, the points' places on the canvas.
    mutable std::vector<QStaticText> numberTexts_;
    mutable std::array<QImage, 4> marks_;
    mutable bool marksSmooth_ = true;
    mutable std::vector<QPointF> canvasPoints_;
    // What the layer was painted for.
    struct Layer {
        QTransform toCanvas;
        QSize size;
        qreal ratio = 0;
        bool smooth = false, numbers = false;
        unsigned generation = 0;
        friend bool operator==(const Layer&, const Layer&) = default;
    };
    void paintLayer(const Layer& key);
    void paintScene(QPainter& painter, qreal ratio) const;
    unsigned generation_ = 0; // counts the pictures given
    Layer layerKey_;   // what layer_ holds
    Layer paintedKey_; // the view last painted straight onto the canvas
    QImage layer_;
};
