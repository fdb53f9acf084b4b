#!/usr/bin/env bash
# Makes the Debian packages qrn7300xb_<version>_<arch>.deb (the module) and
# qrn-apsim_<version>_<arch>.deb (the simulated access point) and checks them with lintian.
# Usage: scripts/package.sh [--from-build DIR] [--output DIR]
#   By default it installs what is needed (scripts/setup.sh), then configures and builds a
#   release build of its own, without the tests and with Debian's build flags (dpkg-buildflags:
#   hardening included), in QRN_PACKAGE_BUILD_DIR (default build-package/ at the top of the tree).
#   --from-build DIR  packages an existing, built folder instead (the test build: see
#                     tests/package/test_deb.sh); nothing is installed or configured then
#   --output DIR      where the packages go (default: the build folder)
# Prints the path of each package. Exit status: non-zero when the build or cpack fails, or when
# lintian reports an error or a warning (its informational tags are printed and let through).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=
output=

say() { echo "scripts/package.sh: $*" >&2; }

while [ $# -gt 0 ]; do
    case $1 in
        --from-build) build=${2:?--from-build needs a folder}; shift 2 ;;
        --output) output=${2:?--output needs a folder}; shift 2 ;;
        *) say "unknown argument '$1'"
           say "usage: scripts/package.sh [--from-build DIR] [--output DIR]"
           exit 2 ;;
    esac
done

if [ -z "$build" ]; then
    build=${QRN_PACKAGE_BUILD_DIR:-$top/build-package}
    "$top/scripts/setup.sh"
    # Debian's flags as dpkg-buildpackage would give them; CMake reads no CPPFLAGS, so the
    # preprocessor's (_FORTIFY_SOURCE) go with the compilers'.
    export DEB_BUILD_MAINT_OPTIONS=${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}
    cppflags=$(dpkg-buildflags --get CPPFLAGS)
    CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags"
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
    export CFLAGS CXXFLAGS LDFLAGS
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRN_BUILD_TESTS=OFF
    cmake --build "$build" -j "$(nproc)"
elif [ ! -f "$build/CPackConfig.cmake" ]; then
    say "$build is no configured build folder (no CPackConfig.cmake)"
    exit 1
fi
build=$(cd "$build" && pwd)
output=${output:-$build}
mkdir -p "$output"
output=$(cd "$output" && pwd)

for tool in dpkg-shlibdeps file lintian; do
    if ! command -v "$tool" >/dev/null; then
        say "$tool was not found: run scripts/setup.sh"
        exit 1
    fi
done

# cpack's staging folder (_CPack_Packages) goes to the output folder too.
(cd "$build" && cpack -G DEB -B "$output") >"$output/cpack.log" 2>&1 || {
    cat "$output/cpack.log" >&2
    say "cpack failed"
    exit 1
}
mapfile -t packages < <(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' \
                        "$output/cpack.log")
if [ ${#packages[@]} -eq 0 ]; then
    cat "$output/cpack.log" >&2
    say "cpack made no package"
    exit 1
fi

# Informational tags are printed and let through; errors and warnings fail.
set +e
report=$(lintian --display-info --fail-on error,warning "${packages[@]}" 2>&1)
status=$?
set -e
# (lintian only remarks that it runs as root; it checks the same.)
grep -v '^running with root privileges is not recommended!$' <<<"$report" >&2 || true
if [ $status -ne 0 ]; then
    say "lintian reports errors or warnings (above)"
    exit 1
fi
printf '%s\n' "${packages[@]}"
