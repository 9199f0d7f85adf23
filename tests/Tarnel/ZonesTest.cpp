#include "support/SceneTest.h"

#include "Tarnel/Tarnel.h"

#include <OgreRoot.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>

using namespace Ogre;

namespace
{
    /// A room of side 10 at x: a floor a little below its walls, a crate, a door on its east or west side.
    std::string Room(const char* name, float x, const char* door, const std::string& extra = "")
    {
        // Each room's portal faces into its own room: its corners go round the other way on the other side.
        const std::string corners = std::string(door) == "east"
                                        ? "x0='5' y0='0' z0='1' x1='5' y1='0' z1='-1' x2='5' y2='2' z2='-1' x3='5' y3='2' z3='1'"
                                        : "x0='-5' y0='0' z0='-1' x1='-5' y1='0' z1='1' x2='-5' y2='2' z2='1' x3='-5' y3='2' z3='-1'";
        return "<node name='" + std::string(name) + "'><position x='" + std::to_string(x) + "'/>" +
               "<portal name='Door' type='quad' " + corners + "/>" +
               "<node><position y='-0.1'/><scale x='10' y='0.2' z='10'/><entity name='" + name + "Floor' meshFile='box'/></node>" +
               "<node><position x='-4.9' y='2'/><scale x='0.2' y='4' z='10'/><entity name='" + name + "West' meshFile='box'/></node>" +
               "<node><position x='4.9' y='2'/><scale x='0.2' y='4' z='10'/><entity name='" + name + "East' meshFile='box'/></node>" +
               "<node><position y='2' z='-4.9'/><scale x='10' y='4' z='0.2'/><entity name='" + name + "North' meshFile='box'/></node>" +
               "<node><position y='2' z='4.9'/><scale x='10' y='4' z='0.2'/><entity name='" + name + "South' meshFile='box'/></node>" +
               "<node><position x='2' y='0.5' z='2'/><entity name='" + name + "Crate' meshFile='box'/></node>" + extra +
               "</node>";
    }

    const std::string BEAM =
        "<node><position x='5' y='3'/><scale x='10' y='0.3' z='0.3'/><entity name='Beam' meshFile='box'/></node>";

    Tarnel::LevelDescription Described(const std::string& nodes)
    {
        TiXmlDocument document;
        document.Parse(("<scene><nodes>" + nodes + "</nodes></scene>").c_str());
        return Tarnel::LevelReader().Read(document.RootElement());
    }

    // Every mesh is a unit box, but "none": the check needs the meshes' bounds, not the meshes.
    const Tarnel::MeshLookup UNIT_BOXES = [](const String& mesh, Tarnel::MeshFacts& facts) {
        facts.bounds = AxisAlignedBox(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f);
        facts.triangles = 12;
        return mesh != "none";
    };

    std::vector<std::string> ExtentFaults(const std::string& nodes)
    {
        const Tarnel::LevelDescription level = Described(nodes);
        std::vector<std::string> texts;
        for (const Tarnel::ZoneFinding& finding : Tarnel::FindZoneExtentFaults(Tarnel::ZoneGraph::Of(level, UNIT_BOXES)))
            texts.push_back(finding.text.substr(0, finding.text.find(':')));
        return texts;
    }
}

// The readers log through the engine, which the fixture starts.
using ZoneExtents = SceneTest;

TEST_F(ZoneExtents, WhatReachesOutOverlapsOrLiesOutside)
{
    const std::string hall = "<node><position x='5' y='2'/><scale x='20' y='4' z='10'/><entity name='Hall' meshFile='box'/></node>";
    const struct
    {
        const char* what;
        std::string nodes;
        std::vector<std::string> faults;
    } rows[] = {
        {"two rooms side by side, floors below their walls", Room("A", 0, "east") + Room("B", 10, "west"), {}},
        {"a beam through the wall into the next room", Room("A", 0, "east", BEAM) + Room("B", 10, "west"),
         {"entity \"Beam\" of zone \"A\" reaches 5 out of its zone, into zone \"B\""}},
        // A room that is one mesh, with a crate in it: the mesh is the room, it reaches into no other.
        {"a room of one mesh", Room("A", 0, "east") +
                                   "<node name='Big'><position x='20'/><portal name='Door' type='quad' x0='-5' y0='0' z0='-1' "
                                   "x1='-5' y1='0' z1='1' x2='-5' y2='2' z2='1' x3='-5' y3='2' z3='-1'/>"
                                   "<node><position y='2'/><scale x='10' y='4' z='10'/><entity name='Shell' meshFile='box'/></node>"
                                   "<node><position x='1' y='0.5'/><entity name='Chair' meshFile='box'/></node></node>",
         {}},
        {"a zone half inside another", Room("A", 0, "east") + Room("B", 5, "west"),
         {"zone \"B\" overlaps zone \"A\" (line 1) by 5 x 4.2 x 10"}},
        {"an entity outside every zone", Room("A", 0, "east") + Room("B", 10, "west") +
                                             "<node><position x='40'/><entity name='Stray' meshFile='box'/></node>" + hall,
         {"entity \"Stray\" and 1 more lie outside every zone"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.faults, ExtentFaults(row.nodes)) << row.what;
}

// The scene's own load frees each node's description once built, before the meshes are known.
TEST_F(ZoneExtents, ALoadOfItsOwnMeasuresTheZonesItFreed)
{
    std::string nodes = Room("A", 0, "east", BEAM) + Room("B", 10, "west");
    for (size_t at = nodes.find("'box'"); at != std::string::npos; at = nodes.find("'box'", at))
        nodes.replace(at, 5, "'TwoPart.mesh'");
    LogRecorder log;
    LoadNodes(nodes);
    TestEngine::Root().renderOneFrame();
    const auto said = std::find_if(log.messages.begin(), log.messages.end(), [](const String& message) {
        return message.find("entity \"Beam\" of zone \"A\" reaches 5 out of its zone, into zone \"B\"") != String::npos;
    });
    ASSERT_NE(log.messages.end(), said);
    EXPECT_NE(String::npos, said->find("ALoadOfItsOwnMeasuresTheZonesItFreed.scene:1)")) << *said;
}

// Placed before the meshes are read and measured after, a graph is the one measured at once.
TEST_F(ZoneExtents, PlacedThenMeasuredIsMeasuredAtOnce)
{
    const Tarnel::LevelDescription level =
        Described(Room("A", 0, "east", BEAM) + Room("B", 10, "west") +
                  "<node><position x='40'/><entity name='Unknown' meshFile='none'/></node>");
    const Tarnel::ZoneGraph atOnce = Tarnel::ZoneGraph::Of(level, UNIT_BOXES);
    Tarnel::ZoneGraph later = Tarnel::ZoneGraph::Placed(level);
    EXPECT_FALSE(later.measured);
    EXPECT_EQ(14u, later.objects.size()); // the unknown mesh's entity too
    later.Measure(UNIT_BOXES);
    later.Measure(UNIT_BOXES); // once only: the zones' triangles are not counted twice
    ASSERT_EQ(atOnce.objects.size(), later.objects.size());
    EXPECT_EQ(13u, later.objects.size());
    for (size_t i = 0; i < later.objects.size(); ++i)
    {
        EXPECT_EQ(atOnce.objects[i].name, later.objects[i].name);
        EXPECT_TRUE(Near(atOnce.objects[i].box.getMinimum(), later.objects[i].box.getMinimum()));
        EXPECT_TRUE(Near(atOnce.objects[i].box.getMaximum(), later.objects[i].box.getMaximum()));
    }
    ASSERT_EQ(2u, later.zones.size());
    EXPECT_EQ(7u * 12u, later.zones[0].triangles); // six boxes and the beam
    EXPECT_EQ(atOnce.zones[1].triangles, later.zones[1].triangles);
    EXPECT_TRUE(Near(Vector3(10, 4, 5), later.zones[0].box.getMaximum())); // the beam reaches x 10
}
