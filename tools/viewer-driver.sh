# Shell functions that drive the viewer with xdotool as a person would. Source it
# from the viewer's bin/ directory with DISPLAY set. The viewer's standard output
# and error go to viewer.stdout and viewer.stderr there.

VIEWER_PID=""

viewer_start() { # arguments go to the viewer
    # The viewer keeps the engine until the process ends, by design, so a leak check at its
    # exit tells nothing; on a loaded machine the checker's own tracer has crashed there.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" ./TarnelViewer "$@" >viewer.stdout 2>viewer.stderr &
    VIEWER_PID=$!
}

# Waits up to $2 seconds (default 20) for a window named $1; prints its id.
viewer_find_window() {
    local name=$1 limit=${2:-20} id=""
    for _ in $(seq $((limit * 10))); do
        id=$(xdotool search --name "^$name\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$VIEWER_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Clicks a button of the configuration dialog: Accept or Cancel.
viewer_click_dialog() {
    local id X Y WIDTH HEIGHT SCREEN
    id=$(viewer_find_window "Rendering Settings") || { echo "no configuration dialog" >&2; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$id")"
    sleep 0.5
    case $1 in
        Accept) xdotool mousemove $((X + 446)) $((Y + 353)) click 1 ;;
        Cancel) xdotool mousemove $((X + 376)) $((Y + 353)) click 1 ;;
    esac
}

viewer_accept_dialog() { viewer_click_dialog Accept; }

# Waits for the render window and for the level's first frames.
viewer_wait_for_window() {
    VIEWER_WINDOW=$(viewer_find_window "My Render Window" 60) || { echo "no render window" >&2; return 1; }
    for _ in $(seq 300); do
        grep -q "loaded in" Ogre.log 2>/dev/null && break
        kill -0 "$VIEWER_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    sleep 1
}

# Presses a key long enough for a frame to see it.
viewer_press() {
    xdotool keydown "$1"
    sleep 0.25
    xdotool keyup "$1"
    sleep 0.5
}

# Holds a key for $2 seconds.
viewer_hold() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# Waits up to 30 seconds for the viewer to end; sets VIEWER_STATUS to its exit
# status, or to "timeout" after killing it.
viewer_wait_for_exit() {
    for _ in $(seq 300); do
        kill -0 "$VIEWER_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$VIEWER_PID" 2>/dev/null; then
        kill -9 "$VIEWER_PID"
        wait "$VIEWER_PID" 2>/dev/null
        VIEWER_STATUS=timeout
        return 0
    fi
    VIEWER_STATUS=0
    wait "$VIEWER_PID" || VIEWER_STATUS=$?
}
