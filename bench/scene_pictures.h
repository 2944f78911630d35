#pragma once
// Pictures made in code that look, to the view, like the program's own: a
// six-frame flake on an opaque background of the colour key, and a card
// with see-through corners and edges whose lights change from frame to frame.
#include <cstdint>
#include <memory>

#include "runtime/codec/picture.h"

namespace bench {

constexpr uint32_t kColourKey = 0xF0F0F0;

std::shared_ptr<const runtime::codec::Picture> flakePicture();   // 100×100, 6 frames of 100 ms
std::shared_ptr<const runtime::codec::Picture> cardPicture();    // 300×80, 3 frames of 500 ms

}  // namespace bench
