// Levels no exporter should write: they end the load with a clear error, never a crash.
#include "Tarnel/TarnelLimits.h"
#include "Tarnel/TarnelUtilities.h"
#include "support/LogRecorder.h"
#include "support/SceneTest.h"
#include "support/Xml.h"

using namespace Ogre;
using Tarnel::TarnelUtilities;

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
    const int limit = 3;
    struct Case
    {
        const char* text;
        bool deeper;
    } cases[] = {
        {"<a><b><c/></b></a>", false},
        {"<a><b><c><d/></c></b></a>", false},
        {"<a><b><c><d></d></c></b></a>", true},
        {"<a/><a/><a/><a/><a/>", false},
        {"<a><b></b><b></b><b><c></c></b></a>", false},
        {"<a x='>'><b y=\"/>\"><c><d></d></c></b></a>", true},
        {"<a><!-- <b><c><d> --><?pi <b><c><d> ?><![CDATA[<b><c><d>]]></a>", false},
        {"<a><b><c><!DOCTYPE x><d>", true},
        {"<a><b><c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.deeper, TarnelUtilities::NestsDeeperThan(c.text, limit)) << c.text;
}

class HostileLevels : public SceneTest
{
};

TEST_F(HostileLevels, DeepNestingIsRefusedBeforeParsing)
{
    WriteFile("deep.model", Nested(5000, "<node>", "</node>"));
    // Deep enough to overflow the stack of a recursive parser.
    std::string path = WriteFile("deep.scene", "<scene><nodes>" + Nested(100000, "<node>", "</node>") +
                                                   "</nodes></scene>");
    LogRecorder log;
    EXPECT_SCENE_ERROR(LoadFile(path), InvalidStateException, "Unable to load Tarnel scene file: " + path,
                       "TarnelScene::Load");
    EXPECT_EQ(1, log.Count(path + " nests elements more than 1000 deep; it is not read"));

    // At the limit itself it loads.
    int depth = Tarnel::Limits::MAX_ELEMENT_DEPTH - 2;
    Tarnel::TarnelScene deepest;
    std::string limit = WriteFile("limit.scene", "<scene><nodes>" + Nested(depth, "<node>", "</node>") +
                                                     "</nodes></scene>");
    deepest.Load(limit, TestEngine::Window(), TestEngine::NewSceneManager(), TestEngine::RESOURCE_GROUP);

    Tarnel::TarnelScene instancing;
    std::string instance = WriteFile("instance.scene", "<scene><nodes><node modelFile='deep.model'/></nodes></scene>");
    EXPECT_UTILITIES_ERROR(
        instancing.Load(instance, TestEngine::Window(), TestEngine::NewSceneManager(), TestEngine::RESOURCE_GROUP),
        InvalidStateException, "There was an error with the XML file: deep.model", "TarnelUtilities::LoadXmlDocument");
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

TEST_F(HostileLevels, AbsurdSizesRaiseNamingTheValue)
{
    struct Case
    {
        const char* text;
        const char* description;
        const char* source;
    } cases[] = {
        {"<nodes><node name='N'><billboardSet name='B' poolSize='4294967295'/></node></nodes>",
         "The poolSize of billboard set B must be from 0 to 16384, not 4294967295",
         "Objects::ReadBillboardSetAttributes"},
        {"<nodes><node name='N'><plane name='P' xSegments='-1'/></node></nodes>",
         "The xSegments of plane P must be from 1 to 65535, not -1", "Objects::ReadPlaneAttributes"},
        {"<nodes><node name='N'><plane name='P' numTexCoordSets='2147483647'/></node></nodes>",
         "The numTexCoordSets of plane P must be from 0 to 8, not 2147483647", "Objects::ReadPlaneAttributes"},
        {"<environment><skyDome material='Test/Blue' ySegments='0'/></environment>",
         "The ySegments of the sky dome must be from 1 to 65535, not 0", "TarnelScene::LoadSkyDome"},
        {"<environment><skyPlane material='Test/Blue' xSegments='100000'/></environment>",
         "The xSegments of the sky plane must be from 1 to 65535, not 100000", "TarnelScene::LoadSkyPlane"},
        {"<environment><shadows technique='textureModulative'><shadowTextures size='-2147483648'/></shadows></environment>",
         "The shadow texture size must be from 1 to 16384, not -2147483648", "TarnelScene::LoadShadows"},
        {"<environment><shadows><shadowTextures count='1000000'/></shadows></environment>",
         "The shadow texture count must be from 1 to 8, not 1000000", "TarnelScene::LoadShadows"},
        {"<renderTextures><renderTexture name='T' width='65536'/></renderTextures>",
         "The width of render texture T must be from 1 to 16384, not 65536", "TarnelScene::LoadRenderTexture"},
        {"<instancedGeometries><instancedGeometry name='I' batchCount='4000000000'/></instancedGeometries>",
         "The batchCount of instanced geometry I must be from 0 to 4096, not 4000000000",
         "TarnelScene::LoadInstancedGeometry"},
        {"<externals><item name='X' type='physics'><boundingVolume type='mesh' faceCount='2147483647'/></item>"
         "</externals>",
         "The faceCount of a bounding volume must be from 0 to 1048576, not 2147483647",
         "TarnelUtilities::LoadBoundingVolume"},
    };
    for (const Case& c : cases)
    {
        Tarnel::TarnelScene level;
        std::string path = WriteFile("absurd.scene", std::string("<scene>") + c.text + "</scene>");
        EXPECT_UTILITIES_ERROR(
            level.Load(path, TestEngine::Window(), TestEngine::NewSceneManager(), TestEngine::RESOURCE_GROUP),
            InvalidParametersException, c.description, c.source)
            << c.text;
    }
}
