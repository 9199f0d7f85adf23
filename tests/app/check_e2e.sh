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

failures=0
check() { # description, then a command that must succeed
    local description=$1; shift
    if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
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
printf '<scene><nodes><node name="A"></nodes></scene>' >broken.scene
printf '<scene><nodes><node name="Hall"><portal name="Door" type="quad" x0="-1" y0="0" z0="5" x1="1" y1="0" z1="5" x2="1" y2="2" z2="5" x3="-1" y3="2" z3="5"/></node></nodes></scene>' >lonely.scene

run "$sample"
check "the sample level passes (status $status)" [ "$status" = 0 ]
# What the sample level holds: its own nodes and those of three lamp-post instances, the
# hall, gallery and vault zones, four portals, four lights of its own and one in each lamp.
check "its counts" grep -qF "65 nodes, 3 zones, 4 portals, 50 entities, 7 lights, 3 cameras, 1 particle systems, 4 billboard sets, 2 planes, 1 animations, 3 model instances" out.txt
check "its load time by phase" grep -qE "load [0-9.]+ ms: parse [0-9.]+, resources [0-9.]+, environment [0-9.]+, nodes and objects [0-9.]+, batched geometry [0-9.]+, render textures [0-9.]+, portal connection [0-9.]+" out.txt

run missing.scene
check "missing media give status 2 (got $status)" [ "$status" = 2 ]
check "the missing mesh is named with its user, though it ended the load" grep -qF "missing mesh Statue.mesh, used by Statue" out.txt
check "the missing material is named with its user" grep -qF "missing material Level/Marble, used by Crate" out.txt

run lonely.scene
check "a portal that leads nowhere gives status 2 (got $status)" [ "$status" = 2 ]
check "and is named" grep -qF "portal without a target zone: Hall_Door" out.txt

run broken.scene missing.scene
check "a broken level gives status 1 (got $status)" [ "$status" = 1 ]
check "with the loader's message" grep -qF "InvalidStateException: Unable to load Tarnel scene file: $work/broken.scene in TarnelScene::Load" out.txt
check "a progress line per level" grep -qF "[2/2] $work/missing.scene" err.txt

run "$sample" missing.scene --json
check "--json keeps the status (got $status)" [ "$status" = 2 ]
check "the JSON document reads back" python3 - out.txt "$sample" <<'READ'
import json, sys
document = json.load(open(sys.argv[1]))
sample, missing = document["levels"]
assert document["schema"] == 1 and document["status"] == 2
assert sample["file"] == sys.argv[2] and sample["status"] == 0 and sample["loaded"] and sample["error"] is None
assert sample["counts"]["zones"] == 3 and sample["counts"]["modelInstances"] == 3, sample["counts"]
assert set(sample["loadMs"]) == {"total", "parse", "resources", "environment", "nodesAndObjects",
                                 "batchedGeometry", "renderTextures", "portalConnection"}
assert {"kind": "mesh", "name": "Statue.mesh", "usedBy": ["Statue"]} in missing["missing"], missing["missing"]
assert not missing["loaded"] and "Statue.mesh" in missing["error"]
READ

exit $((failures != 0))
