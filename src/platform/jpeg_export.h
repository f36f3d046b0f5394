#pragma once
#include <string>

class QImage;

// Saves image as a JPEG file at FreeImage's highest quality under fileName,
// used exactly as given (no extension added). The file is written whole or
// not at all: an existing file is replaced only by a complete new one, and no
// temporary file remains. Returns "" on success, else the message for the user.
std::string saveJpeg(const QImage& image, const std::string& fileName);
