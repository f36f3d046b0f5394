#include "platform/colour_images.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QBuffer>
#include <QImageReader>
#include <QXmlStreamReader>
#include <cairo.h>
#include <zlib.h>
// Qt's `signals` keyword would rewrite GLib's field of that name.
#pragma push_macro("signals")
#undef signals
#include <librsvg/rsvg.h>
#pragma pop_macro("signals")

#include "platform/png_image.h"

namespace {

ColourRendering refused(std::string problem)
{
    ColourRendering out;
    out.messages.push_back(std::move(problem));
    return out;
}

// Qt's name of the image formats sbix and CBDT store besides PNG; empty for those not drawn.
QByteArray qtFormat(const std::string& imageFormat)
{
    if (imageFormat == "jpg")
        return "jpeg";
    return {};
}

// The grey values as coverage of the foreground colour.
QImage coverageImage(const StrikeGlyph& glyph, QColor foreground)
{
    QImage image(glyph.width, glyph.height, QImage::Format_ARGB32);
    for (int y = 0; y < glyph.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < glyph.width; ++x) {
            const int v = glyph.values[std::size_t(y) * std::size_t(glyph.width) + std::size_t(x)];
            row[x] = qRgba(foreground.red(), foreground.green(), foreground.blue(), v * foreground.alpha() / 255);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Half the size, each pixel the mean of a 2 x 2 block of premultiplied
// pixels (an odd last row or column taken twice): two lanes of a QRgb added
// at once. Before a smooth scaling by a half or less, it does most of the
// averaging for a quarter of the work.
QRgb mean4(QRgb p, QRgb q, QRgb r, QRgb s)
{
    constexpr std::uint32_t Lanes = 0x00FF00FF, Half = 2 * 0x00010001; // rounded to the nearest
    const std::uint32_t rb = (p & Lanes) + (q & Lanes) + (r & Lanes) + (s & Lanes) + Half;
    const std::uint32_t ag = ((p >> 8) & Lanes) + ((q >> 8) & Lanes) + ((r >> 8) & Lanes) + ((s >> 8) & Lanes) + Half;
    return ((rb >> 2) & Lanes) | (((ag >> 2) & Lanes) << 8);
}

QImage halved(const QImage& image)
{
    const int width = image.width(), height = image.height();
    const int w = (width + 1) / 2, h = (height + 1) / 2;
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(image.constScanLine(2 * y));
        const auto* b = reinterpret_cast<const QRgb*>(image.constScanLine(std::min(2 * y + 1, height - 1)));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int x0 = 2 * x, x1 = x0 + 1 < width ? x0 + 1 : x0;
            row[x] = mean4(a[x0], a[x1], b[x0], b[x1]);
        }
    }
    return out;
}

} // namespace

ColourRendering DecodeStrikeImage(std::span<const std::uint8_t> bytes, const std::string& imageFormat,
                                int expectedWidth, int expectedHeight)
{
    if (imageFormat == "png") {
        PngImage png = DecodePng(bytes, MaxStrikeImageSide, expectedWidth, expectedHeight);
        return png.image.isNull() ? refused(png.problem) : ColourRendering{std::move(png.image), 0, 0, {}};
    }
    const QByteArray format = qtFormat(imageFormat);
    if (format.isEmpty())
        return refused("strike image type '" + imageFormat + "' is not drawn");
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // The header's size, before a pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid())
        return refused("strike image is not a readable " + imageFormat.substr(0, 3) + " image");
    if (size.width() > MaxStrikeImageSide || size.height() > MaxStrikeImageSide)
        return refused("strike image of " + std::to_string(size.width()) + " x " + std::to_string(size.height())
                       + " pixels is over the limit of " + std::to_string(MaxStrikeImageSide));
    if (expectedWidth > 0 && (size.width() != expectedWidth || size.height() != expectedHeight))
        return refused("strike image of " + std::to_string(size.width()) + " x " + std::to_string(size.height())
                       + " pixels differs from its metrics' " + std::to_string(expectedWidth) + " x "
                       + std::to_string(expectedHeight));
    ColourRendering out;
    const QImage image = reader.read();
    if (image.isNull())
        return refused("strike image could not be decoded: " + reader.errorString().toStdString());
    out.image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

ColourRendering RenderStrikeGlyph(const StrikeGlyph& glyph, int ppem, QColor foreground, QSize fit)
{
    if (!glyph.found)
        return glyph.problem.empty() ? ColourRendering{} : refused(glyph.problem);
    if (glyph.strike.ppem <= 0)
        return refused("strike of ppem 0 cannot be scaled");
    ColourRendering out;
    const bool isBitmap = glyph.imageFormat == "bitmap";
    if (isBitmap) {
        if (glyph.width > 0 && glyph.height > 0)
            out.image = coverageImage(glyph, foreground);
    } else {
        out = DecodeStrikeImage(glyph.data, glyph.imageFormat, glyph.width, glyph.height);
        if (out.image.isNull())
            return out;
    }
    // CBDT places the top-left corner by its bearings; sbix the bottom-left by its origin offset.
    const int height = out.image.height();
    const int left = glyph.originX;
    const int top = glyph.cbdtFormat != 0 ? glyph.originY : glyph.originY + height;
    double scale = double(ppem) / glyph.strike.ppem;
    if (fit.isValid() && !out.image.isNull())
        scale = std::min({scale, double(fit.width()) / out.image.width(), double(fit.height()) / height});
    // A small strike drawn at a large size: 255 pixels at 8 ppem would be a gigabyte at 512.
    if (const int side = std::max(out.image.width(), height); side > 0 && side * scale > MaxColourPictureSide) {
        scale = double(MaxColourPictureSide) / side;
        out.messages.push_back("the strike image is drawn at " + std::to_string(MaxColourPictureSide)
                               + " pixels a side, short of its size at " + std::to_string(ppem) + " ppem");
    }
    if (scale == 1 || out.image.isNull()) {
        out.left = left, out.top = top;
        return out;
    }
    out.left = int(std::lround(left * scale));
    out.top = int(std::lround(top * scale));
    const int w = std::max(1, int(std::lround(out.image.width() * scale)));
    const int h = std::max(1, int(std::lround(height * scale)));
    while (out.image.width() >= 2 * w && out.image.height() >= 2 * h)
        out.image = halved(out.image);
    out.image = out.image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

SvgText SvgDocumentText(std::span<const std::uint8_t> stored, bool gzipped)
{
    SvgText out;
    if (!gzipped) {
        out.text = QByteArray(reinterpret_cast<const char*>(stored.data()), qsizetype(stored.size()));
        return out;
    }
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) { // 16: a gzip header, not zlib's
        out.problem = "zlib could not be started";
        return out;
    }
    z.next_in = const_cast<Bytef*>(stored.data());
    z.avail_in = uInt(std::min<std::size_t>(stored.size(), UINT32_MAX));
    // Grown a chunk at a time, so a bomb stops at the cap rather than at the memory's end.
    constexpr qsizetype Chunk = 256 * 1024;
    // Z_BUF_ERROR ends it too: the stream ends before its end marker.
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.text.size() >= MaxSvgDocumentBytes) {
            out.problem = "gzipped SVG document inflates past the limit of "
                        + std::to_string(MaxSvgDocumentBytes / (1024 * 1024)) + " MB";
            break;
        }
        const qsizetype had = out.text.size();
        out.text.resize(had + Chunk);
        z.next_out = reinterpret_cast<Bytef*>(out.text.data() + had);
        z.avail_out = uInt(Chunk);
        status = inflate(&z, Z_NO_FLUSH);
        out.text.resize(had + Chunk - qsizetype(z.avail_out));
    }
    inflateEnd(&z);
    if (out.problem.empty() && status != Z_STREAM_END)
        out.problem = "gzipped SVG document is damaged";
    if (!out.problem.empty())
        out.text.clear();
    return out;
}

namespace {

// librsvg's handle, cairo's context and surface, each freed with its own call.
struct RsvgFree {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
    void operator()(cairo_t* c) const { cairo_destroy(c); }
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
template <class T>
using RsvgOwned = std::unique_ptr<T, RsvgFree>;

std::string errorText(GError* error)
{
    const std::string text = error ? error->message : "no reason given";
    g_clear_error(&error);
    return text;
}

// Made without a base file, librsvg loads nothing from outside the document.
RsvgOwned<RsvgHandle> readSvg(const QByteArray& text, GError** error)
{
    return RsvgOwned<RsvgHandle>(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(text.constData()), gsize(text.size()), error));
}

// The document with `box` as its root's viewBox; empty when no root element
// is found. librsvg draws a group with opacity, a mask or a filter into a
// layer the size of the viewport, and without a viewBox the viewport starts
// at the document's origin: a glyph above the baseline (y < 0) would lose
// those groups. A viewBox equal to the viewport changes no coordinate.
QByteArray withViewBox(const QByteArray& document, const RsvgRectangle& box)
{
    QXmlStreamReader xml(document);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {}
    if (!xml.isStartElement())
        return {};
    // Offsets count characters: the root's start tag ends at `end` in the decoded text.
    QString text = QString::fromUtf8(document);
    qsizetype end = qsizetype(xml.characterOffset()) - 1;
    if (end <= 0 || end >= text.size() || text[end] != u'>')
        return {};
    if (text[end - 1] == u'/')
        --end;
    const auto n = [](double v) { return QString::number(v, 'g', 17); };
    text.insert(end, QStringLiteral(" viewBox=\"%1 %2 %3 %4\"").arg(n(box.x), n(box.y), n(box.width), n(box.height)));
    return text.toUtf8();
}

// The document's handle and viewport to draw `box` (font units) with: the
// document given `box` as its viewBox when it has none, else as it is over
// the em square.
struct SvgDrawing {
    RsvgOwned<RsvgHandle> handle;
    RsvgRectangle viewport;
};
SvgDrawing drawingFor(const QByteArray& document, RsvgOwned<RsvgHandle> handle, const RsvgRectangle& em,
                      const RsvgRectangle& box)
{
    gboolean hasWidth = false, hasHeight = false, hasViewBox = false;
    RsvgLength width{}, height{};
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle.get(), &hasWidth, &width, &hasHeight, &height, &hasViewBox, &viewBox);
    if (hasViewBox)
        return {std::move(handle), em};
    const QByteArray boxed = withViewBox(document, box);
    RsvgOwned<RsvgHandle> reread = boxed.isEmpty() ? nullptr : readSvg(boxed, nullptr);
    if (!reread)
        return {std::move(handle), em};
    return {std::move(reread), box};
}

} // namespace

// The overview draws SVG glyphs on worker threads: each call has its own
// librsvg handles and cairo surface, and librsvg keeps no state between
// handles, so calls run side by side without a lock.
ColourRendering RenderSvgGlyph(const QByteArray& document, int glyph, int unitsPerEm, int ppem, bool onlyGlyph)
{
    if (unitsPerEm <= 0)
        return refused("unitsPerEm 0: the SVG glyph cannot be scaled");
    GError* error = nullptr;
    RsvgOwned<RsvgHandle> handle = readSvg(document, &error);
    if (!handle)
        return refused("SVG document could not be read: " + errorText(error));
    const std::string id = "#glyph" + std::to_string(glyph);
    const bool hasElement = rsvg_handle_has_sub(handle.get(), id.c_str());
    // A document made for one glyph may leave its id out: it is drawn whole.
    if (!hasElement && !onlyGlyph)
        return refused("SVG document has no element \"glyph" + std::to_string(glyph) + "\"");
    const char* element = hasElement ? id.c_str() : nullptr;
    // The em square as viewport: the document's units are font units, y
    // down, its origin the glyph's; a root viewBox maps onto the em.
    const RsvgRectangle em{0, 0, double(unitsPerEm), double(unitsPerEm)};
    RsvgRectangle ink{}, logical{};
    if (!rsvg_handle_get_geometry_for_layer(handle.get(), element, &em, &ink, &logical, &error))
        return refused("SVG glyph could not be measured: " + errorText(error));
    ColourRendering out;
    if (!(ink.width > 0 && ink.height > 0))
        return out;
    const double scale = double(ppem) / unitsPerEm;
    const double x0 = std::floor(ink.x * scale), y0 = std::floor(ink.y * scale);
    const double x1 = std::ceil((ink.x + ink.width) * scale), y1 = std::ceil((ink.y + ink.height) * scale);
    // Written so that a NaN or an edge far out is refused too.
    const double side = MaxColourPictureSide;
    if (!(x1 - x0 <= side && y1 - y0 <= side && std::fabs(x0) <= side && std::fabs(y0) <= side))
        return refused("SVG glyph's box is over the limit of " + std::to_string(MaxColourPictureSide)
                       + " pixels a side, or lies past it from the origin");
    const RsvgRectangle box{x0 / scale, y0 / scale, (x1 - x0) / scale, (y1 - y0) / scale};
    const SvgDrawing drawing = drawingFor(document, std::move(handle), em, box);
    out.left = int(x0);
    out.top = -int(y0);
    // cairo's ARGB32 is Qt's ARGB32_Premultiplied: cairo draws into the image's own pixels.
    out.image = QImage(int(x1 - x0), int(y1 - y0), QImage::Format_ARGB32_Premultiplied);
    out.image.fill(Qt::transparent);
    const RsvgOwned<cairo_surface_t> surface(cairo_image_surface_create_for_data(
        out.image.bits(), CAIRO_FORMAT_ARGB32, out.image.width(), out.image.height(), int(out.image.bytesPerLine())));
    const RsvgOwned<cairo_t> cr(cairo_create(surface.get()));
    cairo_translate(cr.get(), -x0, -y0);
    cairo_scale(cr.get(), scale, scale);
    if (!rsvg_handle_render_layer(drawing.handle.get(), cr.get(), element, &drawing.viewport, &error))
        return refused("SVG glyph could not be drawn: " + errorText(error));
    cairo_surface_flush(surface.get());
    return out;
}
