#pragma once
#include <cstdint>
#include <span>
#include <string>

#include <QByteArray>
#include <QColor>
#include <QImage>

#include "colour/bitmap_strikes.h"
#include "colour/svg_table.h"
#include "platform/colour_picture.h"

// The colour glyphs Lumaro does not draw itself, decoded on Qt: strike
// images (PNG, JPEG, the unpacked CBDT bitmaps) and SVG documents. Every
// decode is bounded before it allocates.

// A strike image's side in pixels: the largest strikes fonts carry are
// 160 to 512 ppem; an image far larger than any is a bomb, not a glyph, and
// refusing it from its header keeps a decode at 16 MB.
inline constexpr int MaxStrikeImageSide = 2048;

// An inflated SVG document: several times the largest whole SVG table of
// the colour fonts we know (a few MB); the renderer holds a tree many
// times the text's size, so a gzip bomb is refused here.
inline constexpr qsizetype MaxSvgDocumentBytes = 32 * 1024 * 1024;

// A picture's side in pixels: four em at the largest size the colour view
// draws, 512 ppem, and 16 MB of pixels, so that a hostile glyph stays within
// the 64 MB a font may cost. An SVG glyph's box past it is a damaged or
// hostile document, not a glyph; a strike image scaled past it is drawn
// at it.
inline constexpr int MaxColourPictureSide = 2048;

// Each gives a ColourRendering: a null image with a message when the glyph
// cannot be drawn, a null image without one when it draws nothing.

// Decodes a PNG or JPEG strike image. Its size is read from its header and
// refused before decoding when a side is over MaxStrikeImageSide, or when
// expectedWidth/Height (CBDT's metrics; 0 for none) differ from it.
ColourRendering DecodeStrikeImage(std::span<const std::uint8_t> bytes, const std::string& imageFormat,
                                int expectedWidth = 0, int expectedHeight = 0);

// The strike glyph's picture at ppem, scaled from its strike's ppem (kept
// pixel for pixel when they are equal), and further down, keeping its
// shape, where it would be larger than a valid `fit`: one scaling either
// way. CBDT's grey bitmaps are drawn in the foreground colour.
ColourRendering RenderStrikeGlyph(const StrikeGlyph& glyph, int ppem, QColor foreground = Qt::black, QSize fit = {});

// The document's text: its stored bytes, or inflated when gzipped, refused
// past MaxSvgDocumentBytes or when the gzip stream is broken (problem set).
struct SvgText {
    QByteArray text;
    std::string problem;
};
SvgText SvgDocumentText(std::span<const std::uint8_t> stored, bool gzipped);

// Glyph `glyph` of an SVG document at ppem, drawn by librsvg: the element
// whose id is "glyphN", in font units with the glyph's origin at the
// document's origin and y down, the em square its viewport; its parents'
// transforms applied. When the document is made for this glyph alone
// (onlyGlyph) and has no such element, the whole document is drawn.
ColourRendering RenderSvgGlyph(const QByteArray& document, int glyph, int unitsPerEm, int ppem, bool onlyGlyph);
