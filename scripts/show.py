"""Shows the card under Wine: on the current display, or on a private Xvfb.

With a display (DISPLAY set) the card runs there until it is closed (Escape
or the tray menu's 退出). Without one it runs on a private Xvfb: the greeting
boxes are answered, the snow falls for a while, and screenshots are saved.
"""

import argparse
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, os.path.join(HERE, "wine"))

from card import CardRun, closeWithEscape, walkGreetings  # noqa: E402
from prefix import privatePrefix, wineEnv  # noqa: E402
from screen import capture  # noqa: E402


def onDisplay(exe, work):
    with privatePrefix(work) as prefixDir:
        print(f"showing the card on {os.environ['DISPLAY']}; Escape or the tray menu ends it")
        return subprocess.run(["wine", exe], env=wineEnv(prefixDir, os.environ["DISPLAY"])).returncode


def onXvfb(exe, work, screen, seconds):
    width, height = (int(v) for v in screen.split("x"))
    shots = os.path.join(work, "screenshots")
    args = argparse.Namespace(exe=exe, work=work, artifacts=shots, width=width, height=height)
    with CardRun(args) as card:
        boxes, window = walkGreetings(card)
        print(f"answered {len(boxes)} greeting boxes")
        for n in range(1, seconds // 5 + 1):
            time.sleep(5)   # only the pace of the pictures: nothing waits on it
            path = os.path.join(shots, f"snow-{n * 5:03d}s.png")
            capture(card.display).savePng(path)
        code = closeWithEscape(card, window)
    print(f"the card ended with exit code {code}; screenshots in {shots}")
    return code


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screen", default="1280x800")
    parser.add_argument("--seconds", type=int, default=30)
    a = parser.parse_args()
    exe = os.path.abspath(a.exe)
    if os.environ.get("DISPLAY"):
        return onDisplay(exe, a.work)
    return onXvfb(exe, a.work, a.screen, a.seconds)


if __name__ == "__main__":
    sys.exit(main())
