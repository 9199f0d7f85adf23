#!/usr/bin/env bash
# Takes the viewer's pictures of its own aids on the sample level, in a copy of the run tree:
# the portal outlines with the level's panel, the view through the level's gallery camera, and
# the level inspector with an object selected.
#   tools/screenshots.sh RUN_TREE OUT_DIR      (RUN_TREE is build/run after a build)
set -euo pipefail
run_tree=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TARNEL_UNDER_XVFB:-}" ]; then
    export TARNEL_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

source "$here/viewer-driver.sh"
work=$(mktemp -d)
trap 'kill -9 "$VIEWER_PID" 2>/dev/null || true; rm -rf "$work"' EXIT
cp -a "$run_tree/." "$work/"
cd "$work/bin"
rm -f screenshot_*.png

viewer_start
viewer_accept_dialog
viewer_wait_for_window
viewer_press r                   # wireframe -> points
viewer_press r                   # points -> solid
viewer_press F1                  # the level's panel
viewer_press o                   # the portal outlines
sleep 0.5
viewer_press Print               # screenshot_1.png
viewer_press c                   # the level's first camera, in the gallery
sleep 0.5
viewer_press Print               # screenshot_2.png
viewer_press c                   # the next camera
viewer_press c                   # the start view again
viewer_press F1                  # the panel away
viewer_press o                   # the outlines away
viewer_press i                   # the inspector
eval "$(xdotool getwindowgeometry --shell "$VIEWER_WINDOW")"
xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT / 2)); sleep 0.3; xdotool click 1; sleep 0.6
viewer_press Print               # screenshot_3.png
viewer_press Escape
viewer_wait_for_exit

cp screenshot_1.png "$out/portal-outlines.png"
cp screenshot_2.png "$out/level-camera.png"
cp screenshot_3.png "$out/inspector.png"
echo "$out/portal-outlines.png"
echo "$out/level-camera.png"
echo "$out/inspector.png"
