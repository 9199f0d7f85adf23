// One node reader for scenes and model files: what differs between them is the rules at the call.
#include "Tarnel/Read/TarnelNodes.h"
#include "support/Engine.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel;

namespace
{
    /// Each bone attachment's object name and x offset, "-" for an empty tag point.
    std::vector<String> BoneObjects(const Types::ObjectParameters& object)
    {
        std::vector<String> placed;
        for (const Types::BoneAttachment& attachment : static_cast<const Types::EntityParameters&>(object).boneAttachments)
            placed.push_back((attachment.object ? attachment.object->name : "-") + "@" +
                             StringConverter::toString(attachment.attachPosition.x));
        return placed;
    }
}

TEST(NodeReader, ScenesAndModelsDifferOnlyByTheirRules)
{
    TestEngine::Root();
    TiXmlDocument document;
    document.SetTabSize(4); // rows are counted
    document.Parse("<node name=\"N\">\n<position x=\"1\"/><animations><animation name=\"A\" length=\"2\"/></animations>\n"
                   "<lookTarget nodeName=\"T\"/><portal name=\"P\" type=\"quad\" x1=\"1\"/><modelInstance name=\"M\"/>\n"
                   "<light/>\n<entity name=\"E\" meshFile=\"e.mesh\"><boneAttachments><boneAttachment bone=\"b\">"
                   "<light name=\"L1\"/><position x=\"3\"/><light name=\"L2\"/></boneAttachment>"
                   "<anything bone=\"c\"/></boneAttachments></entity>\n"
                   "<animations><animation name=\"B\"/></animations><position x=\"5\"/></node>");
    const struct
    {
        const char* file;
        const Objects::Rules& rules;
        size_t childNodes, lookTargets, portals, parts;
        String unnamedLight;
        std::vector<String> boneObjects, animations;
    } rows[] = {
        {"scene", Objects::Rules::SCENE, 1, 1, 1, 8, "N", {"L1@0", "L2@3", "-@0"}, {"A", "B"}},
        {"model", Objects::Rules::MODEL, 0, 0, 0, 0, "", {"L2@3"}, {"B"}},
    };
    for (const auto& row : rows)
    {
        const NodeDescription node = NodeReader(row.rules).ReadNode(document.RootElement());
        EXPECT_EQ("N", node.name) << row.file;
        EXPECT_EQ(Vector3(5, 0, 0), node.position) << row.file;
        EXPECT_EQ(row.childNodes, node.childNodes.size()) << row.file;
        EXPECT_EQ(row.lookTargets, node.lookTargets.size()) << row.file;
        EXPECT_EQ(row.portals, node.portals.size()) << row.file;
        EXPECT_EQ(row.parts, node.order.size()) << row.file;
        ASSERT_EQ(2u, node.objects.size()) << row.file;
        EXPECT_EQ(std::make_pair(row.unnamedLight, 4), std::make_pair(node.objects[0]->name, node.objects[0]->line))
            << row.file;
        EXPECT_EQ(row.boneObjects, BoneObjects(*node.objects[1])) << row.file;
        std::vector<String> animations;
        for (const Types::NodeAnimationParameters& animation : node.animations)
            animations.push_back(animation.name);
        EXPECT_EQ(row.animations, animations) << row.file;
        EXPECT_TRUE(node.animated) << row.file;
    }
}

TEST(NodeReader, AScenesPortalTakesTheTransformsBeforeItInDocumentOrder)
{
    TestEngine::Root();
    TiXmlDocument document;
    document.Parse("<node><scale x=\"2\" y=\"2\" z=\"2\"/><portal type=\"sphere\"/><scale x=\"3\" y=\"3\" z=\"3\"/>"
                   "<animation name=\"not in an animations element\"/></node>");
    const NodeDescription node = NodeReader(Objects::Rules::SCENE).ReadNode(document.RootElement());
    std::vector<int> kinds;
    for (const NodeDescription::Part& part : node.order)
        kinds.push_back(part.kind);
    EXPECT_EQ((std::vector<int>{NodeDescription::Part::TRANSFORM, NodeDescription::Part::PORTAL,
                                NodeDescription::Part::TRANSFORM}),
              kinds);
    EXPECT_EQ(Vector3(3, 3, 3), node.scale);
    EXPECT_FALSE(node.animated);
    EXPECT_FALSE(node.orientation.has_value());
}
