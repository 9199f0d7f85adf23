#!/usr/bin/env bash
# End-to-end tests of the viewer: the real program in the X display of the test
# run, driven with xdotool as a person would, in a copy of the run tree.
#   viewer_e2e.sh RUN_TREE CLOSE_WINDOW_TOOL CASE
set -uo pipefail
run_tree=$1
close_window=$2
clipboard=$(dirname "$close_window")/clipboard # another program on the display's clipboard
case_name=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/viewer-driver.sh"

work=$(mktemp -d)
trap 'kill -9 "$VIEWER_PID" 2>/dev/null; rm -rf "$work"' EXIT
cp -a "$run_tree/." "$work/"
rm -f "$work"/bin/{scenetree.txt,Ogre.log,screenshot_*.png,viewer.std*}
cd "$work/bin"

failures=0
check() { # description, then a command that must succeed
    local description=$1; shift
    if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); return 1; fi
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "--- viewer.stderr"; cat viewer.stderr 2>/dev/null
        echo "--- end of Ogre.log"; tail -20 Ogre.log 2>/dev/null
    fi
    exit $((failures != 0))
}
lit_fraction() { # the fraction of pixels brighter than 4% grey
    convert "$1" -colorspace Gray -threshold 4% -format "%[fx:mean]" info:
}
compare_pixels() {
    compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 || true
}
differing_pixels() { # the statistics overlay's corner, whose figures change every frame, left out
    convert "$1" -fill black -draw "rectangle 0,0 470,160" stats_a.png &&
        convert "$2" -fill black -draw "rectangle 0,0 470,160" stats_b.png &&
        compare_pixels stats_a.png stats_b.png
}
differing_pixels_in() { # geometry WxH+X+Y, then the two pictures
    convert "$2" -crop "$1" +repage crop_a.png && convert "$3" -crop "$1" +repage crop_b.png &&
        compare_pixels crop_a.png crop_b.png
}
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Starts the viewer, accepts the dialog and waits for the level.
start_level() {
    viewer_start
    viewer_accept_dialog && viewer_wait_for_window
}

# Switches from wireframe through points to solid, and takes a screenshot.
shoot_solid() {
    viewer_press r
    viewer_press r
    sleep 0.5
    viewer_press Print
}

# Runs the viewer on a broken level and checks that it fails with the message.
full_path=$work/Media/Scenes/scene3.scene

broken_level() { # what, expected message; the level's bytes come on standard input
    cat >"$full_path"
    expect_failure "$@"
}

expect_failure() { # what, expected message, arguments for the viewer
    local what=$1 message=$2
    shift 2
    echo "--- $what"
    # Many quick starts on a busy virtual display now and then find its connection queue full.
    for _ in 1 2 3; do
        rm -f Ogre.log viewer.stderr scenetree.txt
        viewer_start "$@"
        viewer_accept_dialog
        viewer_wait_for_exit
        grep -q "Couldn\`t open X display" viewer.stderr || break
    done
    status=$VIEWER_STATUS
    check "$what: the viewer ends with status 1 (got $status)" [ "$status" = 1 ] || cat viewer.stderr
    check "$what: standard error holds the message: $message" grep -qF -- "$message" viewer.stderr
    check "$what: no scene-tree report" [ ! -e scenetree.txt ]
}

case $case_name in
cancel)
    viewer_start
    viewer_click_dialog Cancel
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "cancel ends with status 0 (got $status)" [ "$status" = 0 ]
    check "no render window was opened" bash -c '! xdotool search --name "^My Render Window$" >/dev/null'
    check "no scene-tree report" [ ! -e scenetree.txt ]
    ;;
report)
    start_level
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the report starts with the root node" bash -c 'head -n 1 scenetree.txt | grep -qx "Ogre/SceneRoot"'
    check "the camera block follows it" bash -c "sed -n 2,5p scenetree.txt | diff - <(printf '    CamNode\n    -  \"MainCam\"\n        CamLightNode\n        -  \"CamLight\"\n')"
    check "the whole report is the expected one" diff "$here/expected/scenetree.txt" scenetree.txt
    check "the load time is logged as a plain decimal" grep -qE "Level ../Media/Scenes/scene3.scene loaded in [0-9]+\\.[0-9] ms" Ogre.log
    ;;
wireframe)
    start_level
    viewer_press Print
    shoot_solid
    viewer_press Escape
    viewer_wait_for_exit
    check "two screenshots" [ -e screenshot_1.png -a -e screenshot_2.png ]
    wire=$(lit_fraction screenshot_1.png) solid=$(lit_fraction screenshot_2.png)
    check "the first frame is wireframe: $wire lit against $solid in solid mode" greater "$solid" "$(awk -v w="$wire" 'BEGIN { print w * 4 }')"
    check "in solid mode the level's geometry fills most of the picture ($solid lit)" greater "$solid" 0.5
    ;;
background-colour)
    start_level
    viewer_press Print
    viewer_press Escape
    viewer_wait_for_exit
    # Wireframe leaves most of the picture to the level's background colour (0.03, 0.03, 0.06).
    commonest=$(convert screenshot_1.png -format %c histogram:info:- | sort -rn | head -n 1)
    check "the commonest colour is the level's background: $commonest" \
        bash -c "grep -qE '\\((7|8),(7|8),(15|16)(,255)?\\)' <<<'$commonest'"
    ;;
faulty-media)
    # Scripts beside the level, read while the start-up loads the resource group: a material,
    # a GPU program and a particle template of the level defined again, textures never shipped
    # (one without an extension) or not an image, and a program whose source was never shipped.
    cat >"$work/Media/Scenes/faults.material" <<'SCRIPT'
material Level/Stone { technique { pass { diffuse 1 0 1 } } }
material Faults/Unshipped { technique { pass { texture_unit { texture unshipped.png } } } }
material Faults/NoExtension { technique { pass { texture_unit { texture unshipped_stone } } } }
material Faults/Garbled { technique { pass { texture_unit { texture garbled.png } } } }
material Faults/Unbuilt
{
    technique { pass { vertex_program_ref Faults/Unshipped/VS { } } }
    technique { pass { diffuse 0 1 0 } }
}
SCRIPT
    cat >"$work/Media/Scenes/faults.program" <<'SCRIPT'
vertex_program Faults/Unshipped/VS glsl
{
    source unshipped.vert
    default_params
    {
        param_named_auto worldViewProj worldviewproj_matrix
    }
}
vertex_program Faults/Twice/VS glsl
{
    source twice.vert
}
vertex_program Faults/Twice/VS glsl
{
    source twice.vert
}
SCRIPT
    echo 'void main() { gl_Position = ftransform(); }' >"$work/Media/Scenes/twice.vert"
    echo 'particle_system Level/Sparks { }' >"$work/Media/Scenes/faults.particle"
    echo 'not an image' >"$work/Media/Scenes/garbled.png"
    for material in Unshipped NoExtension Garbled Unbuilt; do
        # Each takes over the next entity that wears a floor or metal material.
        sed -i "0,/materialFile=\"Level\/\(Floor\|Metal\)\"/s//materialFile=\"Faults\/$material\"/" "$work/Media/Scenes/scene3.scene"
    done
    start_level
    shoot_solid
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the viewer draws the level and ends with status 0 (got $status)" [ "$status" = 0 -a -s screenshot_1.png ]
    check "the log names the material defined again" grep -qE "the material 'Level/Stone' is defined again in (faults|scene3)\.material" Ogre.log
    check "the log names the missing texture and its material" grep -qF \
        "the texture 'unshipped.png' of the material 'Faults/Unshipped' cannot be found; it is drawn blank" Ogre.log
    check "and the one without an extension" grep -qF \
        "the texture 'unshipped_stone' of the material 'Faults/NoExtension' cannot be found; it is drawn blank" Ogre.log
    check "the texture that is not an image is drawn blank" grep -qE \
        "the image 'garbled.png' cannot be read \(.*\); it is drawn blank" Ogre.log
    # Once as it was said; the summary after the load groups it again, indented.
    check "the program without its source, once" [ "$(grep -aF \
        "the source 'unshipped.vert' of the GPU program 'Faults/Unshipped/VS' cannot be found; the materials that use it fall back" \
        Ogre.log | grep -acvE '^[0-9:]+   ')" = 1 ]
    check "the program defined again" grep -qF \
        "the GPU program 'Faults/Twice/VS' is defined again in faults.program; its first definition, in faults.program, stays" Ogre.log
    check "the particle template defined again" grep -qE \
        "the particle template 'Level/Sparks' is defined again in (faults|scene3)\.particle; its first definition, in (faults|scene3)\.particle, stays" Ogre.log
    ;;
mirror)
    # The hall's floor mirror, against the same level without its render textures.
    solid_screenshot() {
        start_level
        shoot_solid
        viewer_press Escape
        viewer_wait_for_exit
        convert screenshot_1.png -crop 400x50+200+365 +repage "$1"
        rm -f screenshot_1.png
    }
    solid_screenshot mirror.png
    sed -i '/<renderTextures>/,/<\/renderTextures>/d' "$work/Media/Scenes/scene3.scene"
    solid_screenshot plain.png
    changed=$(compare_pixels mirror.png plain.png)
    check "the mirror shows the hall ($changed of 20000 pixels differ from a plain mirror)" greater "$changed" 5000
    # A reflection has the room's edges and shades; a mirror of one colour would not.
    spread=$(convert mirror.png -colorspace Gray -format "%[fx:standard_deviation]" info:)
    check "the reflection has structure (grey deviation $spread)" greater "$spread" 0.05
    ;;
screenshot-and-move)
    start_level
    viewer_press Print
    check "SysRq writes screenshot_1.png" [ -s screenshot_1.png ]
    viewer_hold w 0.3
    sleep 1.5
    viewer_press Print
    # A slow frame (a loaded machine, a sanitizer build) may write it a little later.
    for _ in $(seq 50); do [ -s screenshot_2.png ] && break; sleep 0.1; done
    check "a second screenshot is screenshot_2.png" [ -s screenshot_2.png ]
    changed=$(differing_pixels screenshot_1.png screenshot_2.png)
    check "holding W moved the camera ($changed pixels changed)" greater "$changed" 10000
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "Escape ends with status 0 (got $status)" [ "$status" = 0 ]
    ;;
unwritable-report)
    mkdir scenetree.txt
    start_level
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the viewer goes on and ends with status 0 (got $status)" [ "$status" = 0 ]
    check "standard error warns about the report" grep -qF \
        'Warning: the scene-tree report "scenetree.txt" could not be written: Is a directory' viewer.stderr
    check "so does the log" grep -qF 'could not be written: Is a directory' Ogre.log
    ;;
quit-q)
    start_level
    viewer_press q
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "Q ends with status 0 (got $status)" [ "$status" = 0 ]
    ;;
close-window)
    start_level
    "$close_window" "$VIEWER_WINDOW"
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "closing the window ends with status 0 (got $status)" [ "$status" = 0 ]
    ;;
level-argument)
    # A level elsewhere, with a material script of its own beside it.
    mkdir -p "$work/elsewhere"
    printf 'material Elsewhere/Gold\n{\n technique\n {\n  pass\n  {\n   diffuse 1 0.8 0 1\n  }\n }\n}\n' \
        >"$work/elsewhere/gold.material"
    printf '<scene><nodes><node name="Pedestal"><position z="-3"/><entity name="Idol" meshFile="Crate.mesh" materialFile="Elsewhere/Gold"/></node></nodes></scene>' \
        >"$work/elsewhere/idol.scene"
    ./TarnelViewer --help >help.txt
    check "--help prints the usage and the keys" grep -q "Usage: TarnelViewer \[LEVEL.scene\]" help.txt
    check "--help names the keys" grep -q "SysRq (Print)" help.txt
    viewer_start --media ../Media/Meshes ../elsewhere/idol.scene
    viewer_accept_dialog
    viewer_wait_for_window
    check "the level named on the command line is loaded" grep -q "Level ../elsewhere/idol.scene loaded in" Ogre.log
    check "its node is in the report" grep -q "Pedestal" scenetree.txt
    check "its own material script was read" bash -c '! grep -q "Elsewhere/Gold.*does not exist" Ogre.log'
    xdotool key --window "$VIEWER_WINDOW" Escape
    viewer_wait_for_exit
    ;;
animations)
    # A box that rides sideways in front of the camera, and nothing else that moves.
    mkdir -p "$work/animated"
    printf '%s' '<scene><nodes><node name="Lift"><animations><animation name="Ride" length="4"><keyframe time="0"/><keyframe time="2"><translation x="2" y="1" z="-1"/></keyframe><keyframe time="4"/></animation></animations><entity name="Box" meshFile="Crate.mesh"/></node></nodes></scene>' \
        >"$work/animated/ride.scene"
    viewer_start --media ../Media/Meshes ../animated/ride.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1
    sleep 1
    viewer_press Print               # screenshot_2, a second later
    viewer_press space
    sleep 1
    viewer_press Print               # screenshot_3, a second into the ride
    viewer_press Escape
    viewer_wait_for_exit
    paused=$(differing_pixels screenshot_1.png screenshot_2.png) playing=$(differing_pixels screenshot_2.png screenshot_3.png)
    check "paused at start: $paused pixels change in a second" [ "$paused" -lt 50 ]
    check "Space plays the animation: $playing pixels change" greater "$playing" 500
    check "the log says so" grep -q "Animations play" Ogre.log
    ;;
inspector)
    # I opens the inspector; a click selects what is under it, with the file and line it came from.
    mkdir -p "$work/inspect"
    # The camera's field of view in degrees is the load's one finding.
    printf '<scene>\n<nodes>\n<node name="Box"><position z="-5"/><entity name="Crate" meshFile="Crate.mesh"/></node>\n<node name="Eye"><position z="5"/><camera name="Wide" fov="100"/></node>\n</nodes>\n</scene>\n' \
        >"$work/inspect/box.scene"
    viewer_start --media ../Media/Meshes ../inspect/box.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1, without the inspector
    viewer_press i
    eval "$(xdotool getwindowgeometry --shell "$VIEWER_WINDOW")"
    click_at() { xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.3; xdotool click 1; sleep 0.6; }
    click_at $((WIDTH / 2)) $((HEIGHT / 2))
    viewer_press Print               # screenshot_2, the inspector's windows and the selection
    viewer_press g
    viewer_press Print               # screenshot_3, the selection in view
    viewer_press F5
    click_at 40 $((HEIGHT / 2))
    click_at 60 $((HEIGHT - 82))     # the first finding: the level is read before its meshes load
    # The search box pastes what another program copied, and copies to the display's clipboard.
    "$clipboard" offer Box &
    offer=$!
    sleep 0.5
    click_at $((WIDTH - 250)) 317    # the level tree's search box
    # Taps, as a quick hand gives them: each counts once, however short.
    xdotool key x; sleep 0.3; xdotool key ctrl+v; sleep 0.3; xdotool key ctrl+a; sleep 0.3; xdotool key ctrl+c
    # A paste waits for the other program, so a slow machine may take the copy a few frames later.
    for _ in $(seq 20); do
        pasted=$("$clipboard" print)
        [ "$pasted" = xBox ] && break
        sleep 0.25
    done
    kill "$offer" 2>/dev/null
    click_at 40 $((HEIGHT / 2))      # the view again, the search box let go
    viewer_press i
    viewer_press Escape
    viewer_wait_for_exit
    check "the viewer ends normally (status $VIEWER_STATUS)" [ "$VIEWER_STATUS" = 0 ]
    check "a click selects the box, with its node, zone, file and line" grep -qE \
        'Selected entity "Crate" on node "Box" \(zone [^)]+\), \.\./inspect/box\.scene:3$' Ogre.log
    check "the inspector's windows are in the picture: $(differing_pixels_in 300x240+490+20 screenshot_1.png screenshot_2.png) pixels" \
        greater "$(differing_pixels_in 300x240+490+20 screenshot_1.png screenshot_2.png)" 5000
    check "G puts the selection in view" grep -qF 'View: entity "Crate" on node "Box"' Ogre.log
    check "and the view changes: $(differing_pixels_in 440x300+20+160 screenshot_2.png screenshot_3.png) pixels" \
        greater "$(differing_pixels_in 440x300+20+160 screenshot_2.png screenshot_3.png)" 1000
    check "the selection survives F5" \
        [ "$(sed -n '/Reload of/,$p' Ogre.log | grep -c 'Selected entity "Crate"')" -ge 1 ]
    check "a click on empty space clears it" grep -qF "Selected nothing" Ogre.log
    check "a finding that names an object selects it" grep -qF 'Selected camera "Wide" on node "Eye"' Ogre.log
    check "the search box pasted another program's text and copied its own: '$pasted'" [ "$pasted" = xBox ]
    check "I closes it" grep -qF "Inspector closed" Ogre.log
    ;;
inspector-wheel)
    # Over the inspector's windows the wheel scrolls them; elsewhere it sets the flying speed.
    mkdir -p "$work/many"
    python3 -c 'print("<scene><nodes>" + "".join("<node name=\"N%d\"><position x=\"%d\"/><entity name=\"E%d\" meshFile=\"Crate.mesh\"/></node>" % (i, 2 * i, i) for i in range(60)) + "</nodes></scene>")' \
        >"$work/many/many.scene"
    viewer_start --media ../Media/Meshes ../many/many.scene
    viewer_accept_dialog && viewer_wait_for_window
    viewer_press i
    eval "$(xdotool getwindowgeometry --shell "$VIEWER_WINDOW")"
    xdotool mousemove $((X + WIDTH - 200)) $((Y + 400)); sleep 0.5
    viewer_press Print               # screenshot_1: the tree from its top
    for _ in 1 2 3; do xdotool click 5; sleep 0.2; done
    sleep 0.5
    viewer_press Print               # screenshot_2: scrolled down
    xdotool mousemove $((X + 200)) $((Y + 300)); sleep 0.3
    xdotool click 5; sleep 0.5
    viewer_press Escape
    viewer_wait_for_exit
    check "the wheel over the level's tree scrolls it: $(differing_pixels_in 300x150+480+330 screenshot_1.png screenshot_2.png) pixels" \
        greater "$(differing_pixels_in 300x150+480+330 screenshot_1.png screenshot_2.png)" 500
    check "and leaves the flying speed" [ "$(grep -c "Flying speed" Ogre.log)" = 1 ]
    check "over the view it halves the speed" grep -qF "Flying speed" Ogre.log
    ;;
level-cameras)
    # A box, a camera behind the start view and one to the side that looks at the box.
    mkdir -p "$work/cameras"
    printf '%s' '<scene><nodes><node name="Box"><position z="-5"/><entity name="Box" meshFile="Crate.mesh"/></node><node name="Eye1"><position y="2" z="6"/><camera name="Near" fov="1"/></node><node name="Eye2"><position x="6" y="3" z="-5"/><camera name="Side" fov="0.8"><lookTarget nodeName="Box"/></camera></node></nodes></scene>' \
        >"$work/cameras/two.scene"
    viewer_start --media ../Media/Meshes ../cameras/two.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1, the start view
    viewer_press c
    viewer_press c
    viewer_press Print               # screenshot_2, through the second camera
    viewer_press p
    viewer_press c
    viewer_press Print               # screenshot_3, the start view again
    viewer_press Escape
    viewer_wait_for_exit
    check "C twice looks through the second level camera" grep -qF "Camera: the level's camera Side at 6 3 -5" Ogre.log
    check "its picture differs" greater "$(differing_pixels screenshot_1.png screenshot_2.png)" 1000
    check "P logs where the camera is and its yaw and pitch" grep -qE "Camera at 6 3 -5, yaw -?[0-9.]+ deg, pitch -?[0-9.]+ deg" Ogre.log
    check "after the last one, C returns to the start view" grep -qF "Camera: the viewer's own view" Ogre.log
    check "and its picture" [ "$(differing_pixels screenshot_1.png screenshot_3.png)" -lt 50 ]
    ;;
exporter-habits)
    # A level of exporters' habits in its own folder of the run tree: it opens, every level
    # camera and the playing animation draw, and each value outside its domain is named once.
    mkdir -p "$work/habits"
    cp "$here/../data/exporter-habits.scene" "$work/habits/"
    viewer_start ../habits/exporter-habits.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid
    viewer_press space
    viewer_press c
    viewer_press Print
    viewer_press c
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the viewer draws the level and its camera and ends with status 0 (got $status)" \
        [ "$status" = 0 -a -s screenshot_2.png ]
    check "it looked through the level's camera" grep -qF "Camera: the level's camera Wide" Ogre.log
    for warning in 'camera "Wide" has fov="100", which is not above 0 and below pi radians; it is read as 100 degrees' \
                   'camera "Wide" has aspectRatio="0", which is not above 0; it keeps 1.33' \
                   'clipping of camera "Wide" has near="0", which is not above 0; it is 0.0005' \
                   'normal of camera "Wide" has x="0" y="0" z="0", a direction of length 0' \
                   'has qx="0" qy="0" qz="0", a rotation of length 0; it keeps the identity' \
                   'lightRange of light "Spot" has outer="45", which is not above 0 up to pi radians; it is read as 45 degrees' \
                   'lightAttenuation of light "Spot" has range="-1", which is not above 0'; do
        # Once as it was said; the summary after the load groups it again, indented.
        check "one warning: $warning" [ "$(grep -aF -- "$warning" Ogre.log | grep -acvE '^[0-9:]+   ')" = 1 ]
    done
    check "Ogre.log sums the load's warnings up by what they say" \
        grep -qE '^[0-9:]+ Summary of the load: [0-9]+ warnings and errors in [0-9]+ groups$' Ogre.log
    ;;
mistyped-mesh)
    # A level given by name is checked before any window: one plain line, the nearest name.
    mkdir -p "$work/throne"
    printf '<scene>\n<nodes>\n<node name="Throne"><entity name="King" meshFile="Crat.mesh"/></node>\n</nodes>\n</scene>\n' \
        >"$work/throne/level.scene"
    viewer_start --media ../Media/Meshes ../throne/level.scene
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the viewer ends with status 1 before any window (got $status)" [ "$status" = 1 ]
    check "with one line naming the file, the line, the entity and the nearest mesh" \
        [ "$(wc -l <viewer.stderr)" = 1 ] && grep -qF \
        '../throne/level.scene:3: entity "King" names mesh "Crat.mesh", which is nowhere to be found (did you mean "Crate.mesh"?); searched ' \
        viewer.stderr
    check "where it looked, and how to add a game's media" \
        grep -qE "; searched .*/throne/, .*/Media/Meshes; --media DIR or --resources FILE add a game's media\$" viewer.stderr
    check "the line is in Ogre.log too" grep -qF 'names mesh "Crat.mesh", which is nowhere to be found' Ogre.log
    printf '<scene>\n<nodes>\n<node name="N">\n<light name="Lamp" type="spott"/>\n</node></nodes></scene>' \
        >"$work/throne/level.scene"
    viewer_start ../throne/level.scene
    viewer_wait_for_exit
    check "an unknown keyword, in the loader's words, with the close match" grep -qxF \
        '../throne/level.scene:4: light "Lamp": InvalidParametersException: Invalid light type specified: spott (did you mean "spot"?)' viewer.stderr
    printf '<scene><nodes><node name="A"></nodes></scene>' >"$work/throne/level.scene"
    viewer_start ../throne/level.scene
    viewer_wait_for_exit
    check "a file that does not parse, in one line with its row and column" grep -qxF \
        "../throne/level.scene:1: not well-formed XML: Error reading end tag. (column 36)" viewer.stderr
    printf '<scene><nodes>\n<node name="Door"/>\n<node name="Door"/>\n</nodes></scene>' >"$work/throne/level.scene"
    viewer_start ../throne/level.scene
    viewer_wait_for_exit
    check "a repeated name, with both lines and the way out" grep -qxF \
        '../throne/level.scene:3: node "Door" repeats the name of line 2 (--lenient renames repeats)' viewer.stderr
    ;;
from-root)
    # Started from the run tree's root, as README's example shows it from the checkout's root:
    # the engine's files come from beside the program, the outputs go where it was started.
    cd "$work"
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" bin/TarnelViewer Media/Scenes/scene3.scene \
        >viewer.stdout 2>viewer.stderr &
    VIEWER_PID=$!
    viewer_accept_dialog && viewer_wait_for_window
    viewer_press Print
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "the viewer started from the root ends with status 0 (got $status)" [ "$status" = 0 ]
    check "its log, report and screenshot are where it was started" [ -s Ogre.log -a -s scenetree.txt -a -s screenshot_1.png ]
    check "none went to bin/" [ ! -e bin/Ogre.log -a ! -e bin/scenetree.txt ]
    printf '# no render system here\nPluginFolder=/nowhere\n' >plugins.cfg
    status=0
    timeout 20 bin/TarnelViewer Media/Scenes/scene3.scene >viewer.stdout 2>viewer.stderr || status=$?
    check "a plug-in file that offers no render system ends with status 1 at once (got $status)" [ "$status" = 1 ]
    check "naming the file" grep -qF "No render system: the plug-ins named in plugins.cfg offer none" viewer.stderr
    ;;
no-dialog)
    viewer_start --no-dialog
    viewer_wait_for_window
    check "no configuration dialog came" bash -c '! xdotool search --name "^Rendering Settings$" >/dev/null'
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "--no-dialog starts with the saved configuration and ends with status 0 (got $status)" [ "$status" = 0 ]
    printf 'Render System=\n' >ogre.cfg
    viewer_start --no-dialog
    check "without a usable render system saved, the dialog comes" viewer_accept_dialog
    check "with a render system chosen, so that Accept opens the window" viewer_wait_for_window
    viewer_press Escape
    viewer_wait_for_exit
    status=$VIEWER_STATUS
    check "and the viewer ends with status 0 (got $status)" [ "$status" = 0 ]
    ;;
screenshots-kept)
    for run in 1 2; do
        start_level
        viewer_press Print
        viewer_press Escape
        viewer_wait_for_exit
        cp "screenshot_$run.png" "run_$run.png" 2>/dev/null
    done
    check "the second run numbers its screenshot after the first's" [ -s screenshot_1.png -a -s screenshot_2.png ]
    check "and the first run's picture is as it was" cmp -s screenshot_1.png run_1.png
    check "the name was shown" grep -qF "Screenshot screenshot_2.png" Ogre.log
    ;;
speed-keys)
    start_level
    viewer_press KP_Add
    viewer_press KP_Add
    check "+ twice doubles the flying speed twice" grep -qF "Flying speed 400 units a second" Ogre.log
    xdotool mousemove --window "$VIEWER_WINDOW" 400 300 click 5
    sleep 0.5
    check "the wheel halves it" grep -qF "Flying speed 200 units a second" Ogre.log
    viewer_press minus
    check "- halves it" [ "$(grep -c "Flying speed 100 units a second" Ogre.log)" = 1 ]
    viewer_press Escape
    viewer_wait_for_exit
    ;;
quiet-terminal)
    start_level
    viewer_press Escape
    viewer_wait_for_exit
    check "the terminal says the level loaded" grep -qE "^Level ../Media/Scenes/scene3.scene loaded in [0-9.]+ ms" viewer.stdout
    check "and little else ($(cat viewer.stdout viewer.stderr | wc -l) lines)" [ "$(cat viewer.stdout viewer.stderr | wc -l)" -le 5 ]
    check "the sample level's render textures are not reported missing at quit" \
        bash -c '! grep -q "cannot be found" viewer.stderr Ogre.log'
    check "the engine's lines are in Ogre.log" grep -qF "Parsing script scene3.material" Ogre.log
    rm -f Ogre.log
    viewer_start --verbose
    viewer_accept_dialog && viewer_wait_for_window
    viewer_press Escape
    viewer_wait_for_exit
    check "--verbose brings them to the terminal" grep -qF "Parsing script scene3.material" viewer.stdout viewer.stderr
    ;;
portal-outlines)
    # The sample level's start view looks through a doorway, which holds a portal.
    start_level
    shoot_solid                      # screenshot_1
    viewer_press o
    viewer_press Print               # screenshot_2, outlined
    viewer_press o
    viewer_press Print               # screenshot_3, plain again
    viewer_press F1
    viewer_press Print               # screenshot_4, with the level's panel
    viewer_press F5                  # the level again, in a fresh scene manager; the old one has drawn shadows
    sleep 1
    viewer_press c                   # to the gallery's camera, which no portal leads to from here
    viewer_press Escape
    viewer_wait_for_exit
    outlined=$(differing_pixels screenshot_1.png screenshot_2.png)
    check "O outlines the portals: $outlined pixels change" greater "$outlined" 300
    check "a second O hides them" [ "$(differing_pixels screenshot_1.png screenshot_3.png)" -lt 50 ]
    # The panel sits at the top right, beside the statistics.
    panel=$(differing_pixels_in 300x100+480+10 screenshot_3.png screenshot_4.png)
    check "F1 shows the level's panel at the top right: $panel pixels change" greater "$panel" 3000
    check "F5 reloads the sample level" [ "$(grep -c "Level ../Media/Scenes/scene3.scene loaded in" Ogre.log)" = 2 ]
    check "C puts the camera in the zone of the level's camera" \
        grep -qF "Camera: the level's camera GalleryCamera at 4.5 3.5 -5.9 in zone Gallery_PCZone" Ogre.log
    check "the viewer ends normally" [ "$VIEWER_STATUS" = 0 ]
    ;;
reload)
    # A box before the camera; the level is rewritten, broken twice, and reloaded each time.
    mkdir -p "$work/reload"
    level=$work/reload/box.scene
    box_at() { printf '<scene><nodes><node name="%s"><position x="%s" z="-4"/><entity name="Box" meshFile="Crate.mesh"/></node></nodes></scene>' "$1" "$2" >"$level"; }
    box_at Left -1.5
    viewer_start --media ../Media/Meshes ../reload/box.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1
    box_at Right 1.5
    viewer_press F5
    sleep 0.5
    viewer_press Print               # screenshot_2, the rewritten level
    check "F5 shows the rewritten level: box moved" \
        greater "$(differing_pixels screenshot_1.png screenshot_2.png)" 1000
    check "the level was loaded twice" [ "$(grep -c "Level ../reload/box.scene loaded in" Ogre.log)" = 2 ]
    check "the report is the new level's" grep -q "Right" scenetree.txt
    printf '<scene><nodes><node name="Right">' >"$level"
    viewer_press F5
    check "F5 on an unparsable file logs the error, as the start would" \
        grep -qF "Reload failed, the level on screen stays: ../reload/box.scene: not well-formed XML: Error reading Element value. (it ends too soon)" Ogre.log
    printf '<scene>\n<nodes><node name="Right"><entity name="Box" meshFile="Crat.mesh"/></node></nodes></scene>' >"$level"
    viewer_press F5
    check "F5 on a misspelt mesh names the line and the nearest mesh, as the start would" \
        grep -qF 'Reload failed, the level on screen stays: ../reload/box.scene:2: entity "Box" names mesh "Crat.mesh", which is nowhere to be found (did you mean "Crate.mesh"?)' Ogre.log
    printf '<scene><environment><shadows technique="textureModulative"><shadowCameraSetup type="bogus"/></shadows></environment></scene>' >"$level"
    viewer_press F5
    check "F5 on a level the loader refuses logs the loader's message, with its line" \
        grep -qF "Reload failed, the level on screen stays: ../reload/box.scene:1: shadows: InvalidParametersException: Invalid shadow camera setup specified: bogus" Ogre.log
    # The level's own file named as a zip archive: the engine refuses it as the location is added.
    printf '<scene><resourceLocations><resourceLocation name="box.scene" type="Zip"/></resourceLocations></scene>' >"$level"
    viewer_press F5
    check "F5 on a location the engine cannot open logs the engine's message" \
        grep -qE "Reload failed, the level on screen stays: ../reload/box.scene:1: resourceLocation \".*/reload/box.scene\" of type \"Zip\" cannot be opened: Zip-file.s central directory record missing" Ogre.log
    viewer_press Print               # screenshot_3, the level as it was, with the error in the panel
    check "the viewer keeps running with the level as it was" kill -0 "$VIEWER_PID"
    check "its box is still there" \
        [ "$(differing_pixels_in 800x340+0+260 screenshot_2.png screenshot_3.png)" -lt 50 ]
    viewer_press Escape
    viewer_wait_for_exit
    check "the viewer ends normally" [ "$VIEWER_STATUS" = 0 ]
    ;;
reload-unchanged)
    # F5 on the sample level as it is: the same picture, mirror and cube map included, the camera in its zone.
    start_level
    shoot_solid                      # screenshot_1
    viewer_press F5
    sleep 0.5
    viewer_press Print               # screenshot_2
    viewer_press Escape
    viewer_wait_for_exit
    check "the level was reloaded" grep -qE "Reload of ../Media/Scenes/scene3.scene: Reloaded in [0-9.]+ ms, memory [0-9]+ MB, the camera in zone Hall_PCZone" Ogre.log
    changed=$(differing_pixels screenshot_1.png screenshot_2.png)
    check "the picture after F5 matches the one before ($changed pixels differ)" [ "$changed" -lt 50 ]
    check "no render texture went missing" bash -c '! grep -q "cannot be found" Ogre.log'
    ;;
reload-media)
    # The level's own material script and a texture file change on disk; F5 shows both.
    start_level
    shoot_solid                      # screenshot_1
    sed -i '/^material Level\/Floor/,/^}/s/diffuse 0.45 0.35 0.25/diffuse 0.1 0.8 0.1/' "$work/Media/Scenes/scene3.material"
    viewer_press F5
    sleep 0.5
    viewer_press Print               # screenshot_2
    viewer_press Escape
    viewer_wait_for_exit
    check "a changed material shows after F5: $(differing_pixels screenshot_1.png screenshot_2.png) pixels change" \
        greater "$(differing_pixels screenshot_1.png screenshot_2.png)" 5000
    mkdir -p "$work/textured"
    convert -size 64x64 xc:red "$work/textured/paint.png"
    printf 'material Paint/Box\n{\n technique\n {\n  pass\n  {\n   lighting off\n   texture_unit\n   {\n    texture paint.png\n   }\n  }\n }\n}\n' \
        >"$work/textured/paint.material"
    printf '<scene><nodes><node name="Box"><position z="-3"/><entity name="Box" meshFile="Crate.mesh" materialFile="Paint/Box"/></node></nodes></scene>' \
        >"$work/textured/box.scene"
    rm -f screenshot_*.png
    viewer_start --media ../Media/Meshes ../textured/box.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1
    convert -size 64x64 xc:blue "$work/textured/paint.png"
    viewer_press F5
    sleep 0.5
    viewer_press Print               # screenshot_2
    sed -i 's/lighting off/lighting sideways/' "$work/textured/paint.material"
    viewer_press F5                  # a script broken on disk
    sleep 0.5
    viewer_press Escape
    viewer_wait_for_exit
    check "a replaced texture shows after F5: $(differing_pixels screenshot_1.png screenshot_2.png) pixels change" \
        greater "$(differing_pixels screenshot_1.png screenshot_2.png)" 5000
    check "a reload that met a script error says so, with the count and the first" \
        grep -qE "Reload of ../textured/box.scene: Reloaded in [0-9.]+ ms, memory [0-9]+ MB, with [0-9]+ errors? \(first: .*paint.material" viewer.stdout
    # A reload says what changed, though nothing changed in shape or count: a texture mended
    # in one material and mistyped in another.
    two_materials() { # the images of Two/A and Two/B
        printf 'material Two/%s\n{\n technique\n {\n  pass\n  {\n   texture_unit\n   {\n    texture %s\n   }\n  }\n }\n}\n' \
            A "$1" B "$2" >"$work/textured/two.material"
    }
    two_materials a.png b.png
    convert -size 8x8 xc:red "$work/textured/a.png"
    # And a material there at the start and deleted since, and a sky of the engine's own white.
    printf 'material Gone/C\n{\n technique\n {\n  pass\n  {\n  }\n }\n}\n' >"$work/textured/gone.material"
    printf '<scene><nodes><node name="A"><position z="-3"/><entity name="A" meshFile="Crate.mesh" materialFile="Two/A"/></node><node name="B"><position x="2" z="-3"/><entity name="B" meshFile="Crate.mesh" materialFile="Two/B"/></node><node name="C"><position x="-2" z="-3"/><entity name="C" meshFile="Crate.mesh" materialFile="Gone/C"/></node></nodes><environment><skyBox material="BaseWhite" distance="50"/></environment></scene>' \
        >"$work/textured/two.scene"
    viewer_start --media ../Media/Meshes ../textured/two.scene
    viewer_accept_dialog && viewer_wait_for_window
    cp "$work/textured/a.png" "$work/textured/b.png"
    two_materials a2.png b.png
    rm "$work/textured/gone.material"
    viewer_press F5
    sleep 0.5
    viewer_press Escape
    viewer_wait_for_exit
    check "the first load says the missing image" grep -q "missing texture 'b.png'" viewer.stderr
    check "a reload says the image newly missing, of a shape said before" grep -q "texture 'a2.png'" viewer.stderr
    check "and the one that is there now" grep -q "^Gone since the last load: .*missing texture 'b.png'" viewer.stderr
    check "and nothing else as gone" [ "$(grep -c '^Gone since' viewer.stderr)" = 1 ]
    check "a material deleted since the start is missing" grep -q "missing material 'Gone/C'" viewer.stderr
    check "the engine's own white is there for a reloaded sky" grep -q "Reload of ../textured/two.scene: Reloaded in" Ogre.log
    ;;
reload-failure)
    # A reload the loader refuses while building leaves the level on screen whole: the mirror's reflection too.
    start_level
    shoot_solid                      # screenshot_1
    cp "$work/Media/Scenes/scene3.scene" "$work/good.scene"
    sed -i 's#<shadows \([^>]*\)/>#<shadows \1><shadowCameraSetup type="bogus"/></shadows>#; s#<shadows \([^>/]*\)>#<shadows \1><shadowCameraSetup type="bogus"/>#' \
        "$work/Media/Scenes/scene3.scene"
    viewer_press F5
    sleep 0.5
    viewer_press Print               # screenshot_2
    cp "$work/good.scene" "$work/Media/Scenes/scene3.scene"
    viewer_press F5                  # mended: its particle template is there again
    sleep 0.5
    viewer_press Escape
    viewer_wait_for_exit
    check "the reload failed with the loader's message" \
        grep -qF ": shadows: InvalidParametersException: Invalid shadow camera setup specified: bogus" Ogre.log
    check "the mended level reloads" grep -qF "Reload of ../Media/Scenes/scene3.scene: Reloaded in" Ogre.log
    # Below the panel, which shows the error: the floor with its mirror, the boxes, the doorway.
    kept=$(differing_pixels_in 800x340+0+260 screenshot_1.png screenshot_2.png)
    check "the picture, mirror included, is as it was: $kept pixels differ" [ "$kept" -lt 50 ]
    ;;
watch)
    # Under --watch, rewriting the level reloads it without a key, once the writes settle.
    mkdir -p "$work/watched"
    level=$work/watched/box.scene
    box_at() { printf '<scene><nodes><node name="Box"><position x="%s" z="-4"/><entity name="Box" meshFile="Crate.mesh"/></node></nodes></scene>' "$1" >"$level"; }
    box_at -1.5
    viewer_start --watch --media ../Media/Meshes ../watched/box.scene
    viewer_accept_dialog && viewer_wait_for_window
    shoot_solid                      # screenshot_1
    box_at 1.5
    sleep 2.5
    viewer_press Print               # screenshot_2
    printf '<scene><nodes><node name="Box">' >"$level"
    sleep 2.5
    viewer_press Print               # screenshot_3
    cp ../Media/Meshes/Crate.mesh ../Media/Meshes/Crate2.mesh # a change in a --media folder
    sleep 2.5
    viewer_press Escape
    viewer_wait_for_exit
    check "a change in a --media folder is seen too" [ "$(grep -c "The level's files changed on disk" Ogre.log)" = 3 ]
    check "the change on disk was seen" grep -qF "The level's files changed on disk" Ogre.log
    check "and the level reloaded: $(differing_pixels screenshot_1.png screenshot_2.png) pixels change" \
        greater "$(differing_pixels screenshot_1.png screenshot_2.png)" 1000
    check "a broken rewrite fails as F5 does" grep -qF "Reload failed, the level on screen stays" Ogre.log
    kept=$(differing_pixels_in 800x340+0+260 screenshot_2.png screenshot_3.png) # below the panel with the error
    check "and keeps the level: $kept pixels differ" [ "$kept" -lt 50 ]
    ;;
reload-memory)
    # F5 held: about a hundred reloads of the sample level; the memory after each is logged.
    start_level
    viewer_hold F5 55
    viewer_press Escape
    viewer_wait_for_exit
    grep -oE "Reloaded in [0-9.]+ ms, memory [0-9]+ MB" Ogre.log | awk '{ print $3, $6 }' >reloads.txt
    count=$(wc -l <reloads.txt)
    check "about a hundred reloads ($count)" [ "$count" -ge 90 ]
    fifth=$(awk 'NR == 5 { print $2 }' reloads.txt) last=$(awk 'END { print $2 }' reloads.txt)
    echo "memory after the 5th reload: $fifth MB, after the last: $last MB"
    check "memory stays flat: $fifth MB after the 5th, $last MB after the last" [ $((last - fifth)) -le 40 ]
    ;;
crash-report)
    # A crash says so, with its call stack, and still ends by its signal. The sanitizer
    # build reports crashes itself.
    if ldd ./TarnelViewer | grep -q libasan; then echo "skipped: the sanitizer reports crashes"; exit 0; fi
    start_level
    kill -SEGV "$VIEWER_PID"
    viewer_wait_for_exit
    check "the viewer ends by the signal (status $VIEWER_STATUS)" [ "$VIEWER_STATUS" = 139 ]
    check "standard error says it crashed" grep -qF "TarnelViewer: crashed with Segmentation fault; Ogre.log holds" viewer.stderr
    check "and gives the call stack" grep -qE "^\./TarnelViewer\(" viewer.stderr
    ;;
no-display)
    # The render system fails inside the engine's start; its error names a file in its own plug-in.
    DISPLAY=:4242 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" ./TarnelViewer >viewer.stdout 2>viewer.stderr
    status=$?
    check "the viewer ends with status 1 (got $status)" [ "$status" = 1 ]
    check "standard error holds the render system's message" \
        grep -qF "RenderingAPIException: Couldn\`t open X display :4242 in GLXGLSupport::getGLDisplay at " viewer.stderr
    ;;
missing-level)
    rm "$full_path"
    expect_failure "a level argument naming no file" \
        "FileNotFoundException: Unable to read Tarnel scene file: $work/bin/nowhere/level.scene in TarnelScene::Load" \
        nowhere/level.scene
    expect_failure "no level file" \
        "FileNotFoundException: Unable to read Tarnel scene file: $full_path in TarnelScene::Load at Tarnel/TarnelScene (line"
    ;;
broken-levels)
    unloadable="InvalidStateException: Unable to load Tarnel scene file: $full_path in TarnelScene::Load at Tarnel/TarnelScene (line"
    in_node() { printf '<scene><nodes><node name="N">%s</node></nodes></scene>' "$1"; }
    # Each level's bytes come from the command after "<", in this shell, so that failures count.
    broken_level unparsable "$unloadable" < <(printf '<scene><nodes></scene>')
    broken_level empty "$unloadable" </dev/null
    broken_level binary "$unloadable" < <(printf '\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR')
    broken_level UTF-16 "$unloadable" < <(printf '<scene><nodes/></scene>' | iconv -t UTF-16)
    broken_level "nested 100000 deep" "$unloadable" \
        < <(python3 -c 'print("<scene><nodes>" + "<node>" * 100000 + "</node>" * 100000 + "</nodes></scene>")')
    broken_level "newer engine" \
        "UnimplementedException: The scene file's required Ogre version (1.13) is not supported by the Ogre version this viewer uses ( 1.12.10) in TarnelScene::LoadScene at Tarnel/TarnelScene (line" \
        < <(printf '<scene minOgreVersion="1.13.0"><nodes/></scene>')
    broken_level "duplicate object" \
        "ItemIdentityException: Duplicate object name: E in TarnelScene::GetNewObjectName at Tarnel/TarnelScene (line" \
        < <(printf '<scene><resourceLocations><resourceLocation name="../Meshes" type="FileSystem"/></resourceLocations><nodes><node name="N"><entity name="E" meshFile="Crate.mesh"/><light name="E"/></node></nodes></scene>')
    broken_level "unknown keyword" \
        "InvalidParametersException: Invalid shadow camera setup specified: bogus in TarnelScene::ParseShadowCameraSetup at Tarnel/TarnelScene (line" \
        < <(printf '<scene><environment><shadows technique="textureModulative"><shadowCameraSetup type="bogus"/></shadows></environment></scene>')
    check "unknown keyword: where the load stopped" grep -qF "$full_path:1: shadows: the load stopped here" viewer.stderr
    broken_level "absurd size" \
        "InvalidParametersException: The poolSize of billboard set B must be from 0 to 16384, not 4294967295 in Objects::ReadBillboardSetAttributes at Tarnel/TarnelUtilities (line" \
        < <(in_node '<billboardSet name="B" poolSize="4294967295"/>')
    broken_level "missing mesh" "FileNotFoundException: Cannot locate resource Nothing.mesh" \
        < <(in_node '<entity name="E" meshFile="Nothing.mesh"/>')
    mkdir -p "$work/folder.scene"
    expect_failure "a folder" "TarnelViewer: ../folder.scene is a folder, not a level file" ../folder.scene
    ;;
*)
    echo "unknown case $case_name"
    exit 2
    ;;
esac
finish
