// Writes a few small fonts of our own into a folder: the fuzzer's first corpus.
#include <fstream>
#include <string>

#include "support/ttf_builder.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    auto write = [&](const std::string& name, const ttf::ByteVector& bytes) {
        std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    };
    ttf::FontSpec squares = ttf::squaresFont(6);
    write("squares.ttf", ttf::buildFont(squares));

    squares.indexToLocFormat = 1;
    squares.glyphNames = {".notdef", "A", "B", "C", "D", "E"};
    squares.names = {{3, 1, 1033, 1, ttf::utf16be(u"Sans")}, {1, 0, 0, 4, ttf::ByteVector{'S', 'a', 'n', 's'}}};
    squares.glyphs.push_back(ttf::compositeGlyph({{1, 0, 0}, {2, 300, 0}}, {0, 0, 400, 300}));
    squares.glyphs.push_back({});
    squares.glyphs.push_back(ttf::simpleGlyph({{{0, 0}, {0, 200, false}, {200, 200, false}, {200, 0}}}));
    write("names-composite-long-loca.ttf", ttf::buildFont(squares));
    return 0;
}
