#pragma once
#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QSizeF>
#include <QTransform>

#include "outline/outline.h"

class PictureSurface;
class QImage;
struct DrawnGlyph;

enum class PictureFormat { Jpeg, Png, Svg };

// The save dialog's filters: FilterIndex 1 is JPEG, 2 PNG, 3 SVG, at 353 x
// 353; then JPEG and PNG as the canvas shows the glyph, or the picture
// larger; last SVG as shown and PNG as shown at twice the canvas's size.
inline constexpr const char* PictureFilter =
    "JPEG file (*.jpg)|*.jpg|PNG file (*.png)|*.png|SVG file (*.svg)|*.svg"
    "|JPEG file, as shown (*.jpg)|*.jpg|JPEG file, 1024 x 1024 (*.jpg)|*.jpg|JPEG file, 2048 x 2048 (*.jpg)|*.jpg"
    "|PNG file, as shown (*.png)|*.png|PNG file, 1024 x 1024 (*.png)|*.png|PNG file, 2048 x 2048 (*.png)|*.png"
    "|SVG file, as shown (*.svg)|*.svg|PNG file, as shown, twice the size (*.png)|*.png";

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
    int size = 353; // the classic picture's side in pixels
    int shown = 0;  // > 0: the canvas as shown instead, at this many times its size
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
// square whatever the device pixel ratio; or SVG on a 353-unit page: the
// other lines, the glyph (the control polygon and the outline, each contour
// of options.glyph one closed path in font units, under one transform), the
// marks and the numbers each a group of its own. The file is written whole or not at all: an existing file is
// replaced only by a complete new one, and no temporary file remains.
// Returns "" on success, else the message for the user.
std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName,
                        const SaveOptions& options = {});

// The path data of each contour in font units as WalkOutline walks it: "M x
// y", "L", "Q" for TrueType's quadratic curves, "C" for cubic ones, "Z"
// closing it. Whole units are written as whole numbers.
std::vector<std::string> contourPaths(const Contours& outline);
// The same for the control polygon: "M", "L" to each point in turn, "Z".
std::vector<std::string> polygonPaths(const Contours& outline);

// Saves image as it is (JPEG or PNG; SVG is refused) under fileName, as savePicture does.
std::string saveImage(const QImage& image, PictureFormat format, const std::string& fileName);

// The canvas as shown, for SVG: its size and background, the glyph's
// outline, where its font units fall, and its start marks.
struct ShownView {
    QSizeF size;                   // pixels
    QColor background;
    const Contours* outline = nullptr;
    QTransform fontToView;         // font units into the view's pixels, one scale for x and y
    bool startMarks = true;
    double markUnit = 1;           // pixels per picture unit: the start marks' size
    double markScale = 1;          // pixels per picture pixel at the fit: the numbers' size
};

// Saves the view as SVG under fileName, as savePicture does: a page of the
// view's size, the glyph (the control polygon and the outline in font units
// under one transform), the start circles and the contour numbers.
std::string saveViewSvg(const ShownView& view, const std::string& fileName);
