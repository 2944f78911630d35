"""The X server killed under the running card: it ends within seconds with an
error message on standard error, not a hang or a signal."""

import re
import time

from greetings import BOX_TITLE, readBox, walkGreetings
from native import NativeRun, main, parseArgs
from pixels import waitSnowing

# Whoever reports it, the program, GDK or Xlib, names the X connection.
LOST_MESSAGE = re.compile(r"X (connection|display|server)")


def run():
    args = parseArgs(lambda p: p.add_argument("--when", choices=("box", "card"), required=True,
                                              help="kill it while the first box shows, or while it snows"))
    with NativeRun(args) as run:
        if args.when == "box":
            readBox(run, BOX_TITLE, "greeting box 1", timeout=90, saveAs="box1.png")
        else:
            walkGreetings(run)
            waitSnowing(run, "snow.png")
        server = run.screen.processes[0]
        assert server.args[0] == "Xvfb", f"the first process of the screen is {server.args}, not the server"
        server.kill()
        killed = time.monotonic()
        code = run.program.waitExit(timeout=10)
        took = time.monotonic() - killed
        err = run.program.stderr()
        print(f"exit code {code} {took:.2f} s after the server was killed; standard error:\n{err}")
        assert code >= 0, f"the program was killed by signal {-code}"
        assert code != 0, "the program ended with exit code 0, as if nothing had gone wrong"
        assert LOST_MESSAGE.search(err), "no message about the lost X connection on standard error"


if __name__ == "__main__":
    main(run)
