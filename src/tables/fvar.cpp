#include "tables/fvar.h"

#include <algorithm>

#include "sfnt/table_directory.h"
#include "tables/font_state.h"
#include "tables/names.h"

namespace {

// The text of name `id`: Windows English first, else the first record with it.
std::string nameText(const FontState& font, const NameTable& names, int id, const std::string& fallback)
{
    std::optional<std::size_t> found;
    for (std::size_t k = 0; k < names.Records.size(); ++k) {
        const NameRecord& rec = names.Records[k];
        if (rec.nameID != id)
            continue;
        if (rec.platformID == 3 && rec.languageID == 0x409) {
            found = k;
            break;
        }
        if (!found)
            found = k;
    }
    return found ? NameText(font, names, *found) : fallback;
}

Fixed readFixed(ByteReader& r)
{
    return Fixed(r.u32());
}

bool readAxes(ByteReader& r, int count, int size, const FontState& font, const NameTable& names,
              std::vector<FvarAxis>& axes)
{
    if (size < 20 || !r.canRead(std::size_t(count) * std::size_t(size)))
        return false;
    axes.resize(std::size_t(count));
    for (FvarAxis& axis : axes) {
        const std::size_t start = r.pos();
        for (int i = 0; i < 4; ++i)
            axis.tag += char(r.u8());
        axis.min = readFixed(r);
        axis.def = readFixed(r);
        axis.max = readFixed(r);
        axis.hidden = r.u16() & HIDDEN_AXIS;
        axis.name = nameText(font, names, r.u16(), axis.tag);
        if (axis.min > axis.def || axis.def > axis.max)
            return false;
        r.seek(start + std::size_t(size));
    }
    return r.ok();
}

bool readInstances(ByteReader& r, int count, int size, std::size_t axisCount, const FontState& font,
                   const NameTable& names, std::vector<FvarInstance>& instances)
{
    if (std::size_t(size) < axisCount * 4 + 4 || !r.canRead(std::size_t(count) * std::size_t(size)))
        return false;
    instances.resize(std::size_t(count));
    for (FvarInstance& instance : instances) {
        const std::size_t start = r.pos();
        const int nameId = r.u16();
        r.skip(2); // flags
        instance.coordinates.resize(axisCount);
        for (Fixed& c : instance.coordinates)
            c = readFixed(r);
        instance.name = nameText(font, names, nameId, "Instance " + std::to_string(nameId));
        r.seek(start + std::size_t(size));
    }
    return r.ok();
}

std::vector<SegmentMap> readAvar(std::span<const std::uint8_t> table, std::size_t axisCount)
{
    ByteReader r(table);
    r.skip(6); // version, reserved
    if (r.u16() != axisCount || !r.ok())
        return {};
    std::vector<SegmentMap> maps(axisCount);
    for (SegmentMap& map : maps) {
        const int count = r.u16();
        if (!r.canRead(std::size_t(count) * 4))
            return {};
        for (int k = 0; k < count; ++k) {
            const Fixed from = Fixed(r.i16()) * 4;
            map.emplace_back(from, Fixed(r.i16()) * 4);
        }
    }
    return maps;
}

std::optional<GvarTable> readGvar(const FontState& font, std::span<const std::uint8_t> table, std::size_t axisCount)
{
    ByteReader r(table);
    r.skip(4); // version
    GvarTable gvar;
    gvar.offset = std::size_t(table.data() - font.FontBytes.data());
    gvar.length = table.size();
    gvar.axisCount = r.u16();
    const int sharedCount = r.u16();
    const std::uint32_t sharedOffset = r.u32();
    const int glyphCount = r.u16();
    const bool longOffsets = r.u16() & 1;
    const std::uint32_t dataStart = r.u32();
    if (!r.ok() || glyphCount > font.NumGlyphs || !r.canRead(std::size_t(glyphCount + 1) * (longOffsets ? 4 : 2))) {
        gvar.unusable = "the glyph variation table's header is damaged";
        return gvar;
    }
    if (std::size_t(gvar.axisCount) != axisCount) {
        gvar.unusable = "the glyph variation table has " + std::to_string(gvar.axisCount) + " axes, the font "
                      + std::to_string(axisCount);
        return gvar;
    }
    gvar.offsets.resize(std::size_t(glyphCount) + 1);
    for (std::uint32_t& o : gvar.offsets)
        o = dataStart + (longOffsets ? r.u32() : std::uint32_t(r.u16()) * 2);
    r.seek(sharedOffset);
    if (!r.canRead(std::size_t(sharedCount) * axisCount * 2)) {
        gvar.offsets.clear();
        gvar.unusable = "the shared tuples run past the table";
        return gvar;
    }
    gvar.sharedTuples.resize(std::size_t(sharedCount) * axisCount);
    for (Fixed& peak : gvar.sharedTuples)
        peak = Fixed(r.i16()) * 4;
    return gvar;
}

void readHvar(std::span<const std::uint8_t> table, std::size_t axisCount, FontVariations& out)
{
    ByteReader r(table);
    r.skip(4); // version
    const std::uint32_t storeOffset = r.u32();
    const std::uint32_t advanceMapOffset = r.u32();
    if (!r.ok())
        return;
    out.hvar = ReadItemVariationStore(table, storeOffset);
    if (out.hvar && out.hvar->axisCount != int(axisCount))
        out.hvar.reset();
    if (out.hvar && advanceMapOffset != 0) {
        out.advanceMap = ReadDeltaSetIndexMap(table, advanceMapOffset);
        if (!out.advanceMap)
            out.hvar.reset();
    }
}

} // namespace

FontVariations ReadVariations(const FontState& font)
{
    FontVariations out;
    const auto fvar = TableBytes(font, "fvar");
    ByteReader r(fvar);
    r.skip(4); // version
    const int axesOffset = r.u16();
    r.skip(2);
    const int axisCount = r.u16();
    const int axisSize = r.u16();
    const int instanceCount = r.u16();
    const int instanceSize = r.u16();
    if (!r.ok() || axisCount == 0)
        return out;
    NameTable names;
    ReadNameTable(font, names); // without names, axes and instances are named by their tags
    r.seek(std::size_t(axesOffset));
    if (!readAxes(r, axisCount, axisSize, font, names, out.axes)
        || !readInstances(r, instanceCount, instanceSize, out.axes.size(), font, names, out.instances))
        return FontVariations();
    out.avar = readAvar(TableBytes(font, "avar"), out.axes.size());
    if (const auto gvar = TableBytes(font, "gvar"); !gvar.empty())
        out.gvar = readGvar(font, gvar, out.axes.size());
    if (const auto hvar = TableBytes(font, "HVAR"); !hvar.empty())
        readHvar(hvar, out.axes.size(), out);
    return out;
}

std::vector<Fixed> DefaultCoordinates(const FontVariations& variations)
{
    std::vector<Fixed> user;
    for (const FvarAxis& axis : variations.axes)
        user.push_back(axis.def);
    return user;
}

namespace {

Fixed normalizeAxis(const FvarAxis& axis, Fixed v)
{
    v = std::clamp(v, axis.min, axis.max);
    if (v < axis.def)
        return -DivFix(std::int64_t(v) - axis.def, std::int64_t(axis.min) - axis.def);
    if (v > axis.def)
        return DivFix(std::int64_t(v) - axis.def, std::int64_t(axis.max) - axis.def);
    return 0;
}

Fixed mapped(const SegmentMap& map, Fixed v)
{
    for (std::size_t j = 1; j < map.size(); ++j)
        if (v < map[j].first && map[j].first > map[j - 1].first)
            return MulDiv(std::int64_t(v) - map[j - 1].first, std::int64_t(map[j].second) - map[j - 1].second,
                          std::int64_t(map[j].first) - map[j - 1].first)
                 + map[j - 1].second;
    return v;
}

} // namespace

Location Normalize(const FontVariations& variations, std::span<const Fixed> user)
{
    Location location;
    bool moved = false;
    for (std::size_t i = 0; i < variations.axes.size(); ++i) {
        const FvarAxis& axis = variations.axes[i];
        Fixed v = normalizeAxis(axis, i < user.size() ? user[i] : axis.def);
        if (i < variations.avar.size())
            v = mapped(variations.avar[i], v);
        moved = moved || v != 0;
        location.normalized.push_back(double(v) / FixedOne);
    }
    if (!moved)
        location.normalized.clear();
    return location;
}
