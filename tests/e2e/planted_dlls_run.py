"""Libraries planted beside the program and in its current folder are never loaded.

A marker DLL, copied as each planted name, leaves a file when it is loaded.
Wine prefers its own built-in libraries, so winmm and mpr are set to "native
first" (WINEDLLOVERRIDES) to make Wine search folders as Windows does: a
program that loaded them by bare name would pick up the planted copies.
"""

import os
import shutil
import subprocess

from card import CardRun, closeWithEscape, main, parseArgs, requireExe, walkGreetings
from poll import waitFor
from prefix import DLL_OVERRIDES, wineEnv

PLANTED = ["winmm.dll", "User32.dll", "Mpr.dll"]
OVERRIDES = DLL_OVERRIDES + ";winmm,mpr=n,b"
MARKERS = r"C:\markers"


def run():
    args = parseArgs(lambda p: p.add_argument("--marker-dll", required=True))
    requireExe(args.exe)
    assert os.path.isfile(args.marker_dll), f"the marker DLL {args.marker_dll} is not built"
    folders = {}

    def prepare(prefixDir):
        drive = os.path.join(prefixDir, "drive_c")
        folders.update(drive=drive, app=os.path.join(drive, "app"), cwd=os.path.join(drive, "cwd"),
                       markers=os.path.join(drive, "markers"))
        for name in ("app", "cwd", "markers"):
            os.makedirs(folders[name])
        exe = shutil.copy(args.exe, folders["app"])
        for folder in (folders["app"], folders["cwd"]):
            for name in PLANTED:
                shutil.copy(args.marker_dll, os.path.join(folder, name))
        return exe, folders["cwd"]

    with CardRun(args, dllOverrides=OVERRIDES, prepare=prepare, extraEnv={"CC_E2E_MARKERS": MARKERS}) as card:
        _, window = walkGreetings(card)
        code = closeWithEscape(card, window)
        assert code == 0, f"Escape ended the program with exit code {code}, not 0"
        loaded = sorted(os.listdir(folders["markers"]))
        assert not loaded, f"the program loaded planted libraries: {loaded}"

        # The markers do work: loading a planted copy on purpose leaves one.
        env = dict(wineEnv(card.prefixDir, card.display.name, OVERRIDES),
                   CC_E2E_MARKERS=MARKERS)
        subprocess.run(["wine", "rundll32", r"C:\cwd\Mpr.dll,Touch"], env=env, timeout=120,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        marked = waitFor("the marker of a deliberately loaded copy", lambda: os.listdir(folders["markers"]),
                         timeout=30)
        print(f"no planted library loaded; the control left {marked}")


if __name__ == "__main__":
    main(run)
