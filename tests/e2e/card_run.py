"""Start to end on one screen size: seven greetings, the see-through window, Escape
(plain or with Alt).

With --patch the program is the test build that paints a patch in
RGB(240, 240, 241), one step off the key colour: that patch must show.
"""

from card import (PATCH_COLOUR, CardRun, cardProblems, closeWithEscape, main, parseArgs, requireExe,
                  seeThroughProblems, walkGreetings)


def patchRect(shot):
    """The bounding box of the patch colour, if it is one solid rectangle."""
    points = shot.positionsOf(PATCH_COLOUR)
    if not points:
        return None
    xs = [x for x, _ in points]
    ys = [y for _, y in points]
    rect = (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
    return rect if rect[2] * rect[3] == len(points) else None


def run():
    def options(parser):
        parser.add_argument("--patch", action="store_true", help="expect the patch of the test build")
        parser.add_argument("--close-key", default="Escape", help="the key that ends the program")

    args = parseArgs(options)
    requireExe(args.exe)
    with CardRun(args) as card:
        boxes, window = walkGreetings(card)
        print(f"{len(boxes)} greeting boxes, sizes {[b.rect[2:] for b in boxes]}")
        for earlier, later in zip(boxes, boxes[1:]):
            assert earlier.picture.rgb != later.picture.rgb, \
                f"greeting boxes {earlier.number} and {later.number} look the same"
        # The last greeting has two lines, the first has one.
        assert boxes[-1].rect[3] > boxes[0].rect[3], \
            f"box 7 ({boxes[-1].rect}) is not taller than box 1 ({boxes[0].rect})"

        assert window.rect == (0, 0, card.width, card.height), \
            f"the main window is at {window.rect}, not covering the {card.width}x{card.height} screen"

        if args.patch:
            def patchProblems(shot):
                rect = patchRect(shot)
                if rect is None or rect[2] < 8 or rect[3] < 8:
                    return [f"no solid patch of {PATCH_COLOUR} shows (found {rect})"]
                return seeThroughProblems(card, shot, [rect])

            shot = card.waitScreen("the patch on the see-through window", patchProblems, 30, "patch.png")
            print(f"patch at {patchRect(shot)}")
        else:
            card.waitScreen("only the card and flakes on the see-through window",
                            lambda shot: cardProblems(shot) + seeThroughProblems(card, shot), 30,
                            "window.png")

        windows = card.windows()
        assert [w.id for w in windows] == [window.id], \
            f"other windows showed up besides the main window (without a MIDI device too, " \
            f"nothing may show): {windows}"
        code = closeWithEscape(card, window, args.close_key)
        assert code == 0, f"{args.close_key} ended the program with exit code {code}, not 0"


if __name__ == "__main__":
    main(run)
