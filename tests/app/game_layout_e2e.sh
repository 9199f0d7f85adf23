#!/usr/bin/env bash
# A game's levels as the game lays them out, end to end: media in a tree of their own named
# by a resources.cfg or given as folders, levels far from the origin and Z-up, cameras,
# repeated names, and pictures from the command line without a display.
#   game_layout_e2e.sh RUN_TREE
set -uo pipefail
run_tree=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$run_tree/." "$work/"
cd "$work/bin"
rm -f Ogre.log scenetree.txt screenshot_*.png

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
run() { # the program, then its arguments; sets status, output in out.txt, errors in err.txt
    status=0
    "$@" >out.txt 2>err.txt || status=$?
}
covers_half() { # the lit part of the picture spans half its width or height
    local box width height
    box=$(convert "$1" -fuzz 4% -format "%@" info:) width=${box%%x*} height=${box#*x} height=${height%%+*}
    read -r full_width full_height < <(identify -format "%w %h" "$1")
    [ $((width * 2)) -ge "$full_width" ] || [ $((height * 2)) -ge "$full_height" ]
}

# The game: its media in a tree of their own, its levels in another folder, its resource list at its root.
game=$work/game
mkdir -p "$game/media/meshes" "$game/media/materials" "$game/levels"
cp ../Media/Meshes/* "$game/media/meshes/"
for material in Game/Gold Level/Stone Level/Wood Level/Brass; do # the last three the meshes name
    printf 'material %s\n{\n technique\n {\n  pass\n  {\n   diffuse 1 0.8 0 1\n  }\n }\n}\n' "$material"
done >"$game/media/materials/game.material"
printf '# the game'"'"'s own list\n[General]\nFileSystem=media/meshes\nFileSystem=media/materials\n' >"$game/resources.cfg"
# Far from the origin, hundreds of units across, with a camera of its own.
cat >"$game/levels/far.scene" <<'LEVEL'
<scene><nodes>
<node name="Floor"><position x="5000" y="-20" z="-3000"/><scale x="600" y="2" z="600"/><entity name="Floor" meshFile="Block.mesh" materialFile="Game/Gold"/></node>
<node name="Tower"><position x="5200" y="100" z="-3100"/><scale x="60" y="240" z="60"/><entity name="Tower" meshFile="Crate.mesh"/></node>
<node name="Eye"><position x="5000" y="900" z="-3000"/><rotation angleX="-1.5707"/><camera name="Top" fov="1"/></node>
</nodes></scene>
LEVEL
# Z-up: its tower stands along Z.
cat >"$game/levels/zup.scene" <<'LEVEL'
<scene upAxis="z"><nodes>
<node name="Floor"><position x="-800" y="900" z="0"/><scale x="300" y="300" z="2"/><entity name="Floor" meshFile="Block.mesh"/></node>
<node name="Tower"><position x="-800" y="900" z="120"/><scale x="40" y="40" z="240"/><entity name="Tower" meshFile="Crate.mesh"/></node>
</nodes></scene>
LEVEL
# An exporter that names every entity after its mesh.
python3 -c 'print("<scene><nodes>" + "".join("<node name=\"Crate.mesh\"><position x=\"%d\"/><entity name=\"Crate.mesh\" meshFile=\"Crate.mesh\"/></node>" % (2 * i) for i in range(7)) + "</nodes></scene>")' \
    >"$game/levels/repeated.scene"

echo "--- the checker"
run ./TarnelCheck "$game/levels/far.scene"
check "without the game's media, its meshes are missing and it fails to load (status $status)" [ "$status" = 1 ]
check "and named" grep -qF "missing mesh Block.mesh" out.txt
check "another level sees nothing of the sample level's scripts" bash -c '! grep -q "scene3" out.txt'
run ./TarnelCheck "$game/levels/far.scene" --resources "$game/resources.cfg"
check "with --resources the level is fine (status $status)" [ "$status" = 0 ]
check "its material from the game's tree included" bash -c '! grep -q "missing" out.txt'
run ./TarnelCheck "$game/levels/far.scene" --media "$game/media"
check "with --media the level is fine (status $status)" [ "$status" = 0 ]
run ./TarnelCheck "$game/levels/far.scene" --media "$game/nowhere"
check "a media folder that is not there is refused (status $status)" [ "$status" = 1 ]
check "in one line" grep -qF -- "--media $game/nowhere: no such folder" err.txt
run ./TarnelCheck "$game/levels/repeated.scene" --media "$game/media"
check "repeated names end the load as the format says (status $status)" [ "$status" = 1 ]
check "with both lines and the way out" grep -qF 'repeated.scene:1: node "Crate.mesh" repeats the name of line 1 (--lenient renames repeats)' out.txt
run ./TarnelCheck "$game/levels/repeated.scene" --media "$game/media" --lenient
check "--lenient opens it (status $status)" [ "$status" = 0 ]
check "one warning sums the renames up" grep -qF "12 repeated node and object names were renamed (lenient names): Crate.mesh -> Crate.mesh#2" out.txt

echo "--- pictures from the command line, without a display"
picture() { # file, then the viewer's arguments
    local file=$1; shift
    rm -f "$file"
    status=0
    # The viewer keeps the engine to the end, by design: a leak check at its exit tells nothing.
    env -u DISPLAY ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        ./TarnelViewer "$@" --screenshot "$file" --size 640x400 >out.txt 2>err.txt || status=$?
    [ "$status" = 0 ] || { echo "--- $*"; cat err.txt; }
}
picture far.png ../game/levels/far.scene --resources ../game/resources.cfg
check "the picture is written and the viewer ends with 0 (status $status)" [ "$status" = 0 -a -s far.png ]
check "of the size asked for" [ "$(identify -format "%wx%h" far.png 2>/dev/null)" = 640x400 ]
check "a level far from the origin fills the picture" covers_half far.png
check "the report is written too" grep -q "Tower" scenetree.txt
picture zup.png ../game/levels/zup.scene --media ../game/media
check "a Z-up level is drawn (status $status)" [ "$status" = 0 -a -s zup.png ]
check "and fills the picture" covers_half zup.png
check "standing up: taller than wide" python3 - zup.png <<'TALL'
import subprocess, sys
box = subprocess.run(["convert", sys.argv[1], "-fuzz", "4%", "-format", "%@", "info:"], capture_output=True, text=True).stdout
width, rest = box.split("x"); height = rest.split("+")[0]
sys.exit(0 if int(height) > int(width) * 0.6 else 1)
TALL
picture top.png ../game/levels/far.scene --media ../game/media --camera Top
check "--camera draws through the level's camera (status $status)" [ "$status" = 0 -a -s top.png ]
check "which sees another picture" [ "$(compare -metric AE -fuzz 2% far.png top.png null: 2>&1 || true)" -gt 5000 ]
picture lower.png ../game/levels/far.scene --media ../game/media --camera top
check "a camera name that differs only in case is the one meant (status $status)" \
    [ "$status" = 0 -a "$(compare -metric AE -fuzz 2% top.png lower.png null: 2>&1 || true)" -lt 50 ]
picture none.png ../game/levels/far.scene --media ../game/media --camera Nobody
check "a camera the level lacks fails with status 1 (got $status)" [ "$status" = 1 ]
check "naming the cameras it has" grep -qF "The level has no camera named Nobody (its cameras: Top)" err.txt
check "before the window: nothing was loaded" bash -c '! grep -q "loaded in" Ogre.log'
picture lenient.png ../game/levels/repeated.scene --media ../game/media --lenient
check "--lenient opens the level in the viewer too (status $status)" [ "$status" = 0 ]
check "scenetree.txt shows the names as made" grep -qF "Crate.mesh#7" scenetree.txt
printf '<scene><environment><shadows technique="textureModulative"><shadowCameraSetup type="bogus"/></shadows></environment></scene>' \
    >"$game/levels/broken.scene"
picture broken.png ../game/levels/broken.scene
check "a level that fails to load ends with status 1 (got $status)" [ "$status" = 1 -a ! -e broken.png ]
check "with the loader's message" grep -qF "InvalidParametersException: Invalid shadow camera setup specified: bogus" err.txt

echo "--- the terminal reads at a glance"
python3 -c 'print("<scene><nodes>" + "".join("<node name=\"N%d\"><position x=\"%d\"/><entity name=\"E%d\" meshFile=\"Crate.mesh\" materialFile=\"Missing/%d\"/></node>" % (i, 2 * i, i, i) for i in range(30)) + "</nodes></scene>")' \
    >"$game/levels/many.scene"
picture many.png ../game/levels/many.scene --media ../game/media
check "thirty warnings alike but for their names are one line" \
    [ "$(grep -c "missing material 'Missing/0', used by E0 (30 times: Missing/0, Missing/1, Missing/2, Missing/3, Missing/4, ... +25)" err.txt)" = 1 ]
check "the terminal says little ($(cat out.txt err.txt | wc -l) lines)" [ "$(cat out.txt err.txt | wc -l)" -le 15 ]
# Each line once, and the summary after the load, indented, groups them.
check "Ogre.log keeps every line" [ "$(grep -a "Tarnel: missing material" Ogre.log | grep -acvE '^[0-9:]+   ')" = 30 ]

printf '<?xml version="1.0" encoding="ISO-8859-1"?>\n<scene><nodes><node name="Caf\xe9"><rotation qx="0" qy="0" qz="0" qw="0"/><entity name="Cup" meshFile="Crate.mesh"/></node></nodes></scene>' \
    >"$game/levels/latin.scene"
picture latin.png ../game/levels/latin.scene --media ../game/media
check "a name in Latin-1 shows on the terminal as its letter" grep -qF 'rotation of node "Café"' err.txt

# A game's habits: meshes of an old format whose materials are missing or need Cg, and textures never shipped.
mkdir -p "$game/old"
OgreXMLConverter -q "$game/media/meshes/Crate.mesh" "$game/old/crate.xml" >/dev/null 2>&1
for i in $(seq 10 21); do
    sed "s|Level/Brass|Game/Missing$i|; s|Level/Wood|Game/Cg$i|" "$game/old/crate.xml" >"$game/old/m.xml"
    OgreXMLConverter -q "$game/old/m.xml" "$game/old/new.mesh" >/dev/null 2>&1
    OgreMeshUpgrader -V 1.8 "$game/old/new.mesh" "$game/old/Prop$i.mesh" >/dev/null 2>&1
    printf 'material Game/Cg%s { technique { pass { vertex_program_ref Game/CgVS { } texture_unit { texture cg%s.tga } } } }\n' \
        "$i" "$i" >>"$game/old/game.material"
done
rm "$game/old/"*.xml "$game/old/new.mesh"
printf 'vertex_program Game/CgVS cg\n{\n source game.cg\n entry_point main\n profiles arbvp1\n}\n' >"$game/old/game.program"
printf 'void main() {}\n' >"$game/old/game.cg"
python3 -c 'print("<scene><nodes>" + "".join("<node name=\"N%d\"><position x=\"%d\"/><entity name=\"E%d\" meshFile=\"Prop%d.mesh\"/></node>" % (i, 3 * i, i, 10 + i % 12) for i in range(36)) + "</nodes></scene>")' \
    >"$game/levels/habits.scene"
picture habits.png ../game/levels/habits.scene --media ../game/old
check "a level of a game's habits is drawn (status $status)" [ "$status" = 0 ]
check "its terminal says little ($(cat out.txt err.txt | wc -l) lines)" [ "$(cat out.txt err.txt | wc -l)" -le 8 ]
check "twelve meshes of an old format are one line" grep -qF "uses an old format [MeshSerializer_v1.8]; upgrade with the OgreMeshUpgrader tool (12 times:" err.txt
check "twelve Cg materials are one line of eight names" grep -qF "Game/Cg17, ... +4 (all of them in the next line)" err.txt
check "whose names are all in Ogre.log" grep -qF "Tarnel: the materials drawn without their Cg programs: Game/Cg10," Ogre.log
check "a texture never shipped is said once, with its users" [ "$(grep -c "cg10.tga" err.txt)" = 1 ]
cp "$game/levels/habits.scene" "$game/old/"
picture own.png ../game/old/habits.scene --media ../game/old
check "a level whose folder is also given as media (status $status)" [ "$status" = 0 ]
check "has it read once" [ "$(grep -c "Added resource location '$game/old/\?' of type 'FileSystem' to resource group 'General'" Ogre.log)" = 1 ]
check "and its materials are not said to stand for themselves" bash -c '! grep -q "is used instead of" err.txt'

echo "--- the check before the window agrees with the loader"
# A block the format does not read, holding a light the format would refuse; meshes in a zip.
(cd "$game/media/meshes" && python3 -c 'import sys, zipfile; z = zipfile.ZipFile("../../props.zip", "w"); z.write("Crate.mesh"); z.close()')
cat >"$game/levels/agreed.scene" <<'LEVEL'
<scene><resourceLocations><resourceLocation type="Zip" name="../props.zip"/></resourceLocations>
<lights><light name="Sun" type="LT_POINT"/></lights>
<nodes><node name="Box"><entity name="Box" meshFile="Crate.mesh"/></node></nodes></scene>
LEVEL
run ./TarnelCheck "$game/levels/agreed.scene"
check "the checker loads it (status $status)" [ "$status" != 1 ]
picture agreed.png ../game/levels/agreed.scene
check "and so does the viewer (status $status)" [ "$status" = 0 ]

# Texture shadows from a plane of no direction: the engine's assertion ended the first frame.
cat >"$game/levels/flat.scene" <<'LEVEL'
<scene><environment><shadows technique="textureModulative" planeX="0" planeY="0" planeZ="0"><shadowCameraSetup type="planeOptimal"/></shadows></environment>
<nodes><node name="Box"><entity name="Box" meshFile="Crate.mesh"/></node><node name="Lamp"><position y="5"/><light name="Lamp" type="spot"><normal y="-1"/></light></node></nodes></scene>
LEVEL
picture flat.png ../game/levels/flat.scene --media ../game/media
check "a shadow plane of no direction is drawn, not aborted (status $status)" [ "$status" = 0 -a -s flat.png ]
check "with a warning" grep -qF 'shadows has planeX="0" planeY="0" planeZ="0", which is no plane' Ogre.log

echo "--- faulty media in a game's folder cost only themselves"
mkdir -p "$game/faulty"
printf 'not an image' >"$game/faulty/unused.png"
printf 'vertex_program Twice glsl\n{\n source twice.vert\n}\nvertex_program Twice glsl\n{\n source twice.vert\n}\n' \
    >"$game/faulty/twice.program"
printf 'void main() { gl_Position = ftransform(); }\n' >"$game/faulty/twice.vert"
picture faulty.png ../game/levels/far.scene --media ../game/media --media ../game/faulty --media ../game/faulty/
check "the viewer draws the level (status $status)" [ "$status" = 0 ]
check "a folder named twice, once with a trailing slash, is read once" \
    [ "$(grep -c "Added resource location '$game/faulty' of type 'FileSystem' to resource group 'General'" Ogre.log)" = 1 ]
run ./TarnelCheck "$game/levels/far.scene" --media "$game/media" --media "$game/faulty"
check "the checker agrees (status $status)" [ "$status" = 0 ]
check "and names the program defined twice" grep -qF "the GPU program 'Twice' is defined again" out.txt
run ./TarnelCheck "$game/levels/far.scene" "$game/levels/agreed.scene" --media "$game/media" --media "$game/faulty"
check "two levels with those media: the program defined twice is named once" \
    [ "$(grep -c "the GPU program 'Twice' is defined again" out.txt)" = 1 ]
check "and referred to under the second level" grep -qF "the game's media: 1 duplicate definition and " out.txt

exit $((failures != 0))
