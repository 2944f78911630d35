"""What the screenshots of the running card must show."""

from native import KEY_COLOUR, UNDER_COLOUR, cardRect
from poll import waitFor
from screen import capture, components

# A flake, turned, fits in this square; an opaque part of a window would not.
FLAKE_LIMIT = 80
# How far around the card a stray part of it is looked for.
MARGIN = 24
# Where the card's picture has ink in its 300x80 (left, top, right, bottom), in every frame.
CARD_INK = (1, 6, 299, 74)


def _inside(point, rect):
    x, y = point
    return rect[0] <= x < rect[0] + rect[2] and rect[1] <= y < rect[1] + rect[3]


def _overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def spriteProblems(shot):
    """What keeps the screenshot from being the desktop with only sprites on it:
    a pixel of the colour key anywhere, or a patch bigger than a flake outside the card."""
    problems = []
    keyAt = shot.positionsOf(KEY_COLOUR)
    if keyAt:
        problems.append(f"{len(keyAt)} pixels of the colour key show, first at {keyAt[0]}")
    card = cardRect(shot.width, shot.height)
    limit = shot.width * shot.height // 8
    differing = shot.differingPixels(UNDER_COLOUR, limit)
    if len(differing) >= limit:
        return problems + [f"an eighth or more of the screen is not the desktop, first at {differing[0]}"]
    for (x, y, w, h), size in components(p for p in differing if not _inside(p, card)):
        if w > FLAKE_LIMIT or h > FLAKE_LIMIT:
            problems.append(f"a {w}x{h} patch at ({x}, {y}), {size} pixels, is bigger than a flake")
    return problems


def cardProblems(shot):
    """The card's picture in its box, to the pixel, and nothing of it outside.

    Around the box only flakes may show: a part touching the box must lie
    inside it. A flake near the card spoils a screenshot, never makes a
    misplaced card look right: it can only add to the ink's extent.
    """
    rect = cardRect(shot.width, shot.height)
    x0, y0, w, h = rect
    area = (x0 - MARGIN, y0 - MARGIN, w + 2 * MARGIN, h + 2 * MARGIN)
    offset = (max(area[0], 0), max(area[1], 0))
    points = [(x + offset[0], y + offset[1]) for x, y in shot.crop(*area).differingPixels(UNDER_COLOUR)]
    inside = [p for p in points if _inside(p, rect)]
    if len(inside) < w * h // 10:
        return [f"the card does not show at {rect}: {len(inside)} pixels differ from the desktop"]
    problems = []
    for box, size in components(points):
        corner = (box[0] + box[2] - 1, box[1] + box[3] - 1)
        if _overlaps(box, rect) and not (_inside(box[:2], rect) and _inside(corner, rect)):
            problems.append(f"a part of the card reaches out of {rect}: {box}, {size} pixels")
    ink = (min(x for x, _ in inside) - x0, min(y for _, y in inside) - y0,
           max(x for x, _ in inside) - x0, max(y for _, y in inside) - y0)
    if ink != CARD_INK:
        problems.append(f"the ink in {rect} spans {ink} (left, top, right, bottom), not the picture's {CARD_INK}")
    return problems


def snowProblems(shot):
    """Flakes must show in the upper half of the screen."""
    upper = shot.crop(0, 0, shot.width, shot.height // 2)
    flakes = len(upper.differingPixels(UNDER_COLOUR, 100))
    return [] if flakes >= 100 else [f"only {flakes} non-desktop pixels in the upper half: no snow"]


def waitSnowing(run, saveAs, timeout=30):
    """Waits until flakes show in the upper half and move between two screenshots."""
    last = {}

    def probe():
        run.windows()   # a program that has ended fails at once
        shot = capture(run.display)
        upper = shot.crop(0, 0, shot.width, shot.height // 2)
        moved = "upper" in last and last["upper"].rgb != upper.rgb
        last["upper"], last["shot"] = upper, shot
        return moved and not snowProblems(shot)

    try:
        waitFor("flakes falling in the upper half of the screen", probe, timeout=timeout, interval=0.5)
    except BaseException:
        last["shot"].savePng(run.artifact("failed-" + saveAs))
        raise
    last["shot"].savePng(run.artifact(saveAs))


def _plain(shot, x, y, radius, colour):
    """Whether the square of that radius around (x, y) is all of one colour."""
    square = shot.crop(x - radius, y - radius, 2 * radius + 1, 2 * radius + 1)
    return square.width == square.height == 2 * radius + 1 and not square.differingPixels(colour, 1)


def seeThroughPoint(shot, radius=40):
    """A point with only the desktop around it, away from the card and the flakes."""
    for y in range(shot.height - radius - 1, radius, -radius):
        for x in range(radius, shot.width // 2, radius):
            if _plain(shot, x, y, radius, UNDER_COLOUR):
                return x, y
    return None


def opaquePoint(shot, other):
    """A pixel of the card inside a 5x5 block of the card on both screenshots."""
    x0, y0, w, h = cardRect(shot.width, shot.height)
    for y in range(y0 + 2, y0 + h - 2):
        for x in range(x0 + 2, x0 + w - 2):
            if all(s.crop(x - 2, y - 2, 5, 5).count(UNDER_COLOUR) == 0 for s in (shot, other)):
                return x, y
    return None
