#include "tools/assetgen/mask.h"

#include <algorithm>
#include <limits>

namespace assetgen {
namespace {

struct Crossing {
    double x;
    int winding;
};


constexpr double kFar = 1e18;

// Squared distance from each entry to the nearest entry that is 0, along one
// line, in place: the lower envelope of the parabolas rooted at the
// entries (Felzenszwalb and Huttenlocher).
void distance1d(std::vector<double>& f) {
    std::vector<int> roots;
    std::vector<double> starts;  // where each root's parabola becomes the lowest
    for (int q = 0; q < static_cast<int>(f.size()); ++q) {
        if (f[q] >= kFar) continue;
        double s = -std::numeric_limits<double>::infinity();
        while (!roots.empty()) {
            const int p = roots.back();
            s = ((f[q] + 1.0 * q * q) - (f[p] + 1.0 * p * p)) / (2.0 * (q - p));
            if (s > starts.back()) break;
            roots.pop_back();
            starts.pop_back();
            s = -std::numeric_limits<double>::infinity();
        }
        roots.push_back(q);
        starts.push_back(s);
    }
    if (roots.empty()) return;
    std::vector<double> out(f.size());
    std::size_t k = 0;
    for (int q = 0; q < static_cast<int>(f.size()); ++q) {
        while (k + 1 < roots.size() && starts[k + 1] < q) ++k;
        const double d = q - roots[k];
        out[q] = d * d + f[roots[k]];
    }
    f.swap(out);
}

}  // namespace

Mask::Mask(int width, int height)
    : width_(width), height_(height), sw_(width * kSub), sh_(height * kSub),
      samples_(static_cast<std::size_t>(sw_) * sh_, 0) {}

Mask& Mask::add(const Path& path) {
    std::vector<Crossing> crossings;
    for (int sy = 0; sy < sh_; ++sy) {
        const double y = (sy + 0.5) / kSub;
        crossings.clear();
        for (const auto& contour : path.contours()) {
            for (std::size_t i = 0; i < contour.size(); ++i) {
                const Point a = contour[i];
                const Point b = contour[(i + 1) % contour.size()];
                if ((a.y <= y) == (b.y <= y)) continue;
                const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
                crossings.push_back({x, b.y > a.y ? 1 : -1});
            }
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0) continue;
            // Samples whose centres lie between this crossing and the next.
            const int from = std::max(0, static_cast<int>(std::ceil(crossings[i].x * kSub - 0.5)));
            const int to = std::min(sw_, static_cast<int>(std::ceil(crossings[i + 1].x * kSub - 0.5)));
            for (int sx = from; sx < to; ++sx) samples_[static_cast<std::size_t>(sy) * sw_ + sx] = 1;
        }
    }
    return *this;
}

Mask& Mask::unite(const Mask& other) {
    for (std::size_t i = 0; i < samples_.size(); ++i) samples_[i] |= other.samples_[i];
    return *this;
}

Mask& Mask::subtract(const Mask& other) {
    for (std::size_t i = 0; i < samples_.size(); ++i) samples_[i] &= static_cast<uint8_t>(!other.samples_[i]);
    return *this;
}

Mask& Mask::intersect(const Mask& other) {
    for (std::size_t i = 0; i < samples_.size(); ++i) samples_[i] &= other.samples_[i];
    return *this;
}

std::vector<double> Mask::squaredDistanceToSet() const {
    std::vector<double> grid(samples_.size());
    for (std::size_t i = 0; i < samples_.size(); ++i) grid[i] = samples_[i] ? 0 : kFar;
    std::vector<double> line(static_cast<std::size_t>(sw_));
    for (int y = 0; y < sh_; ++y) {
        std::copy_n(grid.begin() + static_cast<long>(y) * sw_, sw_, line.begin());
        distance1d(line);
        std::copy(line.begin(), line.end(), grid.begin() + static_cast<long>(y) * sw_);
    }
    line.resize(static_cast<std::size_t>(sh_));
    for (int x = 0; x < sw_; ++x) {
        for (int y = 0; y < sh_; ++y) line[y] = grid[static_cast<std::size_t>(y) * sw_ + x];
        distance1d(line);
        for (int y = 0; y < sh_; ++y) grid[static_cast<std::size_t>(y) * sw_ + x] = line[y];
    }
    return grid;
}

Mask Mask::grown(double radius) const {
    const double limit = radius * kSub * radius * kSub;
    const auto distance = squaredDistanceToSet();
    Mask out(width_, height_);
    for (std::size_t i = 0; i < samples_.size(); ++i) out.samples_[i] = distance[i] <= limit;
    return out;
}

Mask Mask::shrunk(double radius) const {
    Mask outside(width_, height_);
    for (std::size_t i = 0; i < samples_.size(); ++i) outside.samples_[i] = !samples_[i];
    Mask out = outside.grown(radius);
    for (std::size_t i = 0; i < samples_.size(); ++i) out.samples_[i] = samples_[i] && !out.samples_[i];
    return out;
}

Mask Mask::shifted(double dx, double dy) const {
    const int sx = static_cast<int>(std::lround(dx * kSub));
    const int sy = static_cast<int>(std::lround(dy * kSub));
    Mask out(width_, height_);
    for (int y = 0; y < sh_; ++y)
        for (int x = 0; x < sw_; ++x) {
            const int fx = x - sx, fy = y - sy;
            if (fx >= 0 && fx < sw_ && fy >= 0 && fy < sh_)
                out.samples_[static_cast<std::size_t>(y) * sw_ + x] = samples_[static_cast<std::size_t>(fy) * sw_ + fx];
        }
    return out;
}

double Mask::coverage(int x, int y) const {
    int count = 0;
    for (int j = 0; j < kSub; ++j) {
        const uint8_t* row = &samples_[static_cast<std::size_t>(y * kSub + j) * sw_ + x * kSub];
        for (int i = 0; i < kSub; ++i) count += row[i];
    }
    return static_cast<double>(count) / (kSub * kSub);
}

bool Mask::empty() const { return std::none_of(samples_.begin(), samples_.end(), [](uint8_t s) { return s != 0; }); }

}  // namespace assetgen
