#!/usr/bin/env bash
# Installs the packages, builds everything and runs every test: once in an
# optimised build, once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)

scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPLENKWISE_SANITIZE=ON -DPLENKWISE_BENCHMARKS=OFF
(cd build-sanitize && ctest --output-on-failure -j2 -L core)
