#pragma once
#include <optional>
#include <string>
#include <vector>

#include <QTransform>

class PictureSurface;
class QImage;
struct DrawnGlyph;

enum class PictureFormat { Jpeg, Png, Svg };

// The save dialog's filters: FilterIndex 1 is JPEG, 2 PNG, 3 SVG, at 353 x
// 353; then JPEG and PNG as the picture is shown on screen, or larger.
inline constexpr const char* PictureFilter =
    "JPEG file (*.jpg)|*.jpg|PNG file (*.png)|*.png|SVG file (*.svg)|*.svg"
    "|JPEG file, as shown (*.jpg)|*.jpg|JPEG file, 1024 x 1024 (*.jpg)|*.jpg|JPEG file, 2048 x 2048 (*.jpg)|*.jpg"
    "|PNG file, as shown (*.png)|*.png|PNG file, 1024 x 1024 (*.png)|*.png|PNG file, 2048 x 2048 (*.png)|*.png";
// The picture's side a save-dialog filter chooses; AsShown for the picture as on screen.
inline constexpr int AsShown = 0;

// The format a file name's extension names (.jpg, .jpeg, .png, .svg, any case); none for any other name.
std::optional<PictureFormat> formatFromExtension(const std::string& fileName);
// The format of a --format value: "jpeg", "png" or "svg"; none for anything else.
std::optional<PictureFormat> formatFromName(const std::string& name);
// The format of the save dialog's filter number (1-based); JPEG for a number out of range.
PictureFormat formatFromFilter(int FilterIndex);
// The extension written for a format, without the dot: "jpg", "png", "svg".
const char* extensionOf(PictureFormat format);

struct PictureTarget {
    std::string fileName;
    PictureFormat format = PictureFormat::Jpeg;
    int size = 353; // pixels square, or AsShown
};

// Where and how a name typed in the save dialog is saved: a known extension
// decides the format; otherwise the chosen filter does, and a name without
// any extension gets the filter's. The filter chooses the size.
PictureTarget chooseTarget(const std::string& typed, int FilterIndex);

// How a picture is saved beyond its format: the side of a JPEG or PNG in
// pixels, and for SVG the glyph drawn, whose contours become the outline's paths.
struct SaveOptions {
    int size = 353;
    const DrawnGlyph* glyph = nullptr;
    QTransform fontToPicture; // the glyph's font units into picture pixels
};

inline constexpr int MinPictureSize = 16, MaxPictureSize = 4096;

// Saves what picture shows under fileName as given: JPEG at the highest
// quality with full colour resolution or PNG, drawn at options.size pixels
// square whatever the device pixel ratio; or SVG on a 353-unit page, the
// control polygon, the outline, the marks and the numbers each a group of
// its own, each contour of options.glyph one closed path of its curves in
// font units. The file is written whole or not at all: an existing file is
// replaced only by a complete new one, and no temporary file remains.
// Returns "" on success, else the message for the user.
std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName,
                        const SaveOptions& options = {});

// The path data of each of glyph's contours in font units: "M x y", "L", "Q"
// for TrueType's quadratic curves (the on-curve point between two off-curve
// ones implied), "Z" closing it.
std::vector<std::string> contourPaths(const DrawnGlyph& glyph);

// Saves image as it is (JPEG or PNG; SVG is refused) under fileName, as savePicture does.
std::string saveImage(const QImage& image, PictureFormat format, const std::string& fileName);
