#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in a plain
# build and once built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The tests draw into a virtual X display that this script starts.
#   tools/test.sh            both builds
#   tools/test.sh --plain    the plain build only
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh

run_suite() {
    local dir=$1; shift
    cmake -S "$root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j2
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --test-dir "$dir" --output-on-failure
}

echo "== plain build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ "${1:-}" != "--plain" ]; then
    echo "== sanitizer build =="
    # The engine frees images that its PNG codec allocated with malloc through
    # delete[]; that mismatch is the engine's own, so it is not reported.
    export ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0
    export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTARNEL_SANITIZE=ON
fi
