#include "tables/open_font.h"

#include <algorithm>
#include <variant>

FaceChoice ChooseFace(FileKind kind, std::span<const std::uint8_t> bytes, int face)
{
    FaceChoice choice;
    std::vector<std::uint32_t> offsets{0};
    if (kind == FileKind::Collection) {
        auto faces = ReadCollectionFaces(bytes);
        if (const Failure* bad = std::get_if<Failure>(&faces)) {
            choice.refusal = *bad;
            return choice;
        }
        offsets = std::get<std::vector<std::uint32_t>>(std::move(faces));
    }
    choice.faces = int(offsets.size());
    if (face < 0 || face >= choice.faces) {
        choice.refusal = Failure{NoSuchFace, {}, std::to_string(face)};
        choice.refusal->context.GlyphIndex = choice.faces;
        return choice;
    }
    choice.offset = offsets[std::size_t(face)];
    return choice;
}

OpenedFont OpenFontBytes(std::string fileName, FileKind kind, std::vector<std::uint8_t> bytes, bool composites, int face)
{
    constexpr int FirstShown = 4;
    OpenedFont opened;
    opened.kind = kind;
    opened.font.FontFileName = std::move(fileName);
    const FaceChoice choice = ChooseFace(kind, bytes, face);
    opened.faces = choice.faces;
    if (choice.refusal) {
        opened.result = LoadResult::Refused;
        opened.refusal = *choice.refusal;
        return opened;
    }
    opened.reports = LoadFont(std::move(bytes), opened.font, choice.offset);
    if (!opened.font.Loaded)
        return opened;
    opened.result = LoadResult::Loaded;
    opened.face = face;
    opened.font.Face = face;
    opened.lists = MakePickLists(opened.font, composites);
    const int count = int(opened.lists.GlyphList.size());
    if (count == 0)
        return opened;
    opened.firstEntry = std::min(FirstShown, count - 1);
    // The fifth entry shows glyph 4, whichever glyph the entry names.
    opened.firstGlyph = opened.firstEntry == FirstShown ? FirstShown : opened.lists.GlyphList[std::size_t(opened.firstEntry)];
    return opened;
}
