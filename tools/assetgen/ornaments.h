#pragma once
#include <functional>

#include "tools/assetgen/canvas.h"

namespace assetgen {

// A decoration of the card: its outline, so the card's white rim can run
// round it, and how it paints itself onto the card.
struct Ornament {
    Mask silhouette;
    std::function<void(Canvas&)> draw;
};

// A glass ball with a gold cap, hanging from `hook` on a gold thread, or
// with `ribbon` on a red ribbon tied in a bow at the hook.
Ornament bauble(int width, int height, Point centre, double radius, Colour glass, Point hook, bool ribbon);
// A little black bird in a Santa hat, looking out to the right over a wall
// of letters whose top is at y = wallTop: the bird is drawn behind the
// letters, its hands in front of them, gripping the top.
struct Peeking {
    Ornament behind;
    Ornament hands;
};
Peeking bird(int width, int height, Point head, double size, double wallTop, Point leftHand, Point rightHand);
// A fir tree with a star on top and two presents at its foot.
Ornament tree(int width, int height, Point foot, double treeHeight);
// A golden bell with holly leaves and berries on its crown.
Ornament bell(int width, int height, Point crown, double bellHeight);
// A wire sagging from `from` to `to` with bulbs in `colours`, shifted by
// `frame` so that each bulb changes colour from frame to frame.
Ornament lights(int width, int height, Point from, Point sag, Point to, int bulbs, int frame);

}  // namespace assetgen
