"""A long run: the resident memory of the card and of the X server stays flat.

Both are sampled every 30 s; after the first minute (caches of turned and
scaled flake frames fill by then) each may drift by at most 1 MiB.
"""

import time

from greetings import walkGreetings
from native import NativeRun, main, parseArgs
from pixels import cardProblems, spriteProblems
from program import memoryKiB

SAMPLE_EVERY = 30
SETTLE = 60
ALLOWED_DRIFT_KIB = 1024


def run():
    args = parseArgs(lambda p: p.add_argument("--minutes", type=float, default=10))
    with NativeRun(args) as run:
        walkGreetings(run)
        server = run.screen.processes[0]
        assert server.args[0] == "Xvfb", f"the first process of the screen is {server.args}, not the server"
        watched = {"card": run.program.pid, "Xvfb": server.pid}
        samples = {name: [] for name in watched}
        start = time.monotonic()
        while True:
            elapsed = time.monotonic() - start
            assert run.cardWindow(), "the card's window went away"
            for name, pid in watched.items():
                samples[name].append((elapsed, memoryKiB(pid)["VmRSS"]))
            print(f"{elapsed:6.0f} s  " + "  ".join(f"{n} {s[-1][1]:7d} KiB" for n, s in samples.items()), flush=True)
            if elapsed >= args.minutes * 60:
                break
            time.sleep(SAMPLE_EVERY - (time.monotonic() - start) % SAMPLE_EVERY)

        for name, taken in samples.items():
            settled = [rss for t, rss in taken if t >= SETTLE - 1]
            assert len(settled) >= 2, "the run was too short to measure a drift"
            drift = max(settled) - min(settled)
            print(f"{name}: after the first minute {min(settled)}..{max(settled)} KiB, drift {drift} KiB")
            assert drift <= ALLOWED_DRIFT_KIB, f"{name}'s resident memory moved by {drift} KiB after the first minute"

        run.waitScreen("only the card and flakes after the long run",
                       lambda shot: spriteProblems(shot) + cardProblems(shot), 30, "window.png")
        run.closeWith("Escape")


if __name__ == "__main__":
    main(run)
