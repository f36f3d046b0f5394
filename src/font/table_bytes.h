#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "font/font_state.h"

// The bytes of the first table tagged `tag` (case-sensitive), cut at the end
// of the file; empty when the font has no such table or it starts beyond the
// end. Shows no message and does not move the font's cursor.
std::span<const std::uint8_t> TableBytes(const FontState& font, std::string_view tag);
