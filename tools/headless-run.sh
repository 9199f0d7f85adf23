#!/usr/bin/env bash
# Runs the viewer in BIN_DIR on a virtual display and drives it as a person would.
#   tools/headless-run.sh BIN_DIR
set -euo pipefail
bin=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TARNEL_UNDER_XVFB:-}" ]; then
    export TARNEL_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

source "$here/viewer-driver.sh"
cd "$bin"
# Earlier screenshots stay: the viewer numbers its new ones after them.
before=$(ls screenshot_*.png 2>/dev/null || true)

viewer_start
viewer_accept_dialog
viewer_wait_for_window
sleep 1
viewer_press r                   # wireframe -> points
viewer_press r                   # points -> solid
sleep 0.5
viewer_press Print               # screenshot_1.png
viewer_hold w 0.2                # a short push forward; the camera glides on
sleep 1.5
viewer_press Print               # screenshot_2.png
viewer_press Escape
viewer_wait_for_exit
status=$VIEWER_STATUS

echo
echo "The viewer ended with status $status."
echo "Scene-tree report: $bin/scenetree.txt"
for shot in screenshot_*.png; do
    grep -qxF "$shot" <<<"$before" || echo "Screenshot:        $bin/$shot"
done
echo "Engine log:        $bin/Ogre.log"
# The log's lines start with their clock time, which is no part of the load's.
grep -h "loaded in" "$bin/Ogre.log" | sed -E 's/^[0-9]{2}:[0-9]{2}:[0-9]{2}: //; s/^/Load time:         /' || true
exit "$status"
