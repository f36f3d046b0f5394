#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// A format 4 character-map subtable: segments of codes in file order, each
// code answered by the first segment whose endCode reaches it, as a walk
// through them would, even when a damaged subtable has them out of order.
class CmapSegments {
public:
    CmapSegments() = default;
    // Keeps the segments whose endCode lies inside the subtable; one whose
    // other fields run past it gives no glyph.
    explicit CmapSegments(std::span<const std::uint8_t> subtable);

    // The glyph number of a code; 0 when it has none, and for any lookup
    // that would leave the subtable.
    int glyphFor(std::uint32_t code) const;
    // Appends every code that maps to glyph g, in segment order.
    void appendCodesFor(int glyph, std::vector<char32_t>& codes) const;
    // Every code with a glyph, in ascending order, with its glyph.
    void forEachCode(const std::function<void(char32_t, int)>& visit) const;

    // segCountX2 / 2 as the subtable gives it.
    std::size_t claimedSegments() const { return claimed_; }
    // Whether the four segment arrays and reservedPad all lie inside the subtable.
    bool whole() const { return whole_; }

private:
    struct Segment {
        std::uint16_t endCode = 0, startCode = 0, idDelta = 0, idRangeOffset = 0;
        std::size_t idRangeOffsetAt = 0; // where its idRangeOffset field lies in the subtable
        std::uint16_t reach = 0;         // the highest endCode of it and the segments before it
        bool readable = false;           // its startCode, idDelta and idRangeOffset lie inside
    };
    int segmentGlyph(const Segment& s, std::uint32_t code) const;
    // Calls visit(segment, lowest code it answers) for each readable segment
    // that answers any code, in code order.
    template <typename Visit>
    void forEachAnswered(Visit visit) const;

    std::vector<Segment> segments_;
    std::vector<std::uint8_t> bytes_; // the subtable, for glyphIdArray
    std::size_t claimed_ = 0;
    bool whole_ = false;
};
