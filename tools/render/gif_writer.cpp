#include <fstream>
#include <map>
#include <unordered_map>

#include "tools/assetgen/gif_writer.h"
#include "tools/assetgen/palette.h"
#include "tools/render/image_writers.h"

namespace render {

bool writeGif(const std::string& path, const std::vector<Image>& frames, int delayCs) {
    if (frames.empty()) return false;
    std::map<uint32_t, int> histogram;
    for (const Image& f : frames)
        for (uint32_t p : f.pixels) ++histogram[p & 0xFFFFFF];
    std::vector<uint32_t> table = assetgen::medianCut(histogram, 256);
    table.resize(256, 0);

    std::unordered_map<uint32_t, uint8_t> nearest;
    std::vector<assetgen::GifFrame> gifFrames;
    for (const Image& f : frames) {
        assetgen::GifFrame frame{{}, delayCs, 1, -1};
        frame.indices.reserve(f.pixels.size());
        for (uint32_t p : f.pixels) {
            auto [at, added] = nearest.try_emplace(p & 0xFFFFFF, 0);
            if (added) at->second = static_cast<uint8_t>(assetgen::nearestEntry(table, p & 0xFFFFFF, -1));
            frame.indices.push_back(at->second);
        }
        gifFrames.push_back(std::move(frame));
    }
    const std::vector<uint8_t> bytes = assetgen::writeGif(frames[0].width, frames[0].height, table, 0, gifFrames);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace render
