#include "platform/face_name.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_PARAMETER_TAGS_H

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
