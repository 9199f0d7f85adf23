#ifndef TARNEL_BENCH_ROOMS_LEVEL_H
#define TARNEL_BENCH_ROOMS_LEVEL_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

/** The text of a level of about `nodes` nodes for the benchmarks: rooms in a row of rows, each
    a node with crates on nodes of their own ("Room_3_Prop_7", entity "Crate_3_7"), as exporters
    write them; with `floor`, one floor under them all. */
inline std::string RoomsLevel(size_t nodes, bool floor = false)
{
    const int NODES_PER_ROOM = 20; // the room's node and the props on it
    std::string text = "<scene formatVersion='1.0'><environment><colourAmbient r='0.5' g='0.5' b='0.5'/>"
                       "</environment><nodes>\n";
    const size_t rooms = std::max<size_t>(1, nodes / NODES_PER_ROOM);
    const int grid = int(std::ceil(std::sqrt(double(rooms))));
    char line[256];
    for (size_t room = 0; room < rooms; ++room)
    {
        std::snprintf(line, sizeof(line), "<node name='Room_%zu'><position x='%d' z='%d'/>\n", room,
                      int(room) % grid * 12, int(room) / grid * 12);
        text += line;
        for (int prop = 1; prop < NODES_PER_ROOM; ++prop)
        {
            std::snprintf(line, sizeof(line),
                          "<node name='Room_%zu_Prop_%d'><position x='%d' y='0.5' z='%d'/>"
                          "<entity name='Crate_%zu_%d' meshFile='Crate.mesh'/></node>\n",
                          room, prop, prop % 5 * 2 - 4, prop / 5 * 2 - 4, room, prop);
            text += line;
        }
        text += "</node>\n";
    }
    if (floor)
    {
        std::snprintf(line, sizeof(line),
                      "<node name='Floor'><position x='%d' y='-0.5' z='%d'/><scale x='%d' y='1' z='%d'/>"
                      "<entity name='Floor' meshFile='Block.mesh'/></node>\n",
                      grid * 6 - 6, grid * 6 - 6, grid * 12, grid * 12);
        text += line;
    }
    return text + "</nodes></scene>\n";
}

#endif
