"""A long run: the program's resident memory stays flat.

Samples the process's RSS every 30 s; after the first minute (the caches of
the view's turned and scaled frames fill then) it may drift by at most 2 MiB.
"""

import time

from card import (CardRun, cardProblems, closeWithEscape, main, parseArgs, requireExe, seeThroughProblems,
                  walkGreetings)

SAMPLE_EVERY = 30
SETTLE = 60
ALLOWED_DRIFT_KIB = 2048


def run():
    args = parseArgs(lambda p: p.add_argument("--minutes", type=float, default=10))
    requireExe(args.exe)
    with CardRun(args) as card:
        _, window = walkGreetings(card)
        exe = card.program.commandLine()
        assert card.resName in exe.lower(), f"process {card.program.pid} is {exe!r}, not the program"
        start = time.monotonic()
        cpuStart = card.program.cpuSeconds()
        samples = []
        while True:
            elapsed = time.monotonic() - start
            assert card.windows(), "the program's window went away"
            samples.append((elapsed, card.program.rssKiB()))
            print(f"{elapsed:6.0f} s  RSS {samples[-1][1]:8d} KiB", flush=True)
            if elapsed >= args.minutes * 60:
                break
            time.sleep(SAMPLE_EVERY - (time.monotonic() - start) % SAMPLE_EVERY)
        cpu = card.program.cpuSeconds() - cpuStart
        print(f"CPU {cpu:.1f} s over {elapsed:.0f} s ({100 * cpu / elapsed:.1f} % of one core)")

        settled = [rss for t, rss in samples if t >= SETTLE - 1]
        assert len(settled) >= 2, "the run was too short to measure a drift"
        drift = max(settled) - settled[0]
        print(f"after the first minute: {settled[0]} KiB, highest {max(settled)} KiB, drift {drift} KiB")
        assert drift <= ALLOWED_DRIFT_KIB, f"resident memory grew by {drift} KiB after the first minute"

        card.waitScreen("only the card and flakes after the long run",
                        lambda shot: cardProblems(shot) + seeThroughProblems(card, shot), 30, "window.png")
        code = closeWithEscape(card, window)
        assert code == 0, f"Escape ended the program with exit code {code}, not 0"


if __name__ == "__main__":
    main(run)
