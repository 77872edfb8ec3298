#!/usr/bin/env bash
# Installs what Plenkwise needs to build and test on Debian 12.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  # The game's window, input, sound and OpenGL.
  libsdl2-dev libepoxy-dev libgl-dev
  # Tests that open a window: a virtual X display, Mesa's software OpenGL,
  # and a way to press keys in it.
  xvfb xauth libgl1-mesa-dri xdotool x11-utils
  # The editor's save and open dialogs (its display test uses the real one).
  zenity
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
