#pragma once
// A font opened by FreeType, for expected values in tests.
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

class FreeTypeFace {
public:
    explicit FreeTypeFace(const std::string& path, long faceIndex = 0)
    {
        if (FT_Init_FreeType(&library_) != 0)
            library_ = nullptr;
        else if (FT_New_Face(library_, path.c_str(), faceIndex, &face_) != 0)
            face_ = nullptr;
    }
    ~FreeTypeFace()
    {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    // nullptr when FreeType could not open the file.
    FT_Face get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

#include <algorithm>
#include <filesystem>
#include <vector>

// Every DejaVu font file, sorted by path.
inline std::vector<std::string> dejavuFontPaths()
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(DEJAVU_DIR))
        if (entry.path().extension() == ".ttf")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}
