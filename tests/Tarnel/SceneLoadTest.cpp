#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Scene/TarnelInstancedGeometry.h"
#include "Tarnel/Check/TarnelUnreadParts.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreRoot.h>
#include <OgreStaticGeometry.h>

#include <tinyxml.h>

#include <filesystem>

using namespace Ogre;
using Tarnel::Version;

TEST(Versions, ParseTextAndOrder)
{
    for (const auto& [text, parsed] : std::initializer_list<std::pair<const char*, Vector3>>{
             {"", Vector3(0, 0, 0)}, {"1.6", Vector3(1, 6, 0)}, {"1.12.10.7", Vector3(1, 12, 10)},
             {"2", Vector3(2, 0, 0)}, {"1..3", Vector3(1, 0, 3)}, {"1.08.09", Vector3(1, 8, 9)}})
    {
        Version v = Version::Parse(text);
        EXPECT_EQ(parsed, Vector3(v.major, v.minor, v.patch)) << text;
    }
    EXPECT_EQ("1.6", Version(1, 6, 0).ToString());
    EXPECT_EQ("1.0.2", Version(1, 0, 2).ToString());
    EXPECT_EQ("0", Version().ToString());
    EXPECT_EQ("1.12.10", Version::Engine().ToString());
    EXPECT_TRUE(Version(1, 12, 11) > Version(1, 12, 10));
    EXPECT_TRUE(Version(2, 0, 0) > Version(1, 99, 99));
    EXPECT_FALSE(Version(1, 12, 10) > Version(1, 12, 10));
}

using SceneLoading = SceneTest;

TEST_F(SceneLoading, WhatTheLoadLeavesUnreadIsSaidWithItsLine)
{
    const std::string path = WriteFile("unread.scene", R"(<scene formatVersion="1.0" exporter="Blender">
<lights><light name="Sun" type="LT_POINT"/></lights>
<nodes><node name="Lamp" layer="2">
  <light name="Lamp" type="point" powerScale="3"><lightRange inner="1"/><lightAttenuation range="9" quadratic="1"/></light>
  <physics mass="3"/><position/>
</node><node name="Crate" layer="2" group="props"><physics mass="3"/><script src="crate.lua"/></node></nodes></scene>)");
    TiXmlDocument document;
    ASSERT_TRUE(Tarnel::TarnelUtilities::LoadXmlFile(path, document, true));
    scene.Load(path, document, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
    const std::string at = " is not read (" + path + ":";
    EXPECT_EQ(Tarnel::UnreadParts(document, path, true),
              (std::vector<String>{"Tarnel: the attribute exporter of scene" + at + "1)",
                                   "Tarnel: the element <lights>, with the 1 light in it," + at + "2)",
                                   "Tarnel: the attribute quadratic of lightAttenuation" + at + "4)",
                                   "Tarnel: the attribute powerScale of light \"Lamp\"" + at + "4)",
                                   "Tarnel: the attribute layer and the element <physics> of node \"Lamp\" are not read (" +
                                       path + ":3)",
                                   "Tarnel: the attributes layer and group, and the elements <physics> and <script>, of "
                                   "node \"Crate\" are not read (" + path + ":6)"}));
    // Past the most kinds asked for, the rest are a count.
    EXPECT_EQ(Tarnel::UnreadParts(document, path, true, 3),
              (std::vector<String>{"Tarnel: the attribute exporter of scene" + at + "1)",
                                   "Tarnel: the element <lights>, with the 1 light in it," + at + "2)",
                                   "Tarnel: the attribute quadratic of lightAttenuation" + at + "4)",
                                   "Tarnel: 3 more parts of the level like those are not read"}));
    // Without a load, only the sections are known; a load marks the document afresh.
    EXPECT_EQ(Tarnel::UnreadParts(document, path, false),
              (std::vector<String>{"Tarnel: the element <lights>, with the 1 light in it," + at + "2)"}));
}

TEST_F(SceneLoading, TheHeaderAndItsDefaults)
{
    LoadText("<scene upAxis=''/>");
    EXPECT_EQ(std::make_pair(Tarnel::UP_AXIS_Y, Vector3::UNIT_Y), std::make_pair(scene.GetUpAxis(), scene.GetUpAxisVector()));
    EXPECT_EQ("0", scene.GetMinOgreVersion().ToString());

    LoadFresh("<anyRoot id='level-7' formatVersion='1.0.2' minOgreVersion='1.6' author='A. Designer' upAxis='Z' "
              "unitsPerMeter='100' unitType='centimeter'><userData>first</userData><userData>second</userData>"
              "<userDataReference id='ref-1'/></anyRoot>");
    EXPECT_EQ("level-7", scene.GetSceneExtraData().id);
    EXPECT_EQ("1.0.2", scene.GetFormatVersion().ToString());
    EXPECT_EQ("1.6", scene.GetMinOgreVersion().ToString());
    EXPECT_EQ("A. Designer", scene.GetAuthor());
    EXPECT_EQ(std::make_pair(Tarnel::UP_AXIS_Z, Vector3::UNIT_Z), std::make_pair(scene.GetUpAxis(), scene.GetUpAxisVector()));
    EXPECT_EQ(std::make_pair(100.0f, String("centimeter")), std::make_pair(scene.GetUnitsPerMeter(), scene.GetUnitType()));
    EXPECT_EQ("first", scene.GetSceneExtraData().userData) << "the first userData element counts";
    EXPECT_EQ("ref-1", scene.GetSceneExtraData().userDataReference);
}

TEST_F(SceneLoading, RequiredEngineVersion)
{
    for (const char* accepted : {"1.6", "1.12", "1.12.10", "1.12.10.9", "0.9.9"})
        EXPECT_NO_THROW(LoadText(std::string("<scene minOgreVersion='") + accepted + "'/>")) << accepted;
    for (const auto& [version, shown] : std::initializer_list<std::pair<const char*, const char*>>{
             {"1.12.11", "1.12.11"}, {"1.13", "1.13"}, {"2.0", "2"}, {"2", "2"}, {"1.13.0.9", "1.13"}})
        EXPECT_SCENE_ERROR(LoadText(std::string("<scene minOgreVersion='") + version + "'/>"), UnimplementedException,
                           std::string("The scene file's required Ogre version (") + shown +
                               ") is not supported by the Ogre version this viewer uses ( 1.12.10)",
                           "TarnelScene::LoadScene");
}

TEST_F(SceneLoading, FilesThatCannotBeRead)
{
    std::string missing = directory + "/missing/level.scene";
    EXPECT_SCENE_ERROR(LoadFile(missing), FileNotFoundException, "Unable to read Tarnel scene file: " + missing,
                       "TarnelScene::Load");
    // Parsed, but without an element, a document is as broken as one that does not parse.
    for (const char* text : {"<scene><nodes></scene>", "<?xml version='1.0'?><!-- no element at all -->"})
    {
        std::string path = WriteFile("broken.scene", text);
        EXPECT_SCENE_ERROR(LoadFile(path), InvalidStateException, "Unable to load Tarnel scene file: " + path,
                           "TarnelScene::Load");
    }
}

TEST_F(SceneLoading, BareNamesAreReadThroughTheResourceGroup)
{
    EXPECT_UTILITIES_ERROR(LoadFile("nowhere.scene"), FileNotFoundException, "Could not open XML file: nowhere.scene",
                           "TarnelUtilities::LoadXmlDocument");
    LoadFile("grouped.scene"); // not in the working directory, but in the group
    EXPECT_FALSE(scene.IsLoadedFromFileSystem());
    EXPECT_EQ("from-the-group", scene.GetSceneExtraData().id);
    EXPECT_TRUE(scene.GetResourceLocations().empty()) << "its resourceLocations element is ignored";
}

TEST_F(SceneLoading, RelativePathWithADirectory)
{
    std::string relative = std::filesystem::relative(directory, std::filesystem::current_path()).string() + "/";
    WriteFile("level.scene", "<scene/>");
    LoadFile(relative + "level.scene");
    EXPECT_TRUE(scene.IsLoadedFromFileSystem());
    EXPECT_EQ(relative, scene.GetBaseResourceLocation());
    ASSERT_EQ(1u, scene.GetResourceLocations().size());
    const Tarnel::ResourceLocation& own = scene.GetResourceLocations().begin()->second;
    EXPECT_EQ(std::make_tuple(directory + "/", String("FileSystem"), false, true),
              std::make_tuple(own.name, own.type, own.recursive, own.initialised));
}

TEST_F(SceneLoading, ADocumentTheCallerParsedLoadsAsItsFileWould)
{
    std::string relative = std::filesystem::relative(directory, std::filesystem::current_path()).string() + "/";
    WriteFile("level.scene", "<scene id='parsed'/>");
    TiXmlDocument document;
    ASSERT_TRUE(Tarnel::TarnelUtilities::LoadXmlFile(relative + "level.scene", document));
    std::filesystem::remove(directory + "/level.scene"); // not read again
    scene.Load(relative + "level.scene", document, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
    EXPECT_EQ("parsed", scene.GetSceneExtraData().id);
    EXPECT_EQ(relative, scene.GetBaseResourceLocation());
    // Its folder is a place for its media only while the file is there, as for a file read by the load.
    EXPECT_FALSE(scene.IsLoadedFromFileSystem());
    EXPECT_TRUE(scene.GetResourceLocations().empty());
}

TEST_F(SceneLoading, ResourceLocationsComeBeforeNodesAndNameEachDirectoryOnce)
{
    std::filesystem::create_directories(directory + "/extra");
    std::filesystem::copy_file(TestEngine::GeneratedMediaDir() + "/TwoPart.mesh", directory + "/extra/OnlyHere.mesh");
    LoadNodes("<node name='N'><entity meshFile='OnlyHere.mesh'/></node>",
              "<resourceLocations><resourceLocation name='extra' type='FileSystem'/>"
              "<resourceLocation name='" + directory + "/extra' type='Zip' recursive='true'/>"
              "<resourceLocation name='.\\extra\\..\\extra' type='FileSystem'/>"
              "<other name='ignored' type='FileSystem'/></resourceLocations>");
    EXPECT_NE(nullptr, scene.GetObject("N")) << "the mesh was found though its location comes after the nodes";
    ASSERT_EQ(2u, scene.GetResourceLocations().size());
    const Tarnel::ResourceLocation& extra = scene.GetResourceLocations().at(directory + "/extra");
    EXPECT_EQ(std::make_pair(String("FileSystem"), false), std::make_pair(extra.type, extra.recursive))
        << "the first of one name is kept";
    EXPECT_EQ(1u, scene.GetResourceLocations().count(directory + "/"));
}

TEST_F(SceneLoading, SectionsAroundTheNodes)
{
    // The nodes section transforms the root; unknown sections are skipped, whatever they hold; the terrain's
    // rotation goes to the node of its name.
    LoadText("<scene><nodes><position x='1' y='2' z='3'/><scale x='2' y='2'/><rotation qx='0' qy='0' qz='0' qw='1'/>"
             "<node name='Terrain'/></nodes><octree/><somethingNew><node name='Hidden'/></somethingNew>"
             "<terrain renderQueue='overlay'><rotation axisX='0' axisY='1' axisZ='0' angle='3.1415927'/>"
             "<userDataReference id='ground'/><userData>grass</userData></terrain></scene>");
    SceneNode* root = sceneManager->getRootSceneNode();
    EXPECT_EQ(std::make_pair(Vector3(1, 2, 3), Vector3(2, 2, 1e-6f)), std::make_pair(root->getPosition(), root->getScale()));
    EXPECT_EQ(Vector3(1, 2, 3), root->getInitialPosition());
    EXPECT_FALSE(sceneManager->hasSceneNode("Hidden"));
    SceneNode* terrain = scene.GetSceneNode("Terrain");
    EXPECT_EQ(root, terrain->getParentSceneNode());
    EXPECT_TRUE(SameRotation(Quaternion(Radian(Math::PI), Vector3::UNIT_Y), terrain->getOrientation()));
    EXPECT_EQ(std::make_pair(String("ground"), String("grass")),
              std::make_pair(scene.GetTerrainExtraData().userDataReference, scene.GetTerrainExtraData().userData));
}

TEST_F(SceneLoading, OnlyTheLastStaticGeometriesElementIsBuilt)
{
    LoadText("<scene><staticGeometries><staticGeometry name='First'/></staticGeometries><nodes><node name='N'/></nodes>"
             "<staticGeometries><staticGeometry name='Second' visible='false' castShadows='false' renderQueue='queue4'"
             " renderingDistance='50'><origin x='1' y='2' z='3'/><entities><entity meshFile='TwoPart.mesh'>"
             "<position x='5'/><scale/></entity><entity><position x='9'/></entity></entities></staticGeometry>"
             "<staticGeometry name='Third'/></staticGeometries></scene>");
    EXPECT_FALSE(sceneManager->hasStaticGeometry("First"));
    ASSERT_TRUE(sceneManager->hasStaticGeometry("Second"));
    StaticGeometry* second = sceneManager->getStaticGeometry("Second");
    EXPECT_EQ(std::make_pair(false, false), std::make_pair(second->isVisible(), second->getCastShadows()));
    EXPECT_EQ(std::make_pair(40, 50.0f), std::make_pair(int(second->getRenderQueueGroup()), second->getRenderingDistance()));
    EXPECT_EQ(Vector3(1, 2, 3), second->getOrigin());
    EXPECT_EQ(Vector3(1000000, 1000000, 1000000), second->getRegionDimensions());
    EXPECT_TRUE(sceneManager->hasStaticGeometry("Third"));
    EXPECT_FALSE(sceneManager->hasEntity("__staticGeometryEntity"));
    // The zone manager's regions could not find their nodes again, which ended the program.
    sceneManager->destroyStaticGeometry("Second");
}

TEST_F(SceneLoading, InstancedGeometryBuildsABatchAndItsCopies)
{
    LoadText("<scene><instancedGeometries><instancedGeometry name='Ignored'/></instancedGeometries>"
             "<staticGeometries><staticGeometry name='Trees'/></staticGeometries><instancedGeometries>"
             "<instancedGeometry name='Trees' batchCount='3' visible='false' renderQueue='main+1' castShadows='no'>"
             "<dimensions x='10' y='20' z='30'/><origin x='1'/><entities><entity meshFile='TwoPart.mesh'><subentities>"
             "<subentity index='0' materialName='Test/Blue'/><subentity index='1'/></subentities></entity><entity/>"
             "</entities></instancedGeometry></instancedGeometries></scene>");
    EXPECT_EQ(nullptr, scene.GetInstancedGeometry("Ignored"));
    Tarnel::TarnelInstancedGeometry* trees = scene.GetInstancedGeometry("Trees");
    ASSERT_NE(nullptr, trees);
    EXPECT_EQ(std::make_pair(false, false), std::make_pair(trees->isVisible(), trees->getCastShadows()));
    EXPECT_EQ(51, trees->getRenderQueueGroup());
    EXPECT_EQ(std::make_pair(Vector3(10, 20, 30), Vector3(1, 0, 0)),
              std::make_pair(trees->getBatchInstanceDimensions(), trees->getOrigin()));
    ASSERT_EQ(4u, trees->getBatchInstanceCount()) << "the batch and three more copies";
    EXPECT_TRUE(sceneManager->hasStaticGeometry("Trees")) << "instanced and static geometry have their own names";
    for (const char* name : {"InstancedGeometry/Trees/0", "InstancedGeometry/Trees/1", "InstancedGeometry/Trees/2",
                             "InstancedGeometry/Trees/3"})
    {
        ASSERT_TRUE(sceneManager->hasStaticGeometry(name)) << name;
        StaticGeometry* batch = sceneManager->getStaticGeometry(name);
        EXPECT_FALSE(batch->isVisible());
        EXPECT_EQ(Vector3(10, 20, 30), batch->getRegionDimensions());
        EXPECT_FALSE(batch->getRegions().empty()) << name << " holds the baked meshes";
    }
    EXPECT_FALSE(sceneManager->hasEntity("__instancedGeometryEntity"));
}

TEST_F(SceneLoading, NoSceneManagerMakesOne)
{
    scene.Load(WriteFile("own.scene", NodesScene("<node name='Own'/>")), TestEngine::Window(), nullptr,
               TestEngine::RESOURCE_GROUP);
    SceneManager* made = scene.GetSceneManager();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(std::make_pair(String("MyPCZSceneMgr"), String("PCZSceneManager")),
              std::make_pair(made->getName(), made->getTypeName()));
    EXPECT_TRUE(made->getRootSceneNode()->getChild("Own"));
    scene.Destroy();
    TestEngine::Root().destroySceneManager(made);
}

TEST_F(SceneLoading, DestroyReleasesAndResets)
{
    LoadNodes("<node name='N'><entity meshFile='TwoPart.mesh'/></node>",
              "<externals><item name='I'/></externals><queryFlags><queryFlag name='Q'/></queryFlags>");
    scene.Destroy();
    EXPECT_EQ(nullptr, scene.GetObject("N"));
    EXPECT_TRUE(scene.GetExternalItems().empty());
    EXPECT_TRUE(scene.GetQueryFlagAliases().empty());
    EXPECT_TRUE(scene.GetResourceLocations().empty());
    EXPECT_TRUE(scene.GetBaseResourceLocation().empty());
    EXPECT_FALSE(scene.IsLoadedFromFileSystem());
    EXPECT_TRUE(sceneManager->hasEntity("N")) << "the engine's objects stay";
}

TEST_F(SceneLoading, FlagAliasesAreTheDirectChildren)
{
    LoadText("<scene><queryFlags><queryFlag name='Walls' bit='3'/><group><queryFlag name='Nested' bit='9'/></group>"
             "<queryFlag name='Doors'/></queryFlags><visibilityFlags><visibilityFlag name='A' bit='1'/>"
             "<visibilityFlag name='B' bit='2'/></visibilityFlags>"
             "<visibilityFlags><visibilityFlag name='Z' bit='7'/></visibilityFlags></scene>");
    const auto& query = scene.GetQueryFlagAliases();
    ASSERT_EQ(2u, query.size());
    EXPECT_EQ(std::make_pair(String("Walls"), 3), std::make_pair(query[0].name, query[0].bit));
    EXPECT_EQ(std::make_pair(String("Doors"), 0), std::make_pair(query[1].name, query[1].bit));
    const auto& visibility = scene.GetVisibilityFlagAliases();
    ASSERT_EQ(1u, visibility.size()) << "a later element replaces the list";
    EXPECT_EQ(std::make_pair(String("Z"), 7), std::make_pair(visibility[0].name, visibility[0].bit));
}

TEST_F(SceneLoading, ExternalItemsInDocumentOrder)
{
    LoadText("<scene><externals><item name='One' type='spawn'><position x='1' y='2' z='3'/><position x='4'/>"
             "<scale x='2'/><file name='a.dat'/><userDataReference id='r'/><userData>u</userData>"
             "<boundingVolume type='box'><size x='1' y='1' z='1'/></boundingVolume>"
             "<noteTracks><noteTrack name='t'><note time='1'>n</note></noteTrack></noteTracks></item><comment/>"
             "<item name='Two'><rotation angleY='1.5707964'/></item></externals><nodes/>"
             "<externals><item name='Three'/></externals></scene>");
    const auto& items = scene.GetExternalItems();
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ((std::vector<String>{"One", "Two", "Three"}), (std::vector<String>{items[0].name, items[1].name,
                                                                                  items[2].name}));
    EXPECT_EQ(std::make_pair(String("spawn"), String("a.dat")), std::make_pair(items[0].type, items[0].file));
    EXPECT_EQ(std::make_pair(Vector3(4, 0, 0), Vector3(2, 0, 0)), std::make_pair(items[0].position, items[0].scale));
    EXPECT_EQ(std::make_pair(String("r"), String("u")), std::make_pair(items[0].userDataReference, items[0].userData));
    EXPECT_EQ(Tarnel::BoundingVolume::BOX, items[0].boundingVolume.type);
    ASSERT_EQ(1u, items[0].noteTracks.size());
    EXPECT_EQ("n", items[0].noteTracks[0].notes[0].text);
    EXPECT_EQ(Vector3::UNIT_SCALE, items[1].scale);
    EXPECT_EQ(Tarnel::BoundingVolume::NONE, items[1].boundingVolume.type);
}

TEST_F(SceneLoading, ALevelNobodyCheckedIsCheckedBeforeItIsBuilt)
{
    // Read by the load itself, or handed over unchecked: the first fault is said with its line,
    // then the build ends on it as ever. A description the check has passed is not checked again.
    const std::string path = WriteFile("unchecked.scene", R"(<scene formatVersion="1.0"><nodes>
<node name="A"/>
<node name="B"><lookTarget nodeName="Nobody"/></node>
<node name="A"/>
</nodes></scene>)");
    const std::string said = "The level's check: " + path + ":4: node \"A\" repeats the name of line 2";
    for (const char* how : {"read by the load", "handed over", "handed over checked"})
    {
        LogRecorder log;
        sceneManager = TestEngine::NewSceneManager();
        scene.Destroy();
        if (how == std::string("read by the load"))
            EXPECT_THROW(LoadFile(path), Exception);
        else
        {
            TiXmlDocument document;
            ASSERT_TRUE(Tarnel::TarnelUtilities::LoadXmlFile(path, document, true));
            Tarnel::LevelDescription level = Tarnel::LevelReader().Read(document.RootElement());
            level.checked = how == std::string("handed over checked");
            EXPECT_THROW(scene.Load(path, document, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP, &level),
                         Exception);
        }
        EXPECT_EQ(how == std::string("handed over checked") ? 0 : 1, log.Count(said)) << how;
    }
    // Names that may repeat leave the look target to be found missing.
    LogRecorder log;
    scene.SetLenientNames(true);
    EXPECT_THROW(LoadFresh(R"(<scene formatVersion="1.0"><nodes>
<node name="A"/>
<node name="B"><lookTarget nodeName="Nobody"/></node>
<node name="A"/>
</nodes></scene>)"), ItemIdentityException);
    EXPECT_EQ(1, log.Count(":3: node \"B\" looks at node \"Nobody\", which the level does not have")) << log.messages.back();
}
