#pragma once
#include <cstddef>
#include <span>

#include "outline/cff.h"

// Reads the region list and each item variation data's region indexes of
// the item variation store at `at` in the table. false when any of it runs
// past the table or a region index names no region.
bool ReadVariationRegions(std::span<const std::uint8_t> table, std::size_t at, CffVariations& variations);
