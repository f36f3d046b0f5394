#include "platform/colour_images.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <zlib.h>

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
            const int x0 = 2 * x, x1 = std::min(2 * x + 1, width - 1);
            const QRgb p[4] = {a[x0], a[x1], b[x0], b[x1]};
            std::uint32_t rb = 2 * 0x00010001, ag = 2 * 0x00010001; // rounded to the nearest
            for (const QRgb q : p) {
                rb += q & 0x00FF00FF;
                ag += (q >> 8) & 0x00FF00FF;
            }
            row[x] = ((rb >> 2) & 0x00FF00FF) | (((ag >> 2) & 0x00FF00FF) << 8);
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

ColourRendering RenderSvgGlyph(const QByteArray& document, int glyph, int unitsPerEm, int ppem)
{
    if (unitsPerEm <= 0)
        return refused("unitsPerEm 0: the SVG glyph cannot be scaled");
    QSvgRenderer renderer(document);
    if (!renderer.isValid())
        return refused("SVG document could not be read");
    const QString id = QStringLiteral("glyph%1").arg(glyph);
    if (!renderer.elementExists(id))
        return refused("SVG document has no element \"glyph" + std::to_string(glyph) + "\"");
    // The element's box in the document's units, which are font units, y down.
    const QRectF box = renderer.transformForElement(id).mapRect(renderer.boundsOnElement(id));
    const double scale = double(ppem) / unitsPerEm;
    ColourRendering out;
    if (box.isEmpty())
        return out;
    const double x0 = std::floor(box.left() * scale), y0 = std::floor(box.top() * scale);
    const double x1 = std::ceil(box.right() * scale), y1 = std::ceil(box.bottom() * scale);
    if (x1 - x0 > MaxColourPictureSide || y1 - y0 > MaxColourPictureSide)
        return refused("SVG glyph of " + std::to_string(int(x1 - x0)) + " x " + std::to_string(int(y1 - y0))
                       + " pixels is over the limit of " + std::to_string(MaxColourPictureSide));
    out.left = int(x0);
    out.top = -int(y0);
    out.image = QImage(int(x1 - x0), int(y1 - y0), QImage::Format_ARGB32_Premultiplied);
    out.image.fill(Qt::transparent);
    QPainter painter(&out.image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The element is drawn into its own box, mapped to pixels.
    renderer.render(&painter, id,
                    QRectF(box.left() * scale - x0, box.top() * scale - y0, box.width() * scale, box.height() * scale));
    return out;
}
