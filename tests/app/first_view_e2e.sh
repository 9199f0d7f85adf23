#!/usr/bin/env bash
# The first view is chosen by what it shows, end to end, on levels written here: a room seen
# from inside, a level under a dome, a cluster far from its ground, a material that calls a
# program no script declares, levels that show little and say why, a level of zones, and the
# unlit view on its key.
#   first_view_e2e.sh RUN_TREE
set -uo pipefail
run_tree=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/viewer-driver.sh"
source "$here/picture-checks.sh" "$run_tree"
chosen() { grep -o "View: .* views tried in" Ogre.log | tail -n 1; }
covered() { chosen | sed -n 's/.*(covers \([0-9.]*\) % of the picture.*/\1/p'; }
node() { # name, x y z, scale x y z, mesh[, material]
    printf '<node name="%s"><position x="%s" y="%s" z="%s"/><scale x="%s" y="%s" z="%s"/><entity name="%s" meshFile="%s"%s/></node>' \
        "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$1" "$8" "${9:+ materialFile=\"$9\"}"
}
props() { # a cluster of crates, about x z
    for i in 0 1 2 3 4 5 6 7 8 9 10 11; do
        node "Crate$i" $(($1 + (i % 4) * 30 - 45)) 10 $(($2 + (i / 4) * 30 - 30)) 10 10 10 Crate.mesh Level/Red
    done
}
levels=$work/levels
mkdir -p "$levels"
cat >"$levels/level.material" <<'MATERIAL'
material Level/Red
{
    technique { pass { ambient 0.6 0.1 0.1
    diffuse 1 0.2 0.2 } }
}
MATERIAL
scene() { # name, then the nodes
    local name=$1; shift
    printf '<scene><environment><colourAmbient r="0.4" g="0.4" b="0.4"/></environment><nodes>%s</nodes></scene>' "$*" \
        >"$levels/$name.scene"
}

echo "--- a room whose faces point inward, with a camera inside"
# A room mesh: its faces point inward, culled from outside, seen from inside.
scene hangar "$(node Hangar 0 40 0 200 80 200 Room.mesh Level/Red)" \
    '<node name="Eye"><position x="0" y="20" z="80"/><camera name="Eye" fov="1.2"><normal x="0" y="0" z="-1"/></camera></node>'
picture hangar.png ../levels/hangar.scene --media ../Media/Meshes
check "it opens (status $status)" [ "$status" = 0 ]
check "through its camera, as the outside sees back faces ($(chosen))" \
    grep -qE "View: through camera Eye \(covers [0-9.]+ % of the picture, spans [0-9]+ %\); the raised corner covered [0-9.]+ % \(the level's surfaces face inward\)" Ogre.log
check "the room fills the picture ($(share hangar.png R) red)" at_least "$(share hangar.png R)" 0.3

echo "--- a dome twice the size of the level under it"
scene dome "$(props 0 0)" "$(node Dome 0 60 0 260 260 260 Room.mesh)"
picture dome.png ../levels/dome.scene --media ../Media/Meshes
check "the dome is left out of the frame" grep -qF "left out: Dome (encloses 100 % of the level)" Ogre.log
check "the crates cover at least 10 % ($(covered) %)" at_least "$(covered)" 10
check "and show red ($(share dome.png R))" at_least "$(share dome.png R)" 0.05

echo "--- a ground plane 3,000 units from a small cluster"
scene cluster "$(props 0 0; for i in $(seq 12 30); do node "Crate$i" $((i % 5 * 25)) 10 $((i / 5 * 25 - 60)) 8 8 8 Crate.mesh Level/Red; done)" \
    "$(node Ground 3000 -1 3000 400 1 400 Block.mesh)"
picture cluster.png ../levels/cluster.scene --media ../Media/Meshes
check "the far ground does not set the frame" grep -qE "left out: Ground \([0-9,]+ units from the rest\)" Ogre.log
check "the cluster covers at least 10 % ($(covered) %)" at_least "$(covered)" 10

echo "--- a material that calls a program no script declares"
cat >"$levels/glow.material" <<'MATERIAL'
material Glow
{
    technique
    {
        pass { texture_unit { texture red.ppm } }
        pass
        {
            scene_blend add
            vertex_program_ref glow_vs { }
            fragment_program_ref glow_ps { }
        }
    }
}
MATERIAL
printf 'P6\n1 1\n255\n\xe0\x10\x10' >"$levels/red.ppm"
scene glow "$(node Box 0 0 0 10 10 10 Block.mesh Glow)"
picture glow.png ../levels/glow.scene --media ../Media/Meshes
check "it opens (status $status)" [ "$status" = 0 ]
check "the box shows its texture's red, not white ($(share glow.png R) red, $(share glow.png G) green)" \
    bash -c "awk 'BEGIN { exit !($(share glow.png R) >= 0.1 && $(share glow.png G) < 0.02) }'"
check "one warning says why, on the terminal" grep -qF \
    "1 material calls programs that no script declares (glow_vs, glow_ps); drawn from its texture without its programs: Glow" err.txt
./TarnelCheck ../levels/glow.scene --media ../Media/Meshes >check.txt 2>&1
check "and in the checker" grep -qF "Tarnel: 1 material calls programs that no script declares (glow_vs, glow_ps)" check.txt

cat >"$levels/broken.program" <<'PROGRAM'
fragment_program Water/FP glsl
{
    source water.frag
}
fragment_program Bad/FP glsl
{
    source bad.frag
}
PROGRAM
printf 'void main() { this is not a shader }\n' >"$levels/bad.frag"
cat >"$levels/broken.material" <<'MATERIAL'
material Water
{
    technique { pass { fragment_program_ref Water/FP { } texture_unit { texture red.ppm } } }
}
material Bad
{
    technique { pass { fragment_program_ref Bad/FP { } texture_unit { texture red.ppm } } }
}
MATERIAL
scene broken "$(node Box 0 0 0 10 10 10 Block.mesh Water)" "$(node Box2 12 0 0 10 10 10 Block.mesh Bad)"
picture broken.png ../levels/broken.scene --media ../Media/Meshes
check "a level of programs without source or that fail to compile opens (status $status)" [ "$status" = 0 ]
check "its boxes show their texture's red ($(share broken.png R) red, $(share broken.png G) green)" \
    bash -c "awk 'BEGIN { exit !($(share broken.png R) >= 0.1 && $(share broken.png G) < 0.02) }'"
check "the source that is missing is named" grep -qF \
    "1 material uses programs whose source is missing (water.frag); drawn from its texture without its programs: Water" err.txt
check "so is the program that does not compile" grep -qF \
    "1 material uses programs that fail to compile (Bad/FP); drawn from its texture without its programs: Bad" err.txt

echo "--- levels that show little say why"
printf '%s' '<scene><environment><clipping near="10000" far="50000"/><skyBox enable="true" material="BaseWhite" distance="150"/></environment><nodes><node name="Start"><position x="5" y="0" z="0"/></node><node name="Lamp"><light name="Lamp" type="point"/></node></nodes></scene>' \
    >"$levels/sky.scene"
picture sky.png ../levels/sky.scene --media ../Media/Meshes
check "a level with only a sky opens (status $status)" [ "$status" = 0 ]
check "and says it draws nothing, and why the sky is not seen" grep -qF \
    "the level draws nothing: 2 nodes, 1 lights, no entity; its sky box (distance 150) lies inside the near clip (10,000)" err.txt
scene dark "$(props 0 0)" \
    '<node name="Lamp1"><position x="2000" y="50" z="0"/><light name="Lamp1" type="point"><lightAttenuation range="200" constant="1" linear="0" quadric="0"/></light></node>' \
    '<node name="Lamp2"><position x="0" y="50" z="2000"/><light name="Lamp2" type="point"><lightAttenuation range="200" constant="1" linear="0" quadric="0"/></light></node>'
picture dark.png ../levels/dark.scene --media ../Media/Meshes
check "a level whose lights reach nothing says so ($(grep -o 'none of the.*' err.txt))" grep -qE \
    "none of the 2 lights reaches a drawn object \(ranges 200; the nearest object is 1,[0-9]{3} units from a light\): the level is lit by its ambient 0.4 and the camera light" err.txt
./TarnelCheck ../levels/dark.scene --media ../Media/Meshes >check.txt 2>&1
./TarnelCheck ../levels/dark.scene --media ../Media/Meshes --json >dark.json 2>/dev/null
check "the checker says it too, and which view its first picture takes" bash -c \
    "grep -qF 'none of the 2 lights reaches a drawn object' check.txt && grep -q 'first view: .* (covers [0-9]* % of the picture' check.txt && grep -q '\"firstView\": *\".* (covers [0-9]* % of the picture' dark.json"

echo "--- a level with zones is seen from inside one"
portal() { # name, z of the doorway, bottom and top: the two sides of a doorway go round it the other way
    printf '<portal name="%s" type="quad" x0="-10" y0="%s" z0="%s" x1="10" y1="%s" z1="%s" x2="10" y2="%s" z2="%s" x3="-10" y3="%s" z3="%s"/>' \
        "$1" "$3" "$2" "$3" "$2" "$4" "$2" "$4" "$2"
}
scene zones \
    "<node name=\"RoomA\">$(portal ToB -50 0 30)$(props 0 0)$(node FloorA 0 -1 0 100 1 100 Block.mesh)</node>" \
    "<node name=\"RoomB\"><position z=\"-100\"/>$(portal ToA 50 30 0)$(node FloorB 0 -1 0 100 1 100 Block.mesh)$(node Statue 0 20 0 20 40 20 Crate.mesh Level/Red)</node>"
picture zones.png ../levels/zones.scene --media ../Media/Meshes
check "it opens (status $status)" [ "$status" = 0 ]
check "seen from inside a zone, as outside every zone nothing is drawn ($(chosen))" grep -qE "View: inside zone Room" Ogre.log
check "what it shows covers at least 10 % ($(covered) %)" at_least "$(covered)" 10
check "and says why not from outside" grep -qF "the raised corner covered 0 % (it stands outside every zone, and sees none of them)" Ogre.log

echo "--- the unlit view"
printf '%s' "<scene><environment><colourAmbient r=\"0\" g=\"0\" b=\"0\"/></environment><nodes>$(props 0 0)$(node Floor 0 -1 0 200 1 200 Block.mesh Level/Red)</nodes></scene>" \
    >"$levels/unlit.scene"
rm -f Ogre.log screenshot_*.png
viewer_start --media ../Media/Meshes ../levels/unlit.scene
viewer_accept_dialog && viewer_wait_for_window
viewer_press r # solid
viewer_press r
viewer_press Print
viewer_press l
sleep 1
viewer_press Print
viewer_press l
viewer_press Escape
viewer_wait_for_exit
check "L draws every material at full light" grep -qF "Unlit view: every material at full light" Ogre.log
check "and L again the level's own lighting" grep -qF "Unlit view off: the level's own lighting" Ogre.log
lit=$(ls screenshot_*.png 2>/dev/null | head -n 1)
unlit=$(ls screenshot_*.png 2>/dev/null | sed -n 2p)
check "the unlit picture is redder ($(share "$unlit" R) against $(share "$lit" R))" \
    bash -c "[ -n '$unlit' ] && awk 'BEGIN { exit !($(share "$unlit" R 2>/dev/null || echo 0) > $(share "$lit" R 2>/dev/null || echo 1) + 0.05) }'"
check "--help names the key" bash -c "./TarnelViewer --help | grep -qE '^  L +unlit'"

exit $((failures != 0))
