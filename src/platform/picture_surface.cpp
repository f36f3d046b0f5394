#include "platform/picture_surface.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include "draw/segment.h"

namespace {

QColor toQColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Liang-Barsky: cuts the segment to [lo, hi] on both axes; false when nothing is left.
// Qt's rasteriser is not made for coordinates millions of pixels away, which a
// tiny user window over a damaged glyph box can produce.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double lo, double hi)
{
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lo, hi - x1, y1 - lo, hi - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double sx = x1, sy = y1;
    x1 = sx + t0 * dx;
    y1 = sy + t0 * dy;
    x2 = sx + t1 * dx;
    y2 = sy + t1 * dy;
    return true;
}

} // namespace

PictureSurface::PictureSurface(qreal devicePixelRatio)
    : backColor_(Qt::white), windowText_(Qt::black)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const int side = int(std::lround(PictureSize * ratio));
    image_ = QImage(side, side, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    if (haveGuiApplication()) {
        const QPalette palette = QGuiApplication::palette();
        backColor_ = palette.color(QPalette::Active, QPalette::Base);
        windowText_ = palette.color(QPalette::Active, QPalette::Text);
    }
    foreColor_ = windowText_;
    image_.fill(backColor_);
}

void PictureSurface::Cls()
{
    image_.fill(backColor_);
    marks_.clear();
    painted_ = 0;
    currentX_ = 0;
    currentY_ = 0;
}

void PictureSurface::Scale(double x1, double y1, double x2, double y2)
{
    left_ = x1;
    top_ = y1;
    width_ = x2 - x1;
    height_ = y2 - y1;
}

bool PictureSurface::toPicture(double x, double y, double& px, double& py) const
{
    if (width_ == 0 || height_ == 0 || !std::isfinite(width_) || !std::isfinite(height_))
        return false;
    px = (x - left_) * PictureSize / width_;
    py = (y - top_) * PictureSize / height_;
    return std::isfinite(px) && std::isfinite(py);
}

void PictureSurface::Line(int x1, int y1, int x2, int y2, Rgb colour)
{
    double px1, py1, px2, py2;
    if (!toPicture(x1, y1, px1, py1) || !toPicture(x2, y2, px2, py2))
        return;
    if (!clipSegment(px1, py1, px2, py2, -2.0, PictureSize + 2.0))
        return;
    add(LineMark{QPointF(px1, py1), QPointF(px2, py2), toQColor(colour)});
}

void PictureSurface::Circle(double x, double y, double radius, Rgb colour)
{
    double cx, cy;
    if (!toPicture(x, y, cx, cy))
        return;
    const double r = std::fabs(radius * PictureSize / width_);
    if (!std::isfinite(r) || r > 1e6)
        return;
    // Nothing of the outline can show when the picture lies wholly inside or outside it.
    const double nearX = std::clamp(cx, 0.0, double(PictureSize)), nearY = std::clamp(cy, 0.0, double(PictureSize));
    const double farX = std::max(std::fabs(cx), std::fabs(cx - PictureSize));
    const double farY = std::max(std::fabs(cy), std::fabs(cy - PictureSize));
    if (std::hypot(cx - nearX, cy - nearY) > r + 2 || std::hypot(farX, farY) < r - 2)
        return;
    add(CircleMark{QPointF(cx, cy), r, toQColor(colour)});
}

void PictureSurface::ForeColor(Rgb colour)
{
    foreColor_ = toQColor(colour);
}

QFont PictureSurface::printFont(const std::string& name, double points)
{
    QString family = QString::fromStdString(name);
    if (name == "Small Fonts")
        family = QStringLiteral("DejaVu Sans");
    else if (name == "Consolas")
        family = QStringLiteral("DejaVu Sans Mono");
    QFont font(family);
    // Sizes in pixels at 96 dpi, so the picture looks the same on every screen.
    font.setPixelSize(std::max(1, int(std::lround(std::clamp(points, 0.0, 1000.0) * 96.0 / 72.0))));
    return font;
}

void PictureSurface::Print(const std::string& text)
{
    double px, py;
    if (!haveGuiApplication() || !toPicture(currentX_, currentY_, px, py))
        return;
    if (std::fabs(px) > 1e5 || std::fabs(py) > 1e5)
        return;
    if (fontName_ != printedName_ || fontSize_ != printedSize_) {
        printedName_ = fontName_;
        printedSize_ = fontSize_;
        printedFont_ = printFont(fontName_, fontSize_);
        printedAscent_ = QFontMetricsF(printedFont_).ascent();
    }
    add(TextMark{QPointF(px, py + printedAscent_), printedFont_, foreColor_, QString::fromUtf8(text)});
}

void PictureSurface::add(Mark mark)
{
    marks_.push_back(std::move(mark));
}

const QImage& PictureSurface::image() const
{
    if (painted_ < marks_.size()) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (; painted_ < marks_.size(); ++painted_)
            paintMark(painter, marks_[painted_], image_.devicePixelRatio());
    }
    return image_;
}

void PictureSurface::paintMark(QPainter& painter, const Mark& mark, qreal ratio)
{
    if (const auto* line = std::get_if<LineMark>(&mark)) {
        // Both ends on the device's pixel grid: a point lights the pixel it lies in.
        auto snap = [ratio](QPointF p) { return QPointF(std::floor(p.x() * ratio) / ratio, std::floor(p.y() * ratio) / ratio); };
        painter.setPen(QPen(line->colour, 1));
        painter.drawLine(snap(line->from), snap(line->to));
    } else if (const auto* circle = std::get_if<CircleMark>(&mark)) {
        painter.setPen(QPen(circle->colour, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle->centre, circle->radius, circle->radius);
    } else if (const auto* text = std::get_if<TextMark>(&mark)) {
        painter.setFont(text->font);
        painter.setPen(text->colour);
        painter.drawText(text->baseline, text->text);
    }
}

void PictureSurface::paintPicture(QPainter& painter, qreal ratio) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRectF(0, 0, PictureSize, PictureSize), backColor_);
    for (const Mark& mark : marks_)
        paintMark(painter, mark, ratio);
    painter.restore();
}

QImage PictureSurface::exportImage() const
{
    return imageAt(PictureSize);
}

QImage PictureSurface::imageAt(int side) const
{
    QImage picture(side, side, QImage::Format_RGB32);
    const qreal ratio = qreal(side) / PictureSize;
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    paintPicture(painter, ratio);
    painter.end();
    picture.setDevicePixelRatio(1);
    return picture;
}

bool PictureSurface::isGlyphMark(const Mark& mark)
{
    if (const auto* line = std::get_if<LineMark>(&mark))
        return line->colour == toQColor(Black) || line->colour == toQColor(LightGrey);
    if (const auto* circle = std::get_if<CircleMark>(&mark))
        return circle->colour == toQColor(StartCircleRed);
    const auto& text = std::get<TextMark>(mark);
    const bool digits = !text.text.isEmpty()
                     && std::all_of(text.text.begin(), text.text.end(), [](QChar c) { return c.isDigit(); });
    return digits && text.colour == toQColor(ContourNumberBlue);
}

void PictureSurface::paintCanvas(QPainter& painter, const QRectF& area, const QTransform& toCanvas,
                                 double markScale, bool smooth, bool glyph) const
{
    painter.save();
    painter.fillRect(area, backColor_);
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    const QTransform canvas = painter.transform();
    // The lines first, in runs of one colour, so that the marks stay on top of them.
    painter.setTransform(toCanvas * canvas);
    const double onePixel = 1 / std::max(1e-9, std::sqrt(std::fabs(toCanvas.determinant())));
    QList<QLineF> run;
    QColor runColour;
    auto flush = [&] {
        painter.setPen(QPen(runColour, onePixel));
        painter.drawLines(run);
        run.clear();
    };
    for (const Mark& mark : marks_)
        if (const auto* line = std::get_if<LineMark>(&mark); line && (glyph || !isGlyphMark(mark))) {
            if (!run.isEmpty() && line->colour != runColour)
                flush();
            runColour = line->colour;
            run.append(QLineF(line->from, line->to));
        }
    if (!run.isEmpty())
        flush();
    painter.setTransform(canvas);
    painter.setBrush(Qt::NoBrush);
    for (const Mark& mark : marks_) {
        if (!glyph && isGlyphMark(mark))
            continue;
        if (const auto* circle = std::get_if<CircleMark>(&mark)) {
            const double r = circle->radius * markScale;
            painter.setPen(QPen(circle->colour, 1));
            painter.drawEllipse(toCanvas.map(circle->centre), r, r);
        } else if (const auto* text = std::get_if<TextMark>(&mark)) {
            QFont font = text->font;
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * markScale))));
            painter.setFont(font);
            painter.setPen(text->colour);
            painter.drawText(toCanvas.map(text->baseline), text->text);
        }
    }
    painter.restore();
}

QTransform fontToPicture(const PictureSurface& picture, const WorkingValues& work, const ViewState& view)
{
    ViewState drawn = view;
    drawn.ViewScale = std::max(1, view.ViewScale);
    constexpr int Far = 1000; // two points far apart give the scale without rounding away its digits
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!picture.toPicture(MarkX(0, work, drawn), MarkY(0, work, drawn), x0, y0)
        || !picture.toPicture(MarkX(Far, work, drawn), MarkY(Far, work, drawn), x1, y1))
        return {};
    return QTransform((x1 - x0) / Far, 0, 0, (y1 - y0) / Far, x0, y0);
}
