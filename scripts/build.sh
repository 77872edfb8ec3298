#!/usr/bin/env bash
# Configures and builds one tree. Usage: build.sh DIR [extra cmake options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
cmake -S "$root" -B "$root/$dir" -G Ninja -DPLENKWISE_WERROR=ON "$@" >/dev/null
cmake --build "$root/$dir" -j2
