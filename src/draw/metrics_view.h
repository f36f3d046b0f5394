#pragma once
#include "tables/font_state.h"
#include "outline/composite.h"
#include "draw/surface.h"
#include "draw/view.h"

inline constexpr Rgb BaselineColour{0, 128, 0};
inline constexpr Rgb MetricsColour{128, 160, 255}; // ascender, descender, x = 0 and the advance
inline constexpr Rgb PointColour{255, 128, 0};
inline constexpr Rgb PointNumberColour{160, 80, 0};

// The metrics view's frame, the same for every glyph of the font: x from 0
// to unitsPerEm, y from hhea's descender to its ascender. false when the
// font gives no usable values; the glyph's own box is used then.
bool MetricsFrame(const FontState& font, BBox& frame);

// The baseline, ascender and descender across the picture's window, and the
// lines x = 0 and x = the glyph's advance width from its top to its bottom.
void DrawMetricsLines(const FontState& font, int advance, const PictureWindow& window, const ViewState& view,
                      const WorkingValues& work, DrawingSurface& surface);

// Every point of the glyph: on-curve as a small square, off-curve as a small
// circle; numbered when the picture shows few enough units to read them. The
// text colour is left as the start marks leave it.
void DrawPoints(const ResolvedGlyph& glyph, const PictureWindow& window, const ViewState& view,
                const WorkingValues& work, DrawingSurface& surface);
