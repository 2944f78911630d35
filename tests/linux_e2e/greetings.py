"""The message boxes: answering them, and reading their texts off screenshots."""

import statistics
import unicodedata
from dataclasses import dataclass

from native import BOX_TITLE, CARD_CLASS, stablePicture
from poll import waitFor

GREETINGS = (
    "请耐心点点哈  呵呵",
    "作为朋友，我总希望把最好的给你们",
    "愿你快乐平安幸福",
    "忘了告诉你：我还要你幸福啊...呵呵...到了到了",
    "现在把眼睛睁大了哦，马上就到了",
    "呵呵...要有耐心啊，怎么又急了？在坚持一下就到了，乖！",
    "我说到了吧，\nYorvane祝你们开开心心",
)
# A text line's ink may be this far off the width its characters call for:
# punctuation and Latin letters are narrower or wider than half a Chinese one.
WIDTH_TOLERANCE = 0.15


@dataclass
class Box:
    what: str
    window: object
    picture: object   # the box's pixels once painted


def textUnits(line):
    """The width a line calls for, in half Chinese characters."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line)


def inkBands(picture):
    """(top, bottom, left, right) of each run of rows with dark (text) pixels, top first."""
    bands = []
    for y in range(picture.height):
        row = picture.row(y)
        dark = [x for x in range(picture.width) if max(row[3 * x:3 * x + 3]) < 110]
        if not dark:
            continue
        if bands and bands[-1][1] == y - 1:
            top, _, left, right = bands[-1]
            bands[-1] = (top, y, min(left, dark[0]), max(right, dark[-1]))
        else:
            bands.append((y, y, dark[0], dark[-1]))
    return bands


def textLineWidths(picture):
    """The ink width of each text line; the last dark band is the OK button's label."""
    return [right - left + 1 for _, _, left, right in inkBands(picture)[:-1]]


def textProblems(boxes, texts):
    """Whether each box shows its text: as many dark lines as the text has, each
    as wide as its characters call for, at one scale common to all the boxes."""
    measured = []
    problems = []
    for box, text in zip(boxes, texts, strict=True):
        lines = text.split("\n")
        widths = textLineWidths(box.picture)
        nonEmpty = [line for line in lines if line]
        if len(widths) != len(nonEmpty):
            problems.append(f"{box.what} shows {len(widths)} text lines, not {len(nonEmpty)} for {text!r}")
            continue
        measured += [(box.what, line, width, width / textUnits(line)) for line, width in zip(nonEmpty, widths)]
    if measured:
        scale = statistics.median(m[3] for m in measured)
        for what, line, width, perUnit in measured:
            print(f"  {what}: {width:4d} px for {line!r} ({perUnit:.2f} px a half character)")
            if abs(perUnit / scale - 1) > WIDTH_TOLERANCE:
                problems.append(f"{what}: the line {line!r} is {width} px wide, "
                                f"{perUnit:.2f} px a half character against {scale:.2f} for all lines")
    return problems


def waitBox(run, title, what, timeout):
    """The one box of the program on screen, once it is the only window of the program."""
    def probe():
        windows = run.windows()
        boxes = [w for w in windows if (w.resName, w.resClass) != CARD_CLASS]
        assert len(boxes) <= 1, f"{len(boxes)} boxes show at once: {boxes}"
        return boxes[0] if boxes else None

    window = waitFor(what, probe, timeout=timeout)
    assert window.name == title, f"{what} has the title {window.name!r}, not {title!r}"
    run.log(f"{what}: window {window.id} at {window.rect}")
    return window


def answer(run, box):
    """Return on the box; it must go."""
    run.display.focus(box.window.id)
    run.display.key("Return")
    run.log(f"Return on {box.what}")
    waitFor(f"{box.what} to close after Return", lambda: not run.display.isViewable(box.window.id), timeout=20)


def readBox(run, title, what, timeout, saveAs):
    window = waitBox(run, title, what, timeout)
    _, picture = stablePicture(run, window, what)
    box = Box(what, window, picture)
    box.picture.savePng(run.artifact(saveAs))
    return box


def walkGreetings(run):
    """Answers the seven greeting boxes and returns them (for textProblems) and the card's window.

    While a box shows nothing else of the program may: the card's window only
    after the seventh has closed; checked on the map log as well, which sees
    windows that come and go between two looks at the window list.
    """
    boxes = []
    for number in range(1, len(GREETINGS) + 1):
        what = f"greeting box {number}"
        box = readBox(run, BOX_TITLE, what, timeout=90 if number == 1 else 30, saveAs=f"box{number}.png")
        assert run.cardWindow() is None, f"the card's window shows while {what} is open"
        answer(run, box)
        boxes.append(box)
    card = waitFor("the card's window", run.cardWindow, timeout=30)
    run.log(f"the card's window {card.id} at {card.rect}")
    waitFor("the map log to show the card's window", lambda: ("MapNotify", card.id) in run.maps.events(), timeout=30)
    mapped = mapOrder(run.maps.events()[run.mapsBefore:], card.id)
    expected = [b.window.id for b in boxes] + [card.id]
    assert mapped == expected, (f"windows mapped in this order: {mapped}; expected the seven boxes one at a time, "
                                f"then the card's window: {expected} (see maps.log)")
    return boxes, card


def mapOrder(events, lastId):
    """The windows mapped up to the map of lastId, in order; fails if one is mapped
    while an earlier one still is."""
    shown, order = set(), []
    for kind, window in events:
        if kind == "MapNotify":
            assert not shown, f"window {window} was mapped while {sorted(shown)} still showed"
            shown.add(window)
            order.append(window)
            if window == lastId:
                break
        else:
            shown.discard(window)
    return order
