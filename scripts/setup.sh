#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests, the benchmarks and the demo need, and
# keeps tftpd-hpa's system daemon off UDP port 69 (the module's own TFTP server needs the port;
# the tests and bench/tftp run in.tftpd themselves, on other ports).
# Safe to run again: it installs only what is missing and asks for root rights only then.
# Run it as root or as a user who may use sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config    # the build
    qt6-base-dev qt6-base-dev-tools libgl-dev       # Qt 6 Widgets
    libsnmp-dev libssl-dev                          # net-snmp: the module and qrn-apsim
    googletest libgtest-dev libgmock-dev            # the tests
    snmp                                            # snmpget, snmpset, snmpwalk, snmpbulkwalk: tests, bench/walk
    snmpd                                           # net-snmp's own agent: the request engine's tests start it
    curl tftp-hpa atftp                             # TFTP clients qrn-apsim runs for the device
    tftpd-hpa                                       # in.tftpd: the TFTP tests' and bench/tftp's reference server
    python3                                         # sim/profiles/make_profiles.py (checked by a test)
    iproute2                                        # ss: bench/tftp finds free ports
    xvfb xauth libxkbcommon-x11-0 libxcb-cursor0    # the demo without a display (xvfb-run)
    fonts-dejavu-core                               # a font for the windows
    libcap2-bin                                     # setcap: the install step (TFTP port 69)
    dpkg-dev file lintian man-db                    # scripts/package.sh and its test (man -l)
    clang-14 libclang-rt-14-dev                     # tests/fuzz/run.sh (libFuzzer)
)

say() { echo "scripts/setup.sh: $*" >&2; }

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    say "this needs a Debian 12 system (dpkg-query and apt-get were not found)"
    exit 1
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        installed "$p" || echo "$p"
    done
}

# Root rights, only when they are needed: nothing when root, else sudo.
as_root=()
need_root() {
    [ "$(id -u)" -eq 0 ] && return 0
    if ! command -v sudo >/dev/null; then
        say "$1 needs root rights: run this as root, or install sudo and allow this user to use it"
        exit 1
    fi
    as_root=(sudo)
}

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -gt 0 ]; then
    need_root "installing ${missing[*]}"
    say "installing ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
    mapfile -t missing < <(missing_packages)
    if [ ${#missing[@]} -gt 0 ]; then
        say "still missing after apt-get install: ${missing[*]}"
        exit 1
    fi
fi

port69_held() { command -v ss >/dev/null && ss -Hlun 'sport = :69' | grep -q .; }

# tftpd-hpa's package starts its daemon on port 69 when it is installed; stop it and keep it
# from starting again at boot. Nothing is done while the daemon is not running.
daemon_running() {
    if [ -d /run/systemd/system ]; then
        systemctl is-active --quiet tftpd-hpa 2>/dev/null
    else
        # No pid file: the daemon is an in.tftpd holding port 69.
        [ -x /etc/init.d/tftpd-hpa ] && port69_held \
            && /etc/init.d/tftpd-hpa status >/dev/null 2>&1
    fi
}
if daemon_running; then
    need_root "stopping the tftpd-hpa daemon"
    say "stopping the tftpd-hpa daemon (it holds UDP port 69, which the module's TFTP server needs)"
    if [ -d /run/systemd/system ]; then
        "${as_root[@]}" systemctl disable --now tftpd-hpa
    else
        "${as_root[@]}" /etc/init.d/tftpd-hpa stop
        "${as_root[@]}" update-rc.d tftpd-hpa disable >/dev/null 2>&1 || true
    fi
fi
# snmpd's package enables its system daemon; the tests run their own on free ports.
if [ -d /run/systemd/system ] && systemctl is-active --quiet snmpd 2>/dev/null; then
    need_root "stopping the snmpd daemon"
    say "stopping the snmpd daemon (the tests start their own agents)"
    "${as_root[@]}" systemctl disable --now snmpd
elif [ -x /etc/init.d/snmpd ] && /etc/init.d/snmpd status >/dev/null 2>&1; then
    need_root "stopping the snmpd daemon"
    say "stopping the snmpd daemon (the tests start their own agents)"
    "${as_root[@]}" /etc/init.d/snmpd stop
    "${as_root[@]}" update-rc.d snmpd disable >/dev/null 2>&1 || true
fi
if port69_held; then
    say "note: another program holds UDP port 69; the module's TFTP transfers need that port"
fi
