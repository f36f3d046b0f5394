// libFuzzer target: any bytes as a font file. Loading, drawing every glyph,
// the character maps, Find and the naming table must end soundly, never crash or
// read outside the file.
#include <cstdint>
#include <string>

#include "font/cmap.h"
#include "font/find.h"
#include "font/loader.h"
#include "font/names.h"
#include "font/table_directory.h"
#include "glyph/view.h"

namespace {

class IgnoredMessages : public MessageSink {
public:
    void MsgBox(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IgnoredMessages sink;
    FontState font;
    if (LoadFont(std::vector<std::uint8_t>(data, data + size), font, sink) != LoadResult::Loaded)
        return 0;
    NullSurface surface;
    ViewState view;
    for (int g = 0; g < font.NumGlyphs && g < 512; ++g) {
        view.Composites = g % 2 == 1;
        ShowGlyph(g, font, view, surface, sink);
    }
    MakePickLists(font, true);
    for (int code = 0; code < 65536; code += 97)
        CharToGlyph(font, code);
    const UnicodeMap map = ReadUnicodeMap(TableBytes(font, "cmap"));
    for (char32_t code = 0; code <= 0x10FFFF; code += 4099)
        map.glyphFor(code);
    map.codesFor(1);
    for (const char* query : {"3", "U+0041", "\u00E9", "eacute"})
        FindGlyph(font, map, query);
    NameReading names;
    ReadNames(font, sink, names);
    return 0;
}
