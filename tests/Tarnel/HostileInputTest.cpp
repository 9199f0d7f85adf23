// Levels no exporter should write: they end the load with a clear error, never a crash.
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Scene/TarnelLevelViews.h"
#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreLight.h>
#include <OgrePCZSceneManager.h>

using namespace Ogre;

namespace
{
    std::string Nested(int depth, const std::string& open, const std::string& close)
    {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += open;
        for (int i = 0; i < depth; ++i)
            text += close;
        return text;
    }
}

TEST(ElementDepth, CountsOnlyWhatNests)
{
    const std::pair<const char*, bool> cases[] = {
        {"<a><b><c/></b></a>", false},
        {"<a><b><c><d/></c></b></a>", false},
        {"<a><b><c><d></d></c></b></a>", true},
        {"<a/><a/><a/><a/><a/>", false},
        {"<a><b></b><b></b><b><c></c></b></a>", false},
        {"<a x='>'><b y=\"/>\"><c><d></d></c></b></a>", true},
        {"<a><!-- <b><c><d> --><?pi <b><c><d> ?><![CDATA[<b><c><d>]]></a>", false},
        {"<a><b><c><!DOCTYPE x><d>", true},
        {"<a><b><c", false},
        {"<a x=\"'\"><b y='\"'><c><d>", true}, // a quote of the other kind inside a value
        {"<a><b><c><d x='>", false},               // a value that never ends
    };
    for (const auto& [text, deeper] : cases)
        EXPECT_EQ(deeper, Tarnel::TarnelUtilities::NestsDeeperThan(text, 3)) << text;
}

using HostileLevels = SceneTest;

TEST_F(HostileLevels, DeepNestingIsRefusedBeforeParsing)
{
    WriteFile("deep.model", Nested(5000, "<node>", "</node>"));
    // Deep enough to overflow the stack of a recursive parser.
    std::string path = WriteFile("deep.scene", "<scene><nodes>" + Nested(100000, "<node>", "</node>") + "</nodes></scene>");
    LogRecorder log;
    EXPECT_SCENE_ERROR(LoadFile(path), InvalidStateException, "Unable to load Tarnel scene file: " + path,
                       "TarnelScene::Load");
    EXPECT_EQ(1, log.Count(path + " nests elements more than 1000 deep; it is not read"));
    // At the limit itself it loads.
    LoadFresh("<scene><nodes>" + Nested(Tarnel::Limits::MAX_ELEMENT_DEPTH - 2, "<node>", "</node>") + "</nodes></scene>");
    // So are model files.
    EXPECT_UTILITIES_ERROR(LoadFresh("<scene><nodes><node modelFile='deep.model'/></nodes></scene>"),
                           InvalidStateException, "There was an error with the XML file: deep.model",
                           "TarnelUtilities::LoadXmlDocument");
}

TEST_F(HostileLevels, NotANumberReadsAsZero)
{
    // Found by fuzzing: the engine aborts on a scale that is not a number.
    LoadText(NodesScene("<node name='N'><scale x='nan' y='inf' z='-Infinity'/><position x='NaN(1)' y='+.5'/></node>"));
    EXPECT_EQ(Vector3(1e-6f, 1e-6f, 1e-6f), scene.GetSceneNode("N")->getScale()) << "0, then next to nothing";
    EXPECT_EQ(Vector3(0, 0.5f, 0), scene.GetSceneNode("N")->getPosition());
}

TEST_F(HostileLevels, ParseErrorsAreLoggedWithTheirPlace)
{
    std::string path = WriteFile("broken.scene", "<scene>\r\n<nodes>\n  <node name='A'>\n</nodes></scene>");
    LogRecorder log;
    EXPECT_SCENE_ERROR(LoadFile(path), InvalidStateException, "Unable to load Tarnel scene file: " + path,
                       "TarnelScene::Load");
    // The parser's own words and place; a Windows line end counts as one.
    EXPECT_EQ(1, log.Count(path + " is not well-formed XML: Error reading end tag. (row 4, column 7)"));
}

// Each ends the load with an error that names what is wrong, and where it was found.
TEST_F(HostileLevels, NamedErrors)
{
    WriteFile("a.model", "<model><node name='B' modelFile='b.model'/></model>");
    WriteFile("b.model", "<model><node name='A' modelFile='a.model'/></model>");
    const auto bones = [](const char* object) {
        return "<entity meshFile='Walker.mesh'><boneAttachments><boneAttachment bone='Head'>" + std::string(object) +
               "</boneAttachment></boneAttachments></entity>";
    };
    const std::string twoOnBones = "<node name='A'>" + bones("<entity meshFile='TwoPart.mesh'/>") + "</node><node "
                                   "name='B'>" + bones("<entity meshFile='TwoPart.mesh'/>") + "</node>";
    const struct
    {
        std::string text;
        const std::type_info& kind;
        const char *description, *source, *file;
    } cases[] = {
        // Words the format does not know.
        {"<scene upAxis='x'/>", typeid(InvalidParametersException), "Invalid up axis specified: x",
         "TarnelUtilities::ParseUpAxis", "Utilities"},
        {NodesScene("<node name='N'><lookTarget nodeName='N' relativeTo='screen'/></node>"),
         typeid(InvalidParametersException), "Invalid transform space specified: screen",
         "TarnelUtilities::ParseTransformSpace", "Utilities"},
        {NodesScene("<node name='N'><entity meshFile='TwoPart.mesh' renderQueue='front'/></node>"),
         typeid(InvalidParametersException), "Invalid render queue specified: front", "TarnelUtilities::ParseRenderQueue",
         "Utilities"},
        {"<scene><externals><item><boundingVolume type='cone'/></item></externals></scene>",
         typeid(InvalidParametersException), "Invalid bounding volume type specified: cone",
         "TarnelUtilities::ParseBoundingVolumeType", "Utilities"},
        {"<scene><environment><shadows technique='stencilAdditive'><shadowCameraSetup type='Sideways'/></shadows>"
         "</environment></scene>",
         typeid(InvalidParametersException), "Invalid shadow camera setup specified: Sideways",
         "TarnelScene::ParseShadowCameraSetup", "Scene"},
        // Names given twice, or not found.
        {NodesScene("<node name='Twin'/><node name='Other'><node name='Twin'/></node>"), typeid(ItemIdentityException),
         "A scene node with the name Twin already exists", "TarnelScene::LoadNode", "Scene"},
        {NodesScene("<node name='Twice'><entity meshFile='TwoPart.mesh'/><entity meshFile='TwoPart.mesh'/></node>"),
         typeid(ItemIdentityException), "Duplicate object name: Twice", "TarnelScene::GetNewObjectName", "Scene"},
        {NodesScene("<node name='A'><entity name='Same' meshFile='TwoPart.mesh'/><light name='Same'/></node>"),
         typeid(ItemIdentityException), "Duplicate object name: Same", "TarnelScene::GetNewObjectName", "Scene"},
        // Unnamed objects on bones share the empty name.
        {NodesScene(twoOnBones), typeid(ItemIdentityException), "Duplicate object name: ",
         "TarnelScene::GetNewObjectName", "Scene"},
        {"<scene><instancedGeometries><instancedGeometry name='Twin'/><instancedGeometry name='Twin'/>"
         "</instancedGeometries></scene>",
         typeid(ItemIdentityException), "InstancedGeometry with name 'Twin' already exists!",
         "TarnelScene::LoadInstancedGeometry", "Scene"},
        {"<scene><environment><shadows technique='textureAdditive'><shadowTextures shadowCasterMaterial='No/Such'/>"
         "</shadows></environment></scene>",
         typeid(ItemIdentityException), "Cannot locate material called 'No/Such'",
         "SceneManager::setShadowTextureCasterMaterial", "Scene"},
        // A model that instances itself, here through another, would never end.
        {NodesScene("<node name='Loop' modelFile='a.model'/>"), typeid(InvalidStateException),
         "A model file instances itself: a.model", "TarnelModel::CreateNode", "Model"},
        // Sizes that would exhaust the memory or overflow the engine's counters.
        {NodesScene("<node name='N'><billboardSet name='B' poolSize='4294967295'/></node>"),
         typeid(InvalidParametersException), "The poolSize of billboard set B must be from 0 to 16384, not 4294967295",
         "Objects::ReadBillboardSetAttributes", "Utilities"},
        {NodesScene("<node name='N'><plane name='P' xSegments='-1'/></node>"), typeid(InvalidParametersException),
         "The xSegments of plane P must be from 1 to 65535, not -1", "Objects::ReadPlaneAttributes", "Utilities"},
        {NodesScene("<node name='N'><plane name='P' numTexCoordSets='2147483647'/></node>"),
         typeid(InvalidParametersException), "The numTexCoordSets of plane P must be from 0 to 8, not 2147483647",
         "Objects::ReadPlaneAttributes", "Utilities"},
        {"<scene><environment><skyDome material='Test/Blue' ySegments='0'/></environment></scene>",
         typeid(InvalidParametersException), "The ySegments of the sky dome must be from 1 to 65535, not 0",
         "TarnelScene::LoadSkyDome", "Utilities"},
        {"<scene><environment><skyPlane material='Test/Blue' xSegments='100000'/></environment></scene>",
         typeid(InvalidParametersException), "The xSegments of the sky plane must be from 1 to 65535, not 100000",
         "TarnelScene::LoadSkyPlane", "Utilities"},
        {"<scene><environment><shadows technique='textureModulative'><shadowTextures size='-2147483648'/></shadows>"
         "</environment></scene>",
         typeid(InvalidParametersException), "The shadow texture size must be from 1 to 16384, not -2147483648",
         "TarnelScene::LoadShadows", "Utilities"},
        {"<scene><environment><shadows technique='textureAdditiveIntegrated'><shadowTextures count='1000000'/>"
         "</shadows></environment></scene>",
         typeid(InvalidParametersException), "The shadow texture count must be from 1 to 8, not 1000000",
         "TarnelScene::LoadShadows", "Utilities"},
        {"<scene><renderTextures><renderTexture name='T' width='65536'/></renderTextures></scene>",
         typeid(InvalidParametersException), "The width of render texture T must be from 1 to 16384, not 65536",
         "TarnelScene::LoadRenderTexture", "Utilities"},
        {"<scene><instancedGeometries><instancedGeometry name='I' batchCount='4000000000'/></instancedGeometries></scene>",
         typeid(InvalidParametersException), "The batchCount of instanced geometry I must be from 0 to 4096, not 4000000000",
         "TarnelScene::LoadInstancedGeometry", "Utilities"},
        {"<scene><externals><item name='X' type='physics'><boundingVolume type='mesh' faceCount='2147483647'/></item>"
         "</externals></scene>",
         typeid(InvalidParametersException), "The faceCount of a bounding volume must be from 0 to 1048576, not 2147483647",
         "TarnelUtilities::LoadBoundingVolume", "Utilities"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(RaisesEngineError([&] { LoadFresh(c.text); }, c.kind, c.description, c.source,
                                      std::string("Tarnel/Tarnel") + c.file))
            << c.text;
    // The engine's own errors pass as they are.
    EXPECT_THROW(LoadFresh(NodesScene("<node name='M'><entity meshFile='NoSuch.mesh'/></node>")), FileNotFoundException);
    EXPECT_THROW(LoadFresh(NodesScene("<node name='M'><lookTarget nodeName='Nobody'/></node>")), ItemIdentityException);
}

TEST_F(HostileLevels, ScalesThatOverflowDownAChainAreRefused)
{
    // Each number is within its bound; their product is not, and the engine would abort on it.
    const std::string big = "<scale x='1e5' y='1e5' z='-1e5'/>";
    WriteFile("tall.model", "<model><node name='Stand'>" + big + "<node name='Top'>" + big +
                                "<entity meshFile='TwoPart.mesh'/></node></node></model>");
    const struct
    {
        std::string nodes;
        const char* fault;
    } cases[] = {
        {"<node name='A'>" + big + "\n<node>" + big + "<entity meshFile='TwoPart.mesh'/></node></node>",
         ":2: node (unnamed) is scaled 1e+10 times"},
        // Inside a model file, at the level's line that instances it.
        {"<node name='Tower'>\n<node name='Base' modelFile='tall.model'>" + big + "</node></node>",
         ":2: node \"Stand\" of model file tall.model is scaled 1e+10 times"},
        // Scales that undo each other stay within reach.
        {"<node name='A'>" + big + "<node name='B'><scale x='1e-5' y='1e-5' z='1e-5'/><node name='C'>" + big +
         "</node></node></node>",
         nullptr},
    };
    for (const auto& c : cases)
    {
        const std::string level = directory + "/ScalesThatOverflowDownAChainAreRefused.scene";
        if (!c.fault)
        {
            EXPECT_NO_THROW(LoadFresh(NodesScene(c.nodes))) << c.nodes;
            continue;
        }
        const std::string fault = level + c.fault + " with its parents' scales, past the 1e+09 a level may use: the "
                                  "engine's bounding boxes would fail on it; scale fewer of its nodes";
        EXPECT_TRUE(RaisesEngineError([&] { LoadFresh(NodesScene(c.nodes)); }, typeid(InvalidParametersException),
                                      fault, "TarnelScene::LoadScene", "Tarnel/TarnelScene"))
            << c.nodes;
    }
}

TEST_F(HostileLevels, AMeshThatCannotBeReadCostsOnlyItsEntities)
{
    const String whole =
        ResourceGroupManager::getSingleton().openResource("TwoPart.mesh", TestEngine::RESOURCE_GROUP)->getAsString();
    String otherVersion = whole;
    otherVersion.replace(otherVersion.find("[MeshSerializer_v"), 17, "[MeshSerializer_w");
    WriteFile("cut.mesh", whole.substr(0, 200));
    WriteFile("noise.mesh", "not a mesh at all, nothing like one");
    WriteFile("later.mesh", otherVersion);
    WriteFile("prop.model", "<model><node name='Lamp'><entity name='Glass' meshFile='noise.mesh'/>"
                            "<light name='Glow'/></node></model>");
    LogRecorder log;
    LoadNodes("<node name='A'><entity name='Cut' meshFile='cut.mesh'/></node>\n"
              "<node name='B'><entity name='Noise' meshFile='noise.mesh'><boneAttachments><boneAttachment bone='b'>"
              "<light name='OnBone'/></boneAttachment></boneAttachments></entity>"
              "<entity name='Whole' meshFile='TwoPart.mesh'/></node>\n<node name='C'><entity name='Later' meshFile='later.mesh'/></node>\n"
              "<node name='P' modelFile='prop.model'/>");
    EXPECT_TRUE(Get("Whole"));
    EXPECT_TRUE(sceneManager->hasLight("PGlow")) << "the rest of a model instance is built";
    for (const char* leftOut : {"Cut", "OnBone", "Noise", "Later"})
        EXPECT_FALSE(scene.GetObject(leftOut)) << leftOut;
    EXPECT_FALSE(sceneManager->hasEntity("PGlass"));
    ASSERT_EQ(4u, scene.GetUnreadableMeshes().size());
    const String level = directory + "/AMeshThatCannotBeReadCostsOnlyItsEntities.scene:";
    EXPECT_EQ(1, log.Count("Tarnel: " + level + "1: entity \"Cut\" is left out: its mesh \"cut.mesh\" cannot be read: "));
    EXPECT_EQ(1, log.Count("Tarnel: " + level + "2: entity \"Noise\" is left out: its mesh \"noise.mesh\" cannot be "
                           "read: Header chunk didn't match either endian: Corrupted stream?"));
    EXPECT_EQ(1, log.Count("its mesh \"later.mesh\" cannot be read: Cannot find serializer implementation for mesh "
                           "version [MeshSerializer_w"));
    EXPECT_EQ(1, log.Count("Tarnel: " + level + "4: entity \"PGlass\" is left out: its mesh \"noise.mesh\""));
    // A missing mesh still ends the load: the level lacks it, it is not broken.
    EXPECT_THROW(LoadFresh(NodesScene("<node name='M'><entity meshFile='NoSuch.mesh'/></node>")), FileNotFoundException);
}

TEST_F(HostileLevels, AValueOutsideItsDomainIsSaidWithItsPlace)
{
    WriteFile("crowded.model", "<model><node name='Lamp'>\n<billboardSet name='Few' poolSize='1' autoExtendPool='false'>"
                            "<billboard/><billboard/><billboard/><billboard/><billboard/><billboard/><billboard/>"
                            "<billboard/><billboard/><billboard/><billboard/><billboard/><billboard/><billboard/>"
                            "<billboard/><billboard/><billboard/><billboard/><billboard/><billboard/><billboard/>"
                            "</billboardSet></node></model>");
    LogRecorder log;
    LoadNodes("<node name='N'>\n<camera name='C'><clipping near='0' far='100'/></camera></node>\n"
              "<node name='P' modelFile='crowded.model'/>");
    const String level = directory + "/AValueOutsideItsDomainIsSaidWithItsPlace.scene";
    EXPECT_EQ(1, log.Count("which is not above 0; it is 0.1 (" + level + ":2)"));
    // A model file's values are placed in the model file.
    EXPECT_EQ(1, log.Count("the last 1 are left out (crowded.model:2)"));
}

TEST_F(HostileLevels, ALightOnNoNodeCastsNoTextureShadow)
{
    LogRecorder log;
    LoadText("<scene><environment><shadows technique='textureModulative'/></environment>\n<light name='Sun'/>"
             "<nodes><node name='N'><position z='-3'/><entity name='Box' meshFile='TwoPart.mesh'/></node></nodes></scene>");
    // The zone manager would stop the program in the first frame that draws texture shadows.
    Tarnel::DrawLevelViews(static_cast<PCZSceneManager*>(sceneManager), TestEngine::Window(), scene);
    EXPECT_FALSE(sceneManager->getLight("Sun")->getCastShadows());
    EXPECT_EQ(1, log.Count("Tarnel: " + directory + "/ALightOnNoNodeCastsNoTextureShadow.scene:2: light \"Sun\" is on "
                           "no node, so it casts no shadow"));
}
