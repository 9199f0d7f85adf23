#!/usr/bin/env bash
# Reloads the sample level a thousand times (or N) in one viewer, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, in a virtual X display.
#   tools/reload-stress.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-sanitize
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTARNEL_SANITIZE=ON >/dev/null
cmake --build "$build" -j2 --target reload_stress >/dev/null
export ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0
export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/tests/reload_stress" "${1:-1000}"
