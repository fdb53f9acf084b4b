#!/usr/bin/env bash
# Installs what is needed, builds, starts the simulated access point on a loopback port and the
# module against it, the way the host platform would. Closing the module stops the simulator.
#
# The simulator listens on a high port (no root needed), so the module must be told the port.
# The "/t" switch only counts while the version is 3, so the port comes from a parameter file
# instead: a temporary settings file names a temporary parameter folder (the MibFile key), and
# 127.0.0.1.cfg there holds AgentPort and the SNMP version (2c). Nothing outside the temporary
# folder is written except the module's data folder (the engine boot counter, the files the
# device sends) and its lock file.
#
# File transfers stay on loopback without root rights too: the module's TFTP server and the
# simulator's TFTP client meet on a high port (QRN_TFTP_PORT, --tftp-port), and the simulated
# device's own address is put on loopback's network, where the module finds its PC address.
#
# QRN_DEMO_PORT (default 16100), QRN_DEMO_TFTP_PORT (default 16969), QRN_DEMO_PROFILE (a name in
# sim/profiles), QRN_DEMO_LOG (keep the simulator's request log in this file), QRN_BUILD_DIR
# (default build/), QRN_DEMO_NO_BUILD=1 (neither install nor build: run what the build folder
# holds).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_BUILD_DIR:-$top/build}
port=${QRN_DEMO_PORT:-16100}
tftp_port=${QRN_DEMO_TFTP_PORT:-16969}
profile=${QRN_DEMO_PROFILE:-}

if [ "${QRN_DEMO_NO_BUILD:-}" != 1 ]; then
    "$top/scripts/setup.sh"
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j "$(nproc)" --target qrn7300xb qrn-apsim qrn_catalogues
fi

work=$(mktemp -d)
sim_log=${QRN_DEMO_LOG:-$work/apsim.log}
sim=""
cleanup() {
    if [ -n "$sim" ]; then
        kill "$sim" 2>/dev/null || true
        wait "$sim" 2>/dev/null || true
    fi
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

sim_args=(--listen "127.0.0.1:$port" --state-dir "$work/state" --log "$sim_log"
          --tftp-port "$tftp_port" --fault "set hIPAddress 127.0.0.50"
          --fault "set hSubnetMask 255.0.0.0")
if [ -n "$profile" ]; then sim_args+=(--profile "$profile"); fi
# Its messages reach the terminal as they come, and a copy stays for the start-up check.
"$build/bin/qrn-apsim" "${sim_args[@]}" > "$work/apsim.out" 2> >(tee "$work/apsim.err" >&2) &
sim=$!

# The simulator prints "qrn-apsim ready ADDR:PORT" once it serves; a busy port or a bad profile
# ends it at once with its reason on stderr. That reason is the whole story: nothing is added.
for _ in $(seq 100); do
    grep -q '^qrn-apsim ready' "$work/apsim.out" && break
    if ! kill -0 "$sim" 2>/dev/null; then
        status=0
        wait "$sim" || status=$?
        sim=""
        # The copy of its messages may still be on its way.
        for _ in $(seq 20); do [ -s "$work/apsim.err" ] && break; sleep 0.05; done
        if [ ! -s "$work/apsim.err" ]; then
            echo "scripts/demo.sh: qrn-apsim ended with status $status before it served" >&2
        fi
        exit $((status == 0 ? 1 : status))
    fi
    sleep 0.1
done
cat "$work/apsim.out"
echo "scripts/demo.sh: the simulator's request log is $sim_log"

# Without a display (and no Qt platform chosen, e.g. QT_QPA_PLATFORM=offscreen), run under a
# virtual one.
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    run=(xvfb-run -a)
fi
QRN_SETTINGS="$work/registry.ini" QRN_TFTP_PORT="$tftp_port" \
    "${run[@]}" "$build/bin/qrn7300xb" /I127.0.0.1 /Rvarnok /Wtesmira
