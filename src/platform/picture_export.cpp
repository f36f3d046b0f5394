#include "platform/picture_export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

#include <FreeImage.h>
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include "draw/view.h"

#include "platform/picture_surface.h"

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
struct MemoryDeleter {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

struct FilterChoice {
    PictureFormat format;
    int size;
};
constexpr FilterChoice FilterChoices[] = {
    {PictureFormat::Jpeg, 353}, {PictureFormat::Png, 353},  {PictureFormat::Svg, 353},
    {PictureFormat::Jpeg, AsShown}, {PictureFormat::Jpeg, 1024}, {PictureFormat::Jpeg, 2048},
    {PictureFormat::Png, AsShown},  {PictureFormat::Png, 1024},  {PictureFormat::Png, 2048},
};

FilterChoice filterChoice(int FilterIndex)
{
    if (FilterIndex < 1 || FilterIndex > int(std::size(FilterChoices)))
        return FilterChoices[0];
    return FilterChoices[FilterIndex - 1];
}

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

QString number(double v)
{
    return QString::number(v, 'g', 8);
}

QString colourName(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

const QColor PolygonColour(LightGrey.r, LightGrey.g, LightGrey.b);
const QColor OutlineColour(Black.r, Black.g, Black.b);

// The control polygon's lines (grey), or the other lines but the outline's
// steps (the metrics lines, the points' marks), as one group, at the centres
// of the pixels the picture lights.
void writeLines(QXmlStreamWriter& svg, const PictureSurface& picture, bool polygon)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", polygon ? "control-polygon" : "lines");
    if (polygon)
        svg.writeAttribute("stroke", colourName(PolygonColour));
    svg.writeAttribute("stroke-width", "1");
    svg.writeAttribute("fill", "none");
    for (const PictureSurface::Mark& mark : picture.marks()) {
        const auto* line = std::get_if<PictureSurface::LineMark>(&mark);
        if (!line || line->colour == OutlineColour || (line->colour == PolygonColour) != polygon)
            continue;
        auto centre = [](double v) { return number(std::floor(v) + 0.5); };
        svg.writeEmptyElement("line");
        svg.writeAttribute("x1", centre(line->from.x()));
        svg.writeAttribute("y1", centre(line->from.y()));
        svg.writeAttribute("x2", centre(line->to.x()));
        svg.writeAttribute("y2", centre(line->to.y()));
        if (!polygon)
            svg.writeAttribute("stroke", colourName(line->colour));
    }
    svg.writeEndElement();
}

void writeOutline(QXmlStreamWriter& svg, const SaveOptions& options)
{
    const QTransform& t = options.fontToPicture;
    svg.writeStartElement("g");
    svg.writeAttribute("id", "outline");
    svg.writeAttribute("transform", QStringLiteral("matrix(%1 0 0 %2 %3 %4)")
                                        .arg(number(t.m11()), number(t.m22()), number(t.dx()), number(t.dy())));
    svg.writeAttribute("stroke", colourName(OutlineColour));
    svg.writeAttribute("stroke-width", number(1 / std::max(1e-9, std::fabs(t.m11()))));
    svg.writeAttribute("fill", "none");
    if (options.glyph)
        for (const std::string& d : contourPaths(*options.glyph)) {
            svg.writeEmptyElement("path");
            svg.writeAttribute("d", QString::fromStdString(d));
        }
    svg.writeEndElement();
}

void writeMarks(QXmlStreamWriter& svg, const PictureSurface& picture)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", "marks");
    svg.writeAttribute("fill", "none");
    for (const PictureSurface::Mark& mark : picture.marks())
        if (const auto* circle = std::get_if<PictureSurface::CircleMark>(&mark)) {
            svg.writeEmptyElement("circle");
            svg.writeAttribute("cx", number(circle->centre.x() + 0.5));
            svg.writeAttribute("cy", number(circle->centre.y() + 0.5));
            svg.writeAttribute("r", number(circle->radius));
            svg.writeAttribute("stroke", colourName(circle->colour));
        }
    svg.writeEndElement();
}

void writeNumbers(QXmlStreamWriter& svg, const PictureSurface& picture)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", "numbers");
    for (const PictureSurface::Mark& mark : picture.marks())
        if (const auto* text = std::get_if<PictureSurface::TextMark>(&mark)) {
            svg.writeStartElement("text");
            svg.writeAttribute("x", number(text->baseline.x() + 0.5));
            svg.writeAttribute("y", number(text->baseline.y() + 0.5));
            svg.writeAttribute("font-family", text->font.family());
            svg.writeAttribute("font-size", QString::number(text->font.pixelSize()));
            svg.writeAttribute("fill", colourName(text->colour));
            svg.writeAttribute("xml:space", "preserve");
            svg.writeCharacters(text->text);
            svg.writeEndElement();
        }
    svg.writeEndElement();
}

// The picture as SVG, 353 x 353 user units shown at 96 dpi. Black lines are
// the outline's steps: the outline's paths stand in for them.
std::string saveSvg(const PictureSurface& picture, const SaveOptions& options, const std::string& fileName)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter svg(&buffer);
    svg.setAutoFormatting(true);
    svg.writeStartDocument();
    const QString side = QString::number(PictureSurface::PictureSize);
    svg.writeStartElement("svg");
    svg.writeDefaultNamespace("http://www.w3.org/2000/svg");
    svg.writeAttribute("version", "1.2");
    svg.writeAttribute("baseProfile", "tiny");
    svg.writeAttribute("width", side + "px");
    svg.writeAttribute("height", side + "px");
    svg.writeAttribute("viewBox", "0 0 " + side + " " + side);
    svg.writeTextElement("title", QFileInfo(QString::fromStdString(fileName)).completeBaseName());
    svg.writeEmptyElement("rect");
    svg.writeAttribute("width", side);
    svg.writeAttribute("height", side);
    svg.writeAttribute("fill", colourName(picture.backColor()));
    svg.writeAttribute("stroke", "none");
    writeLines(svg, picture, true);
    writeLines(svg, picture, false);
    writeOutline(svg, options);
    writeMarks(svg, picture);
    writeNumbers(svg, picture);
    svg.writeEndElement();
    svg.writeEndDocument();
    return writeWhole(fileName, buffer.data().constData(), buffer.data().size());
}

QString point(int x, int y)
{
    return QString::number(x) + QLatin1Char(' ') + QString::number(y);
}

QString midpoint(const DrawnPoint& a, const DrawnPoint& b)
{
    return number((a.x + b.x) / 2.0) + QLatin1Char(' ') + number((a.y + b.y) / 2.0);
}

// The curve from the current point to `end` through the cubic control points
// gathered since the last on-curve point: "C" for two, "Q" for one, lines otherwise.
QString cubicTo(std::vector<const DrawnPoint*>& controls, const QString& end)
{
    QString d;
    if (controls.size() == 2)
        d = " C " + point(controls[0]->x, controls[0]->y) + " " + point(controls[1]->x, controls[1]->y) + " " + end;
    else if (controls.size() == 1)
        d = " Q " + point(controls[0]->x, controls[0]->y) + " " + end;
    else {
        for (const DrawnPoint* c : controls)
            d += " L " + point(c->x, c->y);
        d += " L " + end;
    }
    controls.clear();
    return d;
}

// One contour, points [first, last], from its first on-curve point round to
// it; with none, from the midpoint of its first two. Quadratic off-curve
// points imply the on-curve point halfway between two of them; cubic ones
// come in pairs between on-curve points.
std::string contourPath(const std::vector<DrawnPoint>& points, std::size_t first, std::size_t last)
{
    const std::size_t n = last - first + 1;
    std::size_t start = 0;
    while (start < n && points[first + start].kind != PointKind::OnCurve)
        ++start;
    const bool allOff = start == n;
    auto at = [&](std::size_t k) -> const DrawnPoint& { return points[first + k % n]; };
    const QString begin = allOff ? midpoint(at(0), at(1)) : point(at(start).x, at(start).y);
    QString d = "M " + begin;
    const DrawnPoint* pending = allOff ? &at(1) : nullptr;
    std::vector<const DrawnPoint*> cubic;
    for (std::size_t k = allOff ? 2 : start + 1; k <= (allOff ? n : start + n); ++k) {
        const DrawnPoint& p = at(k);
        if (p.kind == PointKind::CubicOff) {
            cubic.push_back(&p);
            continue;
        }
        if (p.kind == PointKind::OnCurve) {
            d += !cubic.empty() ? cubicTo(cubic, point(p.x, p.y))
                 : pending     ? " Q " + point(pending->x, pending->y) + " " + point(p.x, p.y)
                               : " L " + point(p.x, p.y);
            pending = nullptr;
            continue;
        }
        if (pending)
            d += " Q " + point(pending->x, pending->y) + " " + midpoint(*pending, p);
        pending = &p;
    }
    if (!cubic.empty())
        d += cubicTo(cubic, begin);
    if (pending)
        d += " Q " + point(pending->x, pending->y) + " " + begin;
    return (d + " Z").toStdString();
}

} // namespace

std::vector<std::string> contourPaths(const DrawnGlyph& glyph)
{
    std::vector<std::string> paths;
    const std::vector<DrawnPoint>& points = glyph.points;
    for (std::size_t first = 0; first < points.size();) {
        std::size_t last = first;
        while (last + 1 < points.size() && points[last + 1].contour == points[first].contour)
            ++last;
        paths.push_back(contourPath(points, first, last));
        first = last + 1;
    }
    return paths;
}

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
    return filterChoice(FilterIndex).format;
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
    const int size = filterChoice(FilterIndex).size;
    if (const std::optional<PictureFormat> named = formatFromExtension(typed))
        return {typed, *named, size};
    const PictureFormat format = formatFromFilter(FilterIndex);
    if (!QFileInfo(QString::fromStdString(typed)).suffix().isEmpty())
        return {typed, format, size};
    return {typed + "." + extensionOf(format), format, size};
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

std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName,
                        const SaveOptions& options)
{
    if (format == PictureFormat::Svg)
        return saveSvg(picture, options, fileName);
    const int side = std::clamp(options.size, MinPictureSize, MaxPictureSize);
    return saveImage(side == PictureSurface::PictureSize ? picture.exportImage() : picture.imageAt(side), format, fileName);
}
