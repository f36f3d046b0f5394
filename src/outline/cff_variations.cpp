#include "outline/cff_variations.h"

namespace {

constexpr double F2Dot14 = 16384.0;

bool readRegionList(ByteReader& r, CffVariations& variations)
{
    variations.axisCount = r.u16();
    const std::size_t regionCount = r.u16();
    const std::size_t triples = regionCount * std::size_t(variations.axisCount);
    if (!r.canRead(triples * 6))
        return false;
    variations.regionAxes.resize(triples);
    for (auto& axis : variations.regionAxes)
        for (double& value : axis)
            value = r.i16() / F2Dot14;
    return r.ok();
}

bool readDataRegions(ByteReader& r, CffVariations& variations, std::size_t regionCount)
{
    r.skip(4); // itemCount, wordDeltaCount
    const std::size_t count = r.u16();
    if (!r.canRead(2 * count))
        return false;
    std::vector<std::uint16_t> regions(count);
    for (std::uint16_t& region : regions) {
        region = r.u16();
        if (region >= regionCount)
            return false;
    }
    variations.dataRegions.push_back(std::move(regions));
    return r.ok();
}

// One axis's share of a region's scalar.
double axisScalar(const std::array<double, 3>& axis, double coordinate)
{
    const auto [start, peak, end] = axis;
    if (peak == 0 || start > peak || peak > end || (start < 0 && end > 0))
        return 1;
    if (coordinate < start || coordinate > end)
        return 0;
    if (coordinate == peak)
        return 1;
    return coordinate < peak ? (coordinate - start) / (peak - start) : (end - coordinate) / (end - peak);
}

} // namespace

bool ReadVariationRegions(std::span<const std::uint8_t> table, std::size_t at, CffVariations& variations)
{
    ByteReader r(table);
    r.seek(at);
    r.skip(2); // format
    const std::uint32_t regionList = r.u32();
    const std::size_t dataCount = r.u16();
    if (!r.canRead(4 * dataCount))
        return false;
    std::vector<std::uint32_t> dataOffsets(dataCount);
    for (std::uint32_t& offset : dataOffsets)
        offset = r.u32();
    r.seek(at + regionList);
    if (!r.ok() || !readRegionList(r, variations))
        return false;
    const std::size_t axes = std::size_t(variations.axisCount);
    const std::size_t regionCount = axes == 0 ? 0 : variations.regionAxes.size() / axes;
    for (const std::uint32_t offset : dataOffsets) {
        r.seek(at + offset);
        if (!r.ok() || !readDataRegions(r, variations, regionCount))
            return false;
    }
    return true;
}

std::optional<std::vector<double>> BlendScalars(const CffVariations& variations, int vsindex,
                                                const Location& location)
{
    if (vsindex < 0 || std::size_t(vsindex) >= variations.dataRegions.size())
        return std::nullopt;
    const std::size_t axes = std::size_t(variations.axisCount);
    std::vector<double> scalars;
    for (const std::uint16_t region : variations.dataRegions[std::size_t(vsindex)]) {
        double scalar = 1;
        for (std::size_t a = 0; a < axes; ++a) {
            const double coordinate = a < location.normalized.size() ? location.normalized[a] : 0;
            scalar *= axisScalar(variations.regionAxes[std::size_t(region) * axes + a], coordinate);
        }
        scalars.push_back(scalar);
    }
    return scalars;
}
