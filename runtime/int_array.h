#pragma once
#include <cstdint>

namespace runtime {

// A one-dimensional table of 32-bit integers in one heap block: a header
// (dimension count, element count), then the elements. Indexed from 1;
// every access is checked and a bad index ends the program.
class IntArray {
public:
    static constexpr int kHeaderBytes = 8;

    IntArray() = default;
    // Allocates the block and zeroes the elements.
    static IntArray allocate(int32_t count);

    int32_t& at(int32_t index) const;
    int32_t count() const;
    const void* block() const { return block_; }
    // Frees the block; a table without one does nothing.
    void release();

private:
    explicit IntArray(int32_t* block) : block_(block) {}
    int32_t* block_ = nullptr;   // [0] dimension count, [1] element count, then elements
};

}  // namespace runtime
