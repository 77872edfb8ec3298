#!/usr/bin/env bash
# Installs the packages, builds everything and runs every test: once in an
# optimised build, once with AddressSanitizer and UndefinedBehaviorSanitizer.
# Tests labelled "display" open windows on a virtual X display that each
# starts for itself (scripts/with-xvfb.sh); no screen or sound card is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)

# The simulation only: SDL, X11 and the OpenGL driver keep memory to the end
# of the process, which the leak checker would report as leaks.
scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPLENKWISE_SANITIZE=ON -DPLENKWISE_BENCHMARKS=OFF
(cd build-sanitize && ctest --output-on-failure -j2 -L core)
