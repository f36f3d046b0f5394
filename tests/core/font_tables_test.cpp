// The loader's table readers on their own bytes, with the inputs other
// tables give them: what each makes of malformed tables and inputs.
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "tables/font_tables.h"
#include "support/ttf_builder.h"

namespace {

using ttf::ByteVector;

ByteVector cut(ByteVector bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// "code 15 loca" for a failure, else what the value says.
template <typename T, typename Show>
std::string outcome(const std::variant<T, Failure>& read, Show show)
{
    if (const Failure* f = std::get_if<Failure>(&read))
        return "code " + std::to_string(f->code) + (f->detail.empty() ? "" : " " + f->detail);
    return show(std::get<T>(read));
}

std::string joined(const std::vector<int>& values)
{
    std::string text;
    for (int v : values)
        text += (text.empty() ? "" : " ") + std::to_string(v);
    return text;
}

std::string locaOf(const ByteVector& bytes, int numGlyphs, std::int16_t format)
{
    return outcome(ReadLoca(bytes, numGlyphs, format),
                   [](const std::vector<std::uint32_t>& o) { return joined(std::vector<int>(o.begin(), o.end())); });
}

std::string hmtxOf(const ByteVector& bytes, int numberOfHMetrics, int numGlyphs)
{
    return outcome(ReadHmtx(bytes, numberOfHMetrics, numGlyphs), [](const std::vector<HMetric>& m) {
        std::vector<int> values;
        for (const HMetric& h : m)
            values.insert(values.end(), {h.AdvanceWidth, h.Lsb});
        return joined(values);
    });
}

std::string postOf(const ByteVector& bytes, std::uint32_t length)
{
    return outcome(ReadPost(bytes, length), [](const PostNames& p) {
        std::string text = "v" + std::to_string(p.version) + " [" + joined(p.nameIndex) + "]";
        for (const std::string& name : p.names)
            text += " " + name;
        return text;
    });
}

const ByteVector Loca16 = ttf::Bytes().u16(0).u16(5).u16(9).data;           // offsets 0 10 18
const ByteVector Loca32 = ttf::Bytes().u32(0).u32(12).u32(0x10000).data;     // offsets as they are
const ByteVector Hmtx = ttf::hmtxTable({{500, 10}, {600, -20}}, {30, 40});   // 2 long metrics, 2 bearings
const ByteVector Post = ttf::post20Table({0, 258, 259}, {"alpha", "beta"});  // 32 + 2 + 6 + 6 + 5 bytes

struct ReaderCase {
    const char* name;
    std::function<std::string()> read;
    std::string expected;
};

const ReaderCase readerCases[] = {
    {"loca short offsets are halves", [] { return locaOf(Loca16, 2, 0); }, "0 10 18"},
    {"loca long offsets", [] { return locaOf(Loca32, 2, 1); }, "0 12 65536"},
    {"loca format is the field's low byte", [] { return locaOf(Loca16, 2, 0x0100); }, "0 10 18"},
    {"loca format 2", [] { return locaOf(Loca16, 2, 2); }, "code 16"},
    {"loca format -1", [] { return locaOf(Loca16, 2, -1); }, "code 16"},
    {"loca one entry short", [] { return locaOf(Loca16, 3, 0); }, "code 15 loca"},
    {"loca of 65535 glyphs in 6 bytes", [] { return locaOf(Loca16, 65535, 1); }, "code 15 loca"},
    {"loca of no glyphs", [] { return locaOf(Loca16, 0, 0); }, "0"},
    {"hmtx bearings past the long metrics", [] { return hmtxOf(Hmtx, 2, 4); }, "500 10 600 -20 600 30 600 40"},
    {"hmtx metrics past the glyphs unread", [] { return hmtxOf(cut(Hmtx, 8), 9, 2); }, "500 10 600 -20"},
    {"hmtx without long metrics", [] { return hmtxOf(Hmtx, 0, 2); }, "0 500 0 10"},
    {"hmtx one bearing short", [] { return hmtxOf(cut(Hmtx, 11), 2, 4); }, "code 15 hmtx"},
    {"hmtx of 65535 glyphs in 12 bytes", [] { return hmtxOf(Hmtx, 2, 65535); }, "code 15 hmtx"},
    {"head whole",
     [] { return outcome(ReadHead(ttf::headTable(1, 2048)), [](const HeadRecord& h) {
             return std::to_string(h.UnitsPerEm) + " " + std::to_string(h.IndexToLocFormat);
         }); },
     "2048 1"},
    {"head a byte short", [] { return outcome(ReadHead(cut(ttf::headTable(1), HeadSize - 1)), [](auto) { return ""; }); },
     "code 15 head"},
    {"hhea whole",
     [] { return outcome(ReadHhea(ttf::hheaTable(7)), [](const HheaFields& h) { return std::to_string(h.numberOfHMetrics); }); },
     "7"},
    {"hhea a byte short", [] { return outcome(ReadHhea(cut(ttf::hheaTable(7), HheaSize - 1)), [](auto) { return ""; }); },
     "code 15 hhea"},
    {"maxp whole", [] { return outcome(ReadMaxp(ttf::maxpTable(300)), [](int n) { return std::to_string(n); }); }, "300"},
    {"maxp a byte short", [] { return outcome(ReadMaxp(cut(ttf::maxpTable(300), MaxpReadSize - 1)), [](int) { return ""; }); },
     "code 15 maxp"},
    {"post 2.0 with names", [] { return postOf(Post, std::uint32_t(Post.size())); }, "v2 [0 258 259] alpha beta"},
    {"post 3.0 has no names", [] { return postOf(ttf::post30Table(), 32); }, "v3 []"},
    {"post that ends with its index array", [] { return postOf(Post, 40); }, "v2 [0 258 259]"},
    {"post a name cut by the end of the file", [] { return postOf(cut(Post, Post.size() - 1), 99); },
     "code 15 post glyph names"},
    {"post index array past the end", [] { return postOf(cut(Post, 37), 37); }, "code 15 post glyph names"},
    {"post of 65535 glyphs", [] { return postOf(ttf::Bytes().append(cut(Post, 32)).u16(65535).data, 34); },
     "code 15 post glyph names"},
    {"post of one byte", [] { return postOf({0}, 1); }, "code 15 post"},
};

TEST(TableReaders, MalformedTablesAndInputs)
{
    for (const ReaderCase& c : readerCases)
        EXPECT_EQ(c.read(), c.expected) << c.name;
}

} // namespace
