#include "platform/picture_export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

#include <FreeImage.h>
#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include "draw/view.h"
#include "outline/outline_walk.h"

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
    int shown = 0;
};
constexpr FilterChoice FilterChoices[] = {
    {PictureFormat::Jpeg, 353}, {PictureFormat::Png, 353},     {PictureFormat::Svg, 353},
    {PictureFormat::Jpeg, 353, 1}, {PictureFormat::Jpeg, 1024}, {PictureFormat::Jpeg, 2048},
    {PictureFormat::Png, 353, 1},  {PictureFormat::Png, 1024},  {PictureFormat::Png, 2048},
    {PictureFormat::Svg, 353, 1},  {PictureFormat::Png, 353, 2},
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

// The lines that are neither the outline's nor the control polygon's steps
// (the metrics lines, the points' marks), at the centres of the pixels the
// picture lights.
void writeLines(QXmlStreamWriter& svg, const PictureSurface& picture)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", "lines");
    svg.writeAttribute("stroke-width", "1");
    svg.writeAttribute("fill", "none");
    for (const PictureSurface::Mark& mark : picture.marks()) {
        const auto* line = std::get_if<PictureSurface::LineMark>(&mark);
        if (!line || line->colour == OutlineColour || line->colour == PolygonColour)
            continue;
        auto centre = [](double v) { return number(std::floor(v) + 0.5); };
        svg.writeEmptyElement("line");
        svg.writeAttribute("x1", centre(line->from.x()));
        svg.writeAttribute("y1", centre(line->from.y()));
        svg.writeAttribute("x2", centre(line->to.x()));
        svg.writeAttribute("y2", centre(line->to.y()));
        svg.writeAttribute("stroke", colourName(line->colour));
    }
    svg.writeEndElement();
}

void writePaths(QXmlStreamWriter& svg, const char* id, const QColor& colour, const std::vector<std::string>& paths)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", id);
    svg.writeAttribute("stroke", colourName(colour));
    for (const std::string& d : paths) {
        svg.writeEmptyElement("path");
        svg.writeAttribute("d", QString::fromStdString(d));
    }
    svg.writeEndElement();
}

// The control polygon and the outline in font units, under one transform
// into the page's units, with one scale for x and y when the view keeps true
// proportions; lines one page unit wide.
void writeGlyph(QXmlStreamWriter& svg, const Contours* outline, const QTransform& t)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", "glyph");
    svg.writeAttribute("transform", QStringLiteral("matrix(%1 0 0 %2 %3 %4)")
                                        .arg(number(t.m11()), number(t.m22()), number(t.dx()), number(t.dy())));
    svg.writeAttribute("stroke-width", number(1 / std::max(1e-9, std::fabs(t.m11()))));
    svg.writeAttribute("fill", "none");
    writePaths(svg, "control-polygon", PolygonColour, outline ? polygonPaths(*outline) : std::vector<std::string>());
    writePaths(svg, "outline", OutlineColour, outline ? contourPaths(*outline) : std::vector<std::string>());
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

// An SVG document of width x height user units shown at 96 dpi over a
// background: `body` writes what lies on it; saved whole under fileName.
template <class Body>
std::string saveSvgDocument(QSizeF page, const QColor& background, const std::string& fileName, Body body)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter svg(&buffer);
    svg.setAutoFormatting(true);
    svg.writeStartDocument();
    const QString width = number(page.width()), height = number(page.height());
    svg.writeStartElement("svg");
    svg.writeDefaultNamespace("http://www.w3.org/2000/svg");
    svg.writeAttribute("version", "1.2");
    svg.writeAttribute("baseProfile", "tiny");
    svg.writeAttribute("width", width + "px");
    svg.writeAttribute("height", height + "px");
    svg.writeAttribute("viewBox", "0 0 " + width + " " + height);
    svg.writeTextElement("title", QFileInfo(QString::fromStdString(fileName)).completeBaseName());
    svg.writeEmptyElement("rect");
    svg.writeAttribute("width", width);
    svg.writeAttribute("height", height);
    svg.writeAttribute("fill", colourName(background));
    svg.writeAttribute("stroke", "none");
    body(svg);
    svg.writeEndElement();
    svg.writeEndDocument();
    return writeWhole(fileName, buffer.data().constData(), buffer.data().size());
}

// The picture as SVG, 353 x 353 user units. Black lines are the outline's
// steps and grey ones the polygon's: the glyph's paths stand in for them.
std::string saveSvg(const PictureSurface& picture, const SaveOptions& options, const std::string& fileName)
{
    const QSizeF page(PictureSurface::PictureSize, PictureSurface::PictureSize);
    return saveSvgDocument(page, picture.backColor(), fileName, [&](QXmlStreamWriter& svg) {
        writeLines(svg, picture);
        writeGlyph(svg, options.glyph ? &options.glyph->outline : nullptr, options.fontToPicture);
        writeMarks(svg, picture);
        writeNumbers(svg, picture);
    });
}

// The start circles and contour numbers of a view, placed from their points.
void writeStartMarks(QXmlStreamWriter& svg, const ShownView& view)
{
    svg.writeStartElement("g");
    svg.writeAttribute("id", "marks");
    svg.writeAttribute("fill", "none");
    svg.writeAttribute("stroke", colourName(QColor(StartCircleRed.r, StartCircleRed.g, StartCircleRed.b)));
    std::vector<QPointF> starts;
    ForEachContour(*view.outline, [&](std::size_t, int first, int) {
        if (std::size_t(first) < view.outline->points.size()) {
            const OutlinePoint& p = view.outline->points[std::size_t(first)];
            starts.push_back(view.fontToView.map(QPointF(p.x, p.y)));
        }
    });
    for (const QPointF& at : starts) {
        svg.writeEmptyElement("circle");
        svg.writeAttribute("cx", number(at.x()));
        svg.writeAttribute("cy", number(at.y()));
        svg.writeAttribute("r", number(16 * view.markUnit));
    }
    svg.writeEndElement();
    const QFont font = PictureSurface::printFont("Small Fonts", 6);
    const double size = font.pixelSize() * view.markScale, ascent = QFontMetricsF(font).ascent() * view.markScale;
    svg.writeStartElement("g");
    svg.writeAttribute("id", "numbers");
    svg.writeAttribute("font-family", font.family());
    svg.writeAttribute("font-size", number(size));
    svg.writeAttribute("fill", colourName(QColor(ContourNumberBlue.r, ContourNumberBlue.g, ContourNumberBlue.b)));
    for (std::size_t k = 0; k < starts.size(); ++k) {
        svg.writeStartElement("text");
        svg.writeAttribute("x", number(starts[k].x() + 5 * view.markUnit));
        svg.writeAttribute("y", number(starts[k].y() + 5 * view.markUnit + ascent));
        svg.writeCharacters(QString::number(k + 1));
        svg.writeEndElement();
    }
    svg.writeEndElement();
}

// SVG path data, one string a contour.
class SvgPathSink : public PathSink {
public:
    std::vector<std::string> paths;
    void moveTo(PathPoint to) override { paths.push_back("M " + at(to)); }
    void lineTo(PathPoint to) override { paths.back() += " L " + at(to); }
    void quadTo(PathPoint c, PathPoint to) override { paths.back() += " Q " + at(c) + " " + at(to); }
    void cubicTo(PathPoint c1, PathPoint c2, PathPoint to) override
    {
        paths.back() += " C " + at(c1) + " " + at(c2) + " " + at(to);
    }
    void close() override { paths.back() += " Z"; }

private:
    // Points lie on whole or half units: written as such, without exponents.
    static std::string coordinate(double v)
    {
        QString text = QString::number(v, 'f', 1);
        if (text.endsWith(QLatin1String(".0")))
            text.chop(2);
        return text.toStdString();
    }
    static std::string at(PathPoint p) { return coordinate(p.x) + " " + coordinate(p.y); }
};

} // namespace

std::vector<std::string> contourPaths(const Contours& outline)
{
    SvgPathSink sink;
    WalkOutline(outline, sink);
    return sink.paths;
}

std::vector<std::string> polygonPaths(const Contours& outline)
{
    SvgPathSink sink;
    WalkPolygon(outline, sink);
    return sink.paths;
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
    const FilterChoice choice = filterChoice(FilterIndex);
    if (const std::optional<PictureFormat> named = formatFromExtension(typed))
        return {typed, *named, choice.size, choice.shown};
    if (!QFileInfo(QString::fromStdString(typed)).suffix().isEmpty())
        return {typed, choice.format, choice.size, choice.shown};
    return {typed + "." + extensionOf(choice.format), choice.format, choice.size, choice.shown};
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

std::string saveViewSvg(const ShownView& view, const std::string& fileName)
{
    return saveSvgDocument(view.size, view.background, fileName, [&](QXmlStreamWriter& svg) {
        writeGlyph(svg, view.outline, view.fontToView);
        if (view.outline && view.startMarks)
            writeStartMarks(svg, view);
    });
}

std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName,
                        const SaveOptions& options)
{
    if (format == PictureFormat::Svg)
        return saveSvg(picture, options, fileName);
    const int side = std::clamp(options.size, MinPictureSize, MaxPictureSize);
    return saveImage(side == PictureSurface::PictureSize ? picture.exportImage() : picture.imageAt(side), format, fileName);
}
