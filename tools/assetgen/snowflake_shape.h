#pragma once
#include "tools/assetgen/mask.h"

namespace assetgen {

// Proportions of a six-armed flake, as shares of its radius.
struct FlakeStyle {
    double armWidth = 0.12;
    double branchWidth = 0.09;
    double hexagonRadius = 0.2;
    bool holes = false;  // small holes through the hexagon
};

// The flake centred in a size × size picture, its arm tips on the edges,
// turned `degrees` clockwise from one arm pointing straight up.
Mask snowflakeMask(int size, double degrees, const FlakeStyle& style);

}  // namespace assetgen
