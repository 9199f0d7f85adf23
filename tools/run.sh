#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer on the sample level.
# With a display, the engine's configuration dialog appears and you fly through
# the level (W A S D, arrows, Page Up/Down, mouse; R polygon mode, SysRq
# screenshot, Escape or Q to quit). Without one (a server, CI), it starts a
# virtual display, accepts the dialog, takes a screenshot, flies forward a
# little, takes another, quits with Escape, and says where the results are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh
cmake -S "$root" -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target TarnelViewer TarnelCheck
bin=$root/build/run/bin
cd "$bin"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec ./TarnelViewer
fi

exec "$root/tools/headless-run.sh" "$bin"
