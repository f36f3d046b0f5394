#pragma once
#include <vector>

#include "colour/cpal.h"
#include "colour/paint_tree.h"
#include "outline/outline.h"

// x' = xx * x + xy * y + dx, y' = yx * x + yy * y + dy: COLR's Affine2x3.
struct Affine {
    double xx = 1, yx = 0, xy = 0, yy = 1, dx = 0, dy = 0;
};

// a then b.
Affine Then(const Affine& a, const Affine& b);

enum class BrushKind : std::uint8_t { Solid, Linear, Radial, Sweep };

struct BrushStop {
    double offset = 0; // 0 to 1, in increasing order
    Rgba colour;       // its alpha applied
};

// What a fill paints with, in the units of the transform in force. A
// gradient's stops span 0 to 1 exactly: its geometry has been moved to
// where the font's first and last stops lie.
struct Brush {
    BrushKind kind = BrushKind::Solid;
    Rgba colour;                   // Solid
    Extend extend = Extend::Pad;   // gradients
    std::vector<BrushStop> stops;  // gradients
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // Linear: from (x0, y0) to (x1, y1); Radial and Sweep: the centres
    double r0 = 0, r1 = 0;                 // Radial
    double startAngle = 0, endAngle = 0;   // Sweep, degrees counter-clockwise
};

inline Brush SolidBrush(Rgba colour)
{
    Brush b;
    b.colour = colour;
    return b;
}

// Where a colour glyph is painted. Clips, transforms and layers nest: every
// push is matched by its pop, innermost first. A fill paints the whole area
// inside the clips in force.
class PaintSurface {
public:
    virtual ~PaintSurface() = default;
    // Clip to a glyph's outline (font units, y up) in the transform in force.
    virtual void pushClipGlyph(int glyph, const Contours& outline) = 0;
    virtual void pushClipRect(const ClipBox& box) = 0;
    virtual void popClip() = 0;
    virtual void pushTransform(const Affine& transform) = 0;
    virtual void popTransform() = 0;
    virtual void fill(const Brush& brush) = 0;
    // A new transparent layer; its pop composites it onto what is below with `mode`.
    virtual void pushLayer() = 0;
    virtual void popLayer(CompositeMode mode) = 0;
};

// The box of what a glyph paints, in font units: the clips in force at each
// fill (each glyph's outline by the box of its points, transformed).
class PaintBounds : public PaintSurface {
public:
    void pushClipGlyph(int glyph, const Contours& outline) override;
    void pushClipRect(const ClipBox& box) override;
    void popClip() override { clips_.pop_back(); }
    void pushTransform(const Affine& transform) override;
    void popTransform() override { transforms_.pop_back(); }
    void fill(const Brush& brush) override;
    void pushLayer() override {}
    void popLayer(CompositeMode) override {}
    // Nothing when nothing inside a clip was filled.
    std::optional<ClipBox> painted() const { return painted_; }

private:
    void pushBox(ClipBox box);
    std::vector<Affine> transforms_{Affine{}};
    std::vector<ClipBox> clips_;
    std::optional<ClipBox> painted_;
};
