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
failures=0
check() { # description, then a command that must succeed
    local description=$1; shift
    if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
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

exit $((failures != 0))
