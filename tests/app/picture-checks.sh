# What the end-to-end tests of pictures share, sourced after the viewer's driver: a copy of
# the run tree to work in (kept with KEEP=1), checks that count their failures, pictures
# drawn with --screenshot at PICTURE_SIZE (default 640x400), and the measures of a picture.
#   source picture-checks.sh RUN_TREE    ... then end with: exit $((failures != 0))
work=$(mktemp -d)
trap 'kill -9 "$VIEWER_PID" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
cp -a "$1/." "$work/"
cd "$work/bin"
rm -f Ogre.log scenetree.txt screenshot_*.png

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
picture() { # file, then the viewer's arguments; the status in $status, the output in out.txt and err.txt
    local file=$1; shift
    rm -f "$file"
    status=0
    env -u DISPLAY ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        ./TarnelViewer "$@" --screenshot "$file" --size "${PICTURE_SIZE:-640x400}" >out.txt 2>err.txt || status=$?
    [ "$status" = 0 ] || { echo "--- $*"; cat err.txt; }
}
share() { # the share of the picture's pixels whose channel (R, G or B) is above 30 %
    convert "$1" -channel "$2" -separate -threshold 30% -format "%[fx:mean]" info:
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
