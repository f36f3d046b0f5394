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
    std::vector<std::uint8_t> file(data, data + size);
    const FileKind kind = RecogniseFile(file);
    auto decoded = DecodeWebFont(kind, std::move(file));
    const DecodedFont* font = std::get_if<DecodedFont>(&decoded);
    if (!font)
        return 0;
    const int faces = ChooseFace(font->kind, font->bytes, 0).faces;
    const bool composites = size > 0 && (data[size - 1] & 1) != 0;
    for (int f = 0; f < faces; ++f) {
        if (f >= int(FacesPerInput) && f + 1 < faces)
            continue;
        OpenFontBytes("fuzz", font->kind, font->bytes, composites, f);
    }
    return 0;
}
