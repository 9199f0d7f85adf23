#!/usr/bin/env bash
# The Debian package: built with cpack, unpacked into a scratch root, and its viewer
# started there on the sample level, as tools/run.sh does without a display.
#   package_e2e.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1)
package=$(ls "$work"/package/*.deb 2>/dev/null | head -n 1)
check "cpack builds a Debian package" [ -n "$package" ]
[ -n "$package" ] || exit 1
check "it depends on the engine's runtime" bash -c "dpkg-deb -f '$package' Depends | grep -q libogre1.12.10"
dpkg-deb -x "$package" "$work/root"
bin=$work/root/opt/tarnel/bin
for file in "$bin/TarnelViewer" "$bin/TarnelCheck" "$bin/plugins.cfg" "$work/root/opt/tarnel/resources.cfg" \
            "$work/root/opt/tarnel/Media/Scenes/scene3.scene" "$work/root/opt/tarnel/Media/Meshes/Crate.mesh"; do
    check "it holds ${file#$work/root}" [ -e "$file" ]
done
"$source/tools/headless-run.sh" "$bin" >"$work/run.log" 2>&1
check "its viewer starts on the sample level" grep -q "loaded in" "$bin/Ogre.log"
check "and draws it" [ -s "$bin/screenshot_1.png" ]
check "its checker passes the sample level" "$bin/TarnelCheck" "$work/root/opt/tarnel/Media/Scenes/scene3.scene"
exit $((failures != 0))
