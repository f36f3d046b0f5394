#include "platform/face_name.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_PARAMETER_TAGS_H
#include FT_SFNT_NAMES_H

#include "tables/names.h"

std::string GetFaceName(const std::string& path, int face)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return {};

    FT_Parameter ignoreTypographicFamily{FT_PARAM_TAG_IGNORE_TYPOGRAPHIC_FAMILY, nullptr};
    FT_Open_Args args{};
    args.flags = FT_OPEN_PATHNAME | FT_OPEN_PARAMS;
    args.pathname = const_cast<char*>(path.c_str());
    args.num_params = 1;
    args.params = &ignoreTypographicFamily;

    std::string name;
    FT_Face ftFace = nullptr;
    if (FT_Open_Face(library, &args, face, &ftFace) == 0) {
        if (ftFace->family_name)
            name = ftFace->family_name;
        FT_Done_Face(ftFace);
    }
    FT_Done_FreeType(library);
    return name;
}

namespace {

constexpr FT_UShort FullNameId = 4, WindowsPlatform = 3, EnglishUnitedStates = 0x409;

std::string fullNameOf(FT_Face face)
{
    std::string name;
    bool english = false;
    for (FT_UInt i = 0; i < FT_Get_Sfnt_Name_Count(face) && !english; ++i) {
        FT_SfntName record{};
        if (FT_Get_Sfnt_Name(face, i, &record) != 0 || record.name_id != FullNameId)
            continue;
        english = record.platform_id == WindowsPlatform && record.language_id == EnglishUnitedStates;
        if (name.empty() || english)
            name = DecodeNameBytes({record.string, record.string_len}, record.platform_id, record.encoding_id);
    }
    if (name.empty() && face->family_name)
        name = std::string(face->family_name) + (face->style_name ? " " + std::string(face->style_name) : "");
    return name;
}

} // namespace

std::vector<std::string> GetFaceFullNames(const std::string& path, int faces)
{
    std::vector<std::string> names;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return names;
    for (int i = 0; i < faces; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path.c_str(), i, &face) != 0) {
            names.emplace_back();
            continue;
        }
        names.push_back(fullNameOf(face));
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return names;
}
