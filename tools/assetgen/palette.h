#pragma once
#include <cstdint>
#include <map>
#include <vector>

namespace assetgen {

// Picks at most `size` colours (0xRRGGBB) for the given ones by median cut,
// weighting each colour by how often it occurs; deterministic.
std::vector<uint32_t> medianCut(const std::map<uint32_t, int>& histogram, std::size_t size);

// The index of the entry nearest to `colour`, never `excluded`; the lowest
// index on a tie.
int nearestEntry(const std::vector<uint32_t>& table, uint32_t colour, int excluded);

}  // namespace assetgen
