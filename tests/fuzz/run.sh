#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting from its committed seed
# corpus. Prints one summary line per target and exits non-zero when any target met a crash, a
# leak, a hang (an input running longer than the time-out), or ran out of memory.
#
# Usage: tests/fuzz/run.sh [seconds per target] [target ...]
#        (default 60 seconds; default every fuzz_*.cpp of tests/fuzz, e.g. tftp_server)
# QRN_FUZZ_BUILD_DIR: the build folder (default build-fuzz/ at the top of the tree).
# QRN_FUZZ_TIMEOUT: seconds an input may run before it counts as a hang (default 10).
#
# Needs clang-14 and libclang-rt-14-dev (apt-get install clang-14 libclang-rt-14-dev). What
# the fuzzer finds lands in <build>/fuzz/: new inputs in corpus/<target>/, the input of a
# failure in artifacts/<target>/, each run's output in logs/<target>.log. Reproduce a failure
# with <build>/fuzz/fuzz_<target> <artifact>; once fixed, copy the artifact into
# tests/fuzz/corpus/<target>/ so that the ordinary test suite replays it from then on. The words
# of a target's input language may be listed in tests/fuzz/dict/<target>.dict.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${QRN_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${1:-60}
[ $# -gt 0 ] && shift
timeout=${QRN_FUZZ_TIMEOUT:-10}

say() { echo "tests/fuzz/run.sh: $*" >&2; }

if ! command -v clang++-14 >/dev/null; then
    say "clang++-14 is missing (apt-get install clang-14 libclang-rt-14-dev)"
    exit 2
fi
if [ ! -f "$(clang++-14 -print-runtime-dir)/libclang_rt.fuzzer-x86_64.a" ]; then
    say "libFuzzer is missing (apt-get install libclang-rt-14-dev)"
    exit 2
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$top"/tests/fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache
                                          -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
mkdir -p "$build"
if ! { cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
           -DQRN_FUZZ=ON -DQRN_BUILD_TESTS=ON "${launcher[@]}" \
       && cmake --build "$build" -j "$(nproc)" --target qrn_fuzz; } >"$build/fuzz-build.log" 2>&1
then
    cat "$build/fuzz-build.log" >&2
    say "the build failed"
    exit 2
fi

out="$build/fuzz"
mkdir -p "$out/logs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-}:print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# A figure of libFuzzer's final statistics in the log.
figure() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }

failed=0
summary=()
for name in "${targets[@]}"; do
    binary="$out/fuzz_$name"
    seeds="$top/tests/fuzz/corpus/$name"
    if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
        say "no target or no seed corpus for '$name'"
        failed=1
        summary+=("$(printf '%-20s %-8s' "$name" missing)")
        continue
    fi
    mkdir -p "$out/corpus/$name" "$out/artifacts/$name"
    log="$out/logs/$name.log"
    status=0
    # A target may add libFuzzer options in a line "// Fuzz options: ..." of its source.
    read -r -a options < <(sed -n 's|^// Fuzz options: ||p' "$top/tests/fuzz/fuzz_$name.cpp") || true
    # Words of the input's language, when the target has them in dict/<target>.dict.
    dict="$top/tests/fuzz/dict/$name.dict"
    [ -f "$dict" ] && options+=(-dict="$dict")
    # New inputs go to the build folder's corpus; the committed seeds are only read.
    "$binary" "${options[@]}" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/artifacts/$name/" \
        "$out/corpus/$name" "$seeds" >"$log" 2>&1 || status=$?
    verdict=ok
    if [ "$status" -ne 0 ]; then
        failed=1
        if grep -q "ERROR: libFuzzer: timeout" "$log"; then verdict=hang
        elif grep -q "ERROR: libFuzzer: out-of-memory" "$log"; then verdict=oom
        elif grep -q "ERROR: LeakSanitizer" "$log"; then verdict=leak
        else verdict=crash
        fi
    fi
    cov=$(grep -o "cov: [0-9]*" "$log" | tail -1 | cut -d' ' -f2)
    corpus=$(grep -o "corp: [0-9]*" "$log" | tail -1 | cut -d' ' -f2)
    line=$(printf '%-20s %-6s runs %-9s exec/s %-6s cov %-5s corpus %-5s new %s' "$name" \
        "$verdict" "$(figure number_of_executed_units)" "$(figure average_exec_per_sec)" \
        "${cov:-?}" "${corpus:-?}" "$(figure new_units_added)")
    echo "$line"
    summary+=("$line")
    if [ "$verdict" != ok ]; then
        grep -E "^(==[0-9]+==ERROR|SUMMARY|ERROR: libFuzzer|artifact_prefix|Test unit written)" \
            "$log" | head -5 | sed 's/^/    /'
    fi
done

echo
echo "fuzz summary ($seconds s per target, $(date -u +%Y-%m-%dT%H:%MZ)):"
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
    echo "FAILED: see $out/logs/ and $out/artifacts/"
    exit 1
fi
echo "all ${#targets[@]} targets ran without a crash, a leak or a hang"
