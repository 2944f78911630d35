#include <algorithm>
#include <fstream>
#include <unordered_map>

#include "tools/render/image_writers.h"

namespace render {
namespace {

// The 256 most common colours of all frames.
std::vector<uint32_t> commonColours(const std::vector<Image>& frames) {
    std::unordered_map<uint32_t, uint64_t> counts;
    for (const Image& f : frames)
        for (uint32_t p : f.pixels) ++counts[p & 0xFFFFFF];
    std::vector<std::pair<uint64_t, uint32_t>> byCount;
    for (auto [colour, n] : counts) byCount.push_back({n, colour});
    std::sort(byCount.begin(), byCount.end(), [](auto a, auto b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    std::vector<uint32_t> palette;
    for (std::size_t i = 0; i < byCount.size() && i < 256; ++i) palette.push_back(byCount[i].second);
    palette.resize(256, 0);
    return palette;
}

class Indexer {
public:
    explicit Indexer(const std::vector<uint32_t>& palette) : palette_(palette) {}
    uint8_t operator()(uint32_t colour) {
        colour &= 0xFFFFFF;
        if (auto it = cache_.find(colour); it != cache_.end()) return it->second;
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < 256; ++i) {
            const long dr = static_cast<long>((colour >> 16) & 0xFF) - ((palette_[i] >> 16) & 0xFF);
            const long dg = static_cast<long>((colour >> 8) & 0xFF) - ((palette_[i] >> 8) & 0xFF);
            const long db = static_cast<long>(colour & 0xFF) - (palette_[i] & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i;
        }
        return cache_[colour] = static_cast<uint8_t>(best);
    }

private:
    const std::vector<uint32_t>& palette_;
    std::unordered_map<uint32_t, uint8_t> cache_;
};

// Variable-width LZW with 8-bit indices, packed into GIF sub-blocks.
std::vector<uint8_t> lzw(const std::vector<uint8_t>& indices) {
    constexpr int kClear = 256, kEnd = 257;
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int bitCount = 0;
    int width = 9;
    std::unordered_map<uint32_t, int> table;   // (prefix << 8 | byte) -> code
    int next = kEnd + 1;
    // The code width grows as the decoder's will: once the next free code
    // no longer fits, counted before this step's new entry.
    auto emit = [&](int code) {
        bits |= static_cast<uint32_t>(code) << bitCount;
        bitCount += width;
        while (bitCount >= 8) {
            bytes.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            bitCount -= 8;
        }
        if (next >= (1 << width) && width < 12) ++width;
    };
    emit(kClear);
    int prefix = -1;
    for (uint8_t v : indices) {
        if (prefix < 0) {
            prefix = v;
            continue;
        }
        const uint32_t key = static_cast<uint32_t>(prefix) << 8 | v;
        if (auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (next >= 4095) {
            emit(kClear);
            table.clear();
            next = kEnd + 1;
            width = 9;
        } else {
            table[key] = next++;
        }
        prefix = v;
    }
    if (prefix >= 0) emit(prefix);
    emit(kEnd);
    if (bitCount > 0) bytes.push_back(static_cast<uint8_t>(bits));

    std::vector<uint8_t> blocks = {8};   // minimum code size
    for (std::size_t at = 0; at < bytes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, bytes.size() - at);
        blocks.push_back(static_cast<uint8_t>(n));
        blocks.insert(blocks.end(), bytes.begin() + at, bytes.begin() + at + n);
    }
    blocks.push_back(0);
    return blocks;
}

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

bool writeGif(const std::string& path, const std::vector<Image>& frames, int delayCs) {
    if (frames.empty()) return false;
    const int w = frames[0].width, h = frames[0].height;
    const std::vector<uint32_t> palette = commonColours(frames);
    Indexer index(palette);

    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, w);
    put16(out, h);
    out.insert(out.end(), {0xF7, 0, 0});   // global table of 256
    for (uint32_t c : palette) out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});

    const Image* previous = nullptr;
    for (const Image& f : frames) {
        // Only the rectangle that changed since the previous frame.
        int left = 0, top = 0, right = w, bottom = h;
        if (previous) {
            left = w, top = h, right = 0, bottom = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (f.pixels[y * w + x] != previous->pixels[y * w + x]) {
                        left = std::min(left, x), right = std::max(right, x + 1);
                        top = std::min(top, y), bottom = std::max(bottom, y + 1);
                    }
            if (right <= left) left = 0, top = 0, right = 1, bottom = 1;
        }
        out.insert(out.end(), {0x21, 0xF9, 4, 0x04});   // keep the frame under the next
        put16(out, delayCs);
        out.insert(out.end(), {0, 0});
        out.push_back(0x2C);
        put16(out, left);
        put16(out, top);
        put16(out, right - left);
        put16(out, bottom - top);
        out.push_back(0);
        std::vector<uint8_t> indices;
        indices.reserve(static_cast<std::size_t>(right - left) * (bottom - top));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) indices.push_back(index(f.pixels[y * w + x]));
        const auto data = lzw(indices);
        out.insert(out.end(), data.begin(), data.end());
        previous = &f;
    }
    out.push_back(0x3B);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace render
