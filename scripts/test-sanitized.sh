#!/usr/bin/env bash
# Builds tests with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of its own
# and runs them once. A finding (a bad memory access, a leak, undefined behaviour) ends the
# program that met it, the module, the simulator or a test, so its test fails.
# Built with gcc and without optimisation. An instrumented build costs about what the ordinary
# one does, so that CI, which runs the ordinary stage first, could not build and run the whole
# suite twice within its 30 minutes on 2 cores: by default this builds and runs the subset below,
# which covers every library (and the module and the simulator as programs) with its fastest
# tests, and the replays of every fuzz corpus. --all builds and runs the whole suite.
# The package test (label package) is always left out: it would pack the instrumented programs,
# which depend on the sanitizers' run-time libraries, and the ordinary stage has checked them.
# Usage: scripts/test-sanitized.sh [--all] [ctest arguments...]
# QRN_SANITIZE_BUILD_DIR: the build folder (default build-sanitize/ at the top of the tree).
# Exit status: 0 when every test passed, else ctest's (or the build's) failure status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QRN_SANITIZE_BUILD_DIR:-$top/build-sanitize}

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQRN_SANITIZE=ON \
      -DQRN_BUILD_TESTS=ON
# The subset: per library the tests that reach most of its code soonest.
subset=(
    startup_message_catalogue startup_launch_parameters startup_registry_settings  # messages, startup
    startup_module_process                     # the module as a program
    snmp_ktsnmprequest_async snmp_ktsnmprequest_misbehaving snmp_ktsnmprequest_codec
    snmp_values_text_forms snmp_expression_evaluators snmp_formatspecifier_grammar  # snmp
    snmp_ktsnmprequest2edits_device            # snmp widgets
    tftp_tftpserver_protocol tftp_tftpserver_names                                # tftp
    framework_information_window_device framework_home_information_menu          # framework, menus
    forms_main_main_form_lamps forms_main_devinfo_window                          # main window
    forms_maintenance_firmware_window forms_network_admin_window forms_monitor_client_window
    forms_wireless_wireless_apply forms_performance_performance_apply             # page windows
    sim_apsim_protocols sim_apsim_walk sim_apsim_profile_format                   # the simulator
)
for source in "$top"/tests/fuzz/fuzz_*.cpp; do
    subset+=("$(basename "$source" .cpp)")
done
if [ "${1:-}" = --all ]; then
    shift
    cmake --build "$build" -j "$(nproc)"
    selection=()
else
    cmake --build "$build" -j "$(nproc)" --target qrn7300xb qrn-apsim qrn_catalogues "${subset[@]}"
    selection=(-R "^($(IFS='|'; echo "${subset[*]}"))\$")
fi
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
ctest --output-on-failure -j "$(nproc)" -LE package "${selection[@]}" "$@" || status=$?
if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "==== $report"
        cat "$report"
    done
    echo "scripts/test-sanitized.sh: the sanitizers reported the findings above" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
