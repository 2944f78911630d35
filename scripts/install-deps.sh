#!/usr/bin/env bash
# Installs what building and testing the card needs, from Debian's packages.
# Quick when everything is already there: apt runs only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev fonts-dancingscript
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth xdotool x11-utils imagemagick trayer
  fonts-wqy-microhei tk python3
  libx11-dev libxext-dev libxfixes-dev libxrandr-dev libgtk-3-dev picom
  libfluidsynth-dev libasound2-dev timgm6mb-soundfont
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
