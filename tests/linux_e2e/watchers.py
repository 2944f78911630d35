"""Witnesses on a test display: every top-level window mapped, in order, and
every click that reaches the desktop."""

import os
import re
import subprocess
import threading

from poll import waitFor

_EVENT = re.compile(r"^(\w+) event, serial \d+, synthetic (YES|NO),")
_SUBJECT = re.compile(r"\bwindow (0x[0-9a-f]+)")


def _stop(process):
    if process.poll() is None:
        process.terminate()
        process.wait(timeout=10)


class MapLog:
    """xev on the root window: the order in which top-level windows are mapped,
    unmapped and destroyed, which polling the window list could miss."""

    def __init__(self, display, workDir):
        self.display = display
        self.path = os.path.join(workDir, "maps.log")
        with open(self.path, "wb") as log:
            # Line-buffered, so the log is current whenever it is read.
            self.process = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"],
                                            env=display.env, stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        _stop(self.process)

    def events(self):
        """(kind, window id) of each real Map-, Unmap- and DestroyNotify so far, in order;
        the synthetic UnmapNotify a client sends when it withdraws a window is left out."""
        with open(self.path, encoding="utf-8", errors="replace") as log:
            text = log.read()
        lines = text[:text.rfind("\n") + 1].splitlines()   # a line being written is read next time
        found = []
        for first, second in zip(lines, lines[1:]):
            head = _EVENT.match(first)
            subject = _SUBJECT.search(second)
            if head and subject and head[2] == "NO" and head[1] in ("MapNotify", "UnmapNotify", "DestroyNotify"):
                found.append((head[1], int(subject[1], 16)))
        return found

    def waitListening(self, windowId):
        """Waits until xev reports the events of an unmap and map of that window:
        from then on it misses nothing."""
        def probe():
            self.display.run("xdotool", "windowunmap", "--sync", str(windowId))
            self.display.run("xdotool", "windowmap", "--sync", str(windowId))
            return ("MapNotify", windowId) in self.events()

        waitFor("xev to report the root window's events", probe, timeout=30, interval=0.2)


_TARGET_SCRIPT = """\
wm title . {title}
wm overrideredirect . 1
wm geometry . {width}x{height}+0+0
. configure -background #{colour}
bind . <ButtonPress> {{puts "%b %X %Y"; flush stdout}}
"""


class ClickTarget:
    """A full-screen window of the desktop's colour over the desktop, under
    whatever maps later, that records the clicks it gets (button, x, y)."""

    TITLE = "e2e-click-target"

    def __init__(self, display, width, height, colour, workDir):
        script = os.path.join(workDir, "click_target.tcl")
        with open(script, "w") as out:
            out.write(_TARGET_SCRIPT.format(title=self.TITLE, width=width, height=height,
                                            colour="%02x%02x%02x" % tuple(colour)))
        self.process = subprocess.Popen(["wish", script], env=display.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self._clicks = []
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        try:
            found = waitFor("the click target to show", lambda: [
                w for w in display.topWindows() if w.name == self.TITLE and display.isViewable(w.id)], timeout=60)
        except BaseException:
            _stop(self.process)
            raise
        self.windowId = found[0].id

    def _read(self):
        for line in self.process.stdout:
            button, x, y = (int(v) for v in line.split())
            self._clicks.append((button, x, y))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        _stop(self.process)

    def clicks(self):
        return list(self._clicks)
