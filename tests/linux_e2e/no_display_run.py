"""No X display to open: the card stops through the fatal stop, with its text
on standard error (no box can show) and exit code 255; no crash."""

import glob
import os

from native import Program, main, parseArgs, programEnv, requireExe

FATAL_TEXT = "运行时出错!"


def freeDisplayName():
    """A display number no server here listens on: no socket file, no abstract socket, no lock."""
    with open("/proc/net/unix") as sockets:
        listening = sockets.read()
    for number in range(200, 1000):
        socket = f"/tmp/.X11-unix/X{number}"
        if not (os.path.exists(socket) or os.path.exists(f"/tmp/.X{number}-lock") or socket in listening):
            return f":{number}"
    raise RuntimeError("no free display number between 200 and 999")


def run():
    args = parseArgs(lambda p: p.add_argument("--display", choices=("unset", "missing"), required=True))
    requireExe(args.exe)
    display = None if args.display == "unset" else freeDisplayName()
    print(f"DISPLAY: {display or 'unset'}")
    with Program(os.path.abspath(args.exe), programEnv(os.environ, display), args.artifacts) as program:
        code = program.waitExit(timeout=60)
    err = program.stderr()
    print(f"exit code {code}; standard error:\n{err}")
    assert code >= 0, f"the program was killed by signal {-code}"
    assert code == 255, f"exit code {code}, not 255"
    assert FATAL_TEXT in err, f"no {FATAL_TEXT!r} on standard error"
    cores = glob.glob(os.path.join(args.artifacts, "core*"))
    assert not cores, f"core dumps: {cores}"


if __name__ == "__main__":
    main(run)
