#!/usr/bin/env bash
# The checker on a build server, end to end: a folder of fine, incomplete and broken levels
# checked into a report page (opened in a real browser), JUnit results and pictures; then
# references written, matched and missed; shards; and jobs that agree with one process.
#   build_server_e2e.sh RUN_TREE SOURCE_ROOT OUTPUT_DIR
set -uo pipefail
run_tree=$(realpath "$1")
source_root=$(realpath "$2")
output=$(realpath -m "$3")
check_program=$run_tree/bin/TarnelCheck
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$output"

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

status=0
"$source_root/tools/report-example.sh" "$work/example" "$run_tree" >example.txt 2>&1 || status=$?
cd "$work/example"
check "a folder with a broken level ends with status 1 (got $status)" [ "$status" = 1 ]
check "its levels are checked in sorted order" diff - <(grep -E '^/.*: (ok|FAILED|INCOMPLETE)$' check.txt | sed 's#.*/levels/##') <<'ORDER'
broken/cut-short.scene: FAILED
fine/courtyard.scene: ok
fine/storeroom.scene: ok
incomplete/statue.scene: INCOMPLETE
ORDER
check "JUnit reads back: four cases, two failures, named by file and folder" python3 - junit.xml <<'JUNIT'
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find("testsuite")
assert suite.get("tests") == "4" and suite.get("failures") == "2", suite.attrib
cases = {case.get("name"): case for case in suite.iter("testcase")}
assert set(cases) == {"cut-short.scene", "courtyard.scene", "storeroom.scene", "statue.scene"}, cases
assert cases["courtyard.scene"].get("classname").endswith("levels/fine")
assert cases["courtyard.scene"].find("failure") is None and float(cases["courtyard.scene"].get("time")) > 0
assert "cut-short.scene: not well-formed XML: " in cases["cut-short.scene"].find("failure").get("message")
assert "missing material Statue/Marble" in cases["statue.scene"].find("failure").text
JUNIT
check "the page is written with a picture per view" \
    [ -s report/index.html -a -s report/game_levels_fine_courtyard-view.png -a -s report/game_levels_fine_courtyard-camera-Gate.png ]
check "pictures are of a fixed size" [ "$(identify -format "%wx%h" report/game_levels_fine_storeroom-view.png)" = 480x300 ]
check "the first view shows the level" [ "$(convert report/game_levels_fine_courtyard-view.png -format "%k" info:)" -gt 100 ]

echo "--- the page in Chromium"
chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 --virtual-time-budget=2000 \
    --dump-dom "file://$work/example/report/index.html" >dom.html 2>console.txt
check "the browser read the page" grep -q "TarnelCheck" dom.html
check "no console errors" bash -c '! grep -E "CONSOLE|Uncaught|ERR_FILE_NOT_FOUND" console.txt'
check "the summary line" grep -qF "4 levels: 2 fine, 1 incomplete, 1 failed" dom.html
check "a card per level, failures first" python3 - dom.html "$work/example/report" <<'DOM'
import os, re, sys
dom = open(sys.argv[1]).read()
cards = re.findall(r'<section class="card ([a-z-]+)" data-level="[^"]*/levels/([^"]+)"', dom)
assert [status for status, _ in cards] == ["failed", "incomplete", "fine", "fine"], cards
images = re.findall(r'<img src="([^"]+)"', dom)
assert len(images) == 1 + 2 + 1, images  # statue; courtyard: first view and camera; storeroom; the broken one did not load
for image in images:
    assert os.path.isfile(os.path.join(sys.argv[2], image)), image
DOM
check "findings are folded, each with its count" grep -qE '<details><summary>Missing resources \([0-9]+\)</summary>' dom.html
# The page as a designer meets it, 1280x800: the first screen shows a level's picture, and the
# filter box narrows the cards. The probe is added to a copy; the page itself has no test hooks.
cp "$work/example/report/index.html" "$work/example/report/probe.html"
cat >>"$work/example/report/probe.html" <<'PROBE'
<script>
window.addEventListener('load', function () {
  var filter = document.getElementById('filter');
  filter.value = 'STOREROOM'; filter.dispatchEvent(new Event('input'));
  var shown = Array.prototype.filter.call(document.querySelectorAll('.card'), function (card) { return !card.hidden; });
  document.body.setAttribute('data-filtered', shown.length + ' ' + shown[0].dataset.level);
  filter.value = 'failed'; filter.dispatchEvent(new Event('input'));
  document.body.setAttribute('data-failed', document.querySelectorAll('.card:not([hidden])').length);
  filter.value = ''; filter.dispatchEvent(new Event('input'));
  document.body.setAttribute('data-picture-bottom', document.querySelector('img').getBoundingClientRect().bottom);
});
</script>
PROBE
chromium --headless --no-sandbox --disable-gpu --window-size=1280,800 --virtual-time-budget=3000 \
    --dump-dom "file://$work/example/report/probe.html" >probe.html 2>/dev/null
check "the first screen shows a picture ($(grep -o 'data-picture-bottom="[0-9.]*"' probe.html))" python3 - probe.html <<'DOM'
import re, sys
dom = open(sys.argv[1]).read()
assert 0 < float(re.search(r'data-picture-bottom="([0-9.]+)"', dom).group(1)) <= 800
DOM
check "the filter narrows the cards by name" grep -qE 'data-filtered="1 [^"]*storeroom.scene"' probe.html
check "and by status" grep -qF 'data-failed="1"' probe.html
cp report.png "$output/report.png" 2>/dev/null
check "a picture of the page is kept with the test's output: $output/report.png" [ -s "$output/report.png" ]

echo "--- references"
fine=game/levels/fine
status=0; "$check_program" "$fine" --media game/media --ref refs --ref-update >ref.txt 2>&1 || status=$?
check "--ref-update writes the references (status $status)" [ "$status" = 0 -a "$(ls refs/*.png | wc -l)" = 3 ]
status=0; "$check_program" "$fine" --media game/media --ref refs >ref.txt 2>&1 || status=$?
check "unchanged levels match them (status $status)" [ "$status" = 0 ]
sed -i 's#<node name="Tower"><position x="3"#<node name="Tower"><position x="-6"#' "$fine/courtyard.scene"
status=0; "$check_program" "$fine" --media game/media --ref refs --report moved >ref.txt 2>&1 || status=$?
check "a level whose node moved looks different: status 3 (got $status)" [ "$status" = 3 ]
check "that level alone" bash -c "grep -q 'courtyard.scene: LOOKS DIFFERENT' ref.txt && grep -q 'storeroom.scene: ok' ref.txt"
check "the page shows the picture, the reference and their difference" \
    bash -c 'grep -q "reference" moved/index.html && ls moved/*-difference.png >/dev/null'
mkdir -p twins
# Two cameras whose names read alike as file names, looking different ways.
printf '%s' '<scene><nodes><node name="Box"><entity name="Box" meshFile="Crate.mesh"/></node><node name="A"><position z="4"/><camera name="Café" fov="1"/></node><node name="B"><position x="4"/><camera name="Cafè" fov="1"><lookTarget nodeName="Box"/></camera></node></nodes></scene>' \
    >twins/cafe.scene
status=0; "$check_program" twins --media game/media --ref twin-refs --ref-update >ref.txt 2>&1 || status=$?
check "cameras named alike get a picture each ($(ls twin-refs | tr '\n' ' '))" [ "$status" = 0 -a "$(ls twin-refs/*.png | wc -l)" = 3 ]
status=0; "$check_program" twins --media game/media --ref twin-refs >ref.txt 2>&1 || status=$?
check "and match their references right after --ref-update (status $status)" [ "$status" = 0 ]

echo "--- shards and jobs"
levels=game/levels
"$check_program" "$levels" --media game/media --json --shard 1/2 >shard1.json 2>/dev/null
"$check_program" "$levels" --media game/media --json --shard 2/2 >shard2.json 2>/dev/null
"$check_program" "$levels" --media game/media --json --jobs 1 >jobs1.json 2>/dev/null
"$check_program" "$levels" --media game/media --json --jobs 3 >jobs3.json 2>/dev/null
check "shards split the levels without overlap" python3 - shard1.json shard2.json jobs1.json <<'SHARDS'
import json, sys
files = lambda name: [level["file"] for level in json.load(open(name))["levels"]]
one, two, everything = files(sys.argv[1]), files(sys.argv[2]), files(sys.argv[3])
assert not set(one) & set(two) and sorted(one + two) == sorted(everything) and len(everything) == 4, (one, two)
SHARDS
check "jobs give the same results as one process, in the same order" python3 - jobs1.json jobs3.json <<'JOBS'
import json, sys
summary = lambda name: [(l["file"], l["status"], l["counts"], l["missing"]) for l in json.load(open(name))["levels"]]
assert summary(sys.argv[1]) == summary(sys.argv[2])
assert json.load(open(sys.argv[1]))["schema"] == 2
JOBS

[ "$failures" = 0 ] || { echo "--- example"; cat "$work/example/check.txt" "$work/example/check.err" 2>/dev/null | head -60; }
exit $((failures != 0))
