#!/usr/bin/env bash
# Real levels of other games, from ../shared/levels beside the checkout, hold to what their
# README says a designer sees first: tools/real-levels.sh draws each first view at 640x400.
# Skipped (77) when the folder is not there.
#   real_levels_e2e.sh SOURCE_DIR RUN_TREE
set -uo pipefail
source_dir=$1
run_tree=$2
levels=$(realpath -m "$source_dir/../shared/levels")
[ -d "$levels" ] || { echo "skipped: no real levels at $levels"; exit 77; }
out=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$out"' EXIT
env -u DISPLAY ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$source_dir/tools/real-levels.sh" "$levels" "$out" "$run_tree" || { echo "FAILED: the script"; exit 1; }

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
at_least() { awk -v a="${1:-0}" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
at_most() { awk -v a="${1:-100}" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
# Levels whose README row says what they show instead of the level.
declare -A nothing_drawn=([flarestar_level1]=1)
declare -A ends=([skyplatforms_boss]=1)
declare -A never_shipped=([mosquito_stage00]=1) # textures never shipped draw blank: white is allowed
while IFS=$'\t' read -r name status covered span white lines view; do
    [ "$name" = level ] && continue
    if [ -n "${ends[$name]:-}" ]; then
        check "$name ends with status 1" [ "$status" = 1 ]
        check "$name says the line and the close match" grep -qE "\.scene:[0-9]+: .*(did you mean|nowhere to be found)" "$out/$name.txt"
        continue
    fi
    check "$name opens (status $status)" [ "$status" = 0 ]
    if [ -n "${nothing_drawn[$name]:-}" ]; then
        check "$name says why it shows nothing" grep -qF "the level draws nothing" "$out/$name.txt"
        continue
    fi
    check "$name: the level covers at least 10 % ($covered %)" at_least "$covered" 10
    check "$name: it spans at least 60 % ($span %)" at_least "$span" 60
    [ -n "${never_shipped[$name]:-}" ] ||
        check "$name: at most 10 % is full white ($white %)" at_most "$white" 10
done <"$out/summary.tsv"
check "the contact sheet is drawn" [ -s "$out/contact-sheet.png" ]
exit $((failures != 0))
