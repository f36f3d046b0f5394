#include "ui/instructions/instruction_canvas.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "hinting/stepping_session.h"

namespace {

constexpr double PixelUnits = 64.0; // 26.6
constexpr double HitRadius = 6.0;   // device pixels around a point that hovering finds
const QColor OriginalColour(150, 150, 150);
const QColor CurrentColour(20, 60, 170);
const QColor MovedColour(200, 30, 30);
const QColor TwilightColour(0, 140, 70);

QPointF at(const Vec& v) { return {double(v.x), double(v.y)}; }

// A twilight point is shown once the programs have put it anywhere.
bool placed(const Zone& z, std::size_t i) { return z.cur[i] != Vec{} || z.org[i] != Vec{}; }

// The outline through the current points: quadratic runs, an on-curve point
// implied between two off-curve ones.
QPainterPath outlinePath(const Zone& z, std::size_t outline)
{
    QPainterPath path;
    std::size_t first = 0;
    for (const int e : z.ends) {
        if (e < 0 || std::size_t(e) >= outline || std::size_t(e) < first)
            break;
        const std::size_t last = std::size_t(e), n = last - first + 1;
        const auto point = [&](std::size_t k) { return at(z.cur[first + k % n]); };
        const auto on = [&](std::size_t k) { return (z.tags[first + k % n] & TAG_ON) != 0; };
        std::size_t start = 0;
        while (start < n && !on(start))
            ++start;
        const QPointF begin = start < n ? point(start) : (point(0) + point(1)) / 2;
        path.moveTo(begin);
        for (std::size_t k = 1; k <= n; ++k) {
            const std::size_t i = start + k;
            if (on(i)) {
                path.lineTo(point(i));
            } else {
                const QPointF next = on(i + 1) ? point(i + 1) : (point(i) + point(i + 1)) / 2;
                path.quadTo(point(i), next);
                if (on(i + 1))
                    ++k;
            }
        }
        path.closeSubpath();
        first = last + 1;
    }
    return path;
}

void arrow(QPainter& p, QPointF from, QPointF to)
{
    const QLineF line(from, to);
    if (line.length() < 2)
        return;
    p.drawLine(line);
    QLineF head = line;
    head.setP1(to);
    head.setP2(from);
    head.setLength(7);
    head.setAngle(head.angle() + 25);
    p.drawLine(head);
    head.setAngle(head.angle() - 50);
    p.drawLine(head);
}

void grid(QPainter& p, const QTransform& t, const QRectF& area)
{
    const QTransform inverse = t.inverted();
    const QRectF units = inverse.mapRect(area);
    if (t.m11() * PixelUnits < 4) // too small a pixel to draw the grid
        return;
    p.setPen(QPen(QColor(225, 225, 225), 0));
    for (double x = std::floor(units.left() / PixelUnits) * PixelUnits; x <= units.right(); x += PixelUnits)
        p.drawLine(t.map(QPointF(x, units.top())), t.map(QPointF(x, units.bottom())));
    for (double y = std::floor(units.top() / PixelUnits) * PixelUnits; y <= units.bottom(); y += PixelUnits)
        p.drawLine(t.map(QPointF(units.left(), y)), t.map(QPointF(units.right(), y)));
    p.setPen(QPen(QColor(170, 170, 170), 0));
    p.drawLine(t.map(QPointF(units.left(), 0)), t.map(QPointF(units.right(), 0))); // the baseline
}

void points(QPainter& p, const QTransform& t, const Zone& z, std::size_t count, bool twilight, ZonePoint selected)
{
    const bool numbered = t.m11() * PixelUnits >= 12;
    for (std::size_t i = 0; i < count; ++i) {
        if (twilight && !placed(z, i))
            continue;
        const QPointF org = t.map(at(z.org[i])), cur = t.map(at(z.cur[i]));
        p.setPen(QPen(OriginalColour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(org, 2.5, 2.5);
        if (z.cur[i] != z.org[i]) {
            p.setPen(QPen(MovedColour, 1.2));
            arrow(p, org, cur);
        }
        const QColor colour = twilight ? TwilightColour : CurrentColour;
        p.setPen(QPen(colour, 1.2));
        p.setBrush((z.tags[i] & TAG_ON) || twilight ? QBrush(colour) : QBrush(Qt::white));
        if (twilight)
            p.drawRect(QRectF(cur - QPointF(3, 3), QSizeF(6, 6)));
        else
            p.drawEllipse(cur, 3, 3);
        if (selected == ZonePoint{twilight, int(i)}) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 1.5));
            p.drawEllipse(cur, 7, 7);
        }
        if (numbered || twilight)
            p.drawText(cur + QPointF(5, -5), twilight ? QStringLiteral("t%1").arg(i) : QString::number(i));
    }
}

} // namespace

QTransform SteppedGlyphTransform(const SteppingSession& session, const QRectF& area)
{
    const Execution& e = session.execution();
    QRectF box(0, 0, 0, 0);
    const auto add = [&](const Zone& z, bool twilight) {
        for (std::size_t i = 0; i < z.size(); ++i)
            if (!twilight || placed(z, i))
                box |= QRectF(at(z.cur[i]), QSizeF(1, 1)) | QRectF(at(z.org[i]), QSizeF(1, 1));
    };
    add(e.glyph, false);
    add(e.twilight, true);
    // The control-value program has no glyph: the em square frames its twilight points.
    if (e.glyph.size() == 0)
        box |= QRectF(0, 0, std::max(1, e.settings.ppem) * PixelUnits, std::max(1, e.settings.ppem) * PixelUnits);
    box.adjust(-PixelUnits, -PixelUnits, PixelUnits, PixelUnits);
    const double scale = std::min(area.width() / box.width(), area.height() / box.height());
    const QPointF centre = area.center();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, -scale);
    t.translate(-box.center().x(), -box.center().y());
    return t;
}

void PaintSteppedGlyph(QPainter& p, const QRectF& area, const SteppingSession& session, ZonePoint selected)
{
    p.fillRect(area, Qt::white);
    if (!session.loaded())
        return;
    const Execution& e = session.execution();
    const QTransform t = SteppedGlyphTransform(session, area);
    p.setRenderHint(QPainter::Antialiasing, false);
    grid(p, t, area);
    p.setRenderHint(QPainter::Antialiasing, true);
    const std::size_t outline = session.outlinePoints();
    QPainterPath path = t.map(outlinePath(e.glyph, outline));
    path.setFillRule(Qt::WindingFill);
    p.setPen(QPen(CurrentColour, 1));
    p.setBrush(QColor(20, 60, 170, 40));
    p.drawPath(path);
    // The phantom points' origin and advance as vertical lines.
    p.setPen(QPen(QColor(120, 160, 120), 0, Qt::DashLine));
    for (std::size_t k = outline; k < outline + 2 && k < e.glyph.size(); ++k) {
        const double x = t.map(at(e.glyph.cur[k])).x();
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    points(p, t, e.glyph, e.glyph.size(), false, selected);
    points(p, t, e.twilight, e.twilight.size(), true, selected);
}

InstructionCanvas::InstructionCanvas(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 320);
}

void InstructionCanvas::setSession(const SteppingSession* session)
{
    session_ = session;
    selected_ = hovered_ = {};
    update();
}

void InstructionCanvas::select(ZonePoint point)
{
    selected_ = point;
    update();
}

void InstructionCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (session_)
        PaintSteppedGlyph(p, rect(), *session_, selected_);
    else
        p.fillRect(rect(), Qt::white);
}

ZonePoint InstructionCanvas::pointAt(QPointF where) const
{
    if (!session_ || !session_->loaded())
        return {};
    const QTransform t = SteppedGlyphTransform(*session_, rect());
    const Execution& e = session_->execution();
    ZonePoint found;
    double best = HitRadius * HitRadius;
    const auto look = [&](const Zone& z, bool twilight) {
        for (std::size_t i = 0; i < z.size(); ++i) {
            if (twilight && !placed(z, i))
                continue;
            const QPointF d = t.map(at(z.cur[i])) - where;
            const double d2 = QPointF::dotProduct(d, d);
            if (d2 <= best) {
                best = d2;
                found = {twilight, int(i)};
            }
        }
    };
    look(e.glyph, false);
    look(e.twilight, true);
    return found;
}

void InstructionCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const ZonePoint point = pointAt(event->position());
    if (!(point == hovered_)) {
        hovered_ = point;
        emit pointHovered(point);
    }
}

void InstructionCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    select(pointAt(event->position()));
    emit pointSelected(selected_);
}
