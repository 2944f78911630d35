#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and shows the card
# under Wine: on $DISPLAY if there is one, else on a private Xvfb, saving
# screenshots (the script says where). Extra arguments go to show.py
# (--screen WxH, --seconds S).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
exec python3 -B scripts/show.py --exe build/win64/christmas-card.exe --work build/show "$@"
