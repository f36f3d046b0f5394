#include "platform/colour_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainter>

#include "platform/colour_images.h"
#include "platform/outline_path.h"

namespace {

QTransform toQt(const Affine& a) { return QTransform(a.xx, a.yx, a.xy, a.yy, a.dx, a.dy); }

QColor toQt(Rgba c) { return QColor(c.r, c.g, c.b, c.a); }

QPainter::CompositionMode qtMode(CompositeMode mode)
{
    using P = QPainter;
    static constexpr P::CompositionMode Modes[] = {P::CompositionMode_Clear, P::CompositionMode_Source,
        P::CompositionMode_Destination, P::CompositionMode_SourceOver, P::CompositionMode_DestinationOver,
        P::CompositionMode_SourceIn, P::CompositionMode_DestinationIn, P::CompositionMode_SourceOut,
        P::CompositionMode_DestinationOut, P::CompositionMode_SourceAtop, P::CompositionMode_DestinationAtop,
        P::CompositionMode_Xor, P::CompositionMode_Plus, P::CompositionMode_Screen, P::CompositionMode_Overlay,
        P::CompositionMode_Darken, P::CompositionMode_Lighten, P::CompositionMode_ColorDodge,
        P::CompositionMode_ColorBurn, P::CompositionMode_HardLight, P::CompositionMode_SoftLight,
        P::CompositionMode_Difference, P::CompositionMode_Exclusion, P::CompositionMode_Multiply};
    return Modes[std::size_t(mode)];
}

QGradient::Spread spread(Extend e)
{
    return e == Extend::Repeat ? QGradient::RepeatSpread : e == Extend::Reflect ? QGradient::ReflectSpread
                                                                                : QGradient::PadSpread;
}

void setStops(QGradient& g, const Brush& b)
{
    QGradientStops stops;
    for (const BrushStop& s : b.stops)
        stops.push_back({s.offset, toQt(s.colour)});
    g.setStops(stops);
    g.setSpread(spread(b.extend));
}

// A stop's colour premultiplied, as four reals 0..1.
struct Premultiplied {
    double r = 0, g = 0, b = 0, a = 0;
};
Premultiplied premultiplied(Rgba c)
{
    const double a = c.a / 255.0;
    return {c.r / 255.0 * a, c.g / 255.0 * a, c.b / 255.0 * a, a};
}

// t (0 to 1) on the brush's stops, interpolated over premultiplied colour.
QRgb colourAt(const Brush& b, const std::vector<Premultiplied>& stops, double t)
{
    std::size_t k = 1;
    while (k + 1 < b.stops.size() && b.stops[k].offset < t)
        ++k;
    const double o0 = b.stops[k - 1].offset, o1 = b.stops[k].offset;
    const double f = o1 > o0 ? std::clamp((t - o0) / (o1 - o0), 0.0, 1.0) : (t < o1 ? 0.0 : 1.0);
    const Premultiplied &c0 = stops[k - 1], &c1 = stops[k];
    const auto mix = [&](double x, double y) { return int(std::lround((x + (y - x) * f) * 255)); };
    return qRgba(mix(c0.r, c1.r), mix(c0.g, c1.g), mix(c0.b, c1.b), mix(c0.a, c1.a));
}

double extended(double t, Extend e)
{
    if (e == Extend::Pad)
        return std::clamp(t, 0.0, 1.0);
    if (e == Extend::Repeat)
        return t - std::floor(t);
    const double m = t - 2 * std::floor(t / 2); // reflect: 0..2, the second half backwards
    return m > 1 ? 2 - m : m;
}

} // namespace

ColourPicture::ColourPicture(int width, int rows, int left, int top, double scale)
{
    layers_.emplace_back(std::max(width, 0), std::max(rows, 0), QImage::Format_ARGB32_Premultiplied);
    layers_.front().fill(Qt::transparent);
    // Font units, y up, to pixels, y down.
    transforms_.push_back(QTransform(scale, 0, 0, -scale, -left, top));
}

void ColourPicture::pushClipGlyph(int, const Contours& outline)
{
    QPainterPath path = ContoursPath(outline);
    path.setFillRule(Qt::WindingFill); // glyph outlines fill by the non-zero rule
    clips_.push_back(transforms_.back().map(path));
}

void ColourPicture::pushClipRect(const ClipBox& box)
{
    QPainterPath path;
    path.addRect(QRectF(QPointF(box.xMin, box.yMin), QPointF(box.xMax, box.yMax)).normalized());
    clips_.push_back(transforms_.back().map(path));
}

void ColourPicture::pushTransform(const Affine& transform)
{
    transforms_.push_back(toQt(transform) * transforms_.back());
}

void ColourPicture::clipTo(QPainter& painter, std::size_t count) const
{
    for (std::size_t k = 0; k < count; ++k)
        painter.setClipPath(clips_[k], k == 0 ? Qt::ReplaceClip : Qt::IntersectClip);
}

QImage ColourPicture::sweepImage(const Brush& b) const
{
    QImage image(layers_.back().size(), QImage::Format_ARGB32_Premultiplied);
    bool invertible = false;
    const QTransform toFont = transforms_.back().inverted(&invertible);
    if (!invertible || b.stops.empty()) {
        image.fill(Qt::transparent);
        return image;
    }
    std::vector<Premultiplied> stops;
    for (const BrushStop& s : b.stops)
        stops.push_back(premultiplied(s.colour));
    const double span = b.endAngle - b.startAngle;
    // Only the pixels the fill can reach: those of the innermost clip's box.
    image.fill(Qt::transparent);
    const QRect area = reach();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPointF p = toFont.map(QPointF(x + 0.5, y + 0.5));
            double angle = std::atan2(p.y() - b.y0, p.x() - b.x0) * 180 / std::numbers::pi;
            if (angle < 0)
                angle += 360;
            const double t = span != 0 ? (angle - b.startAngle) / span : (angle < b.startAngle ? 0.0 : 1.0);
            line[x] = colourAt(b, stops, extended(t, b.extend));
        }
    }
    return image;
}

QRect ColourPicture::reach() const
{
    const QRect all = layers_.back().rect();
    return clips_.empty() ? all : clips_.back().boundingRect().toAlignedRect() & all;
}

bool ColourPicture::afford(const QRect& area)
{
    work_ += qint64(area.width()) * area.height();
    overWorked_ = overWorked_ || work_ > MaxPixelWork;
    return !overWorked_;
}

void ColourPicture::fill(const Brush& b)
{
    if (!afford(reach()))
        return;
    QBrush brush;
    if (b.kind == BrushKind::Solid) {
        brush = QBrush(toQt(b.colour));
    } else if (b.kind == BrushKind::Linear) {
        QLinearGradient g(b.x0, b.y0, b.x1, b.y1);
        setStops(g, b);
        brush = QBrush(g);
        brush.setTransform(transforms_.back());
    } else if (b.kind == BrushKind::Radial) {
        QRadialGradient g(QPointF(b.x1, b.y1), b.r1, QPointF(b.x0, b.y0), b.r0);
        setStops(g, b);
        brush = QBrush(g);
        brush.setTransform(transforms_.back());
    } else {
        brush = QBrush(sweepImage(b));
    }
    QPainter painter(&layers_.back());
    painter.setRenderHint(QPainter::Antialiasing);
    if (clips_.empty()) {
        painter.fillRect(layers_.back().rect(), brush);
        return;
    }
    clipTo(painter, clips_.size() - 1);
    painter.fillPath(clips_.back(), brush);
}

void ColourPicture::pushLayer()
{
    const QImage& base = layers_.front();
    if (flattened_ > 0 || qsizetype(layers_.size() + 1) * base.sizeInBytes() > MaxLayerBytes) {
        ++flattened_;
        wasFlattened_ = true;
        return;
    }
    layers_.emplace_back(base.size(), QImage::Format_ARGB32_Premultiplied);
    layers_.back().fill(Qt::transparent);
}

void ColourPicture::popLayer(CompositeMode mode)
{
    if (flattened_ > 0) {
        --flattened_;
        return;
    }
    const QImage source = std::move(layers_.back());
    layers_.pop_back();
    if (!afford(source.rect()))
        return;
    const bool hsl = mode >= CompositeMode::HslHue;
    const QImage blended = hsl ? BlendHsl(layers_.back(), source, mode) : QImage();
    QPainter painter(&layers_.back());
    painter.setRenderHint(QPainter::Antialiasing);
    clipTo(painter, clips_.size());
    if (hsl) {
        // The blend is the whole result inside the clips: drawn over what was there, not onto it.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, blended);
    } else {
        painter.setCompositionMode(qtMode(mode));
        painter.drawImage(0, 0, source);
    }
}

namespace {

ColourRendering renderColr(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph,
                           const PaintSettings& settings, int ppem)
{
    ColourRendering out;
    std::optional<ClipBox> box = glyph.clip;
    if (!box) {
        PaintBounds bounds;
        PaintColourGlyph(font, tables, glyph, settings, bounds);
        box = bounds.painted();
    }
    const double scale = font.HeadTable.usableUnitsPerEm() ? double(ppem) / font.HeadTable.UnitsPerEm : 0;
    if (!box || scale == 0 || !(box->xMax > box->xMin && box->yMax > box->yMin))
        return out;
    const auto pixel = [&](double v, bool up) {
        const double p = up ? std::ceil(v * scale) : std::floor(v * scale);
        return int(std::clamp(p, double(-MaxPictureReach), double(MaxPictureReach)));
    };
    out.left = pixel(box->xMin, false);
    out.top = pixel(box->yMax, true);
    const int right = pixel(box->xMax, true), bottom = pixel(box->yMin, false);
    if (right <= out.left || out.top <= bottom) // all of it past the reach
        return out;
    if (std::max(std::fabs(box->xMin), std::fabs(box->xMax)) * scale > MaxPictureReach
        || std::max(std::fabs(box->yMin), std::fabs(box->yMax)) * scale > MaxPictureReach)
        out.messages.push_back("the picture is cut at " + std::to_string(MaxPictureReach)
                               + " pixels from the glyph origin");
    ColourPicture picture(right - out.left, out.top - bottom, out.left, out.top, scale);
    PaintColourGlyph(font, tables, glyph, settings, picture);
    if (picture.overWorked())
        out.messages.push_back("the glyph fills more than " + std::to_string(ColourPicture::MaxPixelWork / 1'000'000)
                               + " million pixels; the fills past them are left out");
    if (picture.flattened())
        out.messages.push_back("composite layers nested past " + std::to_string(ColourPicture::MaxLayerBytes >> 20)
                               + " MB of pixels are painted without their own layer");
    out.image = picture.image();
    return out;
}

ColourRendering renderSvg(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph, int ppem)
{
    const SvgGlyphDocument document = FindSvgDocument(tables.svgTable, *tables.svg, glyph.glyph);
    const SvgText text = SvgDocumentText(document.bytes, document.gzipped);
    if (!text.problem.empty())
        return {{}, 0, 0, {text.problem}};
    const bool onlyGlyph = document.record.firstGlyph == document.record.lastGlyph;
    return RenderSvgGlyph(text.text, glyph.glyph, font.HeadTable.UnitsPerEm, ppem, onlyGlyph);
}

} // namespace

ColourRendering RenderColourGlyph(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph,
                                  const PaintSettings& settings, int ppem, QSize fit)
{
    switch (glyph.format) {
    case ColourFormat::Svg: return renderSvg(font, tables, glyph, ppem);
    case ColourFormat::Cbdt:
    case ColourFormat::Sbix: {
        // The strike for the size drawn: the one described when it was chosen for that size.
        const Rgba f = settings.foreground;
        const QColor foreground(f.r, f.g, f.b, f.a);
        if (glyph.strike && glyph.strikePpem == ppem)
            return RenderStrikeGlyph(*glyph.strike, ppem, foreground, fit);
        return RenderStrikeGlyph(FindColourStrike(tables, glyph.format, glyph.glyph, ppem), ppem, foreground, fit);
    }
    default: return renderColr(font, tables, glyph, settings, ppem);
    }
}
