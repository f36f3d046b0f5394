#pragma once
#include <cstdint>
#include <span>
#include <string>

#include <QImage>

// A strike's PNG decoded by libpng straight into premultiplied ARGB32 rows,
// without Qt's image reader: its header is read and checked before a pixel
// is allocated, and the chunks a glyph does not need are skipped unread.

struct PngImage {
    QImage image;        // premultiplied ARGB32; null when refused
    std::string problem; // why it was refused
};

// The PNG in `bytes`. Refused, with a problem, before any pixel is
// allocated when it is not a PNG, when a side is over maxSide, or when
// expectedWidth/Height (0 for none) differ from its header's; refused
// after when its data is damaged or cut short.
PngImage DecodePng(std::span<const std::uint8_t> bytes, int maxSide, int expectedWidth = 0, int expectedHeight = 0);
