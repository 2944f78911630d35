"""A compositing manager (picom) started and stopped on a test display."""

import ctypes
import ctypes.util
import os
import subprocess

from poll import waitFor

_libX11 = None


def _x11():
    global _libX11
    if _libX11 is None:
        path = ctypes.util.find_library("X11")
        if path is None:
            raise RuntimeError("libX11 not found")
        lib = ctypes.CDLL(path)
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        _libX11 = lib
    return _libX11


def compositing(display):
    """Whether a compositing manager owns the screen's _NET_WM_CM_S0 selection now:
    what programs go by, so the test waits for the same sign."""
    lib = _x11()
    connection = lib.XOpenDisplay(display.name.encode())
    if not connection:
        raise RuntimeError(f"cannot open display {display.name}")
    try:
        return lib.XGetSelectionOwner(connection, lib.XInternAtom(connection, b"_NET_WM_CM_S0", 0)) != 0
    finally:
        lib.XCloseDisplay(connection)


class Compositor:
    """picom with its xrender back-end (Xvfb has no GL); stopped on leaving."""

    def __init__(self, display, workDir):
        self.display = display
        self.workDir = workDir
        self.process = None
        self.starts = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        assert self.process is None, "picom runs already"
        self.starts += 1
        # No configuration file: no shadows or fading to tell from the program's pixels.
        with open(os.path.join(self.workDir, f"picom-{self.starts}.log"), "wb") as log:
            self.process = subprocess.Popen(["picom", "--backend", "xrender", "--config", "/dev/null"],
                                            env=self.display.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        waitFor("picom to own the compositor selection",
                lambda: self.process.poll() is not None or compositing(self.display), timeout=60)
        if self.process.poll() is not None:
            raise RuntimeError(f"picom ended at start (code {self.process.returncode}); see picom-{self.starts}.log")

    def stop(self):
        if self.process is None:
            return
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        waitFor("the compositor selection to be free", lambda: not compositing(self.display), timeout=30)
