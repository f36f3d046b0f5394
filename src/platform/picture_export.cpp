#include "platform/picture_export.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include <FreeImage.h>
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "platform/picture_surface.h"

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
struct MemoryDeleter {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

constexpr PictureFormat FilterFormats[] = {PictureFormat::Jpeg, PictureFormat::Png, PictureFormat::Svg};

std::string failure(const std::string& fileName, const QString& reason)
{
    return "The picture could not be saved as " + fileName + ": " + reason.toStdString();
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// QSaveFile writes beside the target and renames only a complete file over
// it; on any failure it removes its own temporary file.
std::string writeWhole(const std::string& fileName, const char* data, qint64 size)
{
    if (fileName.empty())
        return failure(fileName, QStringLiteral("no file name"));
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return failure(fileName, file.errorString());
    if (file.write(data, size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(fileName, reason);
    }
    if (!file.commit())
        return failure(fileName, file.errorString());
    return {};
}

// PNG goes through FreeImage like JPEG rather than through Qt's writer: both
// raster formats then share one conversion, one encoder library and one
// error path, and differ only in the format and its flags.
std::string saveRaster(const QImage& image, FREE_IMAGE_FORMAT format, int flags, const std::string& fileName)
{
    // FreeImage keeps 24-bit pixels as blue, green, red on this byte order.
    QImage pixels = image.convertToFormat(QImage::Format_BGR888);
    std::unique_ptr<FIBITMAP, BitmapDeleter> dib(FreeImage_ConvertFromRawBits(
        pixels.bits(), pixels.width(), pixels.height(), int(pixels.bytesPerLine()), 24,
        FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
    if (!dib)
        return failure(fileName, QStringLiteral("out of memory"));
    constexpr unsigned DotsPerMeterAt96Dpi = 3780; // viewers show the picture at its size on screen
    FreeImage_SetDotsPerMeterX(dib.get(), DotsPerMeterAt96Dpi);
    FreeImage_SetDotsPerMeterY(dib.get(), DotsPerMeterAt96Dpi);

    std::unique_ptr<FIMEMORY, MemoryDeleter> memory(FreeImage_OpenMemory());
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!memory || !FreeImage_SaveToMemory(format, dib.get(), memory.get(), flags)
        || !FreeImage_AcquireMemory(memory.get(), &data, &size))
        return failure(fileName, QStringLiteral("the picture encoder failed"));
    return writeWhole(fileName, reinterpret_cast<const char*>(data), qint64(size));
}

// The picture's marks as SVG vectors, 353 x 353 user units shown at 96 dpi.
std::string saveSvg(const PictureSurface& picture, const std::string& fileName)
{
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(QSize(PictureSurface::PictureSize, PictureSurface::PictureSize));
    generator.setViewBox(QRect(0, 0, PictureSurface::PictureSize, PictureSurface::PictureSize));
    generator.setResolution(96);
    generator.setTitle(QFileInfo(QString::fromStdString(fileName)).completeBaseName());
    QPainter painter;
    if (!painter.begin(&generator))
        return failure(fileName, QStringLiteral("the SVG writer failed"));
    picture.paintPicture(painter, 1, true);
    painter.end();
    return writeWhole(fileName, svg.data().constData(), svg.data().size());
}

} // namespace

std::optional<PictureFormat> formatFromExtension(const std::string& fileName)
{
    const std::string suffix = lowerCase(QFileInfo(QString::fromStdString(fileName)).suffix().toStdString());
    if (suffix == "jpg" || suffix == "jpeg")
        return PictureFormat::Jpeg;
    if (suffix == "png")
        return PictureFormat::Png;
    if (suffix == "svg")
        return PictureFormat::Svg;
    return std::nullopt;
}

std::optional<PictureFormat> formatFromName(const std::string& name)
{
    if (name == "jpeg")
        return PictureFormat::Jpeg;
    if (name == "png")
        return PictureFormat::Png;
    if (name == "svg")
        return PictureFormat::Svg;
    return std::nullopt;
}

PictureFormat formatFromFilter(int FilterIndex)
{
    if (FilterIndex < 1 || FilterIndex > int(std::size(FilterFormats)))
        return PictureFormat::Jpeg;
    return FilterFormats[FilterIndex - 1];
}

const char* extensionOf(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png:
        return "png";
    case PictureFormat::Svg:
        return "svg";
    case PictureFormat::Jpeg:
        break;
    }
    return "jpg";
}

PictureTarget chooseTarget(const std::string& typed, int FilterIndex)
{
    if (const std::optional<PictureFormat> named = formatFromExtension(typed))
        return {typed, *named};
    const PictureFormat format = formatFromFilter(FilterIndex);
    if (!QFileInfo(QString::fromStdString(typed)).suffix().isEmpty())
        return {typed, format};
    return {typed + "." + extensionOf(format), format};
}

std::string saveImage(const QImage& image, PictureFormat format, const std::string& fileName)
{
    if (image.isNull())
        return failure(fileName, QStringLiteral("there is no picture"));
    switch (format) {
    case PictureFormat::Jpeg:
        // 4:4:4 keeps the colour of one-pixel lines: the default 4:2:0 halves
        // the colour resolution and turns the red start marks dull.
        return saveRaster(image, FIF_JPEG, JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444, fileName);
    case PictureFormat::Png:
        return saveRaster(image, FIF_PNG, PNG_DEFAULT, fileName);
    case PictureFormat::Svg:
        break;
    }
    return failure(fileName, QStringLiteral("a pixel image cannot be saved as SVG"));
}

std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName)
{
    if (format == PictureFormat::Svg)
        return saveSvg(picture, fileName);
    return saveImage(picture.exportImage(), format, fileName);
}
