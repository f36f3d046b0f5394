#pragma once
#include <string>
#include <string_view>

// 8-bit text from the font (post glyph names, name records) as UTF-8: every
// byte through Windows-1252.
std::string Windows1252ToUtf8(std::string_view bytes);
