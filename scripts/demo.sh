#!/usr/bin/env bash
# Installs what is needed, builds, starts the simulated access point on a loopback port and the
# module against it, the way the host platform would. Closing the module stops the simulator.
#
# The simulator listens on a high port (no root needed), so the module must be told the port.
# The "/t" switch only counts while the version is 3, so the port comes from a parameter file
# instead: a temporary settings file names a temporary parameter folder (the MibFile key), and
# 127.0.0.1.cfg there holds AgentPort and the SNMP version. Nothing outside the temporary folder
# is written except the module's data folder (the engine boot counter).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_BUILD_DIR:-$top/build}
port=${QRN_DEMO_PORT:-16100}
profile=${QRN_DEMO_PROFILE:-}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)" --target qrn7300xb qrn-apsim qrn_catalogues

work=$(mktemp -d)
sim=""
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$work/state" "$work/mbf"
cat > "$work/registry.ini" <<INI
[SOFTWARE/Norvane/Marlin5.1/MibFile]
Path=$work/mbf/
INI
cat > "$work/mbf/127.0.0.1.cfg" <<CFG
[Program Information]
AgentPort=$port
Version=1
SecurityModel=2
SecurityLevel=0
AuthProtocol=0
PrivProtocol=0
CFG

sim_args=(--listen "127.0.0.1:$port" --state-dir "$work/state" --log "$work/apsim.log")
if [ -n "$profile" ]; then sim_args+=(--profile "$profile"); fi
"$build/bin/qrn-apsim" "${sim_args[@]}" &
sim=$!

# Without a display, run under a virtual one.
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then run=(xvfb-run -a); fi
QRN_SETTINGS="$work/registry.ini" \
    "${run[@]}" "$build/bin/qrn7300xb" /I127.0.0.1 /Rvarnok /Wtesmira
