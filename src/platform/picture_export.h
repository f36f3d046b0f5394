#pragma once
#include <optional>
#include <string>

class PictureSurface;
class QImage;

enum class PictureFormat { Jpeg, Png, Svg };

// The save dialog's filters, in the order of PictureFormat: FilterIndex 1 is JPEG.
inline constexpr const char* PictureFilter = "JPEG file (*.jpg)|*.jpg|PNG file (*.png)|*.png|SVG file (*.svg)|*.svg";

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
};

// Where and how a name typed in the save dialog is saved: a known extension
// decides the format; otherwise the chosen filter does, and a name without
// any extension gets the filter's.
PictureTarget chooseTarget(const std::string& typed, int FilterIndex);

// Saves what picture shows, 353 x 353 whatever its device pixel ratio, under
// fileName as given: JPEG at the highest quality with full colour resolution,
// PNG, or SVG vectors of every mark. The file is written whole or not at all:
// an existing file is replaced only by a complete new one, and no temporary
// file remains. Returns "" on success, else the message for the user.
std::string savePicture(const PictureSurface& picture, PictureFormat format, const std::string& fileName);

// Saves image as it is (JPEG or PNG; SVG is refused) under fileName, as savePicture does.
std::string saveImage(const QImage& image, PictureFormat format, const std::string& fileName);
