"""Waiting for things that happen on their own time: poll, never sleep blindly."""

import time


class Timeout(AssertionError):
    """What we waited for did not happen in time; the message says what it was."""


def waitFor(what, probe, timeout, until=bool, interval=0.05):
    """Calls probe() until until(observation) holds, and returns that observation.

    `what` names the awaited condition for the failure message, which also shows
    the last observation, so a failure tells how close it came.
    """
    deadline = time.monotonic() + timeout
    while True:
        seen = probe()
        if until(seen):
            return seen
        if time.monotonic() >= deadline:
            shown = repr(seen)
            if len(shown) > 400:
                shown = shown[:400] + "..."
            raise Timeout(f"timed out after {timeout:g} s waiting for {what}; last seen: {shown}")
        time.sleep(interval)
