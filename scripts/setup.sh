#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the demo need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libsnmp-dev snmp libssl-dev
    googletest libgtest-dev libgmock-dev
    tftp-hpa atftp tftpd-hpa curl
    xvfb xauth libxkbcommon-x11-0 libxcb-cursor0
    libcap2-bin iproute2 fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -q
    $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
    # tftpd-hpa's package starts a system daemon on port 69; the module's own server needs that port.
    if command -v systemctl >/dev/null 2>&1 && systemctl is-active --quiet tftpd-hpa 2>/dev/null; then
        $sudo_cmd systemctl stop tftpd-hpa || true
        $sudo_cmd systemctl disable tftpd-hpa || true
    fi
    pkill -x in.tftpd 2>/dev/null || true
fi
