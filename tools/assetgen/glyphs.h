#pragma once
#include <string>
#include <vector>

#include "tools/assetgen/geometry.h"

namespace assetgen {

struct Glyph {
    char letter;
    Path outline;    // in pixels, y downward, placed on the line
    double penX;     // where its origin sits on the baseline
    double advance;
};

// Lays out one line of text from a font file's own outlines (no hinting, no
// rasteriser of the library), so the result depends only on the font's bytes.
// The baseline runs along y = 0 from x = 0; `tracking[i]` adds space before
// letter i. Throws when the font cannot be read.
std::vector<Glyph> layOutText(const std::string& fontFile, const std::string& text, double pixelsPerEm,
                              const std::vector<double>& tracking);

}  // namespace assetgen
