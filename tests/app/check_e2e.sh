#!/usr/bin/env bash
# The level checker end to end: the real program on the sample level, on a level that
# lacks media and on a broken one, in text and as JSON read back.
#   check_e2e.sh RUN_TREE
set -uo pipefail
check_program=$1/bin/TarnelCheck
sample=$1/Media/Scenes/scene3.scene
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
run() { # arguments for the checker; sets status, output in out.txt, errors in err.txt
    status=0
    "$check_program" "$@" >out.txt 2>err.txt || status=$?
}

cat >missing.scene <<'LEVEL'
<scene><nodes><node name="Hall">
  <node name="Statue"><entity name="Statue" meshFile="Statue.mesh"/></node>
  <node name="Crate"><entity name="Crate" meshFile="Crate.mesh" materialFile="Level/Marble"/></node>
</node></nodes></scene>
LEVEL
cat >incomplete.scene <<'LEVEL'
<scene><nodes><node name="Floor"><plane name="Floor" width="10" height="10" material="Level/Marble"><normal y="1"/></plane></node></nodes></scene>
LEVEL
printf '<scene><nodes><node name="A"></nodes></scene>' >broken.scene
printf '<scene><nodes><node name="Hall"><portal name="Door" type="quad" x0="-1" y0="0" z0="5" x1="1" y1="0" z1="5" x2="1" y2="2" z2="5" x3="-1" y3="2" z3="5"/></node></nodes></scene>' >lonely.scene

run "$sample"
check "the sample level passes (status $status)" [ "$status" = 0 ]
# What the sample level holds: its own nodes and those of three lamp-post instances, the
# hall, gallery and vault zones, four portals, four lights of its own and one in each lamp.
check "its counts" grep -qF "65 nodes, 3 zones, 4 portals, 50 entities, 7 lights, 3 cameras, 1 particle systems, 4 billboard sets, 2 planes, 1 animations, 3 model instances" out.txt
check "its load time by phase" grep -qE "load [0-9.]+ ms: parse [0-9.]+, resources [0-9.]+, environment [0-9.]+, nodes and objects [0-9.]+, batched geometry [0-9.]+, render textures [0-9.]+, portal connection [0-9.]+" out.txt

run missing.scene
check "a missing mesh ends the load: status 1 (got $status)" [ "$status" = 1 ]
check "the missing mesh is named with its user" grep -qF "missing mesh Statue.mesh, used by Statue" out.txt
check "the missing material is named with its user" grep -qF "missing material Level/Marble, used by Crate" out.txt
run incomplete.scene
check "missing media that do not stop the load give status 2 (got $status)" [ "$status" = 2 ]

run lonely.scene
check "a portal that leads nowhere gives status 2 (got $status)" [ "$status" = 2 ]
check "and is named" grep -qF "portal without a target zone: Hall_Door" out.txt

run broken.scene missing.scene
check "a broken level gives status 1 (got $status)" [ "$status" = 1 ]
check "with the parser's reason and its line, as the viewer says it" grep -qF "error: $work/broken.scene:1: not well-formed XML: Error reading end tag. (column" out.txt
check "a progress line per level" grep -qF "[2/2] $work/missing.scene" err.txt

run "$sample" missing.scene --json
check "--json keeps the status (got $status)" [ "$status" = 1 ]
[ "$status" = 1 ] || { echo "--- the document"; cat out.txt; }
check "the JSON document reads back" python3 - out.txt "$sample" <<'READ'
import json, sys
document = json.load(open(sys.argv[1]))
sample, missing = document["levels"]
assert document["schema"] == 2 and document["status"] == 1 and missing["status"] == 1
assert sample["file"] == sys.argv[2] and sample["status"] == 0 and sample["loaded"] and sample["error"] is None
assert sample["counts"]["zones"] == 3 and sample["counts"]["modelInstances"] == 3, sample["counts"]
assert set(sample["loadMs"]) == {"total", "parse", "resources", "environment", "nodesAndObjects",
                                 "batchedGeometry", "renderTextures", "portalConnection", "meshes"}
assert 0 < sample["loadMs"]["meshes"] < sample["loadMs"]["total"], sample["loadMs"]
assert {"kind": "mesh", "name": "Statue.mesh", "usedBy": ["Statue"]} in missing["missing"], missing["missing"]
assert not missing["loaded"] and "Statue.mesh" in missing["error"]
READ

# Exporters' habits: the level opens and draws, each value outside its domain is a warning,
# and names in a legacy 8-bit encoding are shown as they are and carried by valid JSON.
mkdir -p habits Media/Meshes
cp "$1"/Media/Meshes/* Media/Meshes/
cp "$(dirname "$0")/../data/exporter-habits.scene" habits/
run habits/exporter-habits.scene
check "a level of exporters' habits is drawn, not failed (status $status)" [ "$status" != 1 ]
check "its values outside their domains are warnings" grep -qF 'warning: Warning: Tarnel: camera "Wide" has fov="100"' out.txt
check "its Latin-1 names are shown as they are" grep -qaF "$(printf 'rotation of node "Caf\xe9"')" out.txt
run habits/exporter-habits.scene --json
check "as JSON, they are valid UTF-8 read as Latin-1" python3 - out.txt <<'READ'
import json, sys
level = json.load(open(sys.argv[1], encoding="utf-8"))["levels"][0]
assert level["drawn"] and level["status"] != 1, level
assert any('rotation of node "Caf\u00e9"' in warning for warning in level["warnings"]), level["warnings"]
READ

# --no-draw reads the levels without a display and finds what the full check finds, except
# what only building and drawing find (a portal's zone, the engine's own warnings).
mkdir -p nodraw
cat >nodraw/twice.scene <<'LEVEL'
<scene><nodes>
  <node name="Lamp"><light name="Glow" type="point"/></node>
  <node name="Post"><light name="Glow" type="point"/></node>
</nodes></scene>
LEVEL
cat >nodraw/keyword.scene <<'LEVEL'
<scene><nodes><node name="Sun"><light name="Sun" type="LT_POINT"/></node></nodes></scene>
LEVEL
cat >nodraw/unread.scene <<'LEVEL'
<scene><lights><light name="Sun" type="LT_POINT"/></lights>
  <resourceLocations><resourceLocation type="FileSystem" name="gone"/></resourceLocations>
  <nodes><node name="Lamp"><light name="Lamp" type="point"><lightAttenuation range="-5"/></light></node></nodes></scene>
LEVEL
cat >nodraw/sparks.scene <<'LEVEL'
<scene><nodes><node name="Fire"><particleSystem name="Fire" file="Level/Sprks"/></node></nodes></scene>
LEVEL
cat >nodraw/textures.scene <<'LEVEL'
<scene><nodes><node name="Floor"><plane name="Floor" width="10" height="10" material="Own/Stone"><normal y="1"/></plane></node></nodes></scene>
LEVEL
cat >nodraw/own.material <<'SCRIPT'
// a material of the level's own, whose image was never shipped
material "Own/Stone" { technique { pass { texture_unit { texture stone.png } } } }
SCRIPT
# A mesh that is there but is no mesh costs its entity, in both; a model file is read as the
# load reads it, so what sits in an element it ignores is not looked for.
printf 'not a mesh at all' >nodraw/noise.mesh
cat >nodraw/prop.model <<'MODEL'
<model><node name="Lamp"><light name="Glow" type="point"/><physics><entity name="Hull" meshFile="hull.mesh"/></physics></node></model>
MODEL
cat >nodraw/corrupt.scene <<'LEVEL'
<scene><nodes><node name="Crate"><entity name="Broken" meshFile="noise.mesh"/></node>
  <node name="P" modelFile="prop.model"/></nodes></scene>
LEVEL
cp missing.scene incomplete.scene broken.scene nodraw/
levels=("$sample" nodraw/*.scene)
run "${levels[@]}" --json
cp out.txt full.json
start=$(date +%s%N)
run "${levels[@]}" --json --no-draw
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
cp out.txt read.json
no_display() { env -u DISPLAY "$@" >/dev/null; }
check "--no-draw needs no display" no_display "$check_program" --no-draw "$sample"
check "--no-draw and the full check agree ($elapsed_ms ms without drawing)" python3 - full.json read.json <<'READ'
import json, sys
full, read = (json.load(open(name))["levels"] for name in sys.argv[1:])
assert len(full) == len(read) == 10
for built, only_read in zip(full, read):
    name = built["file"]
    assert only_read["readOnly"] and not only_read["drawn"], name
    assert built["status"] == only_read["status"], (name, built["status"], only_read["status"], only_read["error"])
    assert (built["error"] is None) == (only_read["error"] is None), (name, built["error"], only_read["error"])
    kinds = lambda level: sorted((m["kind"], m["name"], tuple(m["usedBy"]), m.get("unreadable")) for m in level["missing"])
    assert kinds(built) == kinds(only_read), (name, kinds(built), kinds(only_read))
    missed = [w for w in only_read["warnings"] if w not in built["warnings"]]
    assert not missed, (name, missed)
by_name = {level["file"].rsplit("/", 1)[-1]: level for level in read}
assert any(w.startswith('Tarnel: the element <lights>, with the 1 light in it, is not read (') and w.endswith("unread.scene:1)") for w in by_name["unread.scene"]["warnings"]), by_name["unread.scene"]["warnings"]
assert any("resource location" in w and "gone" in w for w in by_name["unread.scene"]["warnings"])
assert any("range" in w for w in by_name["unread.scene"]["warnings"]), by_name["unread.scene"]["warnings"]
assert [(m["kind"], m["name"], m.get("unreadable")) for m in by_name["corrupt.scene"]["missing"]] == [("mesh", "noise.mesh", "Header chunk didn't match either endian: Corrupted stream?")], by_name["corrupt.scene"]["missing"]
assert by_name["corrupt.scene"]["status"] == 2 and by_name["corrupt.scene"]["error"] is None, by_name["corrupt.scene"]
assert ("texture", "stone.png", ("Floor",)) in [(m["kind"], m["name"], tuple(m["usedBy"])) for m in by_name["textures.scene"]["missing"]]
READ
run nodraw/twice.scene --no-draw
check "a repeated name gives both lines and the way out" grep -qF 'twice.scene:3: light "Glow" repeats the name of line 2 (--lenient renames repeats)' out.txt
run nodraw/twice.scene --no-draw --lenient
check "which --lenient takes (status $status)" [ "$status" = 0 ]
run nodraw/sparks.scene --no-draw
check "a missing template is said with its line" grep -qF 'sparks.scene:1: particleSystem "Fire" names particle template "Level/Sprks", which is nowhere to be found' out.txt
run "$sample" --no-draw --ref refs
check "--no-draw refuses to compare pictures (status $status)" [ "$status" = 1 ] && grep -qF "which --no-draw does not draw" err.txt

# A keyword the readers refuse is said with its line before anything is built; a fault only
# the load finds, with where the load stopped.
printf '<scene>\n<environment>\n<shadows technique="textureModulative"><shadowCameraSetup type="bogus"/></shadows>\n</environment>\n</scene>\n' >refused.scene
run refused.scene
check "a refused keyword is said with its line (status $status)" \
    grep -qF "refused.scene:3: shadows: InvalidParametersException: Invalid shadow camera setup specified: bogus" out.txt
printf '<scene>\n<environment>\n<shadows technique="textureModulative"><shadowTextures shadowCasterMaterial="Nowhere"/></shadows>\n</environment>\n</scene>\n' >stopped.scene
run stopped.scene
check "a fault only the load finds names where the load stopped (status $status)" \
    grep -qE "Cannot locate material called 'Nowhere' in .*; the load stopped at $work/stopped.scene:2: environment\$" out.txt

# Each level is checked with its own materials: a game's media that define one of the same
# name, and the other levels of a folder given as media, do not stand in for it.
mkdir -p own/media own/levels/a own/levels/b
fence() { printf 'material Fence\n{\n technique\n {\n  pass\n  {\n   texture_unit\n   {\n    texture %s\n   }\n  }\n }\n}\n' "$1"; }
fence mis_alf.tga >own/media/fence.material
fence a.png >own/levels/a/fence.material
fence b_missing.png >own/levels/b/fence.material
convert -size 4x4 xc:red own/levels/a/a.png
for level in a b; do
    printf '<scene><nodes><node name="Floor"><plane name="Floor" width="10" height="10" material="Fence"><normal y="1"/></plane></node></nodes></scene>' \
        >own/levels/$level/level.scene
done
run own/levels/a/level.scene --media own/media
check "a level's own material stands before the game media's (status $status)" [ "$status" = 0 ]
check "and the media's image is not reported against it" bash -c '! grep -q mis_alf out.txt'
check "which is said" grep -qF "the level's material 'Fence', in fence.material, is used instead of the one in fence.material" out.txt
run own/levels --media own/levels
check "a folder of levels given as their own media: each has its own material" \
    grep -qxF "$work/own/levels/a/level.scene: ok" out.txt
check "and is reported for its own images only" \
    bash -c "grep -qF 'missing texture b_missing.png, used by Floor' out.txt && [ \$(grep -c b_missing out.txt) = 1 ]"
check "nor told that its own material is defined again by another level" bash -c '! grep -q "defined again" out.txt' 

run /dev/null
check "a path that is no file is one failed level (status $status)" [ "$status" = 1 ]
check "with a one-line message" grep -qxF "  error: /dev/null is not a regular file" out.txt
mkdir -p empty
run empty
check "a folder without levels is no run (status $status)" [ "$status" = 1 ] && grep -q "Usage" err.txt

# A level whose process dies by a signal (an assertion aborts) is reported with it, and the next
# level is still checked.
python3 -c 'print("<scene><nodes>" + "".join("<node name=\"N%d\"><entity name=\"E%d\" meshFile=\"Crate.mesh\"/></node>" % (i, i) for i in range(40000)) + "</nodes></scene>")' >big.scene
# One level at a time: the child to kill is the first level's.
"$check_program" big.scene "$sample" --jobs 1 >out.txt 2>err.txt &
checker=$!
for _ in $(seq 1000); do
    # Only a check's own process: a virtual display the checker started is no level's.
    child=$(pgrep -P "$checker" -x TarnelCheck | head -n 1) && [ -n "$child" ] && { kill -ABRT "$child"; break; }
    sleep 0.01
done
status=0
wait "$checker" || status=$?
check "a level killed by a signal fails the run (status $status)" [ "$status" = 1 ]
check "it is reported with the signal" grep -qF "error: The check of this level ended by signal 6 (SIGABRT), Aborted; the last lines of its log:" out.txt
check "and the next level is still checked" grep -qxF "$sample: ok" out.txt
grep -qxF "$sample: ok" out.txt || { echo "--- what the checker said:"; cat out.txt err.txt; }

# A level whose check takes longer than --timeout is stopped and reported, and the next is checked.
python3 -c 'print("<scene><nodes>" + "".join("<node name=\"N%d\"><entity name=\"E%d\" meshFile=\"Crate.mesh\"/></node>" % (i, i) for i in range(150000)) + "</nodes></scene>")' >huge.scene
run huge.scene "$sample" --jobs 1 --timeout 1 --media "$1/Media/Meshes"
check "a level past the time limit fails the run (status $status)" [ "$status" = 1 ]
check "it is reported as timed out" grep -qF "error: The check of this level timed out: it took longer than 1 s and was stopped" out.txt
check "and the next level is still checked" grep -qxF "$sample: ok" out.txt

exit $((failures != 0))
