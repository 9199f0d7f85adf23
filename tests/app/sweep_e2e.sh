#!/usr/bin/env bash
# The sweep: a building with one heavy room has its heaviest place found in that room's
# sight and fails a budget it exceeds (given, or in a file beside the levels); the sample
# level sweeps alike twice; the report page's map reads in Chromium; the viewer goes to the
# heaviest place of a saved sweep on J.
#   sweep_e2e.sh RUN_TREE SOURCE_DIR
set -uo pipefail
run_tree=$(realpath "$1")
source_dir=$(realpath "$2")
generator=$source_dir/tools/zoned-building.py
work=$(mktemp -d)
trap 'kill -9 "${VIEWER_PID:-}" 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
cd "$run_tree/bin"
media=(--media "$run_tree/Media/Meshes")
mkdir -p "$work/game"
python3 "$generator" "$work/game/heavy.scene" --rooms 9 --heavy 8 --camera >/dev/null

./TarnelCheck --sweep --json "$work/game/heavy.scene" "${media[@]}" >"$work/heavy.json" 2>"$work/heavy.err"
check "the heaviest place is in the heavy room's sight" python3 - "$work/heavy.json" <<'PY'
import json, sys
level = json.load(open(sys.argv[1]))["levels"][0]
samples = level["sweep"]["samples"]
assert len(samples) >= 9 * 8 + 2, len(samples)
worst = max(samples, key=lambda s: s["triangles"])
# The heavy room, or a room next to it that looks in through a door.
assert worst["zone"] in ("Room8_PCZone", "Room5_PCZone", "Room7_PCZone"), worst
assert worst["objects"] > 64 and worst["batches"] > 0, worst
assert {s["looking"] for s in samples} >= {"north", "north-east", "east", "south-east", "south", "south-west", "west", "north-west"}
assert sum(1 for s in samples if s["camera"]) == 2 and level["sweep"]["levelZones"] == 9
PY

status=0
./TarnelCheck --sweep --budget triangles=20000 --junit "$work/junit.xml" "$work/game/heavy.scene" "${media[@]}" \
    >"$work/budget.out" 2>&1 || status=$?
check "over a budget, a level is incomplete (status $status)" [ "$status" = 2 ]
check "and says where and by how much" grep -qE \
    '^  over budget: [0-9,]+ triangles from \(-?[0-9.]+, -?[0-9.]+, -?[0-9.]+\) looking (north|south|east|west|[a-z]+-[a-z]+) in zone Room[0-9]_PCZone; budget 20,000$' \
    "$work/budget.out"
check "JUnit carries it" grep -qE '<failure type="INCOMPLETE" message="over budget: [0-9,]+ triangles from ' "$work/junit.xml"

echo "objects=40" >"$work/game/tarnel-budget.txt"
status=0
./TarnelCheck "$work/game/heavy.scene" "${media[@]}" >"$work/file.out" 2>&1 || status=$?
check "a budget file beside the levels holds it too, and sweeps (status $status)" [ "$status" = 2 ]
check "and its bound is said" grep -qE "over budget: [0-9,]+ objects from .*; budget 40$" "$work/file.out"
status=0
./TarnelCheck --budget objects=100000 "$work/game/heavy.scene" "${media[@]}" >"$work/wins.out" 2>&1 || status=$?
check "the command line's bound wins over the file's (status $status)" [ "$status" = 0 ]
echo "objects=many" >"$work/game/tarnel-budget.txt"
status=0
./TarnelCheck "$work/game/heavy.scene" "${media[@]}" >"$work/bad.out" 2>&1 || status=$?
check "a budget file that is no budget fails the level, naming it (status $status)" \
    grep -qF "$work/game/tarnel-budget.txt: a budget is triangles=N,batches=M,objects=K (any of them), not \"objects=many\"" \
    "$work/bad.out"
rm "$work/game/tarnel-budget.txt"
status=0
./TarnelCheck --budget triangles=lots "$work/game/heavy.scene" >/dev/null 2>"$work/usage.err" || status=$?
check "a budget that is none is said as the usage's error (status $status)" grep -qF \
    'TarnelCheck: a budget is triangles=N,batches=M,objects=K (any of them), not "triangles=lots"' "$work/usage.err"

# The same level and settings sweep alike.
for run in 1 2; do
    ./TarnelCheck --sweep --json "$run_tree/Media/Scenes/scene3.scene" 2>/dev/null |
        python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["levels"][0]["sweep"]["samples"]))' \
            >"$work/sample-$run.json"
done
check "two sweeps of the sample level give the same counts" cmp -s "$work/sample-1.json" "$work/sample-2.json"

# The report page: a map of the places coloured by triangles, the heaviest ringed, and its picture.
./TarnelCheck --sweep --report "$work/report" "$work/game/heavy.scene" "${media[@]}" >/dev/null 2>&1
chromium --headless --no-sandbox --disable-gpu --virtual-time-budget=2000 --dump-dom "file://$work/report/index.html" \
    >"$work/dom.html" 2>/dev/null
check "the page's map: a dot a place, the heaviest ringed, and the heaviest place's picture" python3 - "$work/dom.html" "$work/report" <<'PY'
import os, re, sys
dom = open(sys.argv[1]).read()
dots = re.findall(r'<circle class="place" data-triangles="(\d+)"([^>]*)>', dom)
assert len(dots) >= 9 + 2, len(dots)
ringed = [int(t) for t, rest in dots if 'stroke="#000"' in rest]
assert len(ringed) == 1 and ringed[0] == max(int(t) for t, _ in dots), (ringed, dots[:3])
pictures = re.findall(r'<img src="([^"]+-heaviest\.png)"', dom)
assert len(pictures) == 1 and os.path.isfile(os.path.join(sys.argv[2], pictures[0])), pictures
PY
chromium --headless --no-sandbox --disable-gpu --window-size=1100,1600 --virtual-time-budget=2000 \
    --screenshot="$work/page.png" "file://$work/report/index.html" >/dev/null 2>&1
red=$(convert "$work/page.png" -fx '(r>0.75&&g<0.35&&b<0.3)?1:0' -format '%[fx:int(mean*w*h)]' info:)
check "Chromium draws the map, the heavy room in red ($red pixels)" [ "$red" -gt 100 ]

# The viewer goes to the saved sweep's heaviest place on J.
source "$source_dir/tools/viewer-driver.sh"
mkdir -p "$work/view" && cd "$work/view"
"$run_tree/bin/TarnelViewer" "$work/game/heavy.scene" "${media[@]}" --sweep-file "$work/heavy.json" \
    >viewer.stdout 2>viewer.stderr &
VIEWER_PID=$!
viewer_accept_dialog && viewer_wait_for_window
viewer_press j
viewer_press Escape
viewer_wait_for_exit
worst=$(python3 -c 'import json,sys; s=max(json.load(open(sys.argv[1]))["levels"][0]["sweep"]["samples"], key=lambda s: s["triangles"]); print(s["triangles"])' "$work/heavy.json")
check "J goes to the heaviest place first ($worst triangles)" grep -qE "Heaviest place 1 of [0-9]+: $worst triangles, " Ogre.log
status=0
"$run_tree/bin/TarnelViewer" "$work/game/heavy.scene" --sweep-file "$work/dom.html" >/dev/null 2>"$work/sweepfile.err" || status=$?
check "a sweep file that is none is said before any window (status $status)" \
    grep -qF "TarnelViewer: --sweep-file $work/dom.html is not JSON" "$work/sweepfile.err"
[ "$failures" -eq 0 ] || { cat "$work/budget.out"; tail -5 Ogre.log 2>/dev/null; }
exit $((failures != 0))
