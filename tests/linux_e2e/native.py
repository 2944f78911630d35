"""The native program in a private Xvfb: what the Linux end-to-end tests share.

Built on the Wine tests' harness (tests/e2e/card.py): the same screen,
artifacts and screen checks, with the native program in place of Wine's.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

_HERE = os.path.dirname(os.path.abspath(__file__))
# After this folder, whose names come first (both test folders have a card_run.py).
sys.path += [os.path.join(_HERE, "..", "..", "scripts", "wine"), os.path.join(_HERE, "..", "e2e")]

# Also for the other modules here: the constants, the card's place, a window's settled
# picture, and main().
from card import BOX_TITLE, KEY_COLOUR, UNDER_COLOUR, CardRun, Skip, cardRect, main, stablePicture  # noqa: E402,F401
from compositor import Compositor  # noqa: E402
from program import WineProgram  # noqa: E402
from watchers import ClickTarget, MapLog  # noqa: E402
from xserver import VirtualScreen  # noqa: E402

# WM_CLASS of the card's own window; GTK names the boxes' class "Christmas-card".
CARD_CLASS = ("christmas-card", "christmas-card")

# Program -> Debian package, for the skip message.
TOOLS = {"Xvfb": "xvfb", "wish": "tk", "xdotool": "xdotool", "xwininfo": "x11-utils", "xev": "x11-utils",
         "import": "imagemagick", "stdbuf": "coreutils"}


def parseArgs(extra=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, help="the program to run")
    parser.add_argument("--screen", default="1024x768", help="WIDTHxHEIGHT of the virtual screen")
    parser.add_argument("--artifacts", required=True, help="folder for this test's screenshots and logs")
    if extra:
        extra(parser)
    args = parser.parse_args()
    args.width, args.height = (int(v) for v in args.screen.split("x"))
    # Pictures of an earlier run would only mislead.
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    print("screenshots and logs:", args.artifacts, flush=True)
    return args


def requireExe(path):
    if not os.path.isfile(path):
        raise Skip(f"{path} is not built (cmake --preset native && cmake --build --preset native)")


def requireTools(*extra):
    tools = dict(TOOLS, **{tool: tool for tool in extra})
    missing = sorted({package for tool, package in tools.items() if shutil.which(tool) is None})
    if missing:
        raise Skip("missing programs; install: apt-get install " + " ".join(missing))


def programEnv(base, display=None):
    """The environment the card gets: no Wayland to prefer, and the given X display, if any."""
    env = {k: v for k, v in base.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    if display is not None:
        env["DISPLAY"] = display
    return env


class Program(WineProgram):
    """The native program's process, watched as the Wine tests watch theirs,
    with its output in the artifacts folder."""

    def __init__(self, exe, env, artifacts):
        self.exe = exe
        self.errPath = os.path.join(artifacts, "program.err")
        with open(os.path.join(artifacts, "program.out"), "wb") as out, open(self.errPath, "wb") as err:
            # The artifacts folder as current folder: a core dump would land there.
            self.process = subprocess.Popen([exe], env=env, cwd=artifacts, stdin=subprocess.DEVNULL,
                                            stdout=out, stderr=err, start_new_session=True)
        self.started = time.monotonic()

    def stderr(self):
        with open(self.errPath, "rb") as err:
            return err.read().decode("utf-8", "replace")


class NativeRun(CardRun):
    """One run of the native program on its own screen, with a click target
    over the desktop and a log of the windows mapped.

    compositor: start picom before the program. sharedMemory: the X server
    offers MIT-SHM, as a desktop's does; without it the program sends plain
    requests, as to a remote server.
    """

    def __init__(self, args, compositor=False, sharedMemory=True):
        requireExe(args.exe)
        requireTools(*(["picom"] if compositor else []))
        super().__init__(args, sharedMemory=sharedMemory)
        self.resName = CARD_CLASS[0]   # whatever the file is called
        self.startComposited = compositor

    def __enter__(self):
        artifacts = self.args.artifacts
        try:
            self.screen = self._stack.enter_context(
                VirtualScreen(self.width, self.height, UNDER_COLOUR, artifacts, self.sharedMemory))
            self.display = self.screen.display
            self.compositor = self._stack.enter_context(Compositor(self.display, artifacts))
            if self.startComposited:
                self.compositor.start()
            self.clickTarget = self._stack.enter_context(
                ClickTarget(self.display, self.width, self.height, UNDER_COLOUR, artifacts))
            self.maps = self._stack.enter_context(MapLog(self.display, artifacts))
            self.maps.waitListening(self.clickTarget.windowId)
            self.mapsBefore = len(self.maps.events())
            self.program = self._stack.enter_context(
                Program(self.exe, programEnv(self.display.env, self.display.name), artifacts))
        except BaseException:
            self._stack.close()
            raise
        return self

    def cardWindow(self):
        """The card's own window once it is mapped, else None."""
        found = [w for w in self.windows() if (w.resName, w.resClass) == CARD_CLASS]
        assert len(found) <= 1, f"the card has {len(found)} windows mapped: {found}"
        return found[0] if found else None

    def focusedWindow(self):
        """The window with the keyboard focus; None for none or the pointer's."""
        done = self.display.run("xdotool", "getwindowfocus", check=False)
        return int(done.stdout) if done.returncode == 0 else None

    def windowDepth(self, windowId):
        """Bits per pixel of a window: 32 for ARGB; None once it has gone."""
        done = self.display.run("xwininfo", "-id", str(windowId), check=False)
        found = re.search(r"^\s*Depth: (\d+)$", done.stdout.decode(), re.M) if done.returncode == 0 else None
        return int(found[1]) if found else None

    def closeWith(self, key):
        """The key on the card's window ends the program with exit code 0.

        A click moves the pointer out of the click target, a Tk window, and Tk
        then hands the focus to the pointer's window (it claimed it when the
        pointer came in while no window had it): the card gets the focus
        again first, as the user's click on it would give it.
        """
        card = self.cardWindow()
        assert card, "the card's window has gone before the key"
        self.display.focus(card.id)
        self.display.key(key)
        self.log(f"pressed {key}")
        code = self.program.waitExit(timeout=30)
        assert code == 0, f"{key} ended the program with exit code {code}, not 0"
