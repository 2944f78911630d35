"""A private X server (Xvfb) with a desktop of a known colour."""

import os
import select
import subprocess
import time

from poll import waitFor
from screen import capture
from x11 import Display

UNDER_TITLE = "e2e-under"

# The desktop: a plain window that stays at the bottom of the stack. The root
# window will not do, since the server stops repainting it once a window has
# covered it; a window's own background is repainted by the server on every expose.
_UNDER_SCRIPT = """\
wm title . {title}
wm overrideredirect . 1
wm geometry . {width}x{height}+0+0
. configure -background #{colour} -cursor left_ptr
"""


def _stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class VirtualScreen:
    """Xvfb on a free display number, 24-bit, with the under-window mapped.

    Use as a context manager; `display` is the x11.Display to talk to.
    sharedMemory keeps MIT-SHM, as a desktop's X server has it: for measuring
    what drawing costs, not for screenshots (see _startServer).
    """

    def __init__(self, width, height, underColour, workDir, sharedMemory=False):
        self.width = width
        self.height = height
        self.underColour = tuple(underColour)
        self.workDir = workDir
        self.sharedMemory = sharedMemory
        self.processes = []
        self.display = None

    def __enter__(self):
        try:
            self._startServer()
            self._startUnderWindow()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            _stop(process)
        self.processes.clear()

    def startTray(self, height):
        """An XEmbed notification area (trayer) along the bottom right corner."""
        self.processes.append(subprocess.Popen(
            ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
             "--heighttype", "pixel", "--height", str(height), "--SetDockType", "false",
             "--SetPartialStrut", "false", "--transparent", "false", "--expand", "false"],
            env=self.display.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.workDir, "trayer.log"), "wb")))
        return waitFor("the notification area", lambda: [
            w for w in self.display.topWindows()
            if (w.resName, w.resClass) == ("panel", "trayer") and self.display.isViewable(w.id)],
            timeout=60)[0]

    def _startServer(self):
        # -displayfd lets the server pick a free display number itself, so two
        # servers started at once cannot race for the same one. -r: no key
        # auto-repeat, or a key press held up by a busy machine repeats and
        # answers the next box too. No MIT-SHM: with it Wine's pictures reach
        # the server after Wine has computed the colour-key shape from newer
        # ones, and a screenshot of a busy window shows key-coloured fringes
        # that the program never left opaque.
        readEnd, writeEnd = os.pipe()
        log = open(os.path.join(self.workDir, "xvfb.log"), "wb")
        server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writeEnd), "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp", "-noreset", "-r"] + ([] if self.sharedMemory else ["-extension", "MIT-SHM"]),
            stdin=subprocess.DEVNULL, stdout=log, stderr=log, pass_fds=(writeEnd,))
        log.close()
        os.close(writeEnd)
        self.processes.append(server)
        number = b""
        deadline = time.monotonic() + 60
        with os.fdopen(readEnd, "rb") as pipe:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([pipe], [], [], left)[0]:
                    raise RuntimeError("Xvfb did not report its display number within 60 s")
                chunk = os.read(pipe.fileno(), 16)
                if not chunk:
                    raise RuntimeError(f"Xvfb ended at start (code {server.wait()}); see xvfb.log")
                number += chunk
        self.display = Display(":" + number.decode().strip())

    def _startUnderWindow(self):
        script = os.path.join(self.workDir, "under.tcl")
        with open(script, "w") as out:
            out.write(_UNDER_SCRIPT.format(title=UNDER_TITLE, width=self.width, height=self.height,
                                           colour="%02x%02x%02x" % self.underColour))
        self.processes.append(subprocess.Popen(
            ["wish", script], env=self.display.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        waitFor("the under-window to cover the screen", lambda: capture(self.display), timeout=60,
                until=lambda shot: shot.count(self.underColour) == self.width * self.height)
