"""A compositor started and stopped under the running card: after each switch
the card's window is of the kind that suits (32-bit ARGB under a compositor, a
shaped 24-bit one without), only the sprites show, clicks pass where nothing
is drawn, and the snow goes on."""

from clicks import checkClicks
from greetings import walkGreetings
from native import NativeRun, main, parseArgs
from pixels import cardProblems, spriteProblems, waitSnowing
from poll import waitFor


def checkShowing(run, composited, label):
    depth = 32 if composited else 24

    def probe():
        card = run.cardWindow()
        return card and run.windowDepth(card.id) == depth

    waitFor(f"a {depth}-bit window of the card {label}", probe, timeout=30)
    run.waitScreen(f"only the card and flakes {label}",
                   lambda shot: spriteProblems(shot) + cardProblems(shot), 30, f"{label}.png")
    waitSnowing(run, f"{label}-snow.png")
    checkClicks(run)
    run.log(f"{depth}-bit window {label}: only sprites, snowing, clicks pass")


def run():
    args = parseArgs(lambda p: p.add_argument("--start-composited", action="store_true",
                                              help="picom runs before the program, stopped first"))
    with NativeRun(args, compositor=args.start_composited) as run:
        walkGreetings(run)
        composited = args.start_composited
        checkShowing(run, composited, "at-start")
        for switch in ("first-switch", "second-switch"):
            if composited:
                run.compositor.stop()
            else:
                run.compositor.start()
            composited = not composited
            run.log(f"compositor {'started' if composited else 'stopped'}")
            checkShowing(run, composited, switch)
        run.closeWith("Escape")


if __name__ == "__main__":
    main(run)
