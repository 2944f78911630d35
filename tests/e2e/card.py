"""The card running under Wine in Xvfb: what the end-to-end tests share."""

import argparse
import os
import shutil
import subprocess
import sys
import time
from contextlib import ExitStack
from dataclasses import dataclass

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine"))

from poll import Timeout, waitFor  # noqa: E402
from prefix import DLL_OVERRIDES, privatePrefix  # noqa: E402
from program import WineProgram  # noqa: E402
from screen import capture, components  # noqa: E402
from tools import requireTools  # noqa: E402
from xserver import VirtualScreen  # noqa: E402

BOX_TITLE = "Vaneli温馨提示："
GREETING_COUNT = 7
KEY_COLOUR = (240, 240, 240)
PATCH_COLOUR = (240, 240, 241)
# The desktop colour: far from the key, from white flakes and from black.
UNDER_COLOUR = (32, 64, 96)
CARD_SIZE = (300, 80)

SKIP_CODE = 77


class Skip(Exception):
    """The test cannot run here; ctest reports it as skipped."""


def parseArgs(extra=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, help="the Windows program to run")
    parser.add_argument("--screen", default="1024x768", help="WIDTHxHEIGHT of the virtual screen")
    parser.add_argument("--work", required=True, help="folder for the prefix template and the runs")
    parser.add_argument("--artifacts", required=True, help="folder for this test's screenshots and logs")
    if extra:
        extra(parser)
    args = parser.parse_args()
    args.width, args.height = (int(v) for v in args.screen.split("x"))
    print("screenshots and logs:", args.artifacts, flush=True)
    return args


def main(test):
    """Runs test() and turns its outcome into ctest's exit codes."""
    try:
        test()
    except Skip as why:
        print(f"SKIP: {why}")
        sys.exit(SKIP_CODE)
    print("PASS")


def requireExe(path):
    if not os.path.isfile(path):
        raise Skip(f"{path} is not built (cmake --preset win64 && cmake --build --preset win64)")


def cardRect(width, height):
    """Where the card sits: right edge on the screen's, bottom 20 pixels above the screen's."""
    return (width - 300, height - 100, CARD_SIZE[0], CARD_SIZE[1])


def _inside(point, rect):
    x, y = point
    return rect[0] <= x < rect[0] + rect[2] and rect[1] <= y < rect[1] + rect[3]


@dataclass
class Box:
    number: int
    rect: tuple
    picture: object


class CardRun:
    """One run of the program on its own screen, prefix and Wine server."""

    def __init__(self, args, dllOverrides=DLL_OVERRIDES, trayHeight=None, prepare=None, extraEnv=None,
                 sharedMemory=False):
        """trayHeight: start a notification area of that height before the program.
        prepare(prefixDir) -> (exe, cwd): lays out the program's folder in the fresh prefix.
        sharedMemory: let the X server share memory with its clients, as a desktop's does."""
        self.args = args
        self.sharedMemory = sharedMemory
        self.trayHeight = trayHeight
        self.tray = None
        self.prepare = prepare
        self.extraEnv = extraEnv
        self.exe = os.path.abspath(args.exe)
        self.cwd = None
        self.dllOverrides = dllOverrides
        self.resName = os.path.basename(self.exe).lower()
        self.width, self.height = args.width, args.height
        # Pictures of an earlier run would only mislead.
        shutil.rmtree(args.artifacts, ignore_errors=True)
        os.makedirs(args.artifacts)
        self._stack = ExitStack()

    def __enter__(self):
        requireTools()
        try:
            self.screen = self._stack.enter_context(
                VirtualScreen(self.width, self.height, UNDER_COLOUR, self.args.artifacts, self.sharedMemory))
            self.display = self.screen.display
            if self.trayHeight:
                self.startTray(self.trayHeight)
            self.prefixDir = self._stack.enter_context(privatePrefix(self.args.work))
            if self.prepare:
                self.exe, self.cwd = self.prepare(self.prefixDir)
            self.program = self._stack.enter_context(WineProgram(
                self.exe, self.prefixDir, self.display, os.path.join(self.args.artifacts, "wine.log"),
                cwd=self.cwd, dllOverrides=self.dllOverrides, extraEnv=self.extraEnv))
        except BaseException:
            self._stack.close()
            raise
        return self

    def __exit__(self, excType, *_):
        if excType is not None:
            self._saveProcesses()
        self._stack.close()

    def startTray(self, height):
        """An XEmbed notification area (trayer) of that height; Wine's shell docks the icon in it."""
        self.tray = self.screen.startTray(height)

    def _saveProcesses(self):
        """On a failure, which Wine processes were alive, and a debugger among them if one
        crashed: that tells whose fault a hang was."""
        listed = subprocess.run(["ps", "-eo", "pid,ppid,stat,etime,time,args", "--forest"],
                                capture_output=True, text=True, timeout=30, check=False)
        with open(self.artifact("processes.txt"), "w") as out:
            out.write(listed.stdout)

    def artifact(self, name):
        return os.path.join(self.args.artifacts, name)

    def log(self, event):
        """A time-stamped line in events.log, to tell afterwards what happened when."""
        with open(self.artifact("events.log"), "a") as out:
            out.write(f"{time.monotonic() - self.program.started:8.3f} {event}\n")

    def windows(self):
        """The program's mapped windows; fails at once if the program has ended."""
        code = self.program.exitCode()
        if code is not None:
            raise AssertionError(f"the program ended early with exit code {code}")
        return self.display.viewableWindows(self.resName)

    def waitScreen(self, what, problems, timeout, saveAs):
        """Waits until problems(screenshot) finds nothing; saves the screenshot it ends on."""
        seen = {}

        def probe():
            shot = capture(self.display)
            seen["shot"], seen["problems"] = shot, problems(shot)
            return seen["problems"]

        try:
            waitFor(what, probe, timeout=timeout, until=lambda found: not found, interval=0.2)
        except Timeout:
            seen["shot"].savePng(self.artifact("failed-" + saveAs))
            mapped = [w for w in self.display.topWindows() if self.display.isViewable(w.id)]
            raise AssertionError(f"{what}: not so within {timeout} s: {'; '.join(seen['problems'])} "
                                 f"(screenshot: {self.artifact('failed-' + saveAs)}; windows: {mapped})") from None
        seen["shot"].savePng(self.artifact(saveAs))
        return seen["shot"]


def stablePicture(run, window, what):
    """The window as it has settled: painted, and two screenshots and its
    geometry agree (Wine may map a box before giving it its final size)."""
    last = {}

    def probe():
        found = run.display.window(window.id)
        if not found or not found[1]:
            raise AssertionError(f"{what} went away before it was painted")
        shot = capture(run.display)
        now = (found[0].rect, shot.crop(*found[0].rect))
        same = last.get("now") and last["now"][0] == now[0] and last["now"][1].rgb == now[1].rgb
        last["now"], last["shot"] = now, shot
        return now if same and len(now[1].colours()) > 2 else None

    try:
        rect, picture = waitFor(f"{what} to be painted", probe, timeout=30, interval=0.1)
    except Timeout:
        last["shot"].savePng(run.artifact("failed-paint.png"))
        raise
    return rect, picture


def _dismiss(run, box, what):
    """Presses Return on the box until it goes away (a key can land before the box has the focus).

    With no window manager Wine keeps a closed window mapped for its 2 s wait
    for the withdrawn state, so each box takes that long to go.
    """
    for attempt in range(3):
        if not run.display.isViewable(box.id):
            return
        run.display.focus(box.id)
        run.display.key("Return")
        run.log(f"Return on {what} (window {box.id})")
        try:
            waitFor(f"{what} to close", lambda: not run.display.isViewable(box.id), timeout=10)
            run.log(f"{what} closed")
            return
        except Timeout:
            if attempt == 2:
                raise


def settled(listing, hold=0.3):
    """A probe for listing()'s windows once they have stayed the same for `hold` seconds.

    Wine maps a message box before it has its title and size: a window seen
    only in passing is not yet what it will be.
    """
    last = {"seen": None, "since": 0.0}

    def probe():
        windows = listing()
        now = time.monotonic()
        if windows != last["seen"]:
            last["seen"], last["since"] = windows, now
            return None
        return windows if now - last["since"] >= hold else None

    return probe


def walkGreetings(run):
    """Answers the greeting boxes one by one until the main window shows.

    Checks that exactly seven come, one at a time, with nothing else of the
    program on screen; returns them and the main window.
    """
    boxes = []
    while True:
        number = len(boxes) + 1
        what = f"greeting box {number} or the main window"
        windows = waitFor(what, settled(run.windows), timeout=90 if number == 1 else 30)
        run.log(f"windows: {[(w.id, w.name, w.rect) for w in windows]}")
        open_ = [w for w in windows if w.name == BOX_TITLE]
        others = [w for w in windows if w.name != BOX_TITLE]
        if others and not open_:
            break
        assert not others, f"while greeting box {number} is open, other windows show: {others}"
        assert len(open_) == 1, f"{len(open_)} greeting boxes show at once: {open_}"
        window = open_[0]
        rect, picture = stablePicture(run, window, f"greeting box {number}")
        picture.savePng(run.artifact(f"box{number}.png"))
        boxes.append(Box(number, rect, picture))
        _dismiss(run, window, f"greeting box {number}")
    assert len(boxes) == GREETING_COUNT, f"{len(boxes)} greeting boxes came before the main window, not 7"
    assert len(others) == 1, f"more than one window after the greetings: {others}"
    return boxes, others[0]


def shellWindows(run, windows=None):
    """The windows of Wine's own shell among `windows` (the top-level ones if
    none are given): its fallback notification area when no XEmbed one runs,
    or the icons it docks in one. The desktop's furniture, not the program's."""
    listed = run.display.topWindows() if windows is None else windows
    return [w for w in listed if w.resName == "explorer.exe" and w.width > 1 and run.display.isViewable(w.id)]


def seeThroughProblems(run, shot, keepOut=()):
    """spriteOnlyProblems() outside the card, Wine's shell windows and `keepOut`."""
    areas = [cardRect(run.width, run.height)] + [w.rect for w in shellWindows(run)] + list(keepOut)
    return spriteOnlyProblems(shot, areas)


def cardProblems(shot):
    """The card must show in its place: the desktop shows through most of it, but not all."""
    rect = cardRect(shot.width, shot.height)
    picture = shot.crop(*rect)
    covered = len(picture.differingPixels(UNDER_COLOUR))
    if covered < picture.width * picture.height // 20:
        return [f"the card does not show at {rect} ({covered} pixels differ from the desktop)"]
    return []


def spriteOnlyProblems(shot, keepOut=()):
    """What on the screenshot is not 'the desktop with only sprites on it'.

    The desktop is the under-window's colour. Areas in keepOut (the card, a
    patch) are left to other checks. Everything else that differs from the
    desktop must be small and scattered: flakes are at most 50 pixels (71
    turned); a few may overlap, but an opaque window part would be far bigger.
    """
    problems = []
    keyAt = [p for p in shot.positionsOf(KEY_COLOUR) if not any(_inside(p, r) for r in keepOut)]
    if keyAt:
        problems.append(f"{len(keyAt)} pixels of the key colour show, first at {keyAt[0]}")
    outside = shot.width * shot.height - sum(r[2] * r[3] for r in keepOut)
    limit = outside // 4
    differing = [p for p in shot.differingPixels(UNDER_COLOUR, limit + sum(r[2] * r[3] for r in keepOut))
                 if not any(_inside(p, r) for r in keepOut)]
    if len(differing) >= limit:
        problems.append(f"a quarter or more of the screen outside the card is covered")
        return problems
    for (x, y, w, h), size in components(differing):
        if w > 150 or h > 150:
            problems.append(f"an opaque area of {w}x{h} at ({x}, {y}), {size} pixels")
    return problems


def closeWithEscape(run, main, key="Escape"):
    """Escape (or alt+Escape) on the focused main window ends the program; returns the exit code."""
    run.display.focus(main.id)
    run.display.key(key)
    return run.program.waitExit(timeout=30)
