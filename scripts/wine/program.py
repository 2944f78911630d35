"""One Windows program running under Wine, watched from outside."""

import os
import signal
import subprocess
import time

from poll import waitFor
from prefix import DLL_OVERRIDES, wineEnv


def cpuSeconds(pid):
    """User plus system time of a process, all its threads, so far."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def memoryKiB(pid):
    """Resident memory of a process (VmRSS): anonymous (heap, bitmaps), file-backed (code, fonts),
    shared (RssAnon, RssFile, RssShmem)."""
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            parts = line.split()
            if parts and parts[0] in ("VmRSS:", "RssAnon:", "RssFile:", "RssShmem:"):
                values[parts[0].rstrip(":")] = int(parts[1])
    if "VmRSS" not in values:
        raise RuntimeError(f"no VmRSS for process {pid}")
    return values


class WineProgram:
    """Starts `wine exe` in its own process group; the process is the program itself."""

    def __init__(self, exe, prefixDir, display, logPath, cwd=None, dllOverrides=DLL_OVERRIDES, extraEnv=None):
        self.exe = exe
        env = dict(wineEnv(prefixDir, display.name, dllOverrides), **(extraEnv or {}))
        with open(logPath, "wb") as log:
            self.process = subprocess.Popen(["wine", exe], env=env, cwd=cwd or os.path.dirname(exe),
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                            start_new_session=True)
        self.started = time.monotonic()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()

    @property
    def pid(self):
        return self.process.pid

    def exitCode(self):
        """None while running."""
        return self.process.poll()

    def waitExit(self, timeout):
        """The exit code, once the program has ended."""
        waitFor(f"{os.path.basename(self.exe)} to end", lambda: self.process.poll() is not None,
                timeout=timeout, interval=0.1)
        return self.process.returncode

    def cpuSeconds(self):
        """User and system time the program's process has used."""
        return cpuSeconds(self.pid)

    def commandLine(self):
        with open(f"/proc/{self.pid}/cmdline", "rb") as cmdline:
            return cmdline.read().replace(b"\0", b" ").decode(errors="replace").strip()

    def rssKiB(self):
        """Resident memory of the program's process."""
        return memoryKiB(self.pid)["VmRSS"]
