#pragma once
#include <cstddef>
#include <string_view>

#include "outline/cff.h"

// The string of a SID: a standard string below 391, else the font's String INDEX; empty when absent.
std::string_view CffString(const CffFont& font, std::size_t sid);

// The SID Standard Encoding gives character code `code`, 0 (.notdef) for none.
int StandardEncodingSid(int code);
