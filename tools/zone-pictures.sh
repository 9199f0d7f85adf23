#!/usr/bin/env bash
# The zone tools' pictures, from a generated building of four rooms: the zone view from the
# first room (zone-view.png), the view frozen there and seen from the last room
# (frozen.png), the report page's zone graph of a building with faults (zone-graph.png), and
# the report page of a sweep of a building with one heavy room (sweep-report.png).
# Drives the viewer in a virtual display with xdotool, as the tests do.
#   tools/zone-pictures.sh OUT_DIR [RUN_TREE]     (default build/run)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:?usage: tools/zone-pictures.sh OUT_DIR [RUN_TREE]}")
run_tree=$(realpath "${2:-$root/build/run}")
if [ -z "${TARNEL_ZONE_PICTURES_DISPLAY:-}" ]; then
    TARNEL_ZONE_PICTURES_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill -9 "${VIEWER_PID:-}" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$out"
media=(--media "$run_tree/Media/Meshes")
python3 "$root/tools/zoned-building.py" "$work/building.scene" --rooms 4 --camera >/dev/null
cd "$work"
source "$root/tools/viewer-driver.sh"
"$run_tree/bin/TarnelViewer" "$work/building.scene" "${media[@]}" --camera Eye >viewer.stdout 2>viewer.stderr &
VIEWER_PID=$!
viewer_accept_dialog && viewer_wait_for_window
viewer_press r; viewer_press r; viewer_press F1; viewer_press f
viewer_press z; viewer_press Print          # the zone view, with the panel's counts
viewer_press x; viewer_press c; viewer_press c
viewer_press Print                          # frozen in the first room, seen from the last
viewer_press Escape
viewer_wait_for_exit
cp screenshot_1.png "$out/zone-view.png"
cp screenshot_2.png "$out/frozen.png"

python3 "$root/tools/zoned-building.py" "$work/faults.scene" --rooms 9 --fault facing --fault island >/dev/null
"$run_tree/bin/TarnelCheck" --no-draw --report "$work/report" "$work/faults.scene" "${media[@]}" >/dev/null 2>&1 || true
chromium --headless --no-sandbox --disable-gpu --window-size=1000,1000 --virtual-time-budget=2000 \
    --screenshot="$out/zone-graph.png" "file://$work/report/index.html" >/dev/null 2>&1
python3 "$root/tools/zoned-building.py" "$work/heavy.scene" --rooms 9 --heavy 8 --camera >/dev/null
"$run_tree/bin/TarnelCheck" --sweep --budget triangles=30000 --report "$work/sweep" "$work/heavy.scene" "${media[@]}" \
    >/dev/null 2>&1 || true
chromium --headless --no-sandbox --disable-gpu --window-size=1100,1500 --virtual-time-budget=2000 \
    --screenshot="$work/sweep.png" "file://$work/sweep/index.html" >/dev/null 2>&1
# The card from its budget line down: the map and the heaviest place's picture.
convert "$work/sweep.png" -crop 1100x420+0+840 +repage "$out/sweep-report.png"
ls "$out"/zone-view.png "$out"/frozen.png "$out"/zone-graph.png "$out"/sweep-report.png
