#include "ui/main/glyph_canvas.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.1, MaxZoom = 200;
constexpr double NearPixels = 6; // how close the pointer must be to a point or a segment

const QColor OnCurveColour(0, 128, 0);
const QColor OffCurveColour(192, 0, 192);
const QColor ImpliedColour(128, 128, 128);
const QColor NumberColour(64, 64, 64);
const QColor SelectionColour(255, 140, 0);

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
    setFocusPolicy(Qt::ClickFocus); // Space held over the picture pans
    setMinimumSize(120, 120);
}

void GlyphCanvas::setGlyph(const DrawnGlyph& glyph, const QTransform& fontToPicture)
{
    glyph_ = glyph;
    fontToPicture_ = fontToPicture;
    hovered_ = selectedPoint_ = selectedSegment_ = -1;
    fit();
}

QImage GlyphCanvas::shownImage()
{
    return grab(contentsRect()).toImage();
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

void GlyphCanvas::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!picture_) {
        painter.fillRect(contentsRect(), palette().color(QPalette::Base));
        return;
    }
    const QTransform toCanvas = pictureToCanvas();
    const double fitted = toCanvas.m11() / zoom_; // marks keep their size as the picture zooms
    picture_->paintCanvas(painter, contentsRect(), toCanvas, fitted, smooth_);
    painter.setClipRect(contentsRect());
    painter.setRenderHint(QPainter::Antialiasing, smooth_);
    if (numbers_)
        paintPoints(painter);
    paintSelection(painter);
}

// On-curve points as filled squares, off-curve ones as circles, the on-curve
// points implied between two off-curve ones as small grey diamonds; each
// point's number beside it.
void GlyphCanvas::paintPoints(QPainter& painter) const
{
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    const int count = int(glyph_.points.size());
    for (int i = 0; i < count; ++i) {
        const DrawnPoint& p = glyph_.points[std::size_t(i)];
        const QPointF at = pointOnCanvas(i);
        if (p.kind == PointKind::OnCurve) {
            painter.fillRect(QRectF(at.x() - 2.5, at.y() - 2.5, 5, 5), OnCurveColour);
        } else {
            painter.setPen(OffCurveColour);
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, 3, 3);
        }
        painter.setPen(NumberColour);
        while (numberTexts_.size() <= std::size_t(i)) {
            numberTexts_.emplace_back(QString::number(numberTexts_.size()));
            numberTexts_.back().setPerformanceHint(QStaticText::AggressiveCaching);
        }
        painter.drawStaticText(at + QPointF(4, -13), numberTexts_[std::size_t(i)]);
        // The next point of the contour, the first after its last.
        int next = i + 1;
        if (next >= count || glyph_.points[std::size_t(next)].contour != p.contour) {
            next = i;
            while (next > 0 && glyph_.points[std::size_t(next - 1)].contour == p.contour)
                --next;
        }
        if (p.kind == PointKind::QuadraticOff && glyph_.points[std::size_t(next)].kind == PointKind::QuadraticOff
            && next != i) {
            const QPointF m = (at + pointOnCanvas(next)) / 2;
            painter.setPen(ImpliedColour);
            painter.drawPolygon(QPolygonF({m + QPointF(0, -3), m + QPointF(3, 0), m + QPointF(0, 3), m + QPointF(-3, 0)}));
        }
    }
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
