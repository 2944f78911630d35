#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/card_layout.h"
#include "tools/assetgen/generators.h"
#include "tools/assetgen/gif_writer.h"
#include "tools/assetgen/glyphs.h"
#include "tools/assetgen/ornaments.h"
#include "tools/assetgen/palette.h"

namespace assetgen {
namespace {

using namespace card;

constexpr double kEm = 42;
constexpr double kSlant = 0.10;
constexpr double kBaseline = 62;
constexpr double kLeft = 3;

constexpr double kRim = 1.6;

// Everything but the lights, which change from frame to frame.
struct Scene {
    Mask text{kWidth, kHeight};
    Peeking bird;
    std::vector<Ornament> onTop;
};

Ornament lightsOnTheT(int frame) {
    return lights(kWidth, kHeight, {187, 41.5}, {204, 56}, {225, 43}, 5, frame);
}

Scene layOut(const std::string& fontFile) {
    const Affine place = Affine::shear(kSlant).then(Affine::translate(kLeft, kBaseline));
    Scene scene{.text = Mask(kWidth, kHeight),
                .bird = bird(kWidth, kHeight, {67.5, 39}, 15, 47, {59.5, 46}, {76, 46}),
                .onTop = {}};
    for (const Glyph& g : layOutText(fontFile, "Merry Christmas", kEm, {})) scene.text.add(g.outline.transformed(place));
    scene.onTop = {
        bauble(kWidth, kHeight, {21.5, 44}, 5.2, Colour{225, 30, 45}, {21.5, 32}, false),
        bauble(kWidth, kHeight, {33.5, 51}, 4.6, Colour{255, 140, 20}, {35.5, 33}, false),
        tree(kWidth, kHeight, {127, 61}, 22),
        bauble(kWidth, kHeight, {191, 28}, 6.5, Colour{40, 175, 80}, {191, 11}, true),
        bell(kWidth, kHeight, {282, 35}, 24),
    };
    return scene;
}

// The silhouette of the whole card: what its white rim runs round.
Mask silhouetteOf(const Scene& scene, const Ornament& lit) {
    Mask all = scene.text;
    all.unite(scene.bird.behind.silhouette).unite(scene.bird.hands.silhouette).unite(lit.silhouette);
    for (const Ornament& o : scene.onTop) all.unite(o.silhouette);
    return all;
}

Canvas drawFrame(const Scene& scene, const Ornament& lit, const Mask& silhouette) {
    Canvas canvas(kWidth, kHeight);
    canvas.paint(silhouette.grown(kRim), Colour{255, 255, 255});
    scene.bird.behind.draw(canvas);  // peeking over the letters from behind
    canvas.paint(scene.text.grown(1.0), Colour{255, 255, 255});
    const Paint ice = [](Point p) {
        const double t = std::clamp((p.y - 30) / 36.0, 0.0, 1.0);
        return mix(Colour{222, 240, 255}, Colour{150, 198, 246}, t);
    };
    canvas.paint(scene.text, Colour{104, 152, 218});
    canvas.paint(scene.text.shrunk(0.7), ice);
    std::vector<const Ornament*> ornaments = {&scene.bird.hands};
    for (const Ornament& o : scene.onTop) ornaments.push_back(&o);
    ornaments.push_back(&lit);
    for (const Ornament* o : ornaments) {
        canvas.paint(o->silhouette.grown(0.8), Colour{255, 255, 255});
        o->draw(canvas);
    }
    return canvas;
}

uint32_t packed(Colour c) {
    const auto channel = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

constexpr uint32_t kSeeThrough = 0xFF000000;  // not a colour: marks transparent pixels

// Pixels less than half covered by the card are see-through. The others
// take the card's own colour: a binary edge cannot blend into a desktop it
// does not know, so it stays white rather than shading into the black.
std::vector<uint32_t> colourFrame(const Scene& scene, int frame) {
    const Ornament lit = lightsOnTheT(frame);
    const Mask silhouette = silhouetteOf(scene, lit);
    const Mask visible = silhouette.grown(kRim);
    const Canvas canvas = drawFrame(scene, lit, silhouette);
    std::vector<uint32_t> colours;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Canvas::Pixel& p = canvas.at(x, y);
            colours.push_back(visible.coverage(x, y) < 0.5 ? kSeeThrough : packed(scaled(p.colour, 1 / p.alpha)));
        }
    return colours;
}

void checkOnlyTheLightsChange(const std::vector<std::vector<uint32_t>>& frames) {
    for (std::size_t i = 0; i < frames[0].size(); ++i) {
        const int x = static_cast<int>(i) % kWidth, y = static_cast<int>(i) / kWidth;
        const bool inLights = x >= kLightsArea.left && x < kLightsArea.left + kLightsArea.width &&
                              y >= kLightsArea.top && y < kLightsArea.top + kLightsArea.height;
        for (const auto& frame : frames)
            if (!inLights && frame[i] != frames[0][i]) throw std::logic_error("a frame differs outside the lights");
    }
}

// 255 colours chosen from all frames together, the transparent black at its
// own index. No other entry may be black (it would vanish with the shadow)
// or the window's colour key (it would vanish with the background).
std::vector<uint32_t> colourTable(const std::vector<std::vector<uint32_t>>& frames) {
    std::map<uint32_t, int> histogram;
    for (const auto& frame : frames)
        for (uint32_t c : frame)
            if (c != kSeeThrough) ++histogram[c];
    const std::vector<uint32_t> chosen = medianCut(histogram, 255);
    std::vector<uint32_t> table(256, 0xFFFFFF);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        uint32_t c = chosen[i];
        if (c == 0x000000 || c == kColourKey) c += 1;  // one step bluer
        table[i < kTransparentIndex ? i : i + 1] = c;
    }
    table[kTransparentIndex] = 0x000000;
    return table;
}

}  // namespace

std::vector<uint8_t> makeCardGif(const std::string& fontFile) {
    const Scene scene = layOut(fontFile);
    std::vector<std::vector<uint32_t>> colours;
    for (int f = 0; f < kFrames; ++f) colours.push_back(colourFrame(scene, f));
    checkOnlyTheLightsChange(colours);
    const std::vector<uint32_t> table = colourTable(colours);

    std::map<uint32_t, uint8_t> lookup;
    std::vector<GifFrame> frames;
    for (const auto& frame : colours) {
        GifFrame out{.indices = {}, .delayCs = kDelayCs, .disposal = 2, .transparentIndex = kTransparentIndex};
        for (uint32_t c : frame) {
            if (c == kSeeThrough) {
                out.indices.push_back(kTransparentIndex);
                continue;
            }
            auto [it, fresh] = lookup.try_emplace(c, 0);
            if (fresh) it->second = static_cast<uint8_t>(nearestEntry(table, c, kTransparentIndex));
            out.indices.push_back(it->second);
        }
        frames.push_back(std::move(out));
    }
    return writeGif(kWidth, kHeight, table, kTransparentIndex, frames);
}

}  // namespace assetgen
