#!/usr/bin/env bash
# The pictures README and the pages in docs/ show, made from the run tree: the sample level's
# first view, the viewer's aids (portal outlines with the panel, a level camera, the
# inspector), the zone tools (zone view, freeze, the report's zone graph) and the first views of the real levels when ../shared/levels is there.
#   tools/pictures.sh      (needs build/run: tools/run.sh or a build makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/docs/pictures
mkdir -p "$out"
tools/first-views.sh "$out/first-views" >/dev/null
cp "$out/first-views/sample.png" "$out/first-view.png"
tools/screenshots.sh build/run "$out" >/dev/null
tools/zone-pictures.sh "$out" build/run >/dev/null
if [ -d ../shared/levels ]; then
    tools/real-levels.sh ../shared/levels "$out/real-levels" build/run >/dev/null
    cp "$out/real-levels/contact-sheet.png" "$out/real-levels.png"
fi
ls "$out"/*.png
