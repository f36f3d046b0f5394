#include "ui/main/glyph_canvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "outline/outline_walk.h"
#include "platform/outline_path.h"

namespace {

constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.1, MaxZoom = 200;
constexpr double NearPixels = 6; // how close the pointer must be to a point or a segment

const QColor OnCurveColour(0, 128, 0);
const QColor OffCurveColour(192, 0, 192);
const QColor CubicColour(0, 96, 192);
const QColor ImpliedColour(128, 128, 128);
constexpr int MarkSide = 9; // pixels: the largest mark with its antialiased edge
const QColor NumberColour(64, 64, 64);
const QColor SelectionColour(255, 140, 0);
const QColor BadgeColour(220, 30, 30);
const QColor OverlayColour(30, 110, 230);
const QColor ArrowColour(0, 150, 80);

double distanceToSegment(QPointF p, QLineF s)
{
    const QPointF d = s.p2() - s.p1();
    const double length2 = d.x() * d.x() + d.y() * d.y();
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - s.p1(), d) / length2, 0.0, 1.0) : 0.0;
    const QPointF nearest = s.p1() + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

} // namespace

QString PointKindWords(PointKind kind)
{
    switch (kind) {
    case PointKind::OnCurve:
        return QStringLiteral("on-curve");
    case PointKind::CubicOff:
        return QStringLiteral("cubic off-curve");
    case PointKind::QuadraticOff:
        break;
    }
    return QStringLiteral("off-curve");
}

GlyphCanvas::GlyphCanvas(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setBackgroundRole(QPalette::Base); // the picture paints its own background
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel inside the border is painted
    setFocusPolicy(Qt::ClickFocus); // Space held over the picture pans
    setMinimumSize(120, 120);
}

void GlyphCanvas::setGlyph(const DrawnGlyph& glyph, const QTransform& fontToPicture, const ViewState& view)
{
    glyph_ = glyph;
    fontToPicture_ = fontToPicture;
    outlinePath_ = ContoursPath(glyph.outline);
    polygonPath_ = PolygonPath(glyph.outline);
    startMarks_ = view.ShowStartPoints == 1;
    // Picture units are font units divided by the scale.
    unitPixels_ = std::fabs(fontToPicture.m11()) * std::max(1, view.ViewScale);
    ++generation_; // the picture was drawn again
    hovered_ = selectedPoint_ = selectedSegment_ = -1;
    badges_.clear();
    overlay_.clear();
    arrows_.clear();
    fit();
}

QImage GlyphCanvas::shownImage()
{
    return grab(contentsRect()).toImage();
}

QImage GlyphCanvas::shownImage(double factor) const
{
    QImage image(contentsRect().size() * factor, QImage::Format_RGB32);
    image.setDevicePixelRatio(factor);
    image.fill(palette().color(QPalette::Base));
    if (picture_) {
        QPainter painter(&image);
        painter.translate(-contentsRect().topLeft());
        paintScene(painter, factor);
        painter.setRenderHint(QPainter::Antialiasing, smooth_);
        paintMarks(painter);
        paintSelection(painter);
    }
    image.setDevicePixelRatio(1);
    return image;
}

double GlyphCanvas::markUnit() const
{
    return unitPixels_ * pictureToCanvas().m11() / zoom_;
}

ShownView GlyphCanvas::shownView() const
{
    const QPointF corner = contentsRect().topLeft();
    return {contentsRect().size(), picture_ ? picture_->backColor() : palette().color(QPalette::Base), &glyph_.outline,
            fontToCanvas() * QTransform::fromTranslate(-corner.x(), -corner.y()), startMarks_, markUnit(),
            pictureToCanvas().m11() / zoom_};
}

void GlyphCanvas::setSmooth(bool on)
{
    smooth_ = on;
    update();
}

void GlyphCanvas::setPointNumbers(bool on)
{
    numbers_ = on;
    update();
}

QTransform GlyphCanvas::pictureToCanvas() const
{
    const QRectF area = contentsRect();
    const double fitted = std::min(area.width(), area.height()) / PictureSurface::PictureSize;
    const double side = fitted * PictureSurface::PictureSize;
    const QPointF corner = area.topLeft() + QPointF((area.width() - side) / 2, (area.height() - side) / 2) + pan_;
    return QTransform(fitted * zoom_, 0, 0, fitted * zoom_, corner.x(), corner.y());
}

void GlyphCanvas::zoomBy(double factor, QPointF about)
{
    const double zoom = std::clamp(zoom_ * factor, MinZoom, MaxZoom);
    // The picture point under `about` stays there.
    const QPointF picturePoint = pictureToCanvas().inverted().map(about);
    zoom_ = zoom;
    pan_ += about - pictureToCanvas().map(picturePoint);
    update();
    emit zoomChanged(int(std::lround(zoom_ * 100)));
}

void GlyphCanvas::zoomIn()
{
    zoomBy(ZoomStep, QRectF(contentsRect()).center());
}

void GlyphCanvas::zoomOut()
{
    zoomBy(1 / ZoomStep, QRectF(contentsRect()).center());
}

void GlyphCanvas::fit()
{
    zoom_ = 1;
    pan_ = {};
    update();
    emit zoomChanged(100);
}

void GlyphCanvas::setZoomAndPan(std::pair<double, QPointF> kept)
{
    zoom_ = std::clamp(kept.first, MinZoom, MaxZoom);
    pan_ = kept.second;
    update();
    emit zoomChanged(int(std::lround(zoom_ * 100)));
}

QPointF GlyphCanvas::pointOnCanvas(int i) const
{
    const DrawnPoint& p = glyph_.points[std::size_t(i)];
    return pictureToCanvas().map(fontToPicture_.map(QPointF(p.x, p.y)));
}

QLineF GlyphCanvas::segmentOnCanvas(int i) const
{
    const ListedSegment& s = glyph_.segments[std::size_t(i)];
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!picture_ || !picture_->toPicture(s.x1, s.y1, x1, y1) || !picture_->toPicture(s.x2, s.y2, x2, y2))
        return {};
    return pictureToCanvas().map(QLineF(x1, y1, x2, y2));
}

int GlyphCanvas::pointAt(QPointF at) const
{
    int best = -1;
    double nearest = NearPixels;
    for (int i = 0; i < int(glyph_.points.size()); ++i) {
        const QPointF p = pointOnCanvas(i);
        if (const double d = std::hypot(p.x() - at.x(), p.y() - at.y()); d <= nearest) {
            nearest = d;
            best = i;
        }
    }
    return best;
}

int GlyphCanvas::segmentAt(QPointF at) const
{
    int best = -1;
    double nearest = NearPixels;
    for (int i = 0; i < int(glyph_.segments.size()); ++i)
        if (const double d = distanceToSegment(at, segmentOnCanvas(i)); d <= nearest) {
            nearest = d;
            best = i;
        }
    return best;
}

QString GlyphCanvas::describePoint(int i) const
{
    if (i < 0 || std::size_t(i) >= glyph_.points.size())
        return {};
    const DrawnPoint& p = glyph_.points[std::size_t(i)];
    return QStringLiteral("Point %1 of contour %2: x %3, y %4, %5")
        .arg(i)
        .arg(p.contour)
        .arg(p.x)
        .arg(p.y)
        .arg(PointKindWords(p.kind));
}

void GlyphCanvas::setSelection(int point, int segment)
{
    selectedPoint_ = point >= 0 && std::size_t(point) < glyph_.points.size() ? point : -1;
    selectedSegment_ = segment >= 0 && std::size_t(segment) < glyph_.segments.size() ? segment : -1;
    update();
}

// A view painted for the first time is painted straight onto the canvas, as
// while the wheel zooms; once it is painted again unchanged (a selection, an
// exposed window) it is kept as a layer, and later repaints only put the
// selection on top of it.
void GlyphCanvas::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!picture_) {
        painter.fillRect(contentsRect(), palette().color(QPalette::Base));
        return;
    }
    const qreal ratio = painter.deviceTransform().m11(); // device pixels per canvas pixel
    const Layer wanted{pictureToCanvas(), contentsRect().size(), ratio, smooth_, numbers_, generation_};
    if (!(wanted == layerKey_) && !(wanted == paintedKey_)) {
        paintedKey_ = wanted;
        painter.save();
        paintScene(painter, ratio);
        painter.restore();
    } else {
        if (!(wanted == layerKey_))
            paintLayer(wanted);
        painter.drawImage(contentsRect().topLeft(), layer_);
    }
    painter.setClipRect(contentsRect());
    painter.setRenderHint(QPainter::Antialiasing, smooth_);
    paintMarks(painter);
    paintSelection(painter);
}

void GlyphCanvas::paintLayer(const Layer& key)
{
    layerKey_ = key;
    const QSize size = contentsRect().size() * key.ratio;
    if (layer_.size() != size || layer_.devicePixelRatio() != key.ratio) {
        layer_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        layer_.setDevicePixelRatio(key.ratio);
    }
    QPainter painter(&layer_);
    painter.translate(-contentsRect().topLeft());
    paintScene(painter, key.ratio);
}

// The picture's other marks, the glyph and the point marks at the canvas's resolution.
void GlyphCanvas::paintScene(QPainter& painter, qreal ratio) const
{
    const QRect area = contentsRect();
    const QTransform toCanvas = pictureToCanvas();
    const double fitted = toCanvas.m11() / zoom_; // marks keep their size as the picture zooms
    picture_->paintCanvas(painter, area, toCanvas, fitted, smooth_, false);
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, smooth_);
    paintGlyph(painter);
    if (numbers_)
        paintPoints(painter, ratio);
}

// As the picture draws it: the start marks, then the control polygon in light
// grey and the outline in black over them, each line one canvas pixel wide.
// The paths are mapped rather than drawn through a transform, so that the
// pen keeps its width at any zoom.
void GlyphCanvas::paintGlyph(QPainter& painter) const
{
    const QTransform toCanvas = fontToCanvas();
    if (startMarks_)
        paintStartMarks(painter, toCanvas);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(LightGrey.r, LightGrey.g, LightGrey.b), 1));
    painter.drawPath(toCanvas.map(polygonPath_));
    painter.setPen(QPen(QColor(Black.r, Black.g, Black.b), 1));
    painter.drawPath(toCanvas.map(outlinePath_));
}

// A red circle of 16 picture units on each contour's first point and its
// number 5 units right of and below it, in the picture's number font, all
// at their size at the fit, whatever the zoom.
void GlyphCanvas::paintStartMarks(QPainter& painter, const QTransform& toCanvas) const
{
    const double unit = markUnit(), fitted = pictureToCanvas().m11() / zoom_;
    QFont font = PictureSurface::printFont("Small Fonts", 6);
    font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * fitted))));
    const double ascent = QFontMetricsF(font).ascent();
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);
    const Contours& outline = glyph_.outline;
    ForEachContour(outline, [&](std::size_t c, int first, int) {
        if (std::size_t(first) >= outline.points.size())
            return;
        const OutlinePoint& p = outline.points[std::size_t(first)];
        const QPointF at = toCanvas.map(QPointF(p.x, p.y));
        painter.setPen(QPen(QColor(StartCircleRed.r, StartCircleRed.g, StartCircleRed.b), 1));
        painter.drawEllipse(at, 16 * unit, 16 * unit);
        painter.setPen(QColor(ContourNumberBlue.r, ContourNumberBlue.g, ContourNumberBlue.b));
        painter.drawText(at + QPointF(5 * unit, 5 * unit + ascent), QString::number(c + 1));
    });
}

// One point mark, drawn once for the screen's ratio and placed as a picture.
QImage GlyphCanvas::markImage(PointMark mark, qreal ratio) const
{
    const auto m = std::size_t(mark);
    if (marks_[m].isNull() || marks_[m].devicePixelRatio() != ratio || marksSmooth_ != smooth_) {
        if (marksSmooth_ != smooth_)
            marks_ = {};
        marksSmooth_ = smooth_;
        QImage image(QSize(MarkSide, MarkSide) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, smooth_);
        const QPointF c(MarkSide / 2.0, MarkSide / 2.0);
        switch (mark) {
        case PointMark::OnCurve:
            painter.fillRect(QRectF(c.x() - 2.5, c.y() - 2.5, 5, 5), OnCurveColour);
            break;
        case PointMark::QuadraticOff:
        case PointMark::CubicOff:
            painter.setPen(mark == PointMark::CubicOff ? CubicColour : OffCurveColour);
            painter.drawEllipse(c, 3, 3);
            break;
        case PointMark::Implied:
            painter.setPen(ImpliedColour);
            painter.drawPolygon(QPolygonF({c + QPointF(0, -3), c + QPointF(3, 0), c + QPointF(0, 3), c + QPointF(-3, 0)}));
            break;
        }
        marks_[m] = image;
    }
    return marks_[m];
}

// Draws a mark centred on `at`, on whole device pixels.
void GlyphCanvas::placeMark(QPainter& painter, PointMark mark, QPointF at, qreal ratio) const
{
    const QPointF corner = at - QPointF(MarkSide / 2.0, MarkSide / 2.0);
    painter.drawImage(QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
                      markImage(mark, ratio));
}

// On-curve points as filled squares, off-curve ones as circles (cubic control
// points in their own colour), the on-curve points implied between two
// quadratic off-curve ones as small grey diamonds; each point's number beside it.
void GlyphCanvas::paintPoints(QPainter& painter, qreal ratio) const
{
    const QTransform toCanvas = fontToPicture_ * pictureToCanvas();
    const std::vector<DrawnPoint>& points = glyph_.points;
    canvasPoints_.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        canvasPoints_[i] = toCanvas.map(QPointF(points[i].x, points[i].y));
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    painter.setPen(NumberColour);
    while (numberTexts_.size() < points.size()) {
        numberTexts_.emplace_back(QString::number(numberTexts_.size()));
        numberTexts_.back().setPerformanceHint(QStaticText::AggressiveCaching);
    }
    std::size_t first = 0; // of the contour point i is on
    for (std::size_t i = 0; i < points.size(); ++i) {
        const DrawnPoint& p = points[i];
        if (i > 0 && points[i - 1].contour != p.contour)
            first = i;
        const QPointF at = canvasPoints_[i];
        placeMark(painter, p.kind == PointKind::OnCurve  ? PointMark::OnCurve
                           : p.kind == PointKind::CubicOff ? PointMark::CubicOff
                                                          : PointMark::QuadraticOff,
                  at, ratio);
        painter.drawStaticText(at + QPointF(4, -13), numberTexts_[i]);
        // The next point of the contour, the first after its last.
        const std::size_t next = i + 1 < points.size() && points[i + 1].contour == p.contour ? i + 1 : first;
        if (p.kind == PointKind::QuadraticOff && points[next].kind == PointKind::QuadraticOff && next != i)
            placeMark(painter, PointMark::Implied, (at + canvasPoints_[next]) / 2, ratio);
    }
}

void GlyphCanvas::setBadges(std::vector<QPointF> places)
{
    badges_ = std::move(places);
    update();
}

void GlyphCanvas::setOverlay(QPainterPath outline, std::vector<QLineF> arrows)
{
    overlay_ = std::move(outline);
    arrows_ = std::move(arrows);
    update();
}

// The overlay's outline and arrows one pixel wide, each arrow's head at this
// glyph's point; the badges as small red discs, the same size at any zoom.
void GlyphCanvas::paintMarks(QPainter& painter) const
{
    if (badges_.empty() && overlay_.isEmpty() && arrows_.empty())
        return;
    const QTransform toCanvas = fontToCanvas();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(OverlayColour, 1));
    painter.drawPath(toCanvas.map(overlay_));
    painter.setPen(QPen(ArrowColour, 1));
    for (const QLineF& arrow : arrows_) {
        const QLineF line = toCanvas.map(arrow);
        painter.drawLine(line);
        if (line.length() < 1)
            continue;
        QLineF head(line.p2(), line.p1());
        head.setLength(std::min(7.0, line.length() / 2));
        for (double turn : {25.0, -25.0}) {
            QLineF barb = head;
            barb.setAngle(head.angle() + turn);
            painter.drawLine(barb);
        }
    }
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(BadgeColour);
    for (const QPointF& place : badges_)
        painter.drawEllipse(toCanvas.map(place), 4.5, 4.5);
}

void GlyphCanvas::paintSelection(QPainter& painter) const
{
    painter.setPen(QPen(SelectionColour, 3));
    painter.setBrush(Qt::NoBrush);
    if (selectedSegment_ >= 0)
        painter.drawLine(segmentOnCanvas(selectedSegment_));
    if (selectedPoint_ >= 0)
        painter.drawEllipse(pointOnCanvas(selectedPoint_), 6, 6);
}

void GlyphCanvas::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(std::pow(ZoomStep, steps), event->position());
    event->accept();
}

void GlyphCanvas::mousePressEvent(QMouseEvent* event)
{
    lastPos_ = event->position();
    dragged_ = false;
    panning_ = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_);
    QFrame::mousePressEvent(event);
}

void GlyphCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (panning_) {
        pan_ += event->position() - lastPos_;
        lastPos_ = event->position();
        dragged_ = true;
        update();
        return;
    }
    const int point = pointAt(event->position());
    if (point != hovered_) {
        hovered_ = point;
        emit pointHovered(describePoint(point));
    }
}

void GlyphCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = !dragged_ && !panning_;
    panning_ = false;
    if (click && event->button() == Qt::LeftButton) {
        if (const int point = pointAt(event->position()); point >= 0) {
            setSelection(point, -1);
            emit pointClicked(point);
        } else if (const int segment = segmentAt(event->position()); segment >= 0) {
            setSelection(-1, segment);
            emit segmentClicked(segment);
        }
    }
    emit MouseUp(event->button());
    QFrame::mouseReleaseEvent(event);
}

void GlyphCanvas::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = true;
        setCursor(Qt::OpenHandCursor);
        return;
    }
    QFrame::keyPressEvent(event);
}

void GlyphCanvas::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = false;
        unsetCursor();
        return;
    }
    QFrame::keyReleaseEvent(event);
}
