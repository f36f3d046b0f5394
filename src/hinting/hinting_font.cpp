#include "hinting/hinting_font.h"

#include "outline/composite.h"
#include "sfnt/table_directory.h"

namespace {

// A table's bytes cut at its stated length (and at the end of the file).
std::span<const std::uint8_t> tableData(const FontState& font, std::string_view tag)
{
    const std::span<const std::uint8_t> bytes = TableBytes(font, tag);
    for (const TableEntry& e : font.TableDir)
        if (std::string_view(e.Tag.data(), 4) == tag)
            return bytes.first(std::min<std::size_t>(bytes.size(), e.Length));
    return bytes;
}

} // namespace

HintingFont ReadHintingFont(const FontState& font)
{
    HintingFont hf;
    hf.fpgm = tableData(font, "fpgm");
    hf.prep = tableData(font, "prep");
    ByteReader cvt(tableData(font, "cvt "));
    hf.cvt.resize(cvt.size() / 2);
    for (std::int16_t& v : hf.cvt)
        v = cvt.i16();

    ByteReader maxp(tableData(font, "maxp"));
    maxp.skip(14); // version, numGlyphs, maxPoints, maxContours, maxCompositePoints, maxCompositeContours
    const std::uint16_t maxZones = maxp.u16();
    hf.maxTwilightPoints = maxp.u16();
    hf.maxStorage = maxp.u16();
    hf.maxFunctionDefs = maxp.u16();
    hf.maxInstructionDefs = maxp.u16();
    hf.maxStackElements = maxp.u16();
    if (!maxp.ok()) // version 0.5 (CFF) or cut short: no instructions can run
        hf = HintingFont{};
    (void)maxZones;

    ByteReader os2(tableData(font, "OS/2"));
    os2.skip(68);
    hf.typoAscender = os2.i16();
    hf.typoDescender = os2.i16();
    hf.hasOs2 = os2.ok();

    ByteReader post(tableData(font, "post"));
    post.skip(12);
    hf.fixedPitch = post.u32() != 0 && post.ok();
    hf.hdmx = tableData(font, "hdmx");
    hf.cvar = tableData(font, "cvar");
    return hf;
}

bool HasInstructions(const FontState& font, const HintingFont& hf)
{
    if (!hf.fpgm.empty() || !hf.prep.empty())
        return true;
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (!GlyphInstructions(font, g).bytes.empty())
            return true;
    return false;
}

int HdmxAdvance(const HintingFont& hf, int numGlyphs, int ppem, int g)
{
    ByteReader r(hf.hdmx);
    r.skip(2); // version
    const int records = r.i16();
    const std::uint32_t recordSize = r.u32();
    if (!r.ok() || g < 0 || g >= numGlyphs || recordSize < std::uint32_t(numGlyphs) + 2)
        return -1;
    for (int i = 0; i < records; ++i) {
        ByteReader rec(hf.hdmx);
        rec.seek(8 + std::size_t(i) * recordSize);
        const int pixelSize = rec.u8();
        if (!rec.ok())
            return -1;
        if (pixelSize == ppem) {
            rec.skip(1 + std::size_t(g)); // maxWidth
            const int width = rec.u8();
            return rec.ok() ? width : -1;
        }
    }
    return -1;
}
