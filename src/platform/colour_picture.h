#pragma once
#include <vector>

#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include "colour/colour_glyph.h"
#include "colour/paint_surface.h"

// A colour glyph painted into a premultiplied ARGB picture with QPainter:
// paths, transforms, solid, linear and radial brushes and the composite
// modes Qt has. The sweep brush and the four HSL modes, which Qt lacks, are
// computed here over premultiplied colour, without gamma.
class ColourPicture : public PaintSurface {
public:
    // A picture of width x rows pixels whose top-left corner lies `left`
    // pixels right of the glyph origin and `top` pixels above it (y up), at
    // `scale` pixels per font unit.
    ColourPicture(int width, int rows, int left, int top, double scale);

    void pushClipGlyph(int glyph, const Contours& outline) override;
    void pushClipRect(const ClipBox& box) override;
    void popClip() override { clips_.pop_back(); }
    void pushTransform(const Affine& transform) override;
    void popTransform() override { transforms_.pop_back(); }
    void fill(const Brush& brush) override;
    void pushLayer() override;
    void popLayer(CompositeMode mode) override;

    const QImage& image() const { return layers_.front(); }
    // True when a layer was painted flat because the layers would have passed MaxLayerBytes.
    bool flattened() const { return flattened_ > 0 || wasFlattened_; }

    // The pixels of every layer alive at once: a composite nested in a
    // composite keeps a picture-sized layer per level. Two pictures of the
    // largest size: deeper nesting there is painted flat, where a glyph of
    // a usual size has dozens of levels.
    static constexpr qsizetype MaxLayerBytes = qsizetype(32) << 20;
    // Pixels filled and composited for one glyph: a graph of 10 000 paints
    // filling a 4096-pixel picture each would run for minutes; emoji fill
    // their picture a few dozen times.
    static constexpr qint64 MaxPixelWork = 256'000'000;
    // True when fills or composites were left out past MaxPixelWork.
    bool overWorked() const { return overWorked_; }

private:
    void clipTo(QPainter& painter, std::size_t count) const;
    QRect reach() const; // the pixels the innermost clip can touch
    bool afford(const QRect& area);
    QImage sweepImage(const Brush& brush) const;

    std::vector<QImage> layers_;
    std::vector<QTransform> transforms_;
    std::vector<QPainterPath> clips_; // in pixels
    int flattened_ = 0;               // layers pushed past the cap, not made
    bool wasFlattened_ = false;
    qint64 work_ = 0;
    bool overWorked_ = false;
};

// Premultiplied composite of `source` onto `backdrop` (same size) with one
// of the HSL modes, as the compositing model defines them.
QImage BlendHsl(const QImage& backdrop, const QImage& source, CompositeMode mode);

// A colour glyph painted at `ppem` pixels per em, placed as FreeType places
// its bitmaps: `left` and `top` from the glyph origin, y up. The picture
// covers the glyph's clip box rounded outward where it has one, else what it
// paints; it is empty when nothing is painted. A strike image is shrunk
// further to a valid `fit` where it is larger; the others keep ppem.
struct ColourRendering {
    QImage image; // premultiplied ARGB
    int left = 0, top = 0;
    std::vector<std::string> messages;
};
ColourRendering RenderColourGlyph(const FontState& font, const ColourTables& tables, const ColourGlyph& glyph,
                                  const PaintSettings& settings, int ppem, QSize fit = {});

// The picture reaches at most this many pixels from the glyph origin each
// way (two em at 512 ppem): a clip box or transform can name a box of
// millions of pixels, and a picture of 2048 pixels a side is already 16 MB.
inline constexpr int MaxPictureReach = 1024;
