#include "Tarnel/TarnelInstancedGeometry.h"
#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreEntity.h>
#include <OgrePCZSceneManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreStaticGeometry.h>

#include <filesystem>

using namespace Ogre;
using Tarnel::Version;

TEST(Versions, ParseAndText)
{
    auto parsed = [](const char* text) {
        Version v = Version::Parse(text);
        return std::make_tuple(v.major, v.minor, v.patch);
    };
    EXPECT_EQ(std::make_tuple(0, 0, 0), parsed(""));
    EXPECT_EQ(std::make_tuple(1, 6, 0), parsed("1.6"));
    EXPECT_EQ(std::make_tuple(1, 12, 10), parsed("1.12.10.7"));
    EXPECT_EQ(std::make_tuple(2, 0, 0), parsed("2"));
    EXPECT_EQ(std::make_tuple(1, 0, 3), parsed("1..3"));
    EXPECT_EQ(std::make_tuple(1, 8, 9), parsed("1.08.09"));

    EXPECT_EQ("1.6", Version(1, 6, 0).ToString());
    EXPECT_EQ("1.0.2", Version(1, 0, 2).ToString());
    EXPECT_EQ("2", Version(2, 0, 0).ToString());
    EXPECT_EQ("0", Version().ToString());
    EXPECT_EQ("1.12.10", Version::Engine().ToString());

    EXPECT_TRUE(Version(1, 12, 11) > Version(1, 12, 10));
    EXPECT_TRUE(Version(2, 0, 0) > Version(1, 99, 99));
    EXPECT_FALSE(Version(1, 12, 10) > Version(1, 12, 10));
}

class SceneLoading : public SceneTest
{
};

TEST_F(SceneLoading, ReadsTheHeader)
{
    LoadText("<anyRoot id='level-7' formatVersion='1.0.2' minOgreVersion='1.6' author='A. Designer' upAxis='Z' "
             "unitsPerMeter='100' unitType='centimeter'>"
             "  <userData>first</userData><userData>second</userData>"
             "  <userDataReference id='ref-1'/>"
             "</anyRoot>");
    EXPECT_EQ("level-7", scene.GetSceneExtraData().id);
    EXPECT_EQ("1.0.2", scene.GetFormatVersion().ToString());
    EXPECT_EQ("1.6", scene.GetMinOgreVersion().ToString());
    EXPECT_EQ("A. Designer", scene.GetAuthor());
    EXPECT_EQ(Tarnel::UP_AXIS_Z, scene.GetUpAxis());
    EXPECT_EQ(Vector3::UNIT_Z, scene.GetUpAxisVector());
    EXPECT_EQ(100, scene.GetUnitsPerMeter());
    EXPECT_EQ("centimeter", scene.GetUnitType());
    EXPECT_EQ("first", scene.GetSceneExtraData().userData) << "the first userData element counts";
    EXPECT_EQ("ref-1", scene.GetSceneExtraData().userDataReference);
}

TEST_F(SceneLoading, HeaderDefaultsAndBadUpAxis)
{
    LoadText("<scene upAxis=''/>");
    EXPECT_EQ(Tarnel::UP_AXIS_Y, scene.GetUpAxis());
    EXPECT_EQ(Vector3::UNIT_Y, scene.GetUpAxisVector());
    EXPECT_EQ("0", scene.GetMinOgreVersion().ToString());

    Tarnel::TarnelScene other;
    std::string path = WriteFile("x-up.scene", "<scene upAxis='x'/>");
    EXPECT_UTILITIES_ERROR(other.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                           InvalidParametersException, "Invalid up axis specified: x",
                           "TarnelUtilities::ParseUpAxis");
}

TEST_F(SceneLoading, RequiredEngineVersion)
{
    for (const char* accepted : {"1.6", "1.12", "1.12.10", "1.12.10.9", "0.9.9"})
    {
        Tarnel::TarnelScene accepting;
        std::string path = WriteFile("accepted.scene", std::string("<scene minOgreVersion='") + accepted + "'/>");
        EXPECT_NO_THROW(accepting.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP))
            << accepted;
    }
    const std::pair<const char*, const char*> rejected[] = {
        {"1.12.11", "1.12.11"}, {"1.13", "1.13"}, {"2.0", "2"}, {"2", "2"}, {"1.13.0.9", "1.13"}};
    for (const auto& version : rejected)
    {
        Tarnel::TarnelScene rejecting;
        std::string path = WriteFile("rejected.scene", std::string("<scene minOgreVersion='") + version.first + "'/>");
        EXPECT_SCENE_ERROR(rejecting.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                           UnimplementedException,
                           std::string("The scene file's required Ogre version (") + version.second +
                               ") is not supported by the Ogre version this viewer uses ( 1.12.10)",
                           "TarnelScene::LoadScene");
    }
}

TEST_F(SceneLoading, FilesThatCannotBeRead)
{
    std::string missing = directory + "/missing/level.scene";
    EXPECT_SCENE_ERROR(LoadFile(missing), FileNotFoundException, "Unable to read Tarnel scene file: " + missing,
                       "TarnelScene::Load");

    std::string broken = WriteFile("broken.scene", "<scene><nodes></scene>");
    Tarnel::TarnelScene second;
    EXPECT_SCENE_ERROR(second.Load(broken, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                       InvalidStateException, "Unable to load Tarnel scene file: " + broken, "TarnelScene::Load");

    std::string empty = WriteFile("comment.scene", "<?xml version='1.0'?><!-- no element at all -->");
    Tarnel::TarnelScene third;
    EXPECT_SCENE_ERROR(third.Load(empty, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                       InvalidStateException, "Unable to load Tarnel scene file: " + empty, "TarnelScene::Load");
}

TEST_F(SceneLoading, BareNamesAreReadThroughTheResourceGroup)
{
    // Not on disk relative to the working directory, but in the group.
    LoadFile("grouped.scene");
    EXPECT_FALSE(scene.IsLoadedFromFileSystem());
    EXPECT_EQ("from-the-group", scene.GetSceneExtraData().id);
    EXPECT_TRUE(scene.GetResourceLocations().empty()) << "its resourceLocations element is ignored";

    Tarnel::TarnelScene other;
    EXPECT_UTILITIES_ERROR(
        other.Load("nowhere.scene", TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
        FileNotFoundException, "Could not open XML file: nowhere.scene", "TarnelUtilities::LoadXmlDocument");
}

TEST_F(SceneLoading, RelativePathWithADirectory)
{
    namespace fs = std::filesystem;
    std::string relative = fs::relative(directory, fs::current_path()).string() + "/level.scene";
    WriteFile("level.scene", "<scene/>");
    LoadFile(relative);
    EXPECT_TRUE(scene.IsLoadedFromFileSystem());
    EXPECT_EQ(fs::relative(directory, fs::current_path()).string() + "/", scene.GetBaseResourceLocation());
    ASSERT_EQ(1u, scene.GetResourceLocations().size());
    const Tarnel::ResourceLocation& own = scene.GetResourceLocations().begin()->second;
    EXPECT_EQ(directory + "/", own.name);
    EXPECT_EQ("FileSystem", own.type);
    EXPECT_FALSE(own.recursive);
    EXPECT_TRUE(own.initialised);
}

TEST_F(SceneLoading, ResourceLocationsComeBeforeNodesAndNameEachDirectoryOnce)
{
    CopyMesh("TwoPart.mesh", "extra/OnlyHere.mesh");
    LoadText(NodesScene("<node name='N'><entity meshFile='OnlyHere.mesh'/></node>",
             "<resourceLocations>"
             "  <resourceLocation name='extra' type='FileSystem'/>"
             "  <resourceLocation name='" + directory + "/extra' type='Zip' recursive='true'/>"
             "  <resourceLocation name='.\\extra\\..\\extra' type='FileSystem'/>"
             "  <other name='ignored' type='FileSystem'/>"
             "</resourceLocations>"));
    // The resourceLocations element comes after nodes in the document, yet the mesh was found.
    EXPECT_NE(nullptr, scene.GetObject("N"));
    ASSERT_EQ(2u, scene.GetResourceLocations().size());
    const Tarnel::ResourceLocation& extra = scene.GetResourceLocations().at(directory + "/extra");
    EXPECT_EQ("FileSystem", extra.type) << "the first of one name is kept";
    EXPECT_FALSE(extra.recursive);
    EXPECT_EQ(1u, scene.GetResourceLocations().count(directory + "/"));
}

TEST_F(SceneLoading, NodesSectionTransformsTheRoot)
{
    LoadText("<scene><nodes><position x='1' y='2' z='3'/><scale x='2' y='2'/>"
             "<rotation qx='0' qy='0' qz='0' qw='1'/><node name='Child'/></nodes></scene>");
    SceneNode* root = sceneManager->getRootSceneNode();
    EXPECT_EQ(Vector3(1, 2, 3), root->getPosition());
    EXPECT_EQ(Vector3(2, 2, 0), root->getScale());
    EXPECT_EQ(Vector3(1, 2, 3), root->getInitialPosition());
    EXPECT_EQ(root, scene.GetSceneNode("Child")->getParentSceneNode());
}

TEST_F(SceneLoading, UnknownSectionsAreSkipped)
{
    EXPECT_NO_THROW(LoadText("<scene><octree/><portalConnectedZones/><somethingNew><node name='Hidden'/>"
                             "</somethingNew></scene>"));
    EXPECT_FALSE(sceneManager->hasSceneNode("Hidden"));
}

TEST_F(SceneLoading, Terrain)
{
    LoadText(NodesScene("<node name='Terrain'/>",
                        "<terrain renderQueue='overlay'><rotation axisX='0' axisY='1' axisZ='0' angle='3.1415927'/>"
                        "<userDataReference id='ground'/><userData>grass</userData></terrain>"));
    Quaternion half;
    half.FromAngleAxis(Radian(Math::PI), Vector3::UNIT_Y);
    EXPECT_TRUE(half.equals(scene.GetSceneNode("Terrain")->getOrientation(), Degree(0.1f)));
    EXPECT_EQ("ground", scene.GetTerrainExtraData().userDataReference);
    EXPECT_EQ("grass", scene.GetTerrainExtraData().userData);
}

TEST_F(SceneLoading, OnlyTheLastStaticGeometriesElementIsBuilt)
{
    SceneManager* generic = TestEngine::Root().createSceneManager("DefaultSceneManager");
    std::string path = WriteFile("geometry.scene", "<scene>"
             "<staticGeometries><staticGeometry name='First'/></staticGeometries>"
             "<nodes><node name='N'/></nodes>"
             "<staticGeometries>"
             "  <staticGeometry name='Second' visible='false' castShadows='false' renderQueue='queue4'"
             "                  renderingDistance='50'>"
             "    <origin x='1' y='2' z='3'/>"
             "    <entities>"
             "      <entity meshFile='TwoPart.mesh'><position x='5'/><scale/></entity>"
             "      <entity><position x='9'/></entity>"
             "    </entities>"
             "  </staticGeometry>"
             "  <staticGeometry name='Third'/>"
             "</staticGeometries>"
             "</scene>");
    scene.Load(path, TestEngine::Window(), generic, TestEngine::RESOURCE_GROUP);
    EXPECT_FALSE(generic->hasStaticGeometry("First"));
    ASSERT_TRUE(generic->hasStaticGeometry("Second"));
    StaticGeometry* second = generic->getStaticGeometry("Second");
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(second->getCastShadows());
    EXPECT_EQ(40, second->getRenderQueueGroup());
    EXPECT_EQ(50, second->getRenderingDistance());
    EXPECT_EQ(Vector3(1, 2, 3), second->getOrigin());
    EXPECT_EQ(Vector3(1000000, 1000000, 1000000), second->getRegionDimensions());
    EXPECT_TRUE(generic->hasStaticGeometry("Third"));
    EXPECT_FALSE(generic->hasEntity("__staticGeometryEntity"));
    TestEngine::DestroySceneManager(generic);
}

TEST_F(SceneLoading, StaticGeometryInTheZoneManagerGoesWithIt)
{
    // The zone manager's regions could not find their nodes again, which ended the program.
    SceneManager* zones = sceneManager;
    std::string path = WriteFile("zoned-geometry.scene",
                                 "<scene><staticGeometries><staticGeometry name='Rubble'><entities>"
                                 "<entity meshFile='TwoPart.mesh'/><entity meshFile='TwoPart.mesh'><position x='900'/>"
                                 "</entity></entities></staticGeometry></staticGeometries>"
                                 "<instancedGeometries><instancedGeometry name='Trees' batchCount='2'><entities>"
                                 "<entity meshFile='TwoPart.mesh'/></entities></instancedGeometry></instancedGeometries>"
                                 "</scene>");
    scene.Load(path, TestEngine::Window(), zones, TestEngine::RESOURCE_GROUP);
    ASSERT_TRUE(zones->hasStaticGeometry("Rubble"));
    zones->destroyStaticGeometry("Rubble");
    TestEngine::NewSceneManager(); // destroys this one, and the instanced batches with it
}

TEST_F(SceneLoading, InstancedGeometryBuildsABatchAndItsCopies)
{
    SceneManager* generic = TestEngine::Root().createSceneManager("DefaultSceneManager");
    std::string path = WriteFile("instanced.scene",
        "<scene>"
        "<instancedGeometries><instancedGeometry name='Ignored'/></instancedGeometries>"
        "<staticGeometries><staticGeometry name='Trees'/></staticGeometries>"
        "<instancedGeometries>"
        "  <instancedGeometry name='Trees' batchCount='3' visible='false' renderQueue='main+1' castShadows='no'>"
        "    <dimensions x='10' y='20' z='30'/><origin x='1'/>"
        "    <entities><entity meshFile='TwoPart.mesh'><subentities><subentity index='0' materialName='Test/Blue'/>"
        "      <subentity index='1'/></subentities></entity><entity/></entities>"
        "  </instancedGeometry>"
        "</instancedGeometries>"
        "</scene>");
    scene.Load(path, TestEngine::Window(), generic, TestEngine::RESOURCE_GROUP);
    EXPECT_EQ(nullptr, scene.GetInstancedGeometry("Ignored"));
    Tarnel::TarnelInstancedGeometry* trees = scene.GetInstancedGeometry("Trees");
    ASSERT_NE(nullptr, trees);
    EXPECT_FALSE(trees->isVisible());
    EXPECT_FALSE(trees->getCastShadows());
    EXPECT_EQ(51, trees->getRenderQueueGroup());
    EXPECT_EQ(Vector3(10, 20, 30), trees->getBatchInstanceDimensions());
    EXPECT_EQ(Vector3(1, 0, 0), trees->getOrigin());
    ASSERT_EQ(4u, trees->getBatchInstanceCount()) << "the batch and three more copies";
    EXPECT_TRUE(generic->hasStaticGeometry("Trees")) << "instanced and static geometry have their own names";
    for (const char* name : {"InstancedGeometry/Trees/0", "InstancedGeometry/Trees/1", "InstancedGeometry/Trees/2",
                             "InstancedGeometry/Trees/3"})
    {
        ASSERT_TRUE(generic->hasStaticGeometry(name)) << name;
        StaticGeometry* batch = generic->getStaticGeometry(name);
        EXPECT_FALSE(batch->isVisible());
        EXPECT_EQ(Vector3(10, 20, 30), batch->getRegionDimensions());
        EXPECT_FALSE(batch->getRegions().empty()) << name << " holds the baked meshes";
    }
    EXPECT_FALSE(generic->hasEntity("__instancedGeometryEntity"));

    Tarnel::TarnelScene twice;
    std::string second = WriteFile("twice.scene", "<scene><instancedGeometries><instancedGeometry name='Twin'/>"
                                                  "<instancedGeometry name='Twin'/></instancedGeometries></scene>");
    EXPECT_SCENE_ERROR(twice.Load(second, TestEngine::Window(), generic, TestEngine::RESOURCE_GROUP),
                       ItemIdentityException, "InstancedGeometry with name 'Twin' already exists!",
                       "TarnelScene::LoadInstancedGeometry");
    scene.Destroy();
    TestEngine::DestroySceneManager(generic);
}

TEST_F(SceneLoading, NoSceneManagerMakesOne)
{
    std::string path = WriteFile("own.scene", NodesScene("<node name='Own'/>"));
    scene.Load(path, TestEngine::Window(), nullptr, TestEngine::RESOURCE_GROUP);
    SceneManager* made = scene.GetSceneManager();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("MyPCZSceneMgr", made->getName());
    EXPECT_EQ("PCZSceneManager", made->getTypeName());
    EXPECT_TRUE(made->getRootSceneNode()->getChild("Own"));
    scene.Destroy();
    TestEngine::DestroySceneManager(made);
}

TEST_F(SceneLoading, DestroyReleasesAndResets)
{
    LoadText(NodesScene("<node name='N'><entity meshFile='TwoPart.mesh'/></node>",
                        "<externals><item name='I'/></externals><queryFlags><queryFlag name='Q'/></queryFlags>"));
    scene.Destroy();
    EXPECT_EQ(nullptr, scene.GetObject("N"));
    EXPECT_TRUE(scene.GetExternalItems().empty());
    EXPECT_TRUE(scene.GetQueryFlagAliases().empty());
    EXPECT_TRUE(scene.GetResourceLocations().empty());
    EXPECT_TRUE(scene.GetBaseResourceLocation().empty());
    EXPECT_FALSE(scene.IsLoadedFromFileSystem());
    EXPECT_TRUE(sceneManager->hasEntity("N")) << "the engine's objects stay";

    Tarnel::TarnelScene fresh;
    fresh.Destroy();
    EXPECT_EQ(Tarnel::UP_AXIS_Y, fresh.GetUpAxis());
}

TEST(RenderWindowIterator, OneWindowOrNone)
{
    Tarnel::TarnelOneRenderWindow none(nullptr);
    EXPECT_FALSE(none.Start());
    EXPECT_EQ(nullptr, none.GetCurrent());

    RenderWindow* window = TestEngine::Window();
    Tarnel::TarnelOneRenderWindow one(window);
    int visits = 0;
    if (one.Start())
    {
        do
        {
            EXPECT_EQ(window, one.GetCurrent());
            ++visits;
        } while (one.MoveNext());
    }
    EXPECT_EQ(1, visits);
    EXPECT_EQ(nullptr, one.GetCurrent());
}

class SceneSections : public SceneTest
{
};

TEST_F(SceneSections, FlagAliasesAreTheDirectChildren)
{
    LoadText("<scene>"
             "<queryFlags><queryFlag name='Walls' bit='3'/><group><queryFlag name='Nested' bit='9'/></group>"
             "  <queryFlag name='Doors'/></queryFlags>"
             "<visibilityFlags><visibilityFlag name='A' bit='1'/><visibilityFlag name='B' bit='2'/>"
             "  <visibilityFlag name='C' bit='4'/></visibilityFlags>"
             "<visibilityFlags><visibilityFlag name='Z' bit='7'/></visibilityFlags>"
             "</scene>");
    const auto& query = scene.GetQueryFlagAliases();
    ASSERT_EQ(2u, query.size());
    EXPECT_EQ("Walls", query[0].name);
    EXPECT_EQ(3, query[0].bit);
    EXPECT_EQ("Doors", query[1].name);
    EXPECT_EQ(0, query[1].bit);

    const auto& visibility = scene.GetVisibilityFlagAliases();
    ASSERT_EQ(1u, visibility.size()) << "a later element replaces the list";
    EXPECT_EQ("Z", visibility[0].name);
    EXPECT_EQ(7, visibility[0].bit);
}

TEST_F(SceneSections, ExternalItemsInDocumentOrder)
{
    LoadText("<scene>"
             "<externals>"
             "  <item name='One' type='spawn'><position x='1' y='2' z='3'/><position x='4'/>"
             "    <scale x='2'/><file name='a.dat'/><userDataReference id='r'/><userData>u</userData>"
             "    <boundingVolume type='box'><size x='1' y='1' z='1'/></boundingVolume>"
             "    <noteTracks><noteTrack name='t'><note time='1'>n</note></noteTrack></noteTracks>"
             "  </item>"
             "  <comment/>"
             "  <item name='Two'><rotation angleY='1.5707964'/></item>"
             "</externals>"
             "<nodes/>"
             "<externals><item name='Three'/></externals>"
             "</scene>");
    const auto& items = scene.GetExternalItems();
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ("One", items[0].name);
    EXPECT_EQ("spawn", items[0].type);
    EXPECT_EQ(Vector3(4, 0, 0), items[0].position);
    EXPECT_EQ(Vector3(2, 0, 0), items[0].scale);
    EXPECT_EQ("a.dat", items[0].file);
    EXPECT_EQ("r", items[0].userDataReference);
    EXPECT_EQ("u", items[0].userData);
    EXPECT_EQ(Tarnel::BoundingVolume::BOX, items[0].boundingVolume.type);
    ASSERT_EQ(1u, items[0].noteTracks.size());
    EXPECT_EQ("n", items[0].noteTracks[0].notes[0].text);
    EXPECT_EQ("Two", items[1].name);
    EXPECT_EQ(Vector3::UNIT_SCALE, items[1].scale);
    EXPECT_EQ(Tarnel::BoundingVolume::NONE, items[1].boundingVolume.type);
    EXPECT_EQ("Three", items[2].name);
}

TEST_F(SceneSections, ExternalItemWithABadBoundingVolumeEndsTheLoad)
{
    EXPECT_UTILITIES_ERROR(LoadText("<scene><externals><item><boundingVolume type='cone'/></item></externals>"
                                    "</scene>"),
                           InvalidParametersException, "Invalid bounding volume type specified: cone",
                           "TarnelUtilities::ParseBoundingVolumeType");
}
