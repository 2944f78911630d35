// Built frames are shared between look-alike objects and freed with them.
#include <gtest/gtest.h>

#include "view_test_support.h"

namespace view_test {
namespace {

SpriteProps flake(std::shared_ptr<const Picture> picture, int zoom) {
    SpriteProps p = sprite(std::move(picture));
    p.zoom = zoom;
    p.angle = 180;
    p.RotateFollow = true;
    p.PlayGIF = true;
    return p;
}

TEST(FrameSharing, TwelveFlakesTurnedAlikeBuildOnce) {
    ViewRig rig(400, 100);
    auto picture = solidPicture(100, 100, 0xFEFEFE, 6, 100);
    std::vector<int32_t> ids;
    for (int i = 0; i < 12; ++i) ids.push_back(rig.view.createObject(flake(picture, 300), i * 30, 0, 0));
    rig.runSteps(1);
    const int64_t built = rig.view.stats().frameSetsBuilt;
    EXPECT_EQ(built, 1);
    for (int32_t id : ids) rig.view.setDirection(id, 150);
    rig.runSteps(1);
    EXPECT_EQ(rig.view.stats().frameSetsBuilt, built + 1);
    for (int32_t id : ids) {
        View::ObjectState s;
        ASSERT_TRUE(rig.view.inspect(id, s));
        EXPECT_EQ(s.pictureBuilds, 1);  // each object's frames did change
    }
    rig.view.setDirection(ids[0], 200);
    rig.view.setDirection(ids[1], 200);
    rig.view.createObject(flake(picture, 301), 0, 0, 0);
    rig.runSteps(1);
    EXPECT_EQ(rig.view.stats().frameSetsBuilt, built + 3);
}

// Frames are built when first drawn or tested: a flake turned again and
// again while out of sight costs nothing until it comes into view, and then
// only its latest look is built.
TEST(FrameSharing, OutOfSightFramesAreBuiltWhenTheyShow) {
    ViewRig rig(200, 100);
    auto picture = solidPicture(100, 100, 0xFEFEFE, 6, 100);
    SpriteProps props = flake(picture, 300);
    props.type = 1;
    const int32_t id = rig.view.createObject(props, 50, 150, 0);
    // Falling, so it is tested against the other object, which it never nears.
    rig.view.startForwardMotion(id, 1, 1, 1000, false, 0);
    rig.view.createObject(sprite(solidPicture(10, 10, 0x123456), 2), 0, 0, 0);
    rig.runSteps(1);
    const int64_t built = rig.view.stats().frameSetsBuilt;
    for (int angle : {150, 160, 170, 200}) {
        rig.view.setDirection(id, angle);
        rig.runSteps(1);
    }
    EXPECT_EQ(rig.view.stats().frameSetsBuilt, built);

    rig.output.reset(200, 300, 0);
    rig.view.resize({200, 300}, rig.now);
    EXPECT_EQ(rig.view.stats().frameSetsBuilt, built + 1);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    EXPECT_EQ(rig.output.at(s.bounds.left + s.bounds.width / 2, s.bounds.top + s.bounds.height / 2), 0xFEFEFEu);
}

TEST(FrameSharing, FramesAreFreedWithTheirObjects) {
    ViewRig rig(400, 100);
    auto picture = solidPicture(40, 40, 0xFEFEFE, 2);
    const long idle = picture.use_count();
    // Hours of flakes: many sizes and headings come and go.
    for (int round = 0; round < 40; ++round) {
        std::vector<int32_t> ids;
        for (int i = 0; i < 49; ++i) {
            ids.push_back(rig.view.createObject(flake(picture, 150 + (round * 49 + i) % 351), 0, 0, 0));
            rig.view.setDirection(ids.back(), 135 + i % 60);
        }
        rig.runSteps(2);
        for (int32_t id : ids) rig.view.destroyObject(id);
    }
    rig.runSteps(1);
    EXPECT_EQ(rig.view.objectCount(), 0);
    EXPECT_EQ(picture.use_count(), idle) << "no built frames left holding the picture";
}

}  // namespace
}  // namespace view_test
