#include "platform/jpeg_export.h"

#include <memory>

#include <FreeImage.h>
#include <QImage>
#include <QSaveFile>

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
struct MemoryDeleter {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

std::string failure(const std::string& fileName, const QString& reason)
{
    return "The picture could not be saved as " + fileName + ": " + reason.toStdString();
}

} // namespace

std::string saveJpeg(const QImage& image, const std::string& fileName)
{
    if (fileName.empty())
        return failure(fileName, QStringLiteral("no file name"));
    if (image.isNull())
        return failure(fileName, QStringLiteral("there is no picture"));

    // FreeImage keeps 24-bit pixels as blue, green, red on this byte order.
    QImage pixels = image.convertToFormat(QImage::Format_BGR888);
    std::unique_ptr<FIBITMAP, BitmapDeleter> dib(FreeImage_ConvertFromRawBits(
        pixels.bits(), pixels.width(), pixels.height(), int(pixels.bytesPerLine()), 24,
        FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
    if (!dib)
        return failure(fileName, QStringLiteral("out of memory"));

    std::unique_ptr<FIMEMORY, MemoryDeleter> memory(FreeImage_OpenMemory());
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!memory || !FreeImage_SaveToMemory(FIF_JPEG, dib.get(), memory.get(), JPEG_QUALITYSUPERB)
        || !FreeImage_AcquireMemory(memory.get(), &data, &size))
        return failure(fileName, QStringLiteral("the JPEG encoder failed"));

    // QSaveFile writes beside the target and renames only a complete file
    // over it; on any failure it removes its own temporary file.
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return failure(fileName, file.errorString());
    if (file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(fileName, reason);
    }
    if (!file.commit())
        return failure(fileName, file.errorString());
    return {};
}
