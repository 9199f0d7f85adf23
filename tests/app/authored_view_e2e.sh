#!/usr/bin/env bash
# What a designer sees is the level as its author made it, end to end: first views framed on
# the level inside a backdrop and beside a lone far object, level cameras on tracking rigs seen
# alike through C, --camera and the checker, a material only Cg could draw drawn from its
# texture, images that cannot be read drawn blank, and key taps shorter than a frame.
#   authored_view_e2e.sh RUN_TREE
set -uo pipefail
run_tree=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/viewer-driver.sh"
PICTURE_SIZE=480x300
source "$here/picture-checks.sh" "$run_tree"
differing() { # the share of pixels that differ by more than 3 % in a channel
    compare -metric AE -fuzz 3% "$1" "$2" null: 2>&1 | awk -v size="$(identify -format "%[fx:w*h]" "$1")" '{ print $1 / size }'
}

levels=$work/levels
mkdir -p "$levels"
# Red boxes, lit; a flat blue backdrop that needs no light.
cat >"$levels/game.material" <<'MATERIAL'
material Level/Wood
{
    technique { pass { ambient 0.5 0.1 0.1
    diffuse 1 0.2 0.2 } }
}
material Level/Brass
{
    technique { pass { ambient 0.5 0.1 0.1
    diffuse 1 0.2 0.2 } }
}
material Level/Stone
{
    technique { pass { lighting off
    diffuse 0 0 1 } }
}
MATERIAL
props() { # eight boxes 20 units across on a floor 300 units wide, about x, z
    for i in 0 1 2 3 4 5 6 7; do
        printf '<node name="Prop%s"><position x="%s" y="10" z="%s"/><scale x="20" y="20" z="20"/><entity name="Prop%s" meshFile="Crate.mesh"/></node>' \
            "$i" $(($1 + (i % 4) * 90 - 135)) $(($2 + (i / 4) * 120 - 60)) "$i"
    done
    printf '<node name="Floor"><position x="%s" y="-1" z="%s"/><scale x="300" y="2" z="200"/><entity name="Floor" meshFile="Crate.mesh"/></node>' "$1" "$2"
}

echo "--- a first view that finds the level"
{
    printf '<scene><environment><colourAmbient r="0.3" g="0.3" b="0.3"/></environment><nodes>'
    props 0 0
    printf '<node name="Backdrop"><scale x="17842" y="17842" z="17842"/><entity name="Backdrop" meshFile="Block.mesh"/></node>'
    printf '</nodes></scene>'
} >"$levels/backdrop.scene"
picture backdrop.png ../levels/backdrop.scene --media ../Media/Meshes
check "a level inside a huge backdrop box opens (status $status)" [ "$status" = 0 ]
check "the log says what was left out and why" \
    grep -qF "View: framed on 9 of 10 drawn objects; left out: Backdrop (encloses 100 % of the level)" Ogre.log
check "the level, not the backdrop, fills the picture ($(share backdrop.png R) red)" at_least "$(share backdrop.png R)" 0.05
{
    printf '<scene><environment><colourAmbient r="0.3" g="0.3" b="0.3"/></environment><nodes>'
    props 0 0
    printf '<node name="Far"><position x="50000"/><scale x="20" y="20" z="20"/><entity name="Far" meshFile="Crate.mesh"/></node>'
    printf '</nodes></scene>'
} >"$levels/far.scene"
picture far.png ../levels/far.scene --media ../Media/Meshes
check "a level with one item 50,000 units away opens (status $status)" [ "$status" = 0 ]
check "the far item is left out of the frame" grep -qE "left out: Far \([0-9,]+ units from the rest\)" Ogre.log
check "the level fills the picture ($(share far.png R) red)" at_least "$(share far.png R)" 0.05
./TarnelCheck ../levels/far.scene --media ../Media/Meshes --report far-report >out.txt 2>&1
check "the checker's first picture is framed alike" \
    [ "$(differing far.png far-report/far-view.png)" \< 0.02 ]

echo "--- level cameras on tracking rigs look alike however they are asked for"
{
    printf '<scene><environment><colourAmbient r="0.3" g="0.3" b="0.3"/></environment><nodes>'
    props 0 0
    printf '<node name="Target"><position x="0" y="10" z="0"/></node>'
    # Authored facing away; the rig turns it to the target. Another camera tracks on its own.
    printf '<node name="Rig"><position x="300" y="150" z="300"/><trackTarget nodeName="Target"/><camera name="Camera-02" fov="0.9"/></node>'
    printf '<node name="Tripod"><position x="-250" y="80" z="250"/><camera name="Camera-03" fov="0.9"><trackTarget nodeName="Target"/></camera></node>'
    printf '</nodes></scene>'
} >"$levels/rigs.scene"
picture rig-02.png ../levels/rigs.scene --media ../Media/Meshes --camera Camera-02
check "--camera draws through the rig's camera (status $status)" [ "$status" = 0 ]
check "which faces the target it tracks ($(share rig-02.png R) red)" at_least "$(share rig-02.png R)" 0.02
at_camera=$(grep -o "View: through the level's camera Camera-02, at .*" Ogre.log)
picture rig-03.png ../levels/rigs.scene --media ../Media/Meshes --camera Camera-03
check "so does a camera that tracks on its own ($(share rig-03.png R) red)" at_least "$(share rig-03.png R)" 0.02
./TarnelCheck ../levels/rigs.scene --media ../Media/Meshes --report rig-report >out.txt 2>&1
check "the checker's picture through Camera-02 is the same ($(differing rig-02.png rig-report/rigs-camera-Camera-02.png))" \
    [ "$(differing rig-02.png rig-report/rigs-camera-Camera-02.png)" \< 0.01 ]
check "and through Camera-03" [ "$(differing rig-03.png rig-report/rigs-camera-Camera-03.png)" \< 0.01 ]
rm -f Ogre.log
viewer_start --media ../Media/Meshes ../levels/rigs.scene
viewer_accept_dialog && viewer_wait_for_window
viewer_press c
viewer_press p
viewer_press Escape
viewer_wait_for_exit
through_c=$(grep -o "Camera at .*" Ogre.log | head -n 1)
same_numbers() { # two lines whose numbers agree within 1e-4
    python3 - "$1" "$2" <<'SAME'
import re, sys
a, b = ([float(n) for n in re.findall(r"-?[0-9.]+(?:e-?[0-9]+)?", line)] for line in sys.argv[1:])
sys.exit(0 if a and len(a) == len(b) and all(abs(x - y) < 1e-4 for x, y in zip(a, b)) else 1)
SAME
}
check "C puts the camera where --camera does ($through_c; ${at_camera#*, })" \
    same_numbers "${through_c#Camera }" "${at_camera#*, }"

echo "--- a material only Cg could draw"
cat >"$levels/toon.program" <<'PROGRAM'
vertex_program ToonVP cg
{
    source toon.cg
    entry_point main_vp
    profiles vs_1_1 arbvp1
}
PROGRAM
cat >"$levels/toon.material" <<'MATERIAL'
material Toon
{
    technique
    {
        pass
        {
            vertex_program_ref ToonVP
            {
            }
            texture_unit
            {
                texture red.ppm
            }
        }
    }
}
MATERIAL
printf 'P6\n1 1\n255\n\xe0\x10\x10' >"$levels/red.ppm"
printf '%s' '<scene><environment><colourAmbient r="0.5" g="0.5" b="0.5"/></environment><nodes><node name="Box"><scale x="10" y="10" z="10"/><entity name="Box" meshFile="Block.mesh" materialFile="Toon"/></node></nodes></scene>' \
    >"$levels/toon.scene"
picture toon.png ../levels/toon.scene --media ../Media/Meshes
check "the level opens (status $status)" [ "$status" = 0 ]
check "the box shows its texture's red ($(share toon.png R) red, $(share toon.png G) green)" \
    bash -c "awk 'BEGIN { exit !($(share toon.png R) >= 0.1 && $(share toon.png G) < 0.02) }'"
check "one warning says why, on the terminal" grep -qF \
    "1 material uses Cg programs, which this build of the engine cannot compile; drawn from its texture without its programs: Toon" err.txt

echo "--- images that cannot be read"
cat >"$levels/images.material" <<'MATERIAL'
material Unshipped
{
    technique { pass { texture_unit { texture S4-007-2.tif } } }
}
material Corrupt
{
    technique { pass { texture_unit { texture corrupt.png } } }
}
MATERIAL
printf 'not a picture' >"$levels/corrupt.png"
printf '%s' '<scene><nodes><node name="A"><entity name="A" meshFile="Block.mesh" materialFile="Unshipped"/></node><node name="B"><position x="2"/><entity name="B" meshFile="Block.mesh" materialFile="Corrupt"/></node></nodes></scene>' \
    >"$levels/images.scene"
picture images.png ../levels/images.scene --media ../Media/Meshes
check "a level with a missing .tif and a corrupt image opens (status $status)" [ "$status" = 0 -a -s images.png ]
check "the missing texture is named with its user" grep -qF "missing texture 'S4-007-2.tif', used by A" err.txt
check "once" [ "$(grep -c "S4-007-2.tif" err.txt)" = 1 ]
check "and its material in Ogre.log" grep -qF "the texture 'S4-007-2.tif' of the material 'Unshipped' cannot be found; it is drawn blank" Ogre.log
check "so is the corrupt one" grep -qF "the image 'corrupt.png' cannot be read" err.txt
./TarnelCheck ../levels/images.scene --media ../Media/Meshes >out.txt 2>&1
check "the checker loads it too" grep -qF "images.scene: INCOMPLETE" out.txt

echo "--- key taps shorter than a frame of a slow level"
python3 - "$levels/slow.scene" <<'SLOW'
import sys
nodes = "".join('<node name="N%d"><position x="%d" y="%d" z="-%d"/><entity name="E%d" meshFile="Crate.mesh"/></node>'
                % (i, i % 40 * 2, i // 40 % 40 * 2, 10 + i // 1600 * 2, i) for i in range(6000))
open(sys.argv[1], "w").write('<scene><environment><shadows technique="stencilAdditive"/></environment><nodes>'
                             + nodes + '<node name="Lamp"><position y="50" z="20"/><light name="Lamp"/></node></nodes></scene>')
SLOW
rm -f Ogre.log
viewer_start --media ../Media/Meshes ../levels/slow.scene
viewer_accept_dialog && viewer_wait_for_window
for _ in 1 2 3; do
    xdotool key --delay 0 p # down and up at once
    sleep 1.5
done
viewer_press Escape
viewer_wait_for_exit
check "three taps of P, three times the camera's place logged ($(grep -c "Camera at" Ogre.log))" \
    [ "$(grep -c "Camera at" Ogre.log)" = 3 ]

exit $((failures != 0))
