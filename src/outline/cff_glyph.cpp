#include "outline/cff_glyph.h"

#include <algorithm>

#include "outline/charstring.h"
#include "sfnt/table_directory.h"

namespace {

// Whether a charstring ends in endchar's accented form, read without running
// it: four operands (five with the width) before a final endchar. One that
// calls a subroutine before a hint mask is taken as plain, since the mask's
// length then depends on stems this reading does not see.
bool endsAccented(std::span<const std::uint8_t> code)
{
    ByteReader r(code);
    int operands = 0, stems = 0, lastOp = -1, lastOperands = 0;
    bool called = false;
    while (r.pos() < r.size() && r.ok()) {
        const int b0 = r.u8();
        if (b0 >= 32 || b0 == ShortInt) {
            r.skip(b0 == ShortInt ? 2 : b0 == Fixed1616 ? 4 : b0 >= 247 ? 1 : 0);
            ++operands;
            continue;
        }
        lastOp = b0 == Escape ? 1200 + r.u8() : b0;
        lastOperands = operands;
        called |= lastOp == CallSubr || lastOp == CallGSubr;
        if (lastOp == HStem || lastOp == VStem || lastOp == HStemHm || lastOp == VStemHm)
            stems += operands / 2;
        if (lastOp == HintMask || lastOp == CntrMask) {
            if (called)
                return false;
            stems += operands / 2;
            r.skip(std::size_t(stems + 7) / 8);
        }
        operands = 0;
        if (lastOp == EndChar)
            break;
    }
    return r.ok() && lastOp == EndChar && (lastOperands == 4 || lastOperands == 5);
}

// Decodes glyph g into part, moved by dx, dy; the failure (code 18) when its
// charstring cannot be run.
MaybeFailure decodePart(const FontState& font, int g, const Location& location, int dx, int dy,
                        WorkingValues& work, PlacedOutline& part, std::optional<CffAccented>* accented = nullptr)
{
    auto decoded = DecodeCharString(*font.Cff, g, location, work);
    if (Failure* failure = std::get_if<Failure>(&decoded)) {
        // The caller's working values as the charstring left them.
        const ErrorContext& at = failure->context;
        work.GlyphIndex = at.GlyphIndex;
        work.NumberOfContours = at.NumberOfContours;
        work.PointCount = at.PointCount;
        work.CurvePoint = at.CurvePoint;
        return std::move(*failure);
    }
    CffGlyph& glyph = std::get<CffGlyph>(decoded);
    part.outline = std::move(glyph.contours);
    for (OutlinePoint& p : part.outline.points) {
        p.x += dx;
        p.y += dy;
    }
    work.NumberOfContours = int(part.outline.ends.size());
    work.PointCount = std::int32_t(part.outline.points.size());
    part.glyph = g;
    part.matrix = IdentityMatrix;
    part.dx = dx;
    part.dy = dy;
    if (accented)
        *accented = glyph.accented;
    return std::nullopt;
}

void abandon(ResolvedGlyph& out, Failure failure)
{
    out.status = OutlineStatus::Abandoned;
    out.failure = std::move(failure);
    out.parts.clear();
    out.components.clear();
}

} // namespace

MaybeFailure OpenCffOutlines(FontState& font)
{
    const bool cff2 = TableBytes(font, "CFF ").empty();
    auto opened = ReadCff(TableBytes(font, cff2 ? "CFF2" : "CFF "), cff2);
    if (Failure* failure = std::get_if<Failure>(&opened))
        return std::move(*failure);
    const auto cff = std::make_shared<const CffFont>(std::move(std::get<CffFont>(opened)));
    const auto count = std::size_t(font.NumGlyphs);
    font.GlyphBox.assign(count, BBox{});
    font.GlyphKinds.assign(count, GlyphKind::Simple);
    if (!cff->cff2 && !cff->cidKeyed) // only a font with a standard charset can name an accent's glyphs
        for (std::size_t g = 0; g < count; ++g)
            if (const auto code = cff->charStrings.item(std::uint32_t(g)); code && endsAccented(*code))
                font.GlyphKinds[g] = GlyphKind::Composite;
    font.Cff = cff;
    return std::nullopt;
}

void ResolveCffGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                     ResolvedGlyph& out, bool components)
{
    out.components.clear();
    out.failure = {};
    out.parts.resize(1);
    std::optional<CffAccented> accented;
    if (MaybeFailure failure = decodePart(font, g, location, 0, 0, work, out.parts[0], &accented))
        return abandon(out, std::move(*failure));
    if (!accented) {
        out.status = out.parts[0].outline.points.empty() ? OutlineStatus::Empty : OutlineStatus::Decoded;
        out.parts.resize(out.status == OutlineStatus::Empty ? 0 : 1);
        return;
    }
    out.status = OutlineStatus::Composite;
    out.components = {{accented->base, ARGS_ARE_XY_VALUES, IdentityMatrix, 0, 0},
                      {accented->accent, ARGS_ARE_XY_VALUES, IdentityMatrix, accented->dx, accented->dy}};
    out.parts.resize(components ? 2 : 0);
    for (std::size_t k = 0; k < out.parts.size(); ++k) {
        const Component& c = out.components[k];
        if (MaybeFailure failure = decodePart(font, c.glyph, location, c.dx, c.dy, work, out.parts[k]))
            return abandon(out, std::move(*failure));
    }
    work.NumberOfContours = out.NumberOfContours();
}

BBox CffGlyphBox(const FontState& font, int g)
{
    const auto decoded = DecodeCharString(*font.Cff, g, {});
    const CffGlyph* glyph = std::get_if<CffGlyph>(&decoded);
    if (!glyph || glyph->contours.points.empty())
        return {};
    const auto& points = glyph->contours.points;
    auto clamp = [](std::int32_t v) { return std::int16_t(std::clamp<std::int32_t>(v, -32768, 32767)); };
    BBox box{clamp(points[0].x), clamp(points[0].y), clamp(points[0].x), clamp(points[0].y)};
    for (const OutlinePoint& p : points) {
        box.XMin = std::min(box.XMin, clamp(p.x));
        box.YMin = std::min(box.YMin, clamp(p.y));
        box.XMax = std::max(box.XMax, clamp(p.x));
        box.YMax = std::max(box.YMax, clamp(p.y));
    }
    return box;
}
