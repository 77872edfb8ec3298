#!/usr/bin/env bash
# Installs the packages, builds everything and starts the game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh build

# The game finds its pictures, sounds and levels in build/media, beside it.
exec build/plenkwise
