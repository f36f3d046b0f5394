#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "outline/location.h"

// Reads a --location value, "wght=700,wdth=87.5" (user values), into the
// location of the font's face; 0, or the usage error's status (an unknown tag,
// a malformed value, a font without variation axes).
int parseLocationOption(const std::string& value, std::span<const std::uint8_t> fontBytes, int faceIndex,
                        Location& location);
