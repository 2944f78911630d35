"""Clicks on the running card: see-through pixels let them through, the card's own do not."""

from pixels import opaquePoint, seeThroughPoint
from poll import Timeout, waitFor
from screen import capture

ATTEMPTS = 3


def checkClicks(run):
    """Clicks an opaque pixel of the card, then a see-through one, and reads what
    the window below recorded: only the second click, in order behind the first.

    A flake may drift under the see-through point between the screenshot and
    the click, so a lost click is tried again at a fresh point.
    """
    for attempt in range(1, ATTEMPTS + 1):
        first, second = capture(run.display), capture(run.display)
        clear, opaque = seeThroughPoint(second), opaquePoint(first, second)
        assert clear and opaque, f"no point to click: see-through {clear}, on the card {opaque}"
        before = len(run.clickTarget.clicks())
        run.display.click(*opaque, 1)
        run.display.click(*clear, 1)
        run.log(f"clicked the card at {opaque}, the desktop at {clear}")
        try:
            clicks = waitFor("the click on a see-through pixel to reach the window below",
                             lambda: run.clickTarget.clicks()[before:], timeout=10)
        except Timeout:
            if attempt == ATTEMPTS:
                raise
            continue
        assert clicks[0] != (1, *opaque), f"the click on the card at {opaque} reached the window below"
        assert clicks == [(1, *clear)], f"the window below got {clicks}, expected only the click at {clear}"
        return
