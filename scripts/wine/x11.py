"""Reading and driving an X display with the stock X11 tools (xwininfo, xdotool)."""

import os
import re
import subprocess
from dataclasses import dataclass

# UTF-8 so that the tools print window names as they are, Chinese included.
_TOOL_ENV_OVERRIDES = {"LC_ALL": "C.UTF-8"}

_CHILD_LINE = re.compile(
    r'^\s*(?P<id>\d+) (?:"(?P<name>.*)"|\(has no name\)): '
    r'\((?:"(?P<resName>.*)" "(?P<resClass>.*)")?\)\s+'
    r"(?P<w>\d+)x(?P<h>\d+)\+-?\d+\+-?\d+\s+\+(?P<x>-?\d+)\+(?P<y>-?\d+)$"
)


@dataclass(frozen=True)
class Window:
    """A window as listed, with its position on the screen."""

    id: int
    name: str
    resName: str
    resClass: str
    x: int
    y: int
    width: int
    height: int

    @property
    def rect(self):
        return (self.x, self.y, self.width, self.height)


class Display:
    """One X display, addressed by its name (":5")."""

    def __init__(self, name):
        self.name = name
        self.env = dict(os.environ, DISPLAY=name, **_TOOL_ENV_OVERRIDES)

    def run(self, *args, timeout=20, check=True):
        done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
        if check and done.returncode != 0:
            raise RuntimeError(f"{' '.join(args)} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
        return done

    def _listed(self, *args):
        out = self.run("xwininfo", *args, "-int", check=False).stdout.decode("utf-8", "replace")
        windows = []
        for line in out.splitlines():
            m = _CHILD_LINE.match(line)
            if m:
                windows.append(Window(int(m["id"]), m["name"] or "", m["resName"] or "", m["resClass"] or "",
                                      int(m["x"]), int(m["y"]), int(m["w"]), int(m["h"])))
        return windows

    def topWindows(self):
        """The root window's children in stacking order, top first."""
        return self._listed("-root", "-children")

    def descendants(self, windowId):
        """Every window inside this one, at any depth; none if it has gone."""
        return self._listed("-id", str(windowId), "-tree")

    def window(self, windowId):
        """The window as it is now, and whether it is mapped; None once it has gone."""
        done = self.run("xwininfo", "-id", str(windowId), check=False)
        if done.returncode != 0:
            return None
        out = done.stdout.decode("utf-8", "replace")
        fields = dict(line.strip().split(": ", 1) for line in out.splitlines() if ": " in line)
        name = re.search(r'^xwininfo: Window id: \S+ "(.*)"$', out, re.M)
        window = Window(windowId, name[1] if name else "", "", "",
                        int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                        int(fields["Width"]), int(fields["Height"]))
        return window, fields["Map State"] == "IsViewable"

    def isViewable(self, windowId):
        # A window destroyed between listing and asking is simply not viewable.
        found = self.window(windowId)
        return found is not None and found[1]

    def viewableWindows(self, resName):
        """The mapped top-level windows of one program (by WM_CLASS name), top first."""
        return [w for w in self.topWindows() if w.resName == resName and self.isViewable(w.id)]

    def focus(self, windowId):
        # Without a window manager nobody else hands out the focus.
        self.run("xdotool", "windowfocus", "--sync", str(windowId))

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def click(self, x, y, button):
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))
