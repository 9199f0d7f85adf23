#!/usr/bin/env bash
# Builds the fuzzing harnesses with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) and runs the three of them side by side for the given number of seconds,
# in a virtual X display: whole levels (mutated bytes, and levels made from the format's
# grammar and edge values), model files, and the value readers alone.
# Exits non-zero on any crash, leak, sanitizer report or timeout; prints the executions.
#   tools/fuzz.sh SECONDS [scene|level|model|value ...]    (all four by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:?usage: tools/fuzz.sh SECONDS [scene|level|model|value ...]}
shift
build=$root/build-fuzz
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(scene level model value)

if [ "${TARNEL_FUZZ_RUNNING:-}" != 1 ]; then
    tools/install-deps.sh
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNEL_FUZZ=ON >/dev/null
    cmake --build "$build" -j2 >/dev/null
    TARNEL_FUZZ_RUNNING=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$seconds" "${harnesses[@]}"
fi

# The engine frees its PNG codec's malloc'd images with delete[]; its GL driver keeps what it keeps.
export ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0
export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

mkdir -p "$build/artifacts"
pids=()
for name in "${harnesses[@]}"; do
    # The seeds stay as they are in the repository; what the fuzzer finds grows a copy.
    mkdir -p "$build/corpus/$name"
    [ ! -d "$root/fuzz/corpus/$name" ] || cp -n "$root/fuzz/corpus/$name/"* "$build/corpus/$name/"
    "$build/fuzz/${name}_fuzzer" "$build/corpus/$name" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=4096 -dict="$root/fuzz/format.dict" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" >"$build/$name.log" 2>&1 &
    pids+=($!)
done

failed=0
total=0
for i in "${!harnesses[@]}"; do
    name=${harnesses[$i]}
    status=0
    wait "${pids[$i]}" || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$name.log" | tail -n 1)
    runs=${runs:-0}
    total=$((total + runs))
    if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error:|deadly signal' "$build/$name.log"; then
        failed=1
        echo "FAILED: $name (status $status); the input is in $build/artifacts, the output follows"
        # Only the first lines: the pipe closed early must not end the script before the other counts.
        (grep -vE '^(#[0-9]+|\s*$|INFO:)' "$build/$name.log" | head -60) || true
    fi
    printf '%-6s %12s executions\n' "$name" "$runs"
    grep -h "loaded and drawn" "$build/$name.log" | tail -n 1 || true
done
printf '%-6s %12s executions\n' total "$total"
exit $failed
