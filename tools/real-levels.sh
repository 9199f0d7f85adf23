#!/usr/bin/env bash
# The first view of every level in a folder of real levels, one folder a level (its scene
# file and its media/), as the viewer's --screenshot draws it at 640x400, with a table of
# what each shows and a contact sheet of them all.
#   tools/real-levels.sh [LEVELS_DIR] [OUT_DIR] [RUN_TREE]
#   (defaults: ../shared/levels, build/real-levels, build/run, which must be built)
# summary.tsv columns: level, status, covered (share of the picture the level covers),
# span (of the picture's width or height), white (share of full-white pixels), terminal
# lines, and the chosen view's line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
levels=$(realpath -m "${1:-../shared/levels}")
out=$(realpath -m "${2:-build/real-levels}")
run_tree=$(realpath -m "${3:-build/run}")
[ -d "$levels" ] || { echo "No levels at $levels" >&2; exit 1; }
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$run_tree/." "$work/"
cd "$work/bin"

printf 'level\tstatus\tcovered\tspan\twhite\tlines\tview\n' >"$out/summary.tsv"
labels=()
for folder in "$levels"/*/; do
    name=$(basename "$folder")
    scene=$(find "$folder" -maxdepth 1 -name '*.scene' | sort | head -n 1)
    [ -n "$scene" ] || continue
    media=()
    [ -d "$folder/media" ] && media=(--media "$folder/media")
    picture=$out/$name.png
    rm -f "$picture" Ogre.log
    status=0
    ./TarnelViewer "$scene" "${media[@]}" --screenshot "$picture" --size 640x400 >"$out/$name.txt" 2>&1 || status=$?
    # An exporter that names every entity after its mesh: opened as a designer would, with --lenient.
    if [ "$status" != 0 ] && grep -q "repeats the name" "$out/$name.txt"; then
        status=0
        ./TarnelViewer "$scene" "${media[@]}" --lenient --screenshot "$picture" --size 640x400 >"$out/$name.txt" 2>&1 ||
            status=$?
    fi
    lines=$(grep -vc "^Picture of " "$out/$name.txt" || true)
    view=$(grep -o "View: .* views tried in [0-9.e+]* ms" Ogre.log 2>/dev/null | tail -n 1 | sed 's/^View: //' || true)
    covered=$(sed -n 's/.*(covers \([0-9.]*\) % of the picture.*/\1/p' <<<"$view" | head -n 1)
    span=$(sed -n 's/.*, spans \([0-9.]*\) %).*/\1/p' <<<"$view" | head -n 1)
    white=""
    if [ -s "$picture" ]; then
        # Full white: every channel at its highest.
        white=$(convert "$picture" -separate -evaluate-sequence min -threshold 99.9% -format "%[fx:mean*100]" info:)
        white=$(printf '%.1f' "$white")
    else
        convert -size 640x400 xc:gray20 -fill white -font DejaVu-Sans -pointsize 18 -gravity center \
            -annotate 0 "exit $status: $(head -c 300 "$out/$name.txt" | fold -w 60)" "$picture"
    fi
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$status" "${covered:-}" "${span:-}" "${white:-}" "$lines" "$view" \
        >>"$out/summary.tsv"
    labels+=(-label "$name: ${covered:-0} %% covered, ${span:-0} %% span" "$picture")
    echo "$name: exit $status, covered ${covered:-?} %, span ${span:-?} %, white ${white:-?} %, $lines lines"
done
montage -font DejaVu-Sans -pointsize 13 "${labels[@]}" -tile 4x -geometry 320x200+4+4 -background '#202020' \
    -fill white "$out/contact-sheet.png"
echo "First views in $out: summary.tsv, contact-sheet.png"
