#!/usr/bin/env bash
# Installs what is missing, builds the host and the Windows program, and runs
# every test: unit, scenario (on the sim back-end) and end-to-end under Wine;
# then the host tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset win64 >/dev/null
cmake --build --preset win64
ctest --preset native
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize
