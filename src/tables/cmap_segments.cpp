#include "tables/cmap_segments.h"

#include <algorithm>

#include "sfnt/reader.h"

namespace {

constexpr std::size_t HeaderSize = 14; // format ... rangeShift; endCode follows

std::uint16_t valueAt(std::span<const std::uint8_t> bytes, std::size_t offset, bool& ok)
{
    ByteReader r(bytes);
    r.seek(offset);
    const std::uint16_t v = r.u16();
    ok = ok && r.ok();
    return v;
}

} // namespace

CmapSegments::CmapSegments(std::span<const std::uint8_t> subtable) : bytes_(subtable.begin(), subtable.end())
{
    bool ok = true;
    claimed_ = valueAt(bytes_, 6, ok) / 2u;
    if (!ok || bytes_.size() < HeaderSize)
        return;
    whole_ = HeaderSize + 8 * claimed_ + 2 <= bytes_.size();
    segments_.resize(std::min(claimed_, (bytes_.size() - HeaderSize) / 2));
    const std::size_t starts = HeaderSize + 2 * claimed_ + 2;
    std::uint16_t reach = 0;
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        Segment& s = segments_[i];
        s.endCode = valueAt(bytes_, HeaderSize + 2 * i, ok);
        reach = std::max(reach, s.endCode);
        s.reach = reach;
        bool fields = true;
        s.startCode = valueAt(bytes_, starts + 2 * i, fields);
        s.idDelta = valueAt(bytes_, starts + 2 * claimed_ + 2 * i, fields);
        s.idRangeOffsetAt = starts + 4 * claimed_ + 2 * i;
        s.idRangeOffset = valueAt(bytes_, s.idRangeOffsetAt, fields);
        s.readable = fields;
    }
}

int CmapSegments::segmentGlyph(const Segment& s, std::uint32_t code) const
{
    if (!s.readable || code < s.startCode || code > s.endCode)
        return 0;
    if (s.idRangeOffset == 0)
        return int((code + s.idDelta) & 0xFFFF);
    // Counted from the segment's own idRangeOffset field.
    bool ok = true;
    const std::uint16_t v = valueAt(bytes_, s.idRangeOffsetAt + s.idRangeOffset + 2 * std::size_t(code - s.startCode), ok);
    if (!ok || v == 0)
        return 0;
    return int((v + s.idDelta) & 0xFFFF);
}

int CmapSegments::glyphFor(std::uint32_t code) const
{
    if (code > 0xFFFF)
        return 0;
    // The running highest endCode never decreases, so the first segment
    // reaching the code can be found by halves.
    auto found = std::partition_point(segments_.begin(), segments_.end(),
                                      [&](const Segment& s) { return s.reach < code; });
    return found == segments_.end() ? 0 : segmentGlyph(*found, code);
}

// Segment i answers for the codes above the endCodes before it, up to its
// own: these ranges do not overlap and ascend, so at most 65536 codes are tried.
template <typename Visit>
void CmapSegments::forEachAnswered(Visit visit) const
{
    std::uint32_t answered = 0; // codes below this belong to earlier segments
    for (const Segment& s : segments_) {
        const std::uint32_t low = std::max<std::uint32_t>(answered, s.startCode);
        answered = std::max<std::uint32_t>(answered, s.endCode + 1u);
        if (s.readable && low <= s.endCode)
            visit(s, low);
    }
}

void CmapSegments::appendCodesFor(int glyph, std::vector<char32_t>& codes) const
{
    forEachAnswered([&](const Segment& s, std::uint32_t low) {
        if (s.idRangeOffset == 0) {
            const std::uint32_t code = (std::uint32_t(glyph) - s.idDelta) & 0xFFFF;
            if (code >= low && code <= s.endCode)
                codes.push_back(code);
            return;
        }
        for (std::uint32_t code = low; code <= s.endCode; ++code)
            if (segmentGlyph(s, code) == glyph)
                codes.push_back(code);
    });
}

void CmapSegments::forEachCode(const std::function<void(char32_t, int)>& visit) const
{
    forEachAnswered([&](const Segment& s, std::uint32_t low) {
        for (std::uint32_t code = low; code <= s.endCode; ++code)
            if (const int glyph = segmentGlyph(s, code))
                visit(code, glyph);
    });
}
