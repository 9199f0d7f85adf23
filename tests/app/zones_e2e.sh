#!/usr/bin/env bash
# Zones and portals: each fault the building generator writes is found at its line before
# any window, by the checker's reading alone, and a door whose portals face out of their
# rooms hides the room behind it when drawn.
#   zones_e2e.sh RUN_TREE SOURCE_DIR
set -uo pipefail
run_tree=$1
generator=$2/tools/zoned-building.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
cd "$run_tree/bin"
media=(--media "$run_tree/Media/Meshes")

# fault, then what its warning says
while IFS='|' read -r fault words; do
    python3 "$generator" "$work/$fault.scene" --rooms 4 --fault "$fault" >"$work/$fault.lines"
    line=$(awk -v f="$fault" '$2 == f { print $3; exit }' "$work/$fault.lines")
    ./TarnelCheck --no-draw "$work/$fault.scene" "${media[@]}" >"$work/$fault.out" 2>&1
    check "$fault: said at line $line" grep -qF "$words" "$work/$fault.out"
    check "$fault: at its line" grep -qF "$words" <(grep -F "($work/$fault.scene:$line)" "$work/$fault.out")
done <<'FAULTS'
unmatched|has no matching portal in another zone
facing|faces out of its zone
nonplanar|has corners that are not in one plane
order|has corners that do not go round it in order
zero|has no area
type|has type "AAB", which the loader does not read
island|cannot be reached through portals
sprawl|entity "Room0_Beam" of zone "Room0" reaches 4.8 out of its zone, into zone "Room1"
overlap|zone "Annex" overlaps zone "Room0" (line 5) by 5.2 x 0.2 x 10
outside|entity "Stray" lies outside every zone
FAULTS
check "a portal without a match is a portal without a target zone, read only" \
    grep -qF "portal without a target zone: Room0_ToRoom1" "$work/unmatched.out"

# The zone graph in JSON, read only and through the full check's process alike.
for how in --no-draw --json; do
    ./TarnelCheck --json $how "$work/facing.scene" "${media[@]}" >"$work/facing.json" 2>/dev/null
    check "JSON ($how) lists the zones, their portals, where each leads and its faults" python3 - "$work/facing.json" <<'PY'
import json, sys
zones = json.load(open(sys.argv[1]))["levels"][0]["zones"]
assert [z["name"] for z in zones] == ["Room0", "Room1", "Room2", "Room3"], zones
door = next(p for p in zones[0]["portals"] if p["name"] == "ToRoom1")
assert door["line"] == 8 and door["target"] == "Room1", door
assert any("faces out of its zone" in f for f in door["faults"]), door
assert zones[0]["nodes"] > 10 and zones[0]["objects"] > 10 and zones[0]["faults"] == [], zones[0]
# Walls, floor, ceiling and a crate: the meshes were read either way.
assert zones[1]["triangles"] > 1000 and len(zones[1]["centre"]) == 3, zones[1]
PY
done

python3 "$generator" "$work/clean.scene" --rooms 9 --camera >/dev/null
./TarnelCheck --no-draw "$work/clean.scene" "${media[@]}" >"$work/clean.out" 2>&1
check "a building without faults is ok" grep -qxF "$work/clean.scene: ok" "$work/clean.out"
check "and says nothing of its zones" bash -c "! grep -qE 'zone \"|portal \"' '$work/clean.out'"
./TarnelCheck --no-draw "$run_tree/Media/Scenes/scene3.scene" >"$work/sample.out" 2>&1
check "the sample level says nothing of its zones" bash -c "! grep -qE 'zone \"|portal \"' '$work/sample.out'"

# Drawn through the first room's camera at its east door: the room behind shows through a
# door whose portals face into their rooms, and the background through one whose portals face out.
python3 "$generator" "$work/facing.scene" --rooms 4 --camera --fault facing >/dev/null
for level in clean facing; do
    [ "$level" = clean ] && python3 "$generator" "$work/clean.scene" --rooms 4 --camera >/dev/null
    ./TarnelViewer "$work/$level.scene" "${media[@]}" --camera Eye --screenshot "$work/$level.png" --size 480x300 \
        >/dev/null 2>&1
done
# The doorway, as the camera sees it: its middle.
doorway() { convert "$1" -crop 30x40+225+130 -scale 1x1! -format '%[fx:int(255*(r+g+b)/3)]' info:; }
clean=$(doorway "$work/clean.png") facing=$(doorway "$work/facing.png")
check "through a door facing into its rooms the next room is drawn (brightness $clean)" [ "$clean" -gt 120 ]
check "through a door facing out of them it is not (brightness $facing)" [ "$facing" -lt 60 ]

# The report page draws the zone graph: zones as boxes, portals as links, faults in red.
python3 "$generator" "$work/graph.scene" --rooms 4 --fault facing --fault island >/dev/null
./TarnelCheck --report "$work/report" "$work/graph.scene" "${media[@]}" >/dev/null 2>&1
chromium --headless --no-sandbox --disable-gpu --virtual-time-budget=2000 --dump-dom "file://$work/report/index.html" \
    >"$work/dom.html" 2>/dev/null
check "the page's zone graph: a box a zone, a link a door, the faulty ones marked" python3 - "$work/dom.html" <<'PY'
import re, sys
dom = open(sys.argv[1]).read()
zones = re.findall(r'<g class="zone( fault)?" data-zone="([^"]+)"', dom)
assert sorted(name for _, name in zones) == ["Island0", "Island1", "Room0", "Room1", "Room2", "Room3"], zones
assert sorted(name for fault, name in zones if fault) == ["Island0", "Island1"], zones
links = re.findall(r'<g class="link( fault)?" data-from="([^"]+)" data-to="([^"]+)"', dom)
doors = {tuple(sorted((a, b))) for _, a, b in links}
assert doors == {("Room0", "Room1"), ("Room0", "Room2"), ("Room1", "Room3"), ("Room2", "Room3"), ("Island0", "Island1")}, doors
assert {tuple(sorted((a, b))) for fault, a, b in links if fault} == {("Room0", "Room1")}, links
assert "faces out of its zone" in dom
PY
chromium --headless --no-sandbox --disable-gpu --window-size=1280,1400 --virtual-time-budget=2000 \
    --screenshot="$work/page.png" "file://$work/report/index.html" >/dev/null 2>&1
red=$(convert "$work/page.png" -fx '(r>0.7&&g<0.25&&b<0.25)?1:0' -format '%[fx:int(mean*w*h)]' info:)
check "Chromium draws it, its faults in red ($red pixels)" [ "$red" -gt 300 ]

# The zone view and the freeze, in the viewer as a person drives it: from the first room's
# camera looking through its east door, then from the last room's, which that view cannot see.
source "$2/tools/viewer-driver.sh"
python3 "$generator" "$work/cams.scene" --rooms 4 --camera >/dev/null
mkdir -p "$work/view" && cd "$work/view"
trap 'kill -9 "$VIEWER_PID" 2>/dev/null; rm -rf "$work"' EXIT
"$run_tree/bin/TarnelViewer" "$work/cams.scene" "${media[@]}" --camera Eye >viewer.stdout 2>viewer.stderr &
VIEWER_PID=$!
viewer_accept_dialog && viewer_wait_for_window
viewer_press r; viewer_press r; sleep 0.5
viewer_press z; viewer_press Print       # 1: the zone view from the first room
viewer_press z; viewer_press x           # frozen there, in the level's own look
viewer_press c; viewer_press c           # through the level's second camera, in the last room
viewer_press Print                       # 2: frozen
viewer_press x; viewer_press Print       # 3: thawed
viewer_press z; viewer_press x; viewer_press F5; viewer_press Print  # 4: both, after a reload
viewer_press Escape
viewer_wait_for_exit
mean_of() { convert "$1" -crop "$2" -scale 1x1! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:; }
# Saturated, and apart from each other: each room in a colour of its own.
read -r r1 g1 b1 <<<"$(mean_of screenshot_1.png 60x60+370+246)"  # through the door: the next room
read -r r2 g2 b2 <<<"$(mean_of screenshot_1.png 60x60+200+300)"  # this room's wall
saturated() { local hi lo; hi=$(printf '%s\n' "$@" | sort -n | tail -1); lo=$(printf '%s\n' "$@" | sort -n | head -1); [ $((hi - lo)) -gt 80 ]; }
apart() { local d=$(( ($1-$4)*($1-$4) + ($2-$5)*($2-$5) + ($3-$6)*($3-$6) )); [ "$d" -gt 10000 ]; }
check "zone view: this room in a colour of its own ($r2 $g2 $b2)" saturated "$r2" "$g2" "$b2"
check "zone view: the next room in another ($r1 $g1 $b1)" saturated "$r1" "$g1" "$b1"
check "zone view: the two apart" apart "$r1" "$g1" "$b1" "$r2" "$g2" "$b2"
background() { convert "$1" -fuzz 6% -fill white -opaque "rgb(25,25,51)" -fill black +opaque white -format '%[fx:int(100*mean)]' info:; }
yellow() { convert "$1" -fx '(r>0.78&&g>0.7&&b<0.35)?1:0' -format '%[fx:int(mean*w*h)]' info:; }
frozen=$(background screenshot_2.png) thawed=$(background screenshot_3.png)
check "frozen: the last room, which the frozen view could not see, is not drawn ($frozen % background)" [ "$frozen" -gt 30 ]
check "frozen: the frozen camera's frustum is drawn ($(yellow screenshot_2.png) yellow pixels)" [ "$(yellow screenshot_2.png)" -gt 100 ]
check "thawed: the room is drawn again ($thawed % background)" [ "$thawed" -lt 5 ]
check "thawed: no frustum" [ "$(yellow screenshot_3.png)" -lt 20 ]
check "the freeze holds through a reload" grep -qE "Frozen again in the level as loaded now: [0-9]+ of 49 objects" Ogre.log
read -r r3 g3 b3 <<<"$(mean_of screenshot_4.png 60x60+370+246)"
check "and the zone view ($r3 $g3 $b3)" saturated "$r3" "$g3" "$b3"
check "the log counts what the frozen view drew" grep -qE "Frozen at -3 1.5 0: [0-9]+ of 49 objects in [23] of 4 zones" Ogre.log
check "and the viewer ended well" [ "$VIEWER_STATUS" = 0 ]
[ "$failures" -eq 0 ] || { tail -20 Ogre.log; cat viewer.stderr; }

exit $((failures != 0))
