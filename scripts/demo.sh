#!/usr/bin/env bash
# Installs what is needed, builds, starts the simulated access point on a loopback port and the
# module against it. Closing the module stops the simulator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_BUILD_DIR:-$top/build}
port=${QRN_DEMO_PORT:-16100}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)" --target qrn7300xb qrn-apsim

state=$(mktemp -d)
"$build/bin/qrn-apsim" --listen "127.0.0.1:$port" --state-dir "$state" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$state"' EXIT

# Without a display, run under a virtual one.
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then run=(xvfb-run -a); fi
"${run[@]}" "$build/bin/qrn7300xb" /I127.0.0.1 /v1 /Rvarnok /Wtesmira "/v3" "/t$port" /v1
