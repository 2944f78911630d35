#include "runtime/int_array.h"

#include <cstring>

#include "runtime/errors.h"
#include "runtime/operations.h"

namespace runtime {

IntArray IntArray::allocate(int32_t count) {
    const auto bytes = static_cast<std::size_t>(kHeaderBytes) + static_cast<std::size_t>(count) * 4;
    auto* block = static_cast<int32_t*>(runtime::allocate(bytes));
    block[0] = 1;
    block[1] = count;
    std::memset(block + 2, 0, bytes - kHeaderBytes);
    return IntArray(block);
}

int32_t& IntArray::at(int32_t index) const {
    const int64_t offset = static_cast<int64_t>(index) - 1;
    if (offset < 0) runtimeErrorStop(errors::kIndexBelowOne, errors::kIndexBelowOneText);
    if (offset >= count()) runtimeErrorStop(errors::kIndexBeyondEnd, errors::kIndexBeyondEndText);
    return block_[2 + offset];
}

int32_t IntArray::count() const { return block_ ? block_[1] : 0; }

void IntArray::release() {
    runtime::release(block_);
    block_ = nullptr;
}

}  // namespace runtime
