#include "view_test_support.h"

namespace view_test {

std::shared_ptr<const Picture> solidPicture(int width, int height, uint32_t rgb, int frames,
                                            int delayMs) {
    auto p = std::make_shared<Picture>();
    p->width = width;
    p->height = height;
    for (int i = 0; i < frames; ++i)
        p->frames.push_back({std::vector<uint32_t>(size_t(width) * height, 0xFF000000 | rgb),
                             delayMs});
    return p;
}

uint32_t patternColour(char c) {
    if (c == 'k') return 0x00FF00;
    return 0x080000u * uint32_t(c - 'a' + 1) + 0x17;
}

std::shared_ptr<const Picture> patternPicture(const std::vector<std::string>& rows) {
    auto p = std::make_shared<Picture>();
    p->height = int(rows.size());
    p->width = int(rows.front().size());
    runtime::codec::Frame frame;
    for (const std::string& row : rows)
        for (char c : row) frame.pixels.push_back(c == '.' ? 0 : 0xFF000000 | patternColour(c));
    p->frames.push_back(std::move(frame));
    return p;
}

SpriteProps sprite(std::shared_ptr<const Picture> picture, int type, int layer) {
    SpriteProps s;
    s.picture = std::move(picture);
    s.CollideAllowed = true;
    s.type = type;
    s.layer = layer;
    return s;
}

ViewRig::ViewRig(int width, int height) : output(width, height), view(output, kBack) {
    view.tick(0);
}

void ViewRig::tickAt(int64_t us) {
    now = us;
    view.tick(us);
}

void ViewRig::runSteps(int n) {
    const int64_t first = (now / kStep + 1) * kStep;
    for (int i = 0; i < n; ++i) tickAt(first + i * kStep);
}

}  // namespace view_test
