// Saving the picture: the format a typed name and a filter choose, and what
// each format holds of a glyph drawn from a built font.
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include "draw/view.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"
#include "support/command_output.h"
#include "support/font_file_loading.h"
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
        {"a", 99, "a.jpg", PictureFormat::Jpeg},
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

// Per group, how many of each element the SVG holds, and the outline's path data.
struct SvgContents {
    std::map<std::string, int> elements; // "group element", e.g. "outline path"
    std::vector<QString> paths; // the outline's
    QString glyphTransform;
};

SvgContents readSvg(const QByteArray& svg)
{
    SvgContents out;
    QXmlStreamReader xml(svg);
    QString group;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = xml.name().toString();
        if (element == QLatin1String("g")) {
            group = xml.attributes().value("id").toString();
            if (group == QLatin1String("glyph"))
                out.glyphTransform = xml.attributes().value("transform").toString();
            continue;
        }
        ++out.elements[(group + " " + element).toStdString()];
        if (element == QLatin1String("path") && group == QLatin1String("outline"))
            out.paths.push_back(xml.attributes().value("d").toString());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The SVG drawn by librsvg over grey, at its own size: 353 pixels a side.
QImage rasterise(const QString& svgFile)
{
    EXPECT_TRUE(fileBytes(svgFile).contains("viewBox=\"0 0 353 353\""));
    const QString png = svgFile + ".png";
    EXPECT_EQ(runCommand(shellQuoted(RSVG_CONVERT) + " -b '#a0a0a4' -o " + shellQuoted(png.toStdString()) + " "
                         + shellQuoted(svgFile.toStdString())).status, 0);
    const QImage drawn = QImage(png).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(drawn.size(), QSize(353, 353));
    return drawn;
}

SaveOptions optionsOf(const GlyphReadout& readout, const PictureSurface& picture, const ViewState& view)
{
    return {353, &readout.drawn, fontToPicture(picture, readout.work, view)};
}

TEST(PictureExport, SvgHoldsTheContourAsOnePathAndEveryMarkOnA353UnitPage)
{
    QTemporaryDir dir;
    const SquareGlyph square(2);
    const QString out = dir.filePath("square.svg");
    ViewState view;
    view.ViewScale = 1;
    ASSERT_EQ(savePicture(square.picture, PictureFormat::Svg, out.toStdString(), optionsOf(square.readout, square.picture, view)), "");

    const QImage drawn = rasterise(out);
    // The outline is a smoothed path through the glyph's own points.
    for (const QPoint p : {SquareGlyph::pixelOf(0, 500), SquareGlyph::pixelOf(500, 1000),
                           SquareGlyph::pixelOf(1000, 500), SquareGlyph::pixelOf(500, 0)})
        EXPECT_LT(qGray(drawn.pixel(p)), 128) << p.x() << "," << p.y();
    EXPECT_EQ(QColor(drawn.pixel(176, 176)), QColor(Qt::white));
    EXPECT_LE(redness(drawn, SquareGlyph::circleLeft()), 120) << "a smoothed one-pixel circle";

    // The control polygon and the one contour, one start circle and its number.
    const SvgContents svg = readSvg(fileBytes(out));
    const std::map<std::string, int> expected = {{" svg", 1}, {" title", 1}, {" rect", 1}, {"control-polygon path", 1},
                                                 {"outline path", 1}, {"marks circle", 1}, {"numbers text", 1}};
    EXPECT_EQ(svg.elements, expected);
    ASSERT_EQ(svg.paths.size(), 1u);
    EXPECT_EQ(svg.paths[0], "M 0 0 L 0 1000 L 1000 1000 L 1000 0 L 0 0 Z") << "font units, y up";
    // Both under one transform with one scale for x and y: 353 pixels for 1200 units.
    const double scale = 353.0 / 1200;
    EXPECT_EQ(svg.glyphTransform, QStringLiteral("matrix(%1 0 0 %2 %3 %4)")
                                      .arg(QString::number(scale, 'g', 8), QString::number(-scale, 'g', 8),
                                           QString::number(100 * scale, 'g', 8), QString::number(1100 * scale, 'g', 8)));
}

// The path data of hand-made contours, walked as FreeType walks them: a
// contour starts at its first point when on the curve, else at its last,
// else midway between the two. The golden paths of the outline walk.
TEST(PictureExport, ContourPathsFollowTheQuadraticRules)
{
    auto on = [](int x, int y) { return OutlinePoint{x, y, PointKind::OnCurve}; };
    auto off = [](int x, int y) { return OutlinePoint{x, y, PointKind::QuadraticOff}; };
    auto cubic = [](int x, int y) { return OutlinePoint{x, y, PointKind::CubicOff}; };
    const struct {
        const char* what;
        Contours outline;
        std::vector<std::string> paths;
    } cases[] = {
        {"lines only", {{2}, {on(0, 0), on(0, 10), on(10, 10)}}, {"M 0 0 L 0 10 L 10 10 L 0 0 Z"}},
        {"starts off the curve, at the last point", {{2}, {off(0, 0), on(10, 0), on(10, 10)}},
         {"M 10 10 Q 0 0 10 0 L 10 10 Z"}},
        {"two off-curve points imply the one between", {{3}, {on(0, 0), off(10, 0), off(20, 10), on(20, 20)}},
         {"M 0 0 Q 10 0 15 5 Q 20 10 20 20 L 0 0 Z"}},
        {"all off the curve: midway between the last and the first", {{3}, {off(0, 0), off(10, 0), off(10, 10), off(0, 10)}},
         {"M 0 5 Q 0 0 5 0 Q 10 0 10 5 Q 10 10 5 10 Q 0 10 0 5 Z"}},
        {"odd halves", {{2}, {off(0, 0), off(5, 0), on(5, 5)}}, {"M 5 5 Q 0 0 2.5 0 Q 5 0 5 5 Z"}},
        {"two contours", {{1, 3}, {on(0, 0), on(1, 1), on(5, 5), off(6, 6)}}, {"M 0 0 L 1 1 L 0 0 Z", "M 5 5 Q 6 6 5 5 Z"}},
        {"one point", {{0}, {on(3, 4)}}, {"M 3 4 L 3 4 Z"}},
        {"cubic", {{5}, {on(0, 0), cubic(0, 5), cubic(5, 10), on(10, 10), cubic(10, 5), cubic(5, 0)}},
         {"M 0 0 C 0 5 5 10 10 10 C 10 5 5 0 0 0 Z"}},
        {"cubic after a line", {{4}, {on(0, 0), on(0, 10), cubic(5, 10), cubic(10, 5), on(10, 0)}},
         {"M 0 0 L 0 10 C 5 10 10 5 10 0 L 0 0 Z"}},
        {"an end that goes back draws nothing but moves the next start", {{2, 0, 3}, {on(0, 0), on(1, 0), on(1, 1), on(9, 9)}},
         {"M 0 0 L 1 0 L 1 1 L 0 0 Z", "M 1 0 L 1 1 L 9 9 L 1 0 Z"}},
        {"an end past the points stops the walk", {{1, 7}, {on(0, 0), on(1, 1), on(2, 2)}}, {"M 0 0 L 1 1 L 0 0 Z"}},
        {"nothing", {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(contourPaths(c.outline), c.paths) << c.what;
        // The control polygon joins the same points in order.
        const std::vector<std::string> polygon = polygonPaths(c.outline);
        ASSERT_EQ(polygon.size(), c.paths.size()) << c.what;
    }
    EXPECT_EQ(polygonPaths({{2}, {off(0, 0), on(10, 0), on(10, 10)}}),
              std::vector<std::string>{"M 0 0 L 10 0 L 10 10 Z"});
}

// The bitmap format's size choice draws the picture at that size: the same
// pixels a screen of that many device pixels per picture pixel shows.
TEST(PictureExport, LargerPicturesAreDrawnAtTheirSizeNotScaledUp)
{
    QTemporaryDir dir;
    const SquareGlyph sharp(2), plain(1);
    const QString out = dir.filePath("square.png");
    ASSERT_EQ(savePicture(plain.picture, PictureFormat::Png, out.toStdString(), {706, nullptr, {}}), "");
    QImage screen = sharp.picture.image();
    screen.setDevicePixelRatio(1);
    const QImage saved = QImage(out, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(saved.size(), QSize(706, 706));
    EXPECT_EQ(saved, screen);
    const QImage scaledUp = plain.picture.image().scaled(706, 706);
    EXPECT_NE(saved, scaledUp);
    EXPECT_EQ(QImage(plain.picture.imageAt(16)).size(), QSize(16, 16));
}

// Each contour of real glyphs is one path of Q commands, and the SVG drawn
// again matches the PNG of the same glyph.
TEST(PictureExport, SvgOfDejaVuGlyphsMatchesTheirPng)
{
    ensureGuiApplication();
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontPath(font, sink, std::string(DEJAVU_DIR) + "/DejaVuSans.ttf"), LoadResult::Loaded);
    QTemporaryDir dir;
    const ViewState view;
    for (const int glyph : {50, 72, 82}) { // O, e, o: two contours each, all curves
        PictureSurface picture;
        const GlyphReadout readout = ShowGlyph(glyph, font, view, picture, sink);
        const QString svgFile = dir.filePath("g.svg"), pngFile = dir.filePath("g.png");
        ASSERT_EQ(savePicture(picture, PictureFormat::Svg, svgFile.toStdString(), optionsOf(readout, picture, view)), "");
        ASSERT_EQ(savePicture(picture, PictureFormat::Png, pngFile.toStdString()), "");
        const SvgContents svg = readSvg(fileBytes(svgFile));
        EXPECT_EQ(svg.elements.at("outline path"), 2) << glyph;
        for (const QString& d : svg.paths) {
            EXPECT_TRUE(d.startsWith("M ") && d.endsWith(" Z")) << d.toStdString();
            EXPECT_TRUE(d.contains(" Q ")) << d.toStdString();
        }
        // Nearly every dark pixel of one has a dark pixel within a pixel in the other.
        const QImage png(pngFile, "PNG"), drawn = rasterise(svgFile);
        auto dark = [](const QImage& im, int x, int y) { return qGray(im.pixel(x, y)) < 110; };
        auto matched = [&](const QImage& a, const QImage& b) {
            int total = 0, found = 0;
            for (int y = 1; y < 352; ++y)
                for (int x = 1; x < 352; ++x) {
                    if (!dark(a, x, y))
                        continue;
                    ++total;
                    bool near = false;
                    for (int dy = -1; dy <= 1 && !near; ++dy)
                        for (int dx = -1; dx <= 1 && !near; ++dx)
                            near = dark(b, x + dx, y + dy);
                    found += near;
                }
            return total ? double(found) / total : 0.0;
        };
        EXPECT_GE(matched(png, drawn), 0.95) << glyph;
        EXPECT_GE(matched(drawn, png), 0.95) << glyph;
    }
}

} // namespace
