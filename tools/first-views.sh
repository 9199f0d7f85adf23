#!/usr/bin/env bash
# The first view of levels given on the command line, as pictures: the sample level, and a
# level far from the origin whose meshes sit in a media folder of their own.
#   tools/first-views.sh [OUT_DIR]     (default: build/first-views; needs build/run)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-build/first-views}")
bin=$root/build/run/bin
mkdir -p "$out/far"
cat >"$out/far/far.scene" <<'LEVEL'
<scene><nodes>
<node name="Floor"><position x="5000" y="-20" z="-3000"/><scale x="600" y="2" z="600"/><entity name="Floor" meshFile="Block.mesh"/></node>
<node name="Tower"><position x="5200" y="100" z="-3100"/><scale x="60" y="240" z="60"/><entity name="Tower" meshFile="Crate.mesh"/></node>
<node name="Hut"><position x="4850" y="30" z="-2850"/><scale x="120" y="80" z="90"/><entity name="Hut" meshFile="Lantern.mesh"/></node>
</nodes></scene>
LEVEL
cd "$bin"
./TarnelViewer ../Media/Scenes/scene3.scene --screenshot "$out/sample.png" --size 1024x640
./TarnelViewer "$out/far/far.scene" --media ../Media/Meshes --screenshot "$out/far.png" --size 1024x640
echo "Pictures in $out: sample.png, far.png"
