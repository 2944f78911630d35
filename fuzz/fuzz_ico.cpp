// Any bytes: images that lie inside the file and decode to their size, or a reason.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/codec/ico.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto read = runtime::codec::readIco(std::span(data, size));
    if (!read) {
        if (read.reason().empty()) std::abort();
        return 0;
    }
    const auto& images = read.value();
    if (images.empty() || !runtime::codec::pickTrayImage(images)) std::abort();
    for (const auto& image : images) {
        if (image.bytes.data() < data || image.bytes.data() + image.bytes.size() > data + size) std::abort();
        const auto bitmap = runtime::codec::decodeIcoImage(image);
        if (!bitmap) {
            if (bitmap.reason().empty()) std::abort();
            continue;
        }
        const auto& b = bitmap.value();
        const auto area = static_cast<std::size_t>(b.width) * b.height;
        if (b.width < 1 || b.height < 1 || b.pixels.size() != area || b.mask.size() != area) std::abort();
    }
    return 0;
}
