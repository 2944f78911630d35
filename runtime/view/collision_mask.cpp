#include "runtime/view/collision_mask.h"

#include <cstdint>

#include "runtime/view/rect_ops.h"

namespace runtime::view {
namespace {

// 64 mask bits of a row starting at bit `offset`; the spare word at the end
// of each row keeps the read inside.
uint64_t bitsAt(const uint64_t* row, int offset) {
    const int word = offset / 64;
    const int shift = offset % 64;
    const uint64_t low = row[word] >> shift;
    return shift == 0 ? low : low | (row[word + 1] << (64 - shift));
}

}  // namespace

bool imagesOverlap(const FrameImage& a, Point atA, const FrameImage& b, Point atB) {
    const Rect common =
        intersect({atA.x, atA.y, a.width, a.height}, {atB.x, atB.y, b.width, b.height});
    if (common.empty()) return false;
    const int offA = common.left - atA.x;
    const int offB = common.left - atB.x;
    for (int y = common.top; y < common.bottom(); ++y) {
        const uint64_t* rowA = a.mask.data() + size_t(y - atA.y) * a.maskStride;
        const uint64_t* rowB = b.mask.data() + size_t(y - atB.y) * b.maskStride;
        for (int done = 0; done < common.width; done += 64) {
            const int left = common.width - done;
            const uint64_t keep = left >= 64 ? ~uint64_t(0) : (uint64_t(1) << left) - 1;
            if (bitsAt(rowA, offA + done) & bitsAt(rowB, offB + done) & keep) return true;
        }
    }
    return false;
}

}  // namespace runtime::view
