#include "bench/view_scene.h"

#include <algorithm>

#include "bench/scene_pictures.h"

namespace bench {

using runtime::view::View;

BufferOutput::BufferOutput(runtime::Size size)
    : size_(size), pixels_(size_t(size.width) * size.height, kColourKey) {}

runtime::Surface BufferOutput::surface() {
    return {pixels_.data(), size_.width, size_.height, size_.width};
}

ViewScene::ViewScene(runtime::Size screen, uint32_t seed)
    : screen_(screen), output_(screen), view_(output_, kColourKey), random_(seed) {
    // The program's two sprite templates.
    card_.picture = cardPicture();
    card_.TransparentColor = kColourKey;
    card_.PlayGIF = true;
    card_.zoom = 0;
    card_.angle = 180;
    card_.CollideAllowed = true;
    card_.type = 1;
    flake_.picture = flakePicture();
    flake_.TransparentColor = kColourKey;
    flake_.PlayGIF = true;
    flake_.angle = 180;
    flake_.RotateFollow = true;
    flake_.CollideAllowed = true;
    view_.setCollisionHandler([](int32_t, int32_t, int32_t, int32_t) {});
    view_.tick(now_);
    reset();
}

int ViewScene::randomInt(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

// The wind's headings: one gust in four to the right.
int ViewScene::windAngle() {
    return randomInt(1, 4) == 1 ? randomInt(135, 170) : randomInt(190, 220);
}

int32_t ViewScene::createFlake(double x, double y, int angle) {
    runtime::view::SpriteProps props = flake_;
    props.zoom = randomInt(150, 500);
    props.angle = angle;
    const int32_t id = view_.createObject(props, x, y, now_);
    view_.startForwardMotion(id, randomInt(1, 2), 1, 2000, true, now_);
    return id;
}

void ViewScene::reset() {
    for (int32_t id : flakes_) view_.destroyObject(id);
    view_.destroyObject(cardId_);
    flakes_.clear();
    cardId_ = view_.createObject(card_, screen_.width - 300, screen_.height - 100, now_);
    // Spread so that they stay on the screen for a few hundred steps.
    for (int i = 0; i < kFlakes; ++i) {
        const int angle = i % 3 == 0 ? 180 : windAngle();
        flakes_.push_back(createFlake(randomInt(0, screen_.width - 60), randomInt(0, std::max(0, screen_.height - 320)),
                                      angle));
    }
    view_.tick(now_);   // draws them; no step is due
    stepsSinceReset_ = 0;
}

void ViewScene::step() {
    now_ += View::kStepUs;
    view_.tick(now_);
    ++stepsSinceReset_;
}

void ViewScene::gust() {
    const int angle = windAngle();
    std::vector<int32_t> chosen = flakes_;
    std::shuffle(chosen.begin(), chosen.end(), random_);
    for (int i = 0; i < 12; ++i) view_.setDirection(chosen[size_t(i)], angle);
}

void ViewScene::spawn() {
    const int32_t old = flakes_.front();
    flakes_.erase(flakes_.begin());
    if (view_.objectExists(old)) {
        view_.stopForwardMotion(old);
        view_.destroyObject(old);
    }
    flakes_.push_back(createFlake(randomInt(1, screen_.width), -50, 180));
}

}  // namespace bench
