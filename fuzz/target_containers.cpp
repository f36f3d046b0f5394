#include "fuzz/fuzz_common.h"
#include "fuzz/fuzz_targets.h"

#include "platform/font_container.h"
#include "tables/open_font.h"

namespace {

// Faces loaded per input: the first few and the last.
constexpr std::size_t FacesPerInput = 4;

} // namespace

int fuzz::Containers(const std::uint8_t* data, std::size_t size)
{
    auto decoded = DecodeFontFile(std::vector<std::uint8_t>(data, data + size));
    const DecodedFont* font = std::get_if<DecodedFont>(&decoded);
    if (!font)
        return 0;
    const std::vector<std::uint32_t>& faces = font->faceOffsets;
    const bool composites = size > 0 && (data[size - 1] & 1) != 0;
    for (std::size_t f = 0; f < faces.size(); ++f) {
        if (f >= FacesPerInput && f + 1 < faces.size())
            continue;
        OpenFontBytes("fuzz", font->bytes, composites, faces[f]);
    }
    return 0;
}
