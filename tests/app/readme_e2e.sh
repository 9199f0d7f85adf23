#!/usr/bin/env bash
# README's two commands for a first run, as written, from the checkout's root: the run
# command (headless here: it starts its own virtual display), then the check command.
#   readme_e2e.sh SOURCE_ROOT
set -uo pipefail
cd "$1"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
env -u DISPLAY tools/run.sh >"$out/run.txt" 2>&1 || status=$?
check "tools/run.sh ends with status 0 (got $status)" [ "$status" = 0 ]
check "it names the scene-tree report it wrote" grep -qF "Scene-tree report: $PWD/build/run/bin/scenetree.txt" "$out/run.txt"
status=0
build/run/bin/TarnelCheck build/run/Media/Scenes/scene3.scene >"$out/check.txt" 2>&1 || status=$?
check "then the checker, which the run command built, passes the sample level (status $status)" [ "$status" = 0 ]
# Every option the programs' --help gives is on a page of docs/.
for program in TarnelViewer TarnelCheck; do
    for option in $(build/run/bin/$program --help 2>&1 | grep -oE '^ +--[a-z-]+'); do
        check "$program's $option is on a page" grep -qF -- "$option" docs/viewer.md docs/inspector.md docs/checker.md
    done
done
[ "$failures" = 0 ] || { echo "--- run"; cat "$out/run.txt"; echo "--- check"; cat "$out/check.txt"; }
exit $((failures != 0))
