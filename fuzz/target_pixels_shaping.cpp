#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "platform/pixel_picture.h"
#include "platform/pixels.h"
#include "platform/shaping.h"

namespace {

// The last bytes of the input as a short text and a feature list (most of
// them not HarfBuzz's syntax, which SplitFeatures must refuse soundly).
constexpr std::size_t TextBytes = 16, FeatureBytes = 16;

std::string tailText(const std::uint8_t* data, std::size_t size, std::size_t from, std::size_t count)
{
    std::string text;
    for (std::size_t k = from; k < from + count && k < size; ++k)
        text += char(data[size - 1 - k]);
    return text;
}

PixelRequest requestFrom(const std::uint8_t* data, std::size_t size, int glyph)
{
    PixelRequest request;
    request.glyph = glyph;
    request.ppem = MinPpem + fuzz::tailByte(data, size, 0) % (MaxPpem - MinPpem + 1);
    const std::uint8_t mode = fuzz::tailByte(data, size, 1);
    request.hinting = Hinting(mode % 3);
    request.mono = (mode & 0x80) != 0;
    return request;
}

} // namespace

int fuzz::PixelsAndShaping(const std::uint8_t* data, std::size_t size)
{
    FontState font;
    if (!loadFont(data, size, font))
        return 0;
    const Location at = locationFrom(data, size, int(ReadLayoutSummary(font.FontBytes, font.Face).axes.size()));
    for (int g : glyphsChosen(font, data, size, 2, 2)) {
        const auto pixels = RenderPixels(font.FontBytes, font.Face, at, requestFrom(data, size, g));
        if (pixels)
            DrawPixelPicture(*pixels, PixelPictureOptions{96, true, true});
    }
    const auto features = SplitFeatures(tailText(data, size, TextBytes, FeatureBytes));
    ShapeText(font.FontBytes, font.Face, at, tailText(data, size, 0, TextBytes),
              features.value_or(std::vector<std::string>{}));
    return 0;
}
