#include "platform/pixels.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H

namespace {

// A FreeType library and one face of it, closed together.
class Face {
public:
    Face(std::span<const std::uint8_t> bytes, int faceIndex)
    {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        if (FT_New_Memory_Face(library_, bytes.data(), FT_Long(bytes.size()), faceIndex, &face_) != 0)
            face_ = nullptr;
    }
    ~Face()
    {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    FT_Face get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

FT_Int32 loadFlags(Hinting hinting, bool mono)
{
    switch (hinting) {
    case Hinting::Native: return FT_LOAD_NO_AUTOHINT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    case Hinting::Auto: return FT_LOAD_FORCE_AUTOHINT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    case Hinting::None: return FT_LOAD_NO_HINTING | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    }
    return FT_LOAD_DEFAULT;
}

bool setLocation(FT_Face face, const Location& location)
{
    if (location.normalized.empty())
        return true;
    std::vector<FT_Fixed> coords;
    for (double v : location.normalized)
        coords.push_back(FT_Fixed(v * 65536.0));
    return FT_Set_Var_Blend_Coordinates(face, FT_UInt(coords.size()), coords.data()) == 0;
}

// FreeType's tags are the values PointKind takes.
Contours contoursOf(const FT_Outline& outline)
{
    Contours out;
    for (int c = 0; c < outline.n_contours; ++c)
        out.ends.push_back(outline.contours[c]);
    for (int p = 0; p < outline.n_points; ++p) {
        const FT_Vector v = outline.points[p];
        out.points.push_back({std::int32_t(v.x), std::int32_t(v.y), PointKind(FT_CURVE_TAG(outline.tags[p]))});
    }
    return out;
}

std::vector<std::uint8_t> pixelValues(const FT_Bitmap& bitmap)
{
    std::vector<std::uint8_t> values(std::size_t(bitmap.rows) * bitmap.width);
    auto out = values.begin();
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        const unsigned char* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        for (unsigned x = 0; x < bitmap.width; ++x)
            *out++ = bitmap.pixel_mode != FT_PIXEL_MODE_MONO ? row[x] : (row[x / 8] >> (7 - x % 8) & 1) ? 255 : 0;
    }
    return values;
}

// A damaged glyph's points far outside its em would have FreeType render
// a bitmap of hundreds of megabytes, and copying it took seconds.
bool fitsBitmap(const FT_Outline& outline)
{
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    return (box.xMax - box.xMin) / 64 <= MaxPixelSide && (box.yMax - box.yMin) / 64 <= MaxPixelSide;
}

} // namespace

std::optional<GlyphPixels> RenderPixels(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                        const Location& location, const PixelRequest& request)
{
    const Face face(fontBytes, faceIndex);
    FT_Face f = face.get();
    if (!f || !setLocation(f, location) || FT_Set_Pixel_Sizes(f, 0, FT_UInt(request.ppem)) != 0)
        return std::nullopt;

    GlyphPixels out;
    const auto glyph = FT_UInt(request.glyph);
    // Outlines only: a colour strike (sbix, CBDT) would be decoded in full by
    // FreeType before it is dropped, and its PNG may inflate to gigabytes.
    if (FT_Load_Glyph(f, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 || f->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return std::nullopt;
    out.unhinted = contoursOf(f->glyph->outline);

    const FT_Int32 flags = loadFlags(request.hinting, request.mono) | FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(f, glyph, flags) != 0)
        return std::nullopt;
    out.hinted = contoursOf(f->glyph->outline);
    if (!fitsBitmap(f->glyph->outline) || FT_Render_Glyph(f->glyph, request.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return std::nullopt;

    const FT_GlyphSlot slot = f->glyph;
    out.width = int(slot->bitmap.width);
    out.rows = int(slot->bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = double(slot->advance.x) / 64.0;
    out.values = pixelValues(slot->bitmap);
    return out;
}
