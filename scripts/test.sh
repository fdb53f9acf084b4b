#!/usr/bin/env bash
# Installs what is needed, builds everything (warnings as errors) and runs the whole test suite.
# Usage: scripts/test.sh [ctest arguments...]     e.g. scripts/test.sh -L sim, scripts/test.sh -R startup
# QRN_BUILD_DIR: the build folder (default build/ at the top of the tree).
# Exit status: 0 when every test passed, else ctest's (or the build's) failure status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRN_WERROR=ON \
      -DQRN_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
