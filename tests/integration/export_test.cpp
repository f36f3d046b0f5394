// Saving the picture: the format a typed name and a filter choose, and what
// each format holds of a glyph drawn from a built font.
#include <cmath>
#include <cstdlib>
#include <map>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include "draw/view.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"
#include "support/font_loading.h"
#include "support/gui_app.h"

namespace {

TEST(PictureFormat, FollowsAKnownExtensionElseTheFilter)
{
    const struct {
        const char* typed;
        int filter; // 1 JPEG, 2 PNG, 3 SVG
        const char* saved;
        PictureFormat format;
    } cases[] = {
        {"a.png", 1, "a.png", PictureFormat::Png},
        {"a.PNG", 3, "a.PNG", PictureFormat::Png},
        {"a.svg", 2, "a.svg", PictureFormat::Svg},
        {"a.jpeg", 3, "a.jpeg", PictureFormat::Jpeg},
        {"a.Jpg", 2, "a.Jpg", PictureFormat::Jpeg},
        {"a", 1, "a.jpg", PictureFormat::Jpeg},
        {"a", 2, "a.png", PictureFormat::Png},
        {"a", 3, "a.svg", PictureFormat::Svg},
        {"a.txt", 2, "a.txt", PictureFormat::Png},        // an extension of its own stays
        {"my.pictures/a", 3, "my.pictures/a.svg", PictureFormat::Svg}, // a dot in the folder is no extension
        {"a", 7, "a.jpg", PictureFormat::Jpeg},
    };
    for (const auto& c : cases) {
        const PictureTarget target = chooseTarget(c.typed, c.filter);
        EXPECT_EQ(target.fileName, c.saved) << c.typed << " " << c.filter;
        EXPECT_EQ(target.format, c.format) << c.typed << " " << c.filter;
    }
    EXPECT_EQ(formatFromName("svg"), PictureFormat::Svg);
    EXPECT_EQ(formatFromName("jpeg"), PictureFormat::Jpeg);
    EXPECT_FALSE(formatFromName("PNG").has_value());
    EXPECT_FALSE(formatFromName("gif").has_value());
}

// Glyph 0, a square from (0, 0) to (1000, 1000) whose contour starts at its
// lower-left corner, drawn at scale 1 with offset 1 (a margin of 100): the
// picture spans -100..1100 font units on both axes.
class SquareGlyph {
public:
    explicit SquareGlyph(qreal ratio) : picture(ratio)
    {
        ttf::FontSpec design;
        design.glyphs = {ttf::squareGlyph(0, 0, 1000, 1000)};
        EXPECT_EQ(loadFontBytes(font, sink, ttf::buildFont(design)), LoadResult::Loaded);
        ViewState view;
        view.ViewScale = 1;
        view.ViewMargin = 100;
        readout = ShowGlyph(0, font, view, picture, sink);
    }
    // The pixel a point of the glyph lies in.
    static QPoint pixelOf(int x, int y)
    {
        constexpr double perUnit = 353.0 / 1200.0;
        return {int(std::floor((x + 100) * perUnit)), int(std::floor((1100 - y) * perUnit))};
    }
    // The pixel on the start circle's leftmost point, where no line runs.
    static QPoint circleLeft() { return pixelOf(-16, 0); }

    const bool guiReady = (ensureGuiApplication(), true); // before the picture takes the palette's colours
    FontState font;
    RecordingSink sink;
    PictureSurface picture;
    GlyphReadout readout;
};

// Edge midpoints are black, the middle is the background.
void expectSquareDrawn(const QImage& image)
{
    ASSERT_EQ(image.size(), QSize(353, 353));
    for (const QPoint p : {SquareGlyph::pixelOf(0, 500), SquareGlyph::pixelOf(500, 1000),
                           SquareGlyph::pixelOf(1000, 500), SquareGlyph::pixelOf(500, 0)})
        EXPECT_EQ(QColor(image.pixel(p)), QColor(Qt::black)) << p.x() << "," << p.y();
    EXPECT_EQ(QColor(image.pixel(176, 176)), QColor(Qt::white));
}

// The reddest pixel around p, as its distance from pure red on the worst channel.
int redness(const QImage& image, QPoint p)
{
    int best = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QRgb c = image.pixel(p + QPoint(dx, dy));
            best = std::min(best, std::max({255 - qRed(c), qGreen(c), qBlue(c)}));
        }
    return best;
}

TEST(PictureExport, PngIsThePictureAt353PixelsWhateverTheScreensScale)
{
    QTemporaryDir dir;
    const SquareGlyph sharp(2), plain(1);
    ASSERT_EQ(sharp.picture.image().size(), QSize(706, 706)); // drawn sharp on a scale-2 screen
    const QString out = dir.filePath("square.png");
    ASSERT_EQ(savePicture(sharp.picture, PictureFormat::Png, out.toStdString()), "");

    const QImage saved(out, "PNG");
    expectSquareDrawn(saved);
    EXPECT_EQ(redness(saved, SquareGlyph::circleLeft()), 0);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), plain.picture.image()) << "what a scale-1 screen shows";
}

TEST(PictureExport, JpegKeepsTheRedOfTheStartMarks)
{
    QTemporaryDir dir;
    const SquareGlyph square(1);
    const QString out = dir.filePath("square.jpg");
    ASSERT_EQ(savePicture(square.picture, PictureFormat::Jpeg, out.toStdString()), "");
    const QImage saved(out, "JPEG");
    ASSERT_EQ(saved.size(), QSize(353, 353));
    EXPECT_LE(redness(saved, SquareGlyph::circleLeft()), 40);
}

// Per stroke colour, how many lines, circles and texts the SVG holds.
std::map<std::string, int> svgMarks(const QByteArray& svg)
{
    std::map<std::string, int> marks;
    QXmlStreamReader xml(svg);
    QString stroke;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = xml.name().toString();
        if (element == QLatin1String("g"))
            stroke = xml.attributes().value("stroke").toString();
        else if (element == QLatin1String("polyline") || element == QLatin1String("circle"))
            ++marks[(element + " " + stroke).toStdString()];
        else if (element == QLatin1String("text")) {
            const QString fill = xml.attributes().value("fill").toString();
            ++marks[("text " + fill + " " + xml.readElementText()).toStdString()];
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return marks;
}

TEST(PictureExport, SvgHoldsEveryMarkAsVectorsOnA353UnitPage)
{
    QTemporaryDir dir;
    const SquareGlyph square(2);
    const QString out = dir.filePath("square.svg");
    ASSERT_EQ(savePicture(square.picture, PictureFormat::Svg, out.toStdString()), "");

    QSvgRenderer renderer(out);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 353, 353));
    QImage drawn(353, 353, QImage::Format_RGB32);
    drawn.fill(Qt::gray);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    expectSquareDrawn(drawn);
    EXPECT_LE(redness(drawn, SquareGlyph::circleLeft()), 120) << "a smoothed one-pixel circle";

    // Four edges, each as control polygon and as curve; one start circle and its number.
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::map<std::string, int> expected = {
        {"polyline #c0c0c0", 4}, {"polyline #000000", 4}, {"circle #ff0000", 1}, {"text #0000c0 1", 1}};
    EXPECT_EQ(svgMarks(file.readAll()), expected);
}

} // namespace
