"""The programs the harness drives, and the Debian packages that bring them."""

import shutil

PACKAGES = {
    "Xvfb": "xvfb",
    "wish": "tk",
    "wine": "wine",
    "wineboot": "wine",
    "wineserver": "wine",
    "xdotool": "xdotool",
    "xwininfo": "x11-utils",
    "import": "imagemagick",
}


def requireTools():
    """Fails with the packages to install if any program is missing."""
    missing = sorted({package for tool, package in PACKAGES.items() if shutil.which(tool) is None})
    if missing:
        raise RuntimeError("missing programs; install: apt-get install " + " ".join(missing))
