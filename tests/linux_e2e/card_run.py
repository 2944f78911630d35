"""Start to end on one screen: the seven greetings, the see-through window with
the card and the snow, clicks through it, and Escape (plain or with Alt)."""

from clicks import checkClicks
from greetings import GREETINGS, textProblems, walkGreetings
from native import NativeRun, main, parseArgs
from pixels import cardProblems, spriteProblems, waitSnowing
from poll import waitFor


def run():
    def options(parser):
        parser.add_argument("--close-key", default="Escape", help="the key that ends the program")
        parser.add_argument("--compositor", action="store_true", help="start picom before the program")
        parser.add_argument("--no-shm", action="store_true", help="an X server without MIT-SHM")

    args = parseArgs(options)
    with NativeRun(args, compositor=args.compositor, sharedMemory=not args.no_shm) as run:
        boxes, card = walkGreetings(run)
        problems = textProblems(boxes, GREETINGS)
        assert not problems, "; ".join(problems)
        # Asked again: the window list may date from before the window was made full-screen.
        rect = run.display.window(card.id)[0].rect
        assert rect == (0, 0, run.width, run.height), \
            f"the card's window is at {rect}, not over the whole {run.width}x{run.height} screen"
        depth = run.windowDepth(card.id)
        assert depth == (32 if args.compositor else 24), \
            f"the card's window is {depth}-bit {'under' if args.compositor else 'without'} a compositor"
        # Without a window manager nobody else gives it the focus.
        waitFor("the card's window to take the focus", lambda: run.focusedWindow() == card.id, timeout=10)
        run.waitScreen("only the card and flakes on the desktop",
                       lambda shot: spriteProblems(shot) + cardProblems(shot), 30, "window.png")
        waitSnowing(run, "snow.png")
        checkClicks(run)
        assert [w.id for w in run.windows()] == [card.id], f"other windows show besides the card's: {run.windows()}"
        run.closeWith(args.close_key)


if __name__ == "__main__":
    main(run)
