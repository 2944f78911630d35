#include "tools/assetgen/palette.h"

#include <algorithm>
#include <array>

namespace assetgen {
namespace {

struct Weighted {
    std::array<int, 3> rgb;
    int count;
};

int channel(uint32_t c, int i) { return static_cast<int>(c >> (16 - 8 * i) & 0xFF); }

struct Box {
    std::vector<Weighted> colours;

    int widestChannel() const {
        int best = 0, bestRange = -1;
        for (int i = 0; i < 3; ++i) {
            const auto [lo, hi] = std::minmax_element(colours.begin(), colours.end(),
                [i](const Weighted& a, const Weighted& b) { return a.rgb[i] < b.rgb[i]; });
            if (hi->rgb[i] - lo->rgb[i] > bestRange) {
                bestRange = hi->rgb[i] - lo->rgb[i];
                best = i;
            }
        }
        return best;
    }

    // How much splitting would help: the weighted spread on the widest channel.
    double spread() const {
        if (colours.size() < 2) return -1;
        const int i = widestChannel();
        double sum = 0, weight = 0;
        for (const Weighted& w : colours) {
            sum += double(w.rgb[i]) * w.count;
            weight += w.count;
        }
        const double mean = sum / weight;
        double spread = 0;
        for (const Weighted& w : colours) spread += (w.rgb[i] - mean) * (w.rgb[i] - mean) * w.count;
        return spread;
    }

    uint32_t average() const {
        std::array<double, 3> sum{};
        double weight = 0;
        for (const Weighted& w : colours) {
            for (int i = 0; i < 3; ++i) sum[i] += double(w.rgb[i]) * w.count;
            weight += w.count;
        }
        uint32_t c = 0;
        for (int i = 0; i < 3; ++i) c = c << 8 | static_cast<uint32_t>(sum[i] / weight + 0.5);
        return c;
    }
};

}  // namespace

std::vector<uint32_t> medianCut(const std::map<uint32_t, int>& histogram, std::size_t size) {
    std::vector<Box> boxes(1);
    for (const auto& [colour, count] : histogram)
        boxes[0].colours.push_back({{channel(colour, 0), channel(colour, 1), channel(colour, 2)}, count});
    while (boxes.size() < size) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const Box& a, const Box& b) { return a.spread() < b.spread(); });
        if (widest->spread() <= 0) break;
        const int i = widest->widestChannel();
        auto& colours = widest->colours;
        std::stable_sort(colours.begin(), colours.end(),
                         [i](const Weighted& a, const Weighted& b) { return a.rgb[i] < b.rgb[i]; });
        long total = 0;
        for (const Weighted& w : colours) total += w.count;
        long running = 0;
        std::size_t cut = 1;
        while (cut < colours.size() - 1 && (running += colours[cut - 1].count) * 2 < total) ++cut;
        Box upper{{colours.begin() + static_cast<long>(cut), colours.end()}};
        colours.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint32_t> table;
    for (const Box& box : boxes) table.push_back(box.average());
    return table;
}

int nearestEntry(const std::vector<uint32_t>& table, uint32_t colour, int excluded) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t e = 0; e < table.size(); ++e) {
        if (static_cast<int>(e) == excluded) continue;
        long d = 0;
        for (int i = 0; i < 3; ++i) {
            const long diff = channel(table[e], i) - channel(colour, i);
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(e);
        }
    }
    return best;
}

}  // namespace assetgen
