#!/usr/bin/env bash
# Installs the packages, builds everything and starts the game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh build

echo
echo "Built the simulation library, its tests and levtool in build/."
echo "The game's window is not there yet: there is nothing to start."
