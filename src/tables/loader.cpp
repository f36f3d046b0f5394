#include "tables/loader.h"

#include <algorithm>
#include <initializer_list>
#include <type_traits>
#include <variant>

#include "outline/cff_glyph.h"
#include "sfnt/table_directory.h"
#include "tables/cmap.h"
#include "tables/font_tables.h"

namespace {

constexpr int LastListedCode = 2000;
constexpr int FirstPrintable = 32, LastPrintable = 126;
constexpr int GlyphsWithoutMaxp = 100;
constexpr std::size_t HdmxHeaderSize = 4; // version, numRecords

// A table's bytes for its reader (from its start to the end of the file),
// and where the directory puts it (nothing for a tolerated missing table).
struct TableAt {
    std::span<const std::uint8_t> bytes;
    TableSpan span;
};

// Where the load stands in the file. Each table is read from its own start;
// a missing maxp, head, hhea or hdmx is tolerated and read from where the
// last read ended, as the file's position would have it (after the presence
// pass that is cmap's start).
class TableWalk {
public:
    TableWalk(const FontState& font, std::size_t stands) : font_(font), stands_(stands) {}

    // The bytes of `tag` from its start (or from where the walk stands, for
    // a tolerated missing table), the walk now standing there; the failure
    // when the table is missing (code 14) or starts past the end (15).
    std::variant<TableAt, Failure> table(std::string_view tag)
    {
        const FoundTable found = find(tag);
        if (found.lookup == TableLookup::Abandoned)
            return found.failure;
        return TableAt{std::span<const std::uint8_t>(font_.FontBytes).subspan(stands_), found.span};
    }
    // The last table's reader read `n` bytes from its start: the walk stands after them.
    void read(std::size_t n) { stands_ += n; }

    // A table missing stops the load before anything is read; a missing
    // maxp gives 100 glyphs.
    MaybeFailure presence(FontState& font, std::initializer_list<const char*> tags)
    {
        for (const char* tag : tags) {
            const FoundTable found = find(tag);
            if (found.lookup == TableLookup::Abandoned)
                return found.failure;
            if (found.lookup == TableLookup::Tolerated && std::string_view(tag) == "maxp")
                font.NumGlyphs = GlyphsWithoutMaxp;
        }
        return std::nullopt;
    }

private:
    FoundTable find(std::string_view tag)
    {
        ByteReader r(font_.FontBytes);
        FoundTable found = FindTable(font_, r, tag);
        if (found.lookup == TableLookup::Found)
            stands_ = found.span.Offset;
        return found;
    }

    const FontState& font_;
    std::size_t stands_;
};

// Runs a table's reader on its bytes: the value read, or nothing and the
// failure (of finding the table, or of reading it) in `failure`.
template <typename Read>
auto readTable(TableWalk& walk, std::string_view tag, MaybeFailure& failure, Read read)
    -> std::optional<std::variant_alternative_t<0, std::invoke_result_t<Read, const TableAt&>>>
{
    auto at = walk.table(tag);
    if (Failure* missing = std::get_if<Failure>(&at)) {
        failure = std::move(*missing);
        return std::nullopt;
    }
    auto result = read(std::get<TableAt>(at));
    if (Failure* bad = std::get_if<Failure>(&result)) {
        failure = std::move(*bad);
        return std::nullopt;
    }
    return std::get<0>(std::move(result));
}

enum class Outlines { Glyf, Cff, Bitmaps };

// An OpenType font with CFF or CFF2 outlines has no loca and glyf; nor does
// a font of bitmap glyphs only (colour emoji in CBDT or sbix), whose every
// glyph is then one without outline data.
Outlines outlinesOf(const FontState& font)
{
    const bool glyf = !TableBytes(font, "glyf").empty();
    if (!glyf && (!TableBytes(font, "CFF ").empty() || !TableBytes(font, "CFF2").empty()))
        return Outlines::Cff;
    const bool bitmaps = !TableBytes(font, "CBDT").empty() || !TableBytes(font, "EBDT").empty()
                      || !TableBytes(font, "sbix").empty();
    if (!glyf && bitmaps && TableBytes(font, "loca").empty())
        return Outlines::Bitmaps;
    return Outlines::Glyf;
}

MaybeFailure readPost(FontState& font, TableWalk& walk)
{
    MaybeFailure failure;
    auto post = readTable(walk, "post", failure, [](const TableAt& t) { return ReadPost(t.bytes, t.span.Length); });
    if (!post)
        return failure;
    font.PostVersion = post->version;
    font.PostNumberOfGlyphs = post->numberOfGlyphs;
    font.GlyphNameIndex = std::move(post->nameIndex);
    font.GlyphNames = std::move(post->names);
    return std::nullopt;
}

// head, hdmx, loca (glyf fonts), hhea and hmtx, in that order.
MaybeFailure readMetrics(FontState& font, TableWalk& walk, Outlines outlines)
{
    MaybeFailure failure;
    const auto head = readTable(walk, "head", failure, [](const TableAt& t) { return ReadHead(t.bytes); });
    if (!head)
        return failure;
    font.HeadTable = *head;
    walk.read(HeadSize);

    // Only its place is needed (a missing hhea is read from just past it); no
    // value of hdmx reaches the window, so an hdmx cut short by the end of
    // the file is passed over rather than abandoning the load.
    auto hdmx = walk.table("hdmx");
    if (Failure* missing = std::get_if<Failure>(&hdmx))
        return std::move(*missing);
    walk.read(std::get<TableAt>(hdmx).bytes.size() >= HdmxHeaderSize ? HdmxHeaderSize : 0);

    if (outlines == Outlines::Glyf) {
        auto loca = readTable(walk, "loca", failure, [&](const TableAt& t) {
            return ReadLoca(t.bytes, font.NumGlyphs, font.HeadTable.IndexToLocFormat);
        });
        if (!loca)
            return failure;
        font.GlyphOffset = std::move(*loca);
        walk.read(font.GlyphOffset.size() * ((font.HeadTable.IndexToLocFormat & 0xFF) == 0 ? 2 : 4));
    }

    const auto hhea = readTable(walk, "hhea", failure, [](const TableAt& t) { return ReadHhea(t.bytes); });
    if (!hhea)
        return failure;
    font.HheaTable = hhea->record;
    walk.read(HheaSize);
    auto hmtx = readTable(walk, "hmtx", failure,
                          [&](const TableAt& t) { return ReadHmtx(t.bytes, hhea->numberOfHMetrics, font.NumGlyphs); });
    if (!hmtx)
        return failure;
    font.HMetrics = std::move(*hmtx);
    return std::nullopt;
}

// Every table the font needs, after the directory: maxp, post, cmap, then
// (all present) head, hdmx, loca, hhea, hmtx and glyf or the CFF outlines.
MaybeFailure readFont(FontState& font, std::uint32_t faceOffset, Reports& notes)
{
    ByteReader file(font.FontBytes);
    if (MaybeFailure failure = ReadTableDirectory(font, file, faceOffset))
        return failure;
    TableWalk walk(font, file.pos());

    // A missing maxp is read from just past the directory; 100 glyphs are taken below.
    MaybeFailure failure;
    const auto numGlyphs = readTable(walk, "maxp", failure, [](const TableAt& t) { return ReadMaxp(t.bytes); });
    if (!numGlyphs)
        return failure;
    font.NumGlyphs = *numGlyphs;
    walk.read(MaxpReadSize);
    if (MaybeFailure post = readPost(font, walk))
        return post;
    auto cmap = walk.table("cmap");
    if (Failure* missing = std::get_if<Failure>(&cmap))
        return std::move(*missing);
    if (MaybeFailure bad = ReadCharacterMap(std::get<TableAt>(cmap).bytes, font, notes))
        return bad;

    const Outlines outlines = outlinesOf(font);
    const MaybeFailure absent = outlines == Outlines::Glyf
        ? walk.presence(font, {"head", "hhea", "maxp", "loca", "hmtx", "hdmx", "glyf", "cmap"})
        : walk.presence(font, {"head", "hhea", "maxp", "hmtx", "hdmx", "cmap"});
    if (absent)
        return absent;
    if (MaybeFailure bad = readMetrics(font, walk, outlines))
        return bad;
    if (outlines == Outlines::Cff)
        return OpenCffOutlines(font);
    if (outlines == Outlines::Bitmaps) {
        font.GlyphOffset.assign(std::size_t(font.NumGlyphs) + 1, 0);
        return std::nullopt;
    }
    auto glyf = walk.table("glyf");
    if (Failure* missing = std::get_if<Failure>(&glyf))
        return std::move(*missing);
    font.Glyf = std::get<TableAt>(glyf).span;
    return std::nullopt;
}

} // namespace

Reports LoadFont(std::vector<std::uint8_t> bytes, FontState& font, std::uint32_t faceOffset)
{
    std::string name = std::move(font.FontFileName);
    font = FontState();
    font.FontFileName = name;
    font.FontBytes = std::move(bytes);
    Reports reports;
    if (MaybeFailure failure = readFont(font, faceOffset, reports)) {
        font = FontState();
        font.FontFileName = std::move(name);
        reports.push_back(std::move(*failure));
        return reports;
    }
    // Every glyph has a name number; those post does not give are 0.
    if (font.GlyphNameIndex.size() < std::size_t(font.NumGlyphs))
        font.GlyphNameIndex.resize(std::size_t(font.NumGlyphs));
    if (!font.Cff) {
        GlyphHeaders headers = ReadGlyphHeaders(std::span<const std::uint8_t>(font.FontBytes).subspan(font.Glyf.Offset),
                                                font.GlyphOffset);
        font.GlyphBox = std::move(headers.boxes);
        font.GlyphKinds = std::move(headers.kinds);
    }
    font.Unicode = ReadUnicodeMap(TableBytes(font, "cmap"));
    font.Variations = ReadVariations(font);
    font.Loaded = true;
    return reports;
}

PickLists MakePickLists(const FontState& font, bool composites)
{
    PickLists lists;
    auto listed = [&](int g) {
        if (g < 0 || g >= font.NumGlyphs)
            return false;
        const GlyphKind kind = font.GlyphKinds[std::size_t(g)];
        return kind == GlyphKind::Simple || (composites && kind == GlyphKind::Composite);
    };
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (composites || listed(g))
            lists.GlyphList.push_back(g);
    if (font.UnicodeCmap != 1)
        return lists;
    auto listedCode = [&](int code) {
        const int g = CharToGlyph(font, code);
        return g > 0 && listed(g);
    };
    for (int c = 0; c <= LastListedCode; ++c)
        if (listedCode(c))
            lists.CharList.push_back(c);
    for (int c = FirstPrintable; c <= LastPrintable; ++c)
        if (listedCode(c))
            lists.AsciiList.push_back(c);
    return lists;
}

std::string GlyphCountText(const FontState& font)
{
    return BlankSigned(font.NumGlyphs);
}
