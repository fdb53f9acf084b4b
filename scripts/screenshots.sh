#!/usr/bin/env bash
# Draws every window's screenshot again: builds, then runs the tests labelled "screenshot"
# (test files named *screenshot*) with QRN_SCREENSHOT_DIR set, each rendering its windows
# offscreen against qrn-apsim and saving them as PNG files.
# Usage: scripts/screenshots.sh [folder]      default folder: docs/windows of the source tree
# QRN_BUILD_DIR: the build folder (default build/ at the top of the tree). The packages must be
# installed (scripts/setup.sh).
# Exit status: 0 when every screenshot test passed, else ctest's (or the build's) status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_BUILD_DIR:-$top/build}
folder=$(realpath -m "${1:-$top/docs/windows}")

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRN_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
mkdir -p "$folder"
cd "$build"
QRN_SCREENSHOT_DIR="$folder" ctest --output-on-failure -j "$(nproc)" -L screenshot
echo "screenshots in $folder:"
ls "$folder"
