"""Wine prefixes for tests: one slow-to-make template per build folder, a cheap copy per run."""

import fcntl
import os
import re
import shutil
import subprocess
import tempfile
from contextlib import contextmanager

# Mono and Gecko would each ask with a dialog to be downloaded.
DLL_OVERRIDES = "mscoree,mshtml="

# Wine's own dialog fonts have no Chinese glyphs.
FONT_REPLACEMENTS = ["Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft YaHei", "SimSun"]
CHINESE_FONT = "WenQuanYi Micro Hei"

_DONE_MARK = ".e2e-template-complete"


def wineEnv(prefixDir, display=None, dllOverrides=DLL_OVERRIDES):
    # CC_E2E_WINEDEBUG picks Wine's debug channels when a run needs looking into.
    env = dict(os.environ, WINEPREFIX=prefixDir, WINEDEBUG=os.environ.get("CC_E2E_WINEDEBUG", "-all"),
               WINEDLLOVERRIDES=dllOverrides, WINEARCH="win64", LC_ALL="C.UTF-8")
    env.pop("DISPLAY", None)
    if display is not None:
        env["DISPLAY"] = display
    return env


def _templateKey():
    """Names the Wine installation. Wine updates a prefix made by another
    installation in place, which would write through the links into the
    template, so each installation gets its own template."""
    out = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=60, check=True)
    key = re.sub(r"[^A-Za-z0-9.]+", "-", out.stdout.strip())
    for inf in ("/usr/share/wine/wine.inf", "/usr/local/share/wine/wine.inf"):
        if os.path.exists(inf):
            key += "-%d" % os.stat(inf).st_mtime
            break
    return key


def _settingsReg():
    lines = ["REGEDIT4", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{name}"="{CHINESE_FONT}"' for name in FONT_REPLACEMENTS]
    # With no window manager nobody sends WM_TAKE_FOCUS: let a plain X focus
    # change (xdotool windowfocus) activate a window.
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"UseTakeFocus"="N"']
    return "\r\n".join(lines) + "\r\n"


def _build(prefixDir):
    env = wineEnv(prefixDir)
    subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=600,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    regFile = os.path.join(os.path.dirname(prefixDir), "settings.reg")
    with open(regFile, "w", encoding="ascii") as out:
        out.write(_settingsReg())
    subprocess.run(["wine", "regedit", "/S", regFile], env=env, check=True, timeout=300,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The registry reaches the disk only when the server ends.
    subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=300)
    with open(os.path.join(prefixDir, "user.reg"), encoding="utf-8", errors="replace") as reg:
        if CHINESE_FONT not in reg.read():
            raise RuntimeError("the prefix settings did not reach its registry")


def template(workDir):
    """The template prefix of this build folder, made on first use.

    Safe when several tests ask at once: one makes it under a lock, the others
    wait for it. A template is complete only once renamed into place.
    """
    os.makedirs(workDir, exist_ok=True)
    target = os.path.join(workDir, "prefix-template-" + _templateKey())
    with open(os.path.join(workDir, "prefix-template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(target, _DONE_MARK)):
            return target
        shutil.rmtree(target, ignore_errors=True)
        building = tempfile.mkdtemp(prefix="prefix-building-", dir=workDir)
        try:
            prefixDir = os.path.join(building, "prefix")
            _build(prefixDir)
            open(os.path.join(prefixDir, _DONE_MARK), "w").close()
            os.rename(prefixDir, target)
        finally:
            shutil.rmtree(building, ignore_errors=True)
        return target


def _copyTree(source, target):
    """Links the big read-only part (drive_c/windows), copies everything else.

    Wine rewrites its registry files by writing a new file and renaming it, and
    never writes into the system DLLs after set-up, so the links stay intact.
    """
    shared = os.path.join(source, "drive_c", "windows")

    def copyOrLink(src, dst):
        if os.path.commonpath([src, shared]) == shared:
            try:
                os.link(src, dst)
                return dst
            except OSError:
                pass
        return shutil.copy2(src, dst)

    shutil.copytree(source, target, symlinks=True, copy_function=copyOrLink)


@contextmanager
def privatePrefix(workDir):
    """A fresh prefix for one run, removed afterwards with every Wine process in it."""
    workDir = os.path.abspath(workDir)   # Wine wants an absolute prefix path
    source = template(workDir)
    runsDir = os.path.join(workDir, "runs")
    os.makedirs(runsDir, exist_ok=True)
    runDir = tempfile.mkdtemp(prefix="run-", dir=runsDir)
    prefixDir = os.path.join(runDir, "prefix")
    try:
        _copyTree(source, prefixDir)
        os.remove(os.path.join(prefixDir, _DONE_MARK))
        yield prefixDir
    finally:
        subprocess.run(["wineserver", "-k"], env=wineEnv(prefixDir), timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(runDir, ignore_errors=True)
