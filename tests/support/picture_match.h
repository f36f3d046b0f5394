#pragma once
// Two pictures of the same glyph by two rasterisers, compared pixel by pixel
// with a small neighbourhood: edge antialiasing differs between two good
// rasterisers (curve flattening, coverage rounding, where a layer's edge
// falls), so a pixel matches when some pixel within 1 px of it in the other
// picture is within `tolerance` per premultiplied channel.
#include <algorithm>
#include <cstdlib>

#include <QImage>

// Pixels of `a` with no match near them in `b` (both the same size).
inline int pixelsWithoutMatch(const QImage& a, const QImage& b, int tolerance)
{
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto near = [tolerance](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) <= tolerance && std::abs(qGreen(p) - qGreen(q)) <= tolerance
               && std::abs(qBlue(p) - qBlue(q)) <= tolerance && std::abs(qAlpha(p) - qAlpha(q)) <= tolerance;
    };
    // Raw words: pixel() would not say whether it gives premultiplied colour.
    const auto at = [](const QImage& image, int x, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]; };
    int unmatched = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = pb.valid(x + dx, y + dy) && near(at(pa, x, y), at(pb, x + dx, y + dy));
            unmatched += found ? 0 : 1;
        }
    return unmatched;
}

// Both ways: every pixel of each picture is matched near it in the other.
inline int unmatchedPixels(const QImage& a, const QImage& b, int tolerance)
{
    if (a.size() != b.size())
        return a.width() * a.height() + b.width() * b.height();
    return pixelsWithoutMatch(a, b, tolerance) + pixelsWithoutMatch(b, a, tolerance);
}
