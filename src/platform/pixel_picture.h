#pragma once
#include <QImage>

#include "platform/pixels.h"

// The pixel view's picture: FreeType's pixels as squares on the pixel grid,
// the unhinted outline light beneath the hinted one and its points, the
// baseline, the origin and the advance. The window and lumaro-inspect both
// draw it here.
struct PixelPictureOptions {
    int size = 600; // the square picture's side, in device pixels
    bool grid = true;
    bool outlines = true; // hinted with its points, unhinted light
};

QImage DrawPixelPicture(const GlyphPixels& pixels, const PixelPictureOptions& options);
