// The platform pieces: face names, the picture the glyph is drawn into, and
// the JPEG export of an image.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <FreeImage.h>
#include <QFontInfo>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/face_name.h"
#include "platform/picture_export.h"
#include "platform/picture_surface.h"
#include "support/gui_app.h"

namespace fs = std::filesystem;

namespace {

std::string dejavu(const char* file)
{
    return std::string(DEJAVU_DIR) + "/" + file;
}

// A fresh, empty folder in the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("lumaro-platform-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

bool sameColour(QRgb pixel, QColor expected)
{
    return qRed(pixel) == expected.red() && qGreen(pixel) == expected.green() && qBlue(pixel) == expected.blue();
}

bool isColour(const QImage& image, int x, int y, Rgb c)
{
    return sameColour(image.pixel(x, y), QColor(c.r, c.g, c.b));
}

int countColour(const QImage& image, Rgb c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += isColour(image, x, y, c);
    return n;
}

// The smallest rectangle holding every pixel that is not the background.
QRect drawnArea(const PictureSurface& surface)
{
    QRect area;
    const QImage& image = surface.image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!sameColour(image.pixel(x, y), surface.backColor()))
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

// ---- face names -----------------------------------------------------------------

TEST(FaceName, IsTheLegacyFamilyNameOfTheFont)
{
    // Name ID 1 of each file; ExtraLight's typographic family is "DejaVu Sans".
    const struct {
        const char* file;
        const char* face;
    } cases[] = {
        {"DejaVuSans.ttf", "DejaVu Sans"},
        {"DejaVuSans-Bold.ttf", "DejaVu Sans"},
        {"DejaVuSans-ExtraLight.ttf", "DejaVu Sans Light"},
        {"DejaVuSansMono.ttf", "DejaVu Sans Mono"},
        {"DejaVuSansCondensed-Oblique.ttf", "DejaVu Sans Condensed"},
        {"DejaVuSerif.ttf", "DejaVu Serif"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFaceName(dejavu(c.file)), c.face) << c.file;
}

TEST(FaceName, IsEmptyWhenTheFileIsNoFont)
{
    TempDir dir;
    const fs::path text = dir.path() / "notes.ttf";
    std::ofstream(text) << "This is not a font, only a few words of text.\n";
    const fs::path empty = dir.path() / "empty.ttf";
    std::ofstream{empty};

    EXPECT_EQ(GetFaceName(text.string()), "");
    EXPECT_EQ(GetFaceName(empty.string()), "");
    EXPECT_EQ(GetFaceName((dir.path() / "missing.ttf").string()), "");
    EXPECT_EQ(GetFaceName(dir.path().string()), "");
    EXPECT_EQ(dir.entries().size(), 2u) << "no temporary file is left";
}

// ---- the picture ------------------------------------------------------------------

TEST(PictureSurface, IsTheDrawingAreaClearedToTheWindowColour)
{
    PictureSurface surface;
    EXPECT_EQ(surface.image().size(), QSize(353, 353));
    EXPECT_EQ(surface.image().devicePixelRatio(), 1.0);
    EXPECT_TRUE(drawnArea(surface).isNull());

    PictureSurface sharp(2);
    EXPECT_EQ(sharp.image().size(), QSize(706, 706));
    EXPECT_EQ(sharp.image().devicePixelRatio(), 2.0);
    EXPECT_EQ(sharp.image().deviceIndependentSize(), QSizeF(353, 353));
}

TEST(PictureSurface, LineEndsLightThePixelsTheyLieIn)
{
    PictureSurface surface;
    surface.Scale(0, 0, 353, 353); // one unit a pixel
    surface.Line(10, 20, 100, 20, Black);
    for (int x = 10; x <= 99; ++x)
        EXPECT_TRUE(isColour(surface.image(), x, 20, Black)) << x;
    EXPECT_FALSE(isColour(surface.image(), 10, 19, Black));
    EXPECT_FALSE(isColour(surface.image(), 10, 21, Black));
    EXPECT_FALSE(isColour(surface.image(), 9, 20, Black));
    const QRect area = drawnArea(surface);
    EXPECT_EQ(area.top(), 20);
    EXPECT_EQ(area.bottom(), 20);
    EXPECT_EQ(area.left(), 10);
    EXPECT_NEAR(area.right(), 100, 1);
}

TEST(PictureSurface, ScaleSetsIndependentUnitsAndDirections)
{
    PictureSurface surface;
    // x: 2 units a pixel, rightwards from -100; y: 4 units a pixel, upwards from 200.
    surface.Scale(-100, 200, 606, -1212);
    double px, py;
    ASSERT_TRUE(surface.toPicture(0, 0, px, py));
    EXPECT_DOUBLE_EQ(px, 50);
    EXPECT_DOUBLE_EQ(py, 50);
    ASSERT_TRUE(surface.toPicture(100, -400, px, py));
    EXPECT_DOUBLE_EQ(px, 100);
    EXPECT_DOUBLE_EQ(py, 150);

    surface.Line(0, 0, 100, -400, LightGrey);
    EXPECT_TRUE(isColour(surface.image(), 50, 50, LightGrey));
    EXPECT_TRUE(isColour(surface.image(), 75, 100, LightGrey));
    EXPECT_TRUE(isColour(surface.image(), 100, 150, LightGrey) || isColour(surface.image(), 99, 149, LightGrey));
    EXPECT_EQ(drawnArea(surface), QRect(QPoint(50, 50), QPoint(100, 150)).intersected(drawnArea(surface)));
    EXPECT_GE(drawnArea(surface).height(), 100);
}

TEST(PictureSurface, CircleIsRoundOnScreenWithItsRadiusInHorizontalUnits)
{
    PictureSurface surface;
    surface.Scale(0, 0, 706, 353); // x: 2 units a pixel, y: 1 unit a pixel
    surface.Circle(353, 176.5, 100, StartCircleRed); // centre (176.5, 176.5), radius 50 pixels
    const QImage& image = surface.image();
    auto redNear = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (isColour(image, x + dx, y + dy, StartCircleRed))
                    return true;
        return false;
    };
    EXPECT_TRUE(redNear(226, 176));
    EXPECT_TRUE(redNear(126, 176));
    EXPECT_TRUE(redNear(176, 226));
    EXPECT_TRUE(redNear(176, 126));
    EXPECT_FALSE(redNear(176, 276)) << "a radius in vertical units would reach here";
    EXPECT_FALSE(redNear(176, 176));
    const QRect area = drawnArea(surface);
    EXPECT_NEAR(area.width(), 101, 2);
    EXPECT_NEAR(area.height(), 101, 2);
}

TEST(PictureSurface, DrawsOnlyWhatLiesInsideThePicture)
{
    PictureSurface surface;
    surface.Scale(0, 0, 353, 353);
    surface.Line(-2000000000, 100, 2000000000, 100, Black); // far beyond both sides
    EXPECT_TRUE(isColour(surface.image(), 0, 100, Black));
    EXPECT_TRUE(isColour(surface.image(), 352, 100, Black));
    surface.Line(-500, -500, -400, -400, Black); // wholly outside
    surface.Circle(100000, 100000, 10, StartCircleRed);
    surface.Circle(176, 176, 5000, StartCircleRed); // the picture lies inside it
    EXPECT_EQ(countColour(surface.image(), Black), 353);
    EXPECT_EQ(countColour(surface.image(), StartCircleRed), 0);

    // A user window without width or height shows nothing, and does not fail.
    surface.Cls();
    surface.Scale(5, 5, 5, 5);
    surface.Line(0, 0, 10, 10, Black);
    surface.Circle(5, 5, 16, StartCircleRed);
    surface.CurrentX(5);
    surface.CurrentY(5);
    surface.Print("1");
    EXPECT_TRUE(drawnArea(surface).isNull());
}

TEST(PictureSurface, KeepsWhatWasDrawnUntilCls)
{
    PictureSurface surface;
    surface.Scale(0, 0, 353, 353);
    surface.Line(10, 10, 10, 50, Black);
    surface.Line(30, 10, 30, 50, LightGrey);
    EXPECT_TRUE(isColour(surface.image(), 10, 30, Black));
    EXPECT_TRUE(isColour(surface.image(), 30, 30, LightGrey));
    surface.Cls();
    EXPECT_TRUE(drawnArea(surface).isNull());
}

TEST(PictureSurface, PrintsWithTheTopLeftCornerAtTheCurrentPosition)
{
    ensureGuiApplication();
    PictureSurface surface;
    EXPECT_EQ(surface.backColor(), QGuiApplication::palette().color(QPalette::Base));
    EXPECT_EQ(surface.windowTextColor(), QGuiApplication::palette().color(QPalette::Text));

    surface.Scale(-100, -200, 253, 153); // one unit a pixel, (0, 0) at pixel (100, 200)
    surface.CurrentX(0);
    surface.CurrentY(0);
    surface.Print("1");
    const QRect first = drawnArea(surface);
    ASSERT_FALSE(first.isNull());
    EXPECT_GE(first.left(), 99);
    EXPECT_GE(first.top(), 200);
    EXPECT_LE(first.right(), 115);
    EXPECT_LE(first.bottom(), 212); // "Small Fonts" 6 points is about 8 pixels high
    // Before any ForeColor the text is in the window-text colour (its
    // strokes are smoothed, so the nearest pixel is close, not equal).
    const QColor text = surface.windowTextColor();
    int nearest = 3 * 255;
    for (int y = first.top(); y <= first.bottom(); ++y)
        for (int x = first.left(); x <= first.right(); ++x) {
            const QRgb p = surface.image().pixel(x, y);
            nearest = std::min(nearest, std::abs(qRed(p) - text.red()) + std::abs(qGreen(p) - text.green())
                                            + std::abs(qBlue(p) - text.blue()));
        }
    EXPECT_LT(nearest, 60);
}

TEST(PictureSurface, TextColourAndFontStayAcrossCls)
{
    ensureGuiApplication();
    PictureSurface surface;
    surface.Scale(0, 0, 353, 353);
    surface.ForeColor(ContourNumberBlue);
    surface.FontName("Consolas");
    surface.FontSize(12);
    surface.Cls();
    surface.CurrentX(50);
    surface.CurrentY(50);
    surface.Print(" empty");
    const QRect area = drawnArea(surface);
    ASSERT_FALSE(area.isNull());
    EXPECT_GT(area.width(), 30);  // five letters after a blank, 12 points
    EXPECT_GT(area.left(), 52);   // the leading blank
    EXPECT_GE(area.top(), 50);
    EXPECT_TRUE(countColour(surface.image(), ContourNumberBlue) > 0);
    EXPECT_EQ(countColour(surface.image(), Black), 0);
}

TEST(PictureSurface, FontsALinuxDesktopLacksAreReplaced)
{
    ensureGuiApplication();
    const QFont small = PictureSurface::printFont("Small Fonts", 6);
    EXPECT_EQ(QFontInfo(small).family(), "DejaVu Sans");
    EXPECT_EQ(small.pixelSize(), 8);
    const QFont consolas = PictureSurface::printFont("Consolas", 12);
    EXPECT_EQ(QFontInfo(consolas).family(), "DejaVu Sans Mono");
    EXPECT_TRUE(QFontInfo(consolas).fixedPitch());
    EXPECT_EQ(consolas.pixelSize(), 16);
}

// ---- JPEG export ----------------------------------------------------------------------

namespace {

// White, with a black and a red block: colours a JPEG keeps well inside large areas.
QImage testPicture()
{
    QImage image(353, 353, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 100; y < 140; ++y)
        for (int x = 40; x < 80; ++x) {
            image.setPixel(x, y, qRgb(0, 0, 0));
            image.setPixel(x + 200, y + 100, qRgb(255, 0, 0));
        }
    return image;
}

std::vector<unsigned char> fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(JpegExport, WritesAJpegThatFreeImageAndQtDecode)
{
    ensureGuiApplication();
    TempDir dir;
    const fs::path out = dir.path() / "picture.jpg";
    ASSERT_EQ(saveImage(testPicture(), PictureFormat::Jpeg, out.string()), "");

    const std::vector<unsigned char> bytes = fileBytes(out);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xFF); // JPEG start of image
    EXPECT_EQ(bytes[1], 0xD8);

    FIBITMAP* dib = FreeImage_Load(FIF_JPEG, out.c_str(), 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(dib), 353u);
    EXPECT_EQ(FreeImage_GetHeight(dib), 353u);
    RGBQUAD colour;
    ASSERT_TRUE(FreeImage_GetPixelColor(dib, 60, 352 - 120, &colour)); // FreeImage counts rows from the bottom
    EXPECT_LT(colour.rgbRed + colour.rgbGreen + colour.rgbBlue, 30);
    FreeImage_Unload(dib);

    QImage decoded(QString::fromStdString(out.string()), "JPEG");
    ASSERT_EQ(decoded.size(), QSize(353, 353));
    EXPECT_GT(qGray(decoded.pixel(5, 5)), 250);
    EXPECT_LT(qGray(decoded.pixel(60, 120)), 10);
    const QRgb red = decoded.pixel(260, 220);
    EXPECT_GT(qRed(red), 240);
    EXPECT_LT(qGreen(red), 15);
    EXPECT_LT(qBlue(red), 15);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"picture.jpg"});
}

TEST(JpegExport, UsesTheNameAsGivenAndReplacesAnExistingFileWhole)
{
    TempDir dir;
    const fs::path plain = dir.path() / "glyph";
    ASSERT_EQ(saveImage(testPicture(), PictureFormat::Jpeg, plain.string()), "");
    EXPECT_TRUE(fs::exists(plain));
    EXPECT_FALSE(fs::exists(dir.path() / "glyph.jpg"));

    const fs::path existing = dir.path() / "old.jpg";
    std::ofstream(existing) << "an older file";
    ASSERT_EQ(saveImage(testPicture(), PictureFormat::Jpeg, existing.string()), "");
    const std::vector<unsigned char> bytes = fileBytes(existing);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(dir.entries().size(), 2u);
}

TEST(JpegExport, AFailureIsReportedAndLeavesNoFile)
{
    TempDir dir;
    // A folder that does not exist.
    const fs::path missing = dir.path() / "no such folder" / "picture.jpg";
    std::string message = saveImage(testPicture(), PictureFormat::Jpeg, missing.string());
    EXPECT_NE(message.find(missing.string()), std::string::npos) << message;

    // A name that is a folder already: it stays as it is.
    const fs::path folder = dir.path() / "taken.jpg";
    fs::create_directory(folder);
    EXPECT_NE(saveImage(testPicture(), PictureFormat::Jpeg, folder.string()), "");
    EXPECT_TRUE(fs::is_directory(folder));

    // A folder we may not write into (root may write anywhere).
    const fs::path locked = dir.path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) != 0) {
        EXPECT_NE(saveImage(testPicture(), PictureFormat::Jpeg, (locked / "picture.jpg").string()), "");
        EXPECT_TRUE(fs::is_empty(locked));
    }
    fs::permissions(locked, fs::perms::owner_all);

    // No picture at all.
    EXPECT_NE(saveImage(QImage(), PictureFormat::Jpeg, (dir.path() / "null.jpg").string()), "");
    EXPECT_NE(saveImage(testPicture(), PictureFormat::Jpeg, ""), "");

    std::vector<std::string> left = dir.entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"locked", "taken.jpg"})) << "no file, no temporary file";
    EXPECT_TRUE(fs::is_empty(folder));
}
