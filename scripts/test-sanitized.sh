#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of its own and runs it once. A finding (a bad memory access, a leak, undefined behaviour)
# ends the program that met it, the module, the simulator or a test, so its test fails.
# Built with gcc and without optimisation: the instrumented build then costs about what the
# ordinary one does, and CI runs both.
# The package test (label package) is left out: it would pack the instrumented programs, which
# depend on the sanitizers' run-time libraries, and the ordinary stage has checked the packages.
# Usage: scripts/test-sanitized.sh [ctest arguments...]
# QRN_SANITIZE_BUILD_DIR: the build folder (default build-sanitize/ at the top of the tree).
# Exit status: 0 when every test passed, else ctest's (or the build's) failure status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_SANITIZE_BUILD_DIR:-$top/build-sanitize}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQRN_SANITIZE=ON \
      -DQRN_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
# Every finding is fatal (the build also keeps UBSan from carrying on); leaks are reported when
# a program ends. The reports go to files, so that those of the programs a test starts (the
# simulator, the module) count too, whatever the test makes of their exit. Qt and net-snmp are
# not instrumented, and nothing of theirs is suppressed: none of them has shown a finding.
reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}halt_on_error=1:detect_leaks=1:log_path=$reports/asan"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
cd "$build"
status=0
ctest --output-on-failure -j "$(nproc)" -LE package "$@" || status=$?
if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "==== $report"
        cat "$report"
    done
    echo "scripts/test-sanitized.sh: the sanitizers reported the findings above" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
