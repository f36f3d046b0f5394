#include "outline/cff.h"

#include <algorithm>

#include "outline/cff_strings.h"

namespace {

enum TopDictOp : int {
    CharsetOp = 15,
    CharStringsOp = 17,
    PrivateOp = 18,
    VariationStoreOp = 24,
    RosOp = 1230,
    FdArrayOp = 1236,
    FdSelectOp = 1237,
};
enum PrivateDictOp : int { SubrsOp = 19, NominalWidthXOp = 21, VsIndexOp = 22 };

struct Opening {
    CffFont& font;
    std::string what; // "CFF" or "CFF2", for the Reading: line

    Failure fail(const std::string& part) const { return {ReadPastEnd, {}, what + " " + part}; }
};

// The operand of op as an offset into the table, or -1 when absent or not one.
long offsetOperand(const std::vector<DictEntry>& dict, int op, std::size_t at = 0)
{
    const std::vector<double>* operands = DictOperands(dict, op);
    if (!operands || operands->size() <= at || (*operands)[at] < 0)
        return -1;
    return long((*operands)[at]);
}

std::optional<CffIndex> indexAt(const CffFont& font, long offset)
{
    if (offset < 0)
        return std::nullopt;
    ByteReader r(font.table);
    r.seek(std::size_t(offset));
    return ReadCffIndex(r, font.cff2);
}

std::optional<CffPrivate> readPrivate(const CffFont& font, const std::vector<DictEntry>& owner)
{
    const long size = offsetOperand(owner, PrivateOp, 0), offset = offsetOperand(owner, PrivateOp, 1);
    CffPrivate priv;
    if (size < 0 || offset < 0)
        return font.cff2 ? std::nullopt : std::optional(priv); // CFF: a font may do without
    if (std::size_t(offset) > font.table.size() || std::size_t(size) > font.table.size() - std::size_t(offset))
        return std::nullopt;
    const auto dict = ReadDict(font.table.subspan(std::size_t(offset), std::size_t(size)));
    if (!dict)
        return std::nullopt;
    if (const auto* v = DictOperands(*dict, NominalWidthXOp); v && !v->empty())
        priv.nominalWidthX = v->back();
    if (const auto* v = DictOperands(*dict, VsIndexOp); v && !v->empty())
        priv.vsindex = int(v->back());
    if (const long subrs = offsetOperand(*dict, SubrsOp); subrs >= 0) {
        const auto index = indexAt(font, offset + subrs);
        if (!index)
            return std::nullopt;
        priv.subrs = *index;
    }
    return priv;
}

std::optional<Failure> readFontDicts(Opening& o, const std::vector<DictEntry>& top)
{
    CffFont& font = o.font;
    const long fdArray = offsetOperand(top, FdArrayOp);
    if (fdArray < 0) {
        if (font.cff2)
            return o.fail("FDArray");
        const auto priv = readPrivate(font, top);
        if (!priv)
            return o.fail("Private DICT");
        font.privates.push_back(*priv);
        return std::nullopt;
    }
    const auto fonts = indexAt(font, fdArray);
    if (!fonts)
        return o.fail("FDArray");
    for (std::uint32_t i = 0; i < fonts->count; ++i) {
        const auto bytes = fonts->item(i);
        const auto dict = bytes ? ReadDict(*bytes) : std::nullopt;
        const auto priv = dict ? readPrivate(font, *dict) : std::nullopt;
        if (!priv)
            return o.fail("Font DICT");
        font.privates.push_back(*priv);
    }
    return std::nullopt;
}

std::optional<Failure> readFdSelect(Opening& o, const std::vector<DictEntry>& top)
{
    CffFont& font = o.font;
    const long offset = offsetOperand(top, FdSelectOp);
    if (offset < 0)
        return std::nullopt;
    ByteReader r(font.table);
    r.seek(std::size_t(offset));
    font.fdSelectFormat = r.u8();
    const std::size_t start = r.pos();
    std::size_t length = font.charStrings.count; // format 0: one byte a glyph
    if (font.fdSelectFormat == 3)
        length = 2 + std::size_t(r.u16()) * 3 + 2;
    else if (font.fdSelectFormat != 0)
        return o.fail("FDSelect");
    r.seek(start);
    font.fdSelect = r.bytes(length);
    if (!r.ok())
        return o.fail("FDSelect");
    return std::nullopt;
}

bool readCharsetRanges(ByteReader& r, CffFont& font, int format)
{
    auto& sids = font.charset;
    while (sids.size() < font.charStrings.count) {
        const std::uint16_t first = r.u16();
        const std::uint32_t left = format == 1 ? r.u8() : r.u16();
        if (!r.ok())
            return false;
        for (std::uint32_t k = 0; k <= left && sids.size() < font.charStrings.count; ++k)
            sids.push_back(std::uint16_t(first + k));
    }
    return true;
}

std::optional<Failure> readCharset(Opening& o, const std::vector<DictEntry>& top)
{
    CffFont& font = o.font;
    const long offset = offsetOperand(top, CharsetOp);
    if (offset <= 0) {
        font.predefinedCharset = true; // ISOAdobe; Expert (1, 2) names nothing here
        return std::nullopt;
    }
    if (offset <= 2)
        return std::nullopt;
    ByteReader r(font.table);
    r.seek(std::size_t(offset));
    const int format = r.u8();
    if (font.charStrings.count == 0)
        return std::nullopt;
    font.charset.reserve(font.charStrings.count);
    font.charset.push_back(0); // .notdef
    bool ok = format == 1 || format == 2 ? readCharsetRanges(r, font, format) : format == 0;
    if (format == 0) {
        if (!r.canRead(2 * (std::size_t(font.charStrings.count) - 1)))
            ok = false;
        while (ok && font.charset.size() < font.charStrings.count)
            font.charset.push_back(r.u16());
    }
    if (!ok || !r.ok())
        return o.fail("charset");
    return std::nullopt;
}

std::optional<Failure> readVariations(Opening& o, const std::vector<DictEntry>& top)
{
    const long offset = offsetOperand(top, VariationStoreOp);
    if (offset < 0)
        return std::nullopt;
    auto store = ReadItemVariationStore(o.font.table, std::size_t(offset) + 2); // after its length
    if (!store)
        return o.fail("VariationStore");
    o.font.variations = std::move(*store);
    return std::nullopt;
}

std::optional<Failure> readTopDict(Opening& o, std::span<const std::uint8_t> bytes)
{
    CffFont& font = o.font;
    const auto top = ReadDict(bytes);
    if (!top)
        return o.fail("Top DICT");
    const auto charStrings = indexAt(font, offsetOperand(*top, CharStringsOp));
    if (!charStrings)
        return o.fail("CharStrings");
    font.charStrings = *charStrings;
    font.cidKeyed = DictOperands(*top, RosOp) != nullptr;
    for (auto step : {readFontDicts, readFdSelect, font.cff2 ? readVariations : readCharset})
        if (auto failure = step(o, *top))
            return failure;
    return std::nullopt;
}

std::optional<Failure> readCff1(Opening& o)
{
    CffFont& font = o.font;
    ByteReader r(font.table);
    r.skip(2); // major, minor
    r.seek(r.u8());
    const auto names = ReadCffIndex(r, false);
    const auto tops = names ? ReadCffIndex(r, false) : std::nullopt;
    const auto strings = tops ? ReadCffIndex(r, false) : std::nullopt;
    const auto globals = strings ? ReadCffIndex(r, false) : std::nullopt;
    const auto top = tops ? tops->item(0) : std::nullopt;
    if (!globals || !top)
        return o.fail("header");
    if (const auto name = names->item(0))
        font.fontName.assign(name->begin(), name->end());
    font.strings = *strings;
    font.globalSubrs = *globals;
    return readTopDict(o, *top);
}

std::optional<Failure> readCff2(Opening& o)
{
    CffFont& font = o.font;
    ByteReader r(font.table);
    r.skip(2); // major, minor
    const std::size_t headerSize = r.u8();
    const std::size_t topDictLength = r.u16();
    r.seek(headerSize);
    const auto top = r.bytes(topDictLength);
    const auto globals = r.ok() ? ReadCffIndex(r, true) : std::nullopt;
    if (!globals)
        return o.fail("header");
    font.globalSubrs = *globals;
    return readTopDict(o, top);
}

// Format 3: nRanges, then first glyph and font of each range, then the sentinel.
std::size_t fdSelectRange(std::span<const std::uint8_t> select, int g)
{
    ByteReader r(select);
    const std::size_t ranges = r.u16();
    auto firstOf = [&](std::size_t k) {
        r.seek(2 + 3 * k);
        return int(r.u16());
    };
    if (ranges == 0 || g < firstOf(0) || g >= firstOf(ranges))
        return std::size_t(-1);
    std::size_t low = 0, high = ranges; // firstOf(low) <= g < firstOf(high)
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (g < firstOf(middle) ? high : low) = middle;
    }
    r.seek(2 + 3 * low + 2);
    return r.u8();
}

} // namespace

std::optional<std::vector<double>> BlendScalars(const ItemVariationStore& variations, int vsindex,
                                                const Location& location)
{
    if (vsindex < 0 || std::size_t(vsindex) >= variations.data.size())
        return std::nullopt;
    std::vector<double> scalars;
    for (const std::uint16_t region : variations.data[std::size_t(vsindex)].regionIndexes)
        scalars.push_back(RegionScalar(variations.regions[region], location) / double(FixedOne));
    return scalars;
}

std::variant<CffFont, Failure> ReadCff(std::span<const std::uint8_t> table, bool cff2)
{
    CffFont font;
    font.cff2 = cff2;
    font.table = table;
    Opening o{font, cff2 ? "CFF2" : "CFF"};
    if (auto failure = cff2 ? readCff2(o) : readCff1(o))
        return *failure;
    return font;
}

std::string_view CffGlyphName(const CffFont& font, int g)
{
    if (font.cff2 || font.cidKeyed || g < 0 || std::uint32_t(g) >= font.charStrings.count)
        return {};
    const std::size_t sid = font.predefinedCharset ? std::size_t(g) : 0;
    if (!font.predefinedCharset && std::size_t(g) >= font.charset.size())
        return {};
    return CffString(font, font.predefinedCharset ? sid : font.charset[std::size_t(g)]);
}

int CffGlyphOfSid(const CffFont& font, int sid)
{
    if (font.cidKeyed || font.cff2)
        return -1;
    if (font.predefinedCharset)
        return std::uint32_t(sid) < font.charStrings.count ? sid : -1;
    const auto at = std::find(font.charset.begin(), font.charset.end(), std::uint16_t(sid));
    return at == font.charset.end() ? -1 : int(at - font.charset.begin());
}

const CffPrivate* CffPrivateOf(const CffFont& font, int g)
{
    std::size_t fd = 0;
    if (font.fdSelectFormat == 0 && !font.fdSelect.empty())
        fd = std::size_t(g) < font.fdSelect.size() ? font.fdSelect[std::size_t(g)] : font.privates.size();
    else if (font.fdSelectFormat == 3)
        fd = fdSelectRange(font.fdSelect, g);
    return fd < font.privates.size() ? &font.privates[fd] : nullptr;
}
