#pragma once
#include <string>

// The face name the system gives the font file at path (UTF-8): its legacy
// family name, the one that names a single weight ("DejaVu Sans Light", not
// the typographic family "DejaVu Sans"), of a collection's face `face`. ""
// when the file is no font FreeType can open, or names no family.
std::string GetFaceName(const std::string& path, int face = 0);
