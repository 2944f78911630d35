#include "tools/assetgen/ornaments.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assetgen {
namespace {

const Colour kWhite{255, 255, 255};
const Colour kSoftWhite{238, 241, 248};
const Colour kInk{30, 30, 40};  // the darkest colour seen: black to the eye, not the see-through black
const Colour kGold{236, 180, 48};


// A lit ball: light from the upper left and a little in front, with a
// bright spot where it shines.
Paint sphere(Point centre, double radius, Colour base) {
    return [=](Point p) {
        const double dx = (p.x - centre.x) / radius, dy = (p.y - centre.y) / radius;
        const double nz = std::sqrt(std::max(0.0, 1 - dx * dx - dy * dy));
        const double diffuse = std::max(0.0, -0.45 * dx - 0.55 * dy + 0.70 * nz);
        const double shine = std::exp(-(std::pow(dx + 0.38, 2) + std::pow(dy + 0.42, 2)) / 0.045);
        return plus(scaled(base, 0.38 + 0.75 * diffuse), scaled(kWhite, 0.85 * shine));
    };
}

// Lighter towards the upper left, darker towards the lower right.
Paint sheen(Point from, Point to, Colour light, Colour dark) {
    return [=](Point p) {
        const Point d = to - from;
        const double t = ((p.x - from.x) * d.x + (p.y - from.y) * d.y) / (d.x * d.x + d.y * d.y);
        return mix(light, dark, std::clamp(t, 0.0, 1.0));
    };
}

Mask shape(int w, int h, const Path& path) {
    Mask m(w, h);
    m.add(path);
    return m;
}

Mask stroke(int w, int h, const std::vector<Point>& points, double width) {
    Mask m(w, h);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) m.add(capsule(points[i], points[i + 1], width));
    return m;
}

Point quadraticAt(Point a, Point control, Point b, double t) {
    const double u = 1 - t;
    return a * (u * u) + control * (2 * u * t) + b * (t * t);
}

std::vector<Point> quadraticPoints(Point a, Point control, Point b) {
    std::vector<Point> points;
    for (int i = 0; i <= 24; ++i) points.push_back(quadraticAt(a, control, b, i / 24.0));
    return points;
}

Path star(Point centre, double outer, double inner) {
    std::vector<Point> points;
    for (int i = 0; i < 10; ++i) {
        const double a = kPi * i / 5;
        const double r = i % 2 ? inner : outer;
        points.push_back({centre.x + r * std::sin(a), centre.y - r * std::cos(a)});
    }
    return polygon(points);
}

// A holly leaf along `from`→`to`: pointed ends and three spikes a side.
Path hollyLeaf(Point from, Point to, double halfWidth) {
    const Point d = to - from;
    const double length = std::hypot(d.x, d.y);
    const Point along = d * (1 / length), across{-along.y, along.x};
    std::vector<Point> points;
    constexpr int kSteps = 24;
    for (int side : {1, -1})
        for (int i = 0; i <= kSteps; ++i) {
            const double t = side > 0 ? double(i) / kSteps : 1 - double(i) / kSteps;
            const double spikes = 0.72 + 0.28 * std::abs(std::cos(t * 3 * kPi));
            const double w = halfWidth * std::sin(t * kPi) * spikes;
            points.push_back(from + along * (t * length) + across * (side * w));
        }
    return polygon(points);
}

}  // namespace

Ornament bauble(int w, int h, Point centre, double radius, Colour glass, Point hook, bool ribbon) {
    const Point capTop{centre.x, centre.y - radius - radius * 0.25};
    Mask thread = stroke(w, h, {hook, capTop}, ribbon ? 1.7 : 0.8);
    if (ribbon) {
        // Two loops, two tails and a knot.
        for (int side : {-1, 1}) {
            const Affine turn = Affine::rotate(side * 32.0).then(Affine::translate(hook.x + side * 2.9, hook.y - 1.5));
            thread.add(ellipse({0, 0}, 3.0, 2.0).transformed(turn));
            thread.add(capsule(hook, {hook.x + side * 2.4, hook.y + 3.6}, 1.3));
        }
        thread.add(circle(hook, 1.3));
    }
    Mask cap = shape(w, h, rectangle(centre.x - radius * 0.35, capTop.y, radius * 0.7, radius * 0.45));
    Mask ball = shape(w, h, circle(centre, radius));
    Mask silhouette = ball;
    silhouette.unite(cap).unite(thread);
    const Paint threadPaint = ribbon ? sheen({hook.x - 4, hook.y - 4}, {hook.x + 4, capTop.y}, Colour{236, 52, 58},
                                             Colour{160, 18, 32})
                                     : Paint([](Point) { return Colour{200, 150, 60}; });
    return {silhouette, [=](Canvas& canvas) {
                canvas.paint(thread, threadPaint);
                canvas.paint(cap, sheen({centre.x - radius, 0}, {centre.x + radius, 0}, Colour{255, 230, 150},
                                        Colour{170, 120, 30}));
                canvas.paint(ball, sphere(centre, radius, glass));
            }};
}

Peeking bird(int w, int h, Point head, double s, double wallTop, Point leftHand, Point rightHand) {
    const Point eyeL{head.x - 0.2 * s, head.y - 0.02 * s}, eyeR{head.x + 0.24 * s, head.y - 0.02 * s};
    Mask body = shape(w, h, ellipse(head, 0.58 * s, 0.6 * s));
    body.add(ellipse({head.x - 0.1 * s, head.y + 0.6 * s}, 0.72 * s, 0.6 * s));
    Mask eyes = shape(w, h, ellipse(eyeL, 0.25 * s, 0.31 * s));
    eyes.add(ellipse(eyeR, 0.25 * s, 0.31 * s));
    Mask pupils = shape(w, h, circle(eyeL + Point{0.08 * s, 0.07 * s}, 0.12 * s));
    pupils.add(circle(eyeR + Point{0.08 * s, 0.07 * s}, 0.12 * s));
    Mask beak = shape(w, h, polygon({{head.x + 0.0 * s, head.y + 0.22 * s}, {head.x + 0.36 * s, head.y + 0.33 * s},
                                     {head.x + 0.04 * s, head.y + 0.44 * s}}));
    Path hatPath;
    const Point brimL{head.x - 0.6 * s, head.y - 0.34 * s}, brimR{head.x + 0.52 * s, head.y - 0.4 * s};
    const Point tip{head.x + 0.95 * s, head.y - 0.98 * s};
    hatPath.moveTo(brimL);
    hatPath.quadTo({head.x - 0.3 * s, head.y - 1.25 * s}, tip);
    hatPath.quadTo({head.x + 0.3 * s, head.y - 0.95 * s}, brimR);
    Mask hat = shape(w, h, hatPath);
    Mask brim = shape(w, h, capsule(brimL + Point{-0.04 * s, 0.02 * s}, brimR + Point{0.06 * s, 0}, 0.3 * s));
    Mask pompom = shape(w, h, circle(tip, 0.2 * s));
    body.intersect(shape(w, h, rectangle(0, 0, w, wallTop)));  // the rest is behind the letters
    Mask hands = shape(w, h, ellipse(leftHand, 0.22 * s, 0.15 * s));
    hands.add(ellipse(rightHand, 0.22 * s, 0.15 * s));
    Mask silhouette = body;
    silhouette.unite(hat).unite(brim).unite(pompom).unite(beak);
    const Ornament wings{hands, [=](Canvas& canvas) { canvas.paint(hands, Colour{44, 44, 56}); }};
    return {{silhouette, [=](Canvas& canvas) {
                canvas.paint(body, sheen({head.x - s, head.y - s}, {head.x + s, head.y + s}, Colour{72, 72, 88}, kInk));
                canvas.paint(beak, Colour{255, 160, 40});
                canvas.paint(eyes, kWhite);
                canvas.paint(pupils, kInk);
                canvas.paint(hat, sheen({head.x - s, head.y - s}, {head.x + s, head.y}, Colour{240, 60, 60},
                                        Colour{170, 20, 30}));
                canvas.paint(brim, Colour{226, 231, 242});
                canvas.paint(pompom, sphere(tip, 0.2 * s, kSoftWhite));
            }},
            wings};
}

Ornament tree(int w, int h, Point foot, double H) {
    Mask trunk = shape(w, h, rectangle(foot.x - 0.07 * H, foot.y - 0.16 * H, 0.14 * H, 0.16 * H));
    Mask fir(w, h);
    struct Tier { double base, halfWidth, top; };
    for (Tier t : {Tier{0.12, 0.38, 0.55}, Tier{0.36, 0.3, 0.76}, Tier{0.58, 0.22, 0.93}})
        fir.add(polygon({{foot.x - t.halfWidth * H, foot.y - t.base * H}, {foot.x, foot.y - t.top * H},
                         {foot.x + t.halfWidth * H, foot.y - t.base * H}}));
    const Point starAt{foot.x, foot.y - 0.93 * H};
    Mask starShape = shape(w, h, star(starAt, 0.16 * H, 0.07 * H));
    Mask baubles(w, h);
    for (Point p : {Point{-0.12, 0.3}, Point{0.14, 0.45}, Point{-0.05, 0.62}, Point{0.2, 0.22}})
        baubles.add(circle({foot.x + p.x * H, foot.y - p.y * H}, 0.045 * H));
    const double giftTop = foot.y - 0.2 * H;
    Mask redGift = shape(w, h, rectangle(foot.x - 0.46 * H, giftTop, 0.3 * H, 0.2 * H));
    Mask blueGift = shape(w, h, rectangle(foot.x + 0.16 * H, foot.y - 0.15 * H, 0.26 * H, 0.15 * H));
    Mask ribbons = shape(w, h, rectangle(foot.x - 0.33 * H, giftTop, 0.05 * H, 0.2 * H));
    ribbons.add(rectangle(foot.x + 0.27 * H, foot.y - 0.15 * H, 0.05 * H, 0.15 * H));
    Mask silhouette = fir;
    silhouette.unite(trunk).unite(starShape).unite(redGift).unite(blueGift);
    return {silhouette, [=](Canvas& canvas) {
                canvas.paint(trunk, Colour{122, 74, 40});
                canvas.paint(fir, sheen({foot.x - 0.3 * H, foot.y - H}, {foot.x + 0.3 * H, foot.y},
                                        Colour{70, 190, 90}, Colour{20, 105, 55}));
                canvas.paint(baubles, Colour{255, 90, 80});
                canvas.paint(starShape, sphere(starAt, 0.16 * H, Colour{255, 215, 70}));
                canvas.paint(redGift, Colour{214, 44, 56});
                canvas.paint(blueGift, Colour{70, 120, 230});
                canvas.paint(ribbons, Colour{255, 226, 120});
            }};
}

Ornament bell(int w, int h, Point crown, double H) {
    const Affine tilt = Affine::translate(-crown.x, -crown.y).then(Affine::rotate(-14)).then(
        Affine::translate(crown.x, crown.y));
    Path body;
    const double x = crown.x, y = crown.y + 0.12 * H;
    body.moveTo({x, y});
    body.cubicTo({x + 0.3 * H, y}, {x + 0.3 * H, y + 0.3 * H}, {x + 0.32 * H, y + 0.55 * H});
    body.cubicTo({x + 0.34 * H, y + 0.72 * H}, {x + 0.46 * H, y + 0.78 * H}, {x + 0.5 * H, y + 0.86 * H});
    body.quadTo({x, y + 0.96 * H}, {x - 0.5 * H, y + 0.86 * H});
    body.cubicTo({x - 0.46 * H, y + 0.78 * H}, {x - 0.34 * H, y + 0.72 * H}, {x - 0.32 * H, y + 0.55 * H});
    body.cubicTo({x - 0.3 * H, y + 0.3 * H}, {x - 0.3 * H, y}, {x, y});
    Mask shell = shape(w, h, body.transformed(tilt));
    const Point lipCentre = tilt.apply({x, y + 0.87 * H});
    Mask lip = shape(w, h, ellipse({x, y + 0.87 * H}, 0.5 * H, 0.07 * H).transformed(tilt));
    const Point clapperAt = tilt.apply({x, y + 0.95 * H});
    Mask clapper = shape(w, h, circle(clapperAt, 0.09 * H));

    Mask leaves = shape(w, h, hollyLeaf({x - 0.02 * H, y}, {x - 0.5 * H, y - 0.12 * H}, 0.13 * H));
    leaves.add(hollyLeaf({x + 0.02 * H, y - 0.02 * H}, {x + 0.42 * H, y - 0.3 * H}, 0.12 * H));
    const Point berries[] = {{x - 0.06 * H, y - 0.1 * H}, {x + 0.08 * H, y - 0.12 * H}, {x + 0.01 * H, y - 0.22 * H}};
    Mask berryShapes(w, h);
    for (Point b : berries) berryShapes.add(circle(b, 0.085 * H));
    Mask silhouette = shell;
    silhouette.unite(lip).unite(clapper).unite(leaves).unite(berryShapes);
    const Point lit = tilt.apply({x - 0.14 * H, y + 0.3 * H});
    return {silhouette, [=](Canvas& canvas) {
                canvas.paint(clapper, Colour{150, 100, 30});
                canvas.paint(shell, [=](Point p) {
                    const double d = std::hypot(p.x - lit.x, (p.y - lit.y) * 0.6) / (0.45 * H);
                    return mix(Colour{255, 240, 160}, Colour{176, 118, 22}, std::clamp(d, 0.0, 1.0));
                });
                canvas.paint(lip, sheen(lipCentre + Point{-0.5 * H, 0}, lipCentre + Point{0.5 * H, 0}, kGold,
                                        Colour{150, 98, 20}));
                canvas.paint(leaves, sheen({x - 0.5 * H, y - 0.3 * H}, {x + 0.4 * H, y}, Colour{60, 165, 70},
                                           Colour{18, 95, 45}));
                for (Point b : berries) {
                    Mask one = shape(w, h, circle(b, 0.085 * H));
                    canvas.paint(one, sphere(b, 0.085 * H, Colour{235, 30, 40}));
                }
            }};
}

Ornament lights(int w, int h, Point from, Point sag, Point to, int bulbs, int frame) {
    static const Colour kBulbColours[] = {{255, 60, 60}, {255, 210, 50}, {70, 150, 255}};
    const auto points = quadraticPoints(from, sag, to);
    Mask wire = stroke(w, h, points, 0.9);
    struct Bulb { Point at; Colour colour; };
    std::vector<Bulb> lit;
    Mask silhouette = wire;
    for (int i = 0; i < bulbs; ++i) {
        const Point on = quadraticAt(from, sag, to, (i + 0.5) / bulbs);
        const Colour c = kBulbColours[(i + frame) % 3];
        lit.push_back({on + Point{0, 2.0}, c});
        silhouette.add(ellipse(on + Point{0, 2.0}, 1.5, 2.1));
    }
    return {silhouette, [=](Canvas& canvas) {
                canvas.paint(wire, Colour{34, 84, 44});
                for (const Bulb& b : lit) {
                    Mask glow = shape(w, h, circle(b.at, 3.2));
                    canvas.paint(glow, b.colour, 0.22);
                    Mask glass = shape(w, h, ellipse(b.at, 1.5, 2.1));
                    canvas.paint(glass, sphere(b.at, 2.0, b.colour));
                }
            }};
}

}  // namespace assetgen
