#!/usr/bin/env bash
# Checks a small game of example levels (two fine, one incomplete, one broken) as a build
# server would, and writes what it would publish: the report page with its pictures, JUnit
# results, and a picture of the page as Chromium shows it.
#   tools/report-example.sh [OUT_DIR] [RUN_TREE]   (defaults: build/report-example, build/run)
# The exit status is the checker's (1: the broken level fails); OUT_DIR/report.png is the page.
set -uo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/report-example}")
run_tree=$(realpath "${2:-build/run}")
rm -rf "$out"
mkdir -p "$out/game/media" "$out/game/levels/fine" "$out/game/levels/incomplete" "$out/game/levels/broken"
cp "$run_tree"/Media/Meshes/* "$out/game/media/"
for material in Level/Stone:0.7,0.7,0.65 Level/Wood:0.7,0.45,0.2 Level/Brass:0.85,0.7,0.25; do
    name=${material%%:*} colour=${material#*:}
    printf 'material %s\n{\n technique\n {\n  pass\n  {\n   ambient 0.4 0.4 0.4\n   diffuse %s 1\n  }\n }\n}\n' \
        "$name" "${colour//,/ }"
done >"$out/game/media/game.material"
cat >"$out/game/levels/fine/courtyard.scene" <<'LEVEL'
<scene><environment><colourAmbient r="0.3" g="0.3" b="0.3"/><colourBackground r="0.25" g="0.3" b="0.4"/></environment>
<nodes>
<node name="Ground"><scale x="20" y="0.2" z="20"/><entity name="Ground" meshFile="Block.mesh"/></node>
<node name="Crate"><position x="-2" y="0.6" z="1"/><entity name="Crate" meshFile="Crate.mesh"/></node>
<node name="Tower"><position x="3" y="2" z="-2"/><scale x="1.5" y="4" z="1.5"/><entity name="Tower" meshFile="Crate.mesh"/></node>
<node name="Sun"><position x="5" y="10" z="5"/><light name="Sun" type="point"/></node>
<node name="Gate"><position x="0" y="3" z="14"/><camera name="Gate" fov="0.9"><clipping near="0.1" far="500"/><lookTarget nodeName="Tower"/></camera></node>
</nodes></scene>
LEVEL
cat >"$out/game/levels/fine/storeroom.scene" <<'LEVEL'
<scene><environment><colourAmbient r="0.4" g="0.35" b="0.3"/></environment>
<nodes>
<node name="Stack"><position x="0" y="0.5" z="0"/><entity name="Low" meshFile="Crate.mesh"/>
  <node name="Top"><position x="0.2" y="1" z="0"/><entity name="High" meshFile="Crate.mesh"/></node></node>
</nodes></scene>
LEVEL
cat >"$out/game/levels/incomplete/statue.scene" <<'LEVEL'
<scene><nodes>
<node name="Plinth"><scale x="2" y="0.5" z="2"/><entity name="Plinth" meshFile="Block.mesh"/></node>
<node name="Statue"><position y="1"/><entity name="Statue" meshFile="Crate.mesh" materialFile="Statue/Marble"/></node>
</nodes></scene>
LEVEL
printf '<scene><nodes><node name="Half">' >"$out/game/levels/broken/cut-short.scene"

cd "$out"
status=0
"$run_tree/bin/TarnelCheck" game/levels --media game/media --report report --junit junit.xml \
    >check.txt 2>check.err || status=$?
if command -v chromium >/dev/null; then
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,2200 \
        --screenshot="$out/report.png" "file://$out/report/index.html" >/dev/null 2>chromium.log || true
fi
echo "Report: $out/report/index.html; picture of it: $out/report.png; JUnit: $out/junit.xml (checker status $status)"
exit "$status"
