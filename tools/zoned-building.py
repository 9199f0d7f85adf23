#!/usr/bin/env python3
"""Writes a zoned test level: a building of rooms in a grid, each room a zone, each door
between neighbours a pair of portals, one in each room, at the same place and facing into
its own room. Rooms have walls with door gaps, a floor, a crate and a lamp, all of the
sample media's meshes (Block.mesh, Crate.mesh), so the level opens with --media of the run
tree's Media/Meshes.

    tools/zoned-building.py OUT.scene [--rooms N] [--fault KIND]... [--heavy ROOM]

Faults, each written once at a line this prints as "fault KIND LINE":
  unmatched  a door with one portal: the other room's is left out
  facing     the first door's two portals with their corners the other way round, so that each
             faces out of its room: they meet, but the engine never looks through them
  nonplanar  a portal whose third corner stands off the plane of the others
  order      a portal whose corners cross over (the second and third swapped)
  zero       a portal whose corners are one point
  type       an extra portal of the type AAB in the first room, which the loader does not read
  island     two rooms far off, joined to each other but not to the building
  sprawl     a long beam in the first room that reaches through its wall into the next
  overlap    a zone "Annex" half inside the first room (with only a portal of type AAB)
  outside    a crate "Stray" outside every zone
"""
import argparse
import math
import os
import sys

ROOM = 10.0      # inside size
WALL = 0.2
SPACING = ROOM + 2 * WALL
DOOR_W, DOOR_H = 2.0, 2.5
HEIGHT = 4.0


class Writer:
    def __init__(self):
        self.lines = []

    def add(self, text):
        self.lines.append(text)
        return len(self.lines)  # the line just written


def corners(centre, normal, width, height):
    """The four corners of a door quad at `centre` (its bottom middle) whose normal, by the
    engine's order of corners, points along `normal` (into its own room)."""
    up = (0.0, 1.0, 0.0)
    right = (up[1] * normal[2] - up[2] * normal[1], up[2] * normal[0] - up[0] * normal[2],
             up[0] * normal[1] - up[1] * normal[0])
    def at(s, t):
        return tuple(centre[i] + right[i] * s + up[i] * t for i in range(3))
    return [at(-width / 2, 0), at(width / 2, 0), at(width / 2, height), at(-width / 2, height)]


def portal_line(name, points, kind="quad"):
    attributes = " ".join('x%d="%g" y%d="%g" z%d="%g"' % (i, p[0], i, p[1], i, p[2]) for i, p in enumerate(points))
    return '      <portal name="%s" type="%s" %s/>' % (name, kind, attributes)


MATERIALS = {"Building/Wall": (0.75, 0.7, 0.6), "Building/Floor": (0.45, 0.35, 0.25), "Building/Crate": (0.6, 0.4, 0.2),
             "Building/Beam": (0.8, 0.2, 0.2),
             # What the sample media's block names for its own parts, before a level gives it one.
             "Level/Stone": (0.6, 0.6, 0.6), "Level/Wood": (0.5, 0.35, 0.2), "Level/Brass": (0.7, 0.6, 0.3)}


def block(w, name, position, scale, mesh="Block.mesh", material="Building/Wall"):
    w.add('      <node name="%s"><position x="%g" y="%g" z="%g"/><scale x="%g" y="%g" z="%g"/>'
          '<entity name="%s" meshFile="%s" materialFile="%s" castShadows="false"/></node>'
          % ((name,) + position + scale + (name, mesh, material)))


def wall(w, room, side, door):
    """One side's wall, with a door gap when the side has a door."""
    half = ROOM / 2 + WALL / 2
    along_x = side in ("north", "south")
    offset = {"north": (0, -half), "south": (0, half), "east": (half, 0), "west": (-half, 0)}[side]
    def piece(suffix, centre_along, length, y, height):
        x, z = offset
        if along_x:
            position, scale = (centre_along, y, z), (length, height, WALL)
        else:
            position, scale = (x, y, centre_along), (WALL, height, length)
        block(w, "%s_Wall%s%s" % (room, side.capitalize(), suffix), position, scale)
    if not door:
        piece("", 0, ROOM + 2 * WALL, HEIGHT / 2, HEIGHT)
        return
    side_length = (ROOM + 2 * WALL - DOOR_W) / 2
    piece("A", -(DOOR_W + side_length) / 2, side_length, HEIGHT / 2, HEIGHT)
    piece("B", (DOOR_W + side_length) / 2, side_length, HEIGHT / 2, HEIGHT)
    piece("Lintel", 0, DOOR_W, (HEIGHT + DOOR_H) / 2, HEIGHT - DOOR_H)


SIDES = {"north": (0, -1), "south": (0, 1), "east": (1, 0), "west": (-1, 0)}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out")
    parser.add_argument("--rooms", type=int, default=4)
    parser.add_argument("--fault", action="append", default=[],
                        choices=["unmatched", "facing", "nonplanar", "order", "zero", "type", "island", "sprawl",
                                 "overlap", "outside"])
    parser.add_argument("--heavy", type=int, default=-1, help="a room full of crates (its index)")
    parser.add_argument("--camera", action="store_true",
                        help="a camera Eye in the first room, looking at its east door (its south door in one column), "
                             "and a camera Far in the last room, looking back towards the first")
    options = parser.parse_args()
    if not 1 <= options.rooms <= 100000:
        sys.exit("--rooms takes 1 to 100000")

    columns = max(1, math.ceil(math.sqrt(options.rooms)))
    rooms = [(i // columns, i % columns) for i in range(options.rooms)]
    index = {cell: i for i, cell in enumerate(rooms)}
    faults = set(options.fault)
    said = []
    w = Writer()
    w.add('<?xml version="1.0" encoding="UTF-8"?>')
    w.add('<scene formatVersion="1.0" upAxis="y">')
    w.add('  <environment><colourAmbient r="0.3" g="0.3" b="0.3"/><colourBackground r="0.1" g="0.1" b="0.2"/></environment>')
    w.add('  <nodes>')

    def room(name, cell, neighbours, first, door_fault):
        """A room; `door_fault` is (side, kind) for the door whose portal is written wrong."""
        row, column = cell
        w.add('    <node name="%s">' % name)
        w.add('      <position x="%g" y="0" z="%g"/>' % (column * SPACING, row * SPACING))
        for side, (dx, dz) in SIDES.items():
            other = neighbours(side)
            if other is None:
                continue
            # Into this room: against the side's outward direction.
            normal = (-dx, 0.0, -dz)
            centre = (dx * (ROOM / 2 + WALL), 0.0, dz * (ROOM / 2 + WALL))
            points = corners(centre, normal, DOOR_W, DOOR_H)
            kind = door_fault[1] if door_fault and side == door_fault[0] else None
            if kind == "unmatched-partner":
                continue
            if kind == "facing":
                points = [points[0], points[3], points[2], points[1]]
            elif kind == "nonplanar":
                points[2] = tuple(points[2][i] + normal[i] * 0.5 for i in range(3))
            elif kind == "order":
                points[1], points[2] = points[2], points[1]
            elif kind == "zero":
                points = [points[0]] * 4
            line = w.add(portal_line("To%s" % other, points))
            if kind and kind != "unmatched-partner":
                said.append((kind, line))
        if first and "type" in faults:
            said.append(("type", w.add(portal_line("Vent", [(-1, 3, -1), (1, 3.5, 1)], "AAB"))))
        w.add('      <node name="%s_Lamp"><position x="0" y="%g" z="0"/><light name="%s_Lamp" type="point">'
              '<lightAttenuation range="12" constant="1" linear="0.1" quadric="0.02"/></light></node>'
              % (name, HEIGHT - 0.5, name))
        block(w, name + "_Floor", (0, -WALL / 2, 0), (ROOM + 2 * WALL, WALL, ROOM + 2 * WALL), material="Building/Floor")
        block(w, name + "_Ceiling", (0, HEIGHT + WALL / 2, 0), (ROOM + 2 * WALL, WALL, ROOM + 2 * WALL))
        for side in SIDES:
            wall(w, name, side, neighbours(side) is not None)
        block(w, name + "_Crate", (2, 0.5, 2), (1, 1, 1), "Crate.mesh", "Building/Crate")
        if first and options.camera:
            # A camera looks along its -Z: a quarter turn about Y faces east, a half turn south.
            east = neighbours("east") is not None
            w.add('      <node name="EyeNode"><position x="%g" y="1.5" z="%g"/><rotation qw="%g" qx="0" qy="%g" qz="0"/>'
                  '<camera name="Eye" fov="1.2"><clipping near="0.1" far="500"/></camera></node>'
                  % ((-3, 0, 0.7071068, -0.7071068) if east else (0, -3, 0, 1)))
        if options.camera and name == "Room%d" % (options.rooms - 1) and options.rooms > 1:
            # The last room's camera looks back at the first room, north-west: an eighth of a turn about Y.
            w.add('      <node name="FarNode"><position x="3" y="1.5" z="3"/><rotation qw="0.9238795" qx="0" qy="0.3826834" qz="0"/>'
                  '<camera name="Far" fov="1.2"><clipping near="0.1" far="500"/></camera></node>')
        if first and "sprawl" in faults:
            line = w.add('      <node name="%s_Beam"><position x="%g" y="3" z="0"/><scale x="%g" y="0.3" z="0.3"/>'
                         '<entity name="%s_Beam" meshFile="Block.mesh" materialFile="Building/Beam"/></node>' % (name, ROOM / 2, ROOM, name))
            said.append(("sprawl", line))
        if heavy == name:
            for k in range(64):
                block(w, "%s_Load%d" % (name, k), (-4 + (k % 8) * 1.1, 0.5 + (k // 32), -4 + (k // 8 % 4) * 1.1),
                      (1, 1, 1), "Crate.mesh", "Building/Crate")
        w.add('    </node>')

    heavy = "Room%d" % options.heavy
    for i, cell in enumerate(rooms):
        def neighbours(side, cell=cell):
            dx, dz = SIDES[side]
            other = index.get((cell[0] + dz, cell[1] + dx))
            return None if other is None else "Room%d" % other
        door_fault = None
        if i == 0:
            # The first room's first door carries the portal faults.
            for kind in ("facing", "nonplanar", "order", "zero"):
                if kind in faults:
                    door_fault = ("east" if neighbours("east") else "south", kind)
        elif "facing" in faults and neighbours("west" if columns > 1 else "north") == "Room0":
            # Both portals of that door face out of their rooms: they still meet, but neither is looked through.
            door_fault = ("west" if columns > 1 else "north", "facing")
        elif "unmatched" in faults and neighbours("west" if columns > 1 else "north") == "Room0":
            # The second room leaves out its portal of the door to the first.
            door_fault = ("west" if columns > 1 else "north", "unmatched-partner")
            said.append(("unmatched", 0))
        room("Room%d" % i, cell, neighbours, i == 0, door_fault)

    if "island" in faults:
        far = (1000.0, 1000.0)
        for k, (name, other, side) in enumerate((("Island0", "Island1", "east"), ("Island1", "Island0", "west"))):
            line = w.add('    <node name="%s">' % name)
            if k == 0:
                said.append(("island", line))
            w.add('      <position x="%g" y="0" z="%g"/>' % (far[0] + k * SPACING, far[1]))
            dx, dz = SIDES[side]
            points = corners((dx * (ROOM / 2 + WALL), 0.0, 0.0), (-dx, 0.0, 0.0), DOOR_W, DOOR_H)
            w.add(portal_line("To" + other, points))
            block(w, name + "_Floor", (0, -WALL / 2, 0), (ROOM + 2 * WALL, WALL, ROOM + 2 * WALL),
                  material="Building/Floor")
            w.add('    </node>')

    if "overlap" in faults:
        said.append(("overlap", w.add('    <node name="Annex"><position x="%g" y="0" z="0"/>' % (ROOM / 2))))
        w.add(portal_line("Vent", [(-1, 3, -1), (1, 3.5, 1)], "AAB"))
        block(w, "Annex_Floor", (0, -WALL / 2, 0), (ROOM, WALL, ROOM), material="Building/Floor")
        w.add('    </node>')
    if "outside" in faults:
        said.append(("outside", w.add('    <node name="Stray"><position x="-20" y="0.5" z="-20"/>'
                                      '<entity name="Stray" meshFile="Crate.mesh" materialFile="Building/Crate"/></node>')))
    w.add('  </nodes>')
    w.add('</scene>')
    with open(options.out, "w") as out:
        out.write("\n".join(w.lines) + "\n")
    # Its materials beside it, plain colours lit by the rooms' lamps.
    with open(os.path.join(os.path.dirname(os.path.abspath(options.out)), "building.material"), "w") as out:
        for name, (r, g, b) in MATERIALS.items():
            out.write("material %s\n{\n technique\n {\n  pass\n  {\n   ambient %g %g %g\n   diffuse %g %g %g\n  }\n }\n}\n"
                      % (name, r, g, b, r, g, b))
    # The unmatched door's remaining portal: the first room's, towards the second room.
    for kind, line in said:
        if kind == "unmatched":
            line = next(n for n, text in enumerate(w.lines, 1) if 'portal name="ToRoom1"' in text)
        print("fault %s %d" % (kind, line))


if __name__ == "__main__":
    main()
