// Any bytes: a picture whose frames all fit its screen, or a reason.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/codec/gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto decoded = runtime::codec::decodeGif(std::span(data, size));
    if (!decoded) {
        if (decoded.reason().empty()) std::abort();
        return 0;
    }
    const runtime::codec::Picture& picture = decoded.value();
    if (picture.width < 1 || picture.height < 1 || picture.frames.empty()) std::abort();
    const auto area = static_cast<std::size_t>(picture.width) * picture.height;
    for (const auto& frame : picture.frames) {
        if (frame.pixels.size() != area || frame.delayMs < 0) std::abort();
        for (uint32_t pixel : frame.pixels)
            if (pixel >> 24 != 0 && pixel >> 24 != 0xFF) std::abort();
    }
    return 0;
}
