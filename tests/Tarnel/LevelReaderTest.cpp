// A level read into its one description: one node reader for scenes and model files, their
// differences the rules at the call; every section in the order the load takes it.
#include "Tarnel/Check/TarnelLevelReferences.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelNodes.h"
#include "support/Engine.h"

#include <gtest/gtest.h>
#include <algorithm>
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

TEST(LevelReader, TheWholeLevelIsDescribedInTheOrderTheLoadTakesIt)
{
    TestEngine::Root();
    TiXmlDocument document;
    document.SetTabSize(4); // rows are counted
    document.Parse("<scene upAxis=\"z\">\n<staticGeometries><staticGeometry name=\"S\"><entities>"
                   "<entity meshFile=\"a.mesh\"/><entity/></entities></staticGeometry></staticGeometries>\n"
                   "<terrain/><nodes><node name=\"N\"/></nodes><light name=\"L\"/><queryFlags/><externals/>\n"
                   "<environment><skyBox material=\"Sky\"/><shadows><shadowCameraSetup type=\"planeOptimal\"/></shadows>"
                   "</environment>\n<renderTextures><renderTexture name=\"R\"/></renderTextures>\n"
                   "<resourceLocations><resourceLocation name=\"m\" type=\"Zip\"/></resourceLocations></scene>");
    const LevelDescription level = LevelReader().Read(document.RootElement());
    std::vector<int> kinds;
    for (const LevelSection& section : level.sections)
        kinds.push_back(section.kind);
    EXPECT_EQ((std::vector<int>{LevelSection::TERRAIN, LevelSection::NODES, LevelSection::OBJECT,
                                LevelSection::QUERY_FLAGS, LevelSection::EXTERNALS}),
              kinds);
    ASSERT_EQ(1u, level.staticGeometries.size());
    EXPECT_EQ(1u, level.staticGeometries[0].entities.size()) << "an entity without a mesh places nothing";
    ASSERT_TRUE(level.environment.has_value());
    EXPECT_EQ(1u, level.environment->skies.size());
    ASSERT_EQ(1u, level.environment->shadows.size());
    EXPECT_EQ(Plane(Vector3::UNIT_Z, 0), level.environment->shadows[0].optimalPlane) << "across the level's up axis";
    ASSERT_EQ(1u, level.renderTextures.size());
    EXPECT_EQ(std::make_pair(PF_UNKNOWN, false), std::make_pair(level.renderTextures[0].pixelFormat,
                                                              level.renderTextures[0].backgroundColour.has_value()))
        << "the windows and the level's background decide when the texture is made";
    ASSERT_TRUE(level.resourceLocations.has_value());
    EXPECT_EQ("m", level.resourceLocations->at(0).name) << "as written: the load joins the level's folder";
}

TEST(LevelReader, AReaderThatRefusesLeavesWhereItWas)
{
    TestEngine::Root();
    const struct
    {
        const char* level;
        const char* reading; ///< the element's name and row
    } rows[] = {
        {"<scene>\n<environment>\n<fog/>\n<shadows technique=\"nope\"/></environment></scene>", "shadows 4"},
        {"<scene>\n<nodes>\n<node name=\"N\">\n<light type=\"nope\"/></node></nodes></scene>", "light 4"},
        {"<scene>\n<renderTextures>\n<renderTexture width=\"0\"/></renderTextures></scene>", "renderTexture 3"},
        {"<scene>\n<nodes>\n<node name=\"N\" visibility=\"visible\">\n<scale x=\"1\"/><animations>\n"
         "<animation name=\"A\" interpolationMode=\"nope\"/></animations></node></nodes></scene>",
         "animation 5"},
    };
    for (const auto& row : rows)
    {
        TiXmlDocument document;
        document.SetTabSize(4);
        document.Parse(row.level);
        LevelReader reader;
        EXPECT_THROW(reader.Read(document.RootElement()), Exception) << row.level;
        ASSERT_NE(nullptr, reader.Reading()) << row.level;
        EXPECT_EQ(row.reading, reader.Reading()->ValueStr() + " " + std::to_string(reader.Reading()->Row()));
    }
}

TEST(LevelReader, ItsDescriptionNamesTheMediaTheFileNames)
{
    // The walk of the missing media over the description is the walk over the file, as it was.
    TestEngine::Root();
    TiXmlDocument document;
    document.SetTabSize(4); // rows are counted
    document.Parse(
        "<scene>\n<environment><skyDome material=\"Gone/Sky\"/></environment>\n"
        "<renderTextures><renderTexture name=\"RT\"><materials><material name=\"Gone/Mirror\"/></materials>"
        "</renderTexture></renderTextures>\n<nodes>\n<node name=\"A\" modelFile=\"gone.model\">\n"
        "<entity meshFile=\"gone.mesh\" materialFile=\"Gone/Paint\"><subentities><subentity index=\"0\" "
        "materialName=\"Gone/Sub\"/></subentities><boneAttachments><boneAttachment bone=\"b\">"
        "<particleSystem name=\"P\" file=\"Gone/Sparks\"/></boneAttachment></boneAttachments></entity>\n"
        "<node><plane name=\"Floor\" material=\"Gone/Floor\"><normal y=\"1\"/></plane>"
        "<billboardSet name=\"B\" material=\"Gone/Halo\"/></node></node>\n</nodes>\n"
        "<staticGeometries><staticGeometry name=\"S\"><entities>\n<entity meshFile=\"gone2.mesh\"><subentities>"
        "<subentity index=\"0\" materialName=\"Gone/Rock\"/></subentities></entity></entities></staticGeometry>"
        "</staticGeometries>\n</scene>");
    const LevelDescription level = LevelReader().Read(document.RootElement());
    auto lines = [](const std::vector<MissingResource>& missing) {
        std::vector<String> said;
        for (const MissingResource& resource : missing)
        {
            String users;
            for (const String& user : resource.usedBy)
                users += " " + user;
            said.push_back(resource.kind + " " + resource.name + " at " + std::to_string(resource.row) + " " +
                           resource.firstUser + " by" + users);
        }
        std::sort(said.begin(), said.end());
        return said;
    };
    const std::vector<String> fromFile = lines(FindMissingResources(document, false));
    EXPECT_EQ(11u, fromFile.size());
    EXPECT_EQ(fromFile, lines(FindMissingResources(document, false, &level)));
}
