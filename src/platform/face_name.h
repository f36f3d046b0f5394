#pragma once
#include <string>
#include <vector>

// The face name the system gives the font file at path (UTF-8): its legacy
// family name, the one that names a single weight ("DejaVu Sans Light", not
// the typographic family "DejaVu Sans"), of a collection's face `face`. ""
// when the file is no font FreeType can open, or names no family.
std::string GetFaceName(const std::string& path, int face = 0);

// The full name (name ID 4) of each of a collection's `faces` faces, as the
// Windows English record gives it, else the first such record; a face
// without one is named by its family and style.
std::vector<std::string> GetFaceFullNames(const std::string& path, int faces);
