#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreSubEntity.h>
#include <OgreTagPoint.h>

using namespace Ogre;

namespace
{
    ::testing::AssertionResult SameRotation(const Quaternion& expected, const Quaternion& actual)
    {
        if (expected.equals(actual, Degree(0.1f)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
    }

    ::testing::AssertionResult Near(const Vector3& expected, const Vector3& actual)
    {
        if (expected.positionEquals(actual, 1e-4f))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
    }
}

class Nodes : public SceneTest
{
};

TEST_F(Nodes, NamesAndEngineMadeNames)
{
    LoadText(NodesScene("<node name='Named'><node/></node><modelInstance name='Instance'/><node/>"));
    SceneNode* root = sceneManager->getRootSceneNode();
    ASSERT_EQ(3u, root->numChildren());
    EXPECT_EQ("Named", root->getChild(0)->getName());
    EXPECT_EQ("Instance", root->getChild(1)->getName());
    const String& unnamed = root->getChild(2)->getName();
    EXPECT_TRUE(StringUtil::startsWith(unnamed, "Unnamed_", false)) << unnamed;
    const String& nested = root->getChild(0)->getChild(0)->getName();
    EXPECT_TRUE(StringUtil::startsWith(nested, "Unnamed_", false)) << nested;
    EXPECT_NE(unnamed, nested);
}

TEST_F(Nodes, NodeNamesAreUnique)
{
    EXPECT_SCENE_ERROR(LoadText(NodesScene("<node name='Twin'/><node name='Other'><node name='Twin'/></node>")),
                       ItemIdentityException, "A scene node with the name Twin already exists", "TarnelScene::LoadNode");

    // Also against the nodes that were there before the level, such as the viewer's camera node.
    sceneManager->getRootSceneNode()->createChildSceneNode("CamNode");
    Tarnel::TarnelScene other;
    std::string path = WriteFile("camera-node.scene", NodesScene("<node name='CamNode'/>"));
    EXPECT_SCENE_ERROR(other.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                       ItemIdentityException, "A scene node with the name CamNode already exists",
                       "TarnelScene::LoadNode");
}

TEST_F(Nodes, TransformsInDocumentOrderBecomeTheInitialState)
{
    LoadText(NodesScene("<node name='N'><position x='1' y='2' z='3'/><position x='4' y='5' z='6'/>"
                        "<scale x='2' y='3'/><rotation axisX='0' axisY='1' axisZ='0' angle='1.5707964'/>"
                        "<unknown/></node>"));
    SceneNode* node = scene.GetSceneNode("N");
    EXPECT_EQ(Vector3(4, 5, 6), node->getPosition());
    EXPECT_EQ(Vector3(2, 3, 0), node->getScale());
    Quaternion quarter;
    quarter.FromAngleAxis(Radian(Math::HALF_PI), Vector3::UNIT_Y);
    EXPECT_TRUE(SameRotation(quarter, node->getOrientation()));
    EXPECT_EQ(Vector3(4, 5, 6), node->getInitialPosition());
    EXPECT_TRUE(SameRotation(quarter, node->getInitialOrientation()));
}

TEST_F(Nodes, ExtraDataOnlyForNodesWithIdOrUserData)
{
    LoadText(NodesScene("<node name='WithId' id='7'/>"
                        "<node name='WithText'><userData>a</userData><userData>b</userData>"
                        "  <userDataReference id='r1'/></node>"
                        "<node name='Plain'/>"));
    Tarnel::Types::ObjectExtraDataPtr withId = scene.GetNodeExtraData(scene.GetSceneNode("WithId"));
    ASSERT_NE(nullptr, withId);
    EXPECT_EQ("7", withId->id);
    EXPECT_EQ(scene.GetSceneNode("WithId"), withId->node);
    EXPECT_EQ(nullptr, withId->object);

    Tarnel::Types::ObjectExtraDataPtr withText = scene.GetNodeExtraData(scene.GetSceneNode("WithText"));
    ASSERT_NE(nullptr, withText);
    EXPECT_EQ("b", withText->userData) << "a later element replaces an earlier one";
    EXPECT_EQ("r1", withText->userDataReference);
    EXPECT_EQ(nullptr, scene.GetNodeExtraData(scene.GetSceneNode("Plain")));
}

TEST_F(Nodes, VisibilityAppliesAfterTheChildren)
{
    LoadText(NodesScene("<node name='Tree' visibility='TreeHidden'><entity meshFile='TwoPart.mesh'/>"
                        "  <node name='Inner'><entity meshFile='TwoPart.mesh'/></node></node>"
                        "<node name='Self' visibility='hidden'><entity meshFile='TwoPart.mesh'/>"
                        "  <node name='Shown'><entity meshFile='TwoPart.mesh'/></node></node>"
                        "<node name='Left' visibility='sometimes'><entity meshFile='TwoPart.mesh' visible='false'/>"
                        "</node>"));
    EXPECT_FALSE(scene.GetObject("Tree")->getVisible());
    EXPECT_FALSE(scene.GetObject("Inner")->getVisible());
    EXPECT_FALSE(scene.GetObject("Self")->getVisible());
    EXPECT_TRUE(scene.GetObject("Shown")->getVisible());
    EXPECT_FALSE(scene.GetObject("Left")->getVisible()) << "an unknown word leaves the node as it is";
}

TEST_F(Nodes, LookTargetsAreAppliedInOrderAfterAllNodes)
{
    LoadText(NodesScene("<node name='Watcher'>"
                        "  <lookTarget nodeName='Later'/>"
                        "  <lookTarget nodeName='Later' relativeTo='world'><position x='0' y='0' z='10'/>"
                        "    <localDirection x='0' y='0' z='1'/></lookTarget>"
                        "</node>"
                        "<node name='Follower'><trackTarget nodeName='Later'><offset x='1'/>"
                        "  <localDirection x='1' y='0' z='0'/></trackTarget></node>"
                        "<node name='Later'><position x='10' y='0' z='0'/></node>"));
    // The second request wins: its local +Z faces the world point (0, 0, 10).
    SceneNode* watcher = scene.GetSceneNode("Watcher");
    EXPECT_TRUE(Near(Vector3::UNIT_Z, watcher->getOrientation() * Vector3::UNIT_Z));

    SceneNode* follower = scene.GetSceneNode("Follower");
    EXPECT_EQ(scene.GetSceneNode("Later"), follower->getAutoTrackTarget());
    EXPECT_EQ(Vector3(1, 0, 0), follower->getAutoTrackOffset());
    EXPECT_EQ(Vector3::UNIT_X, follower->getAutoTrackLocalDirection());
}

TEST_F(Nodes, LookTargetWithoutAPositionLooksAtTheNodeInWorldSpace)
{
    LoadText(NodesScene("<node name='Parent'><position x='0' y='0' z='5'/>"
                        "  <node name='Watcher'><lookTarget nodeName='Target' relativeTo='local'/></node></node>"
                        "<node name='Target'><position x='0' y='0' z='-5'/></node>"));
    SceneNode* watcher = scene.GetSceneNode("Watcher");
    EXPECT_TRUE(Near(Vector3::NEGATIVE_UNIT_Z, watcher->_getDerivedOrientation() * Vector3::NEGATIVE_UNIT_Z));
}

TEST_F(Nodes, LookTargetErrors)
{
    EXPECT_UTILITIES_ERROR(LoadText(NodesScene("<node name='N'><lookTarget nodeName='N' relativeTo='screen'/></node>")),
                           InvalidParametersException, "Invalid transform space specified: screen",
                           "TarnelUtilities::ParseTransformSpace");
    Tarnel::TarnelScene other;
    std::string path = WriteFile("missing-target.scene", NodesScene("<node name='M'><lookTarget nodeName='Nobody'/></node>"));
    EXPECT_THROW(other.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                 ItemIdentityException);
}

class Zones : public SceneTest
{
protected:
    PCZone* Zone(const String& name) { return sceneManager->getZoneByName(name); }

    static std::vector<String> PortalNames(PCZone* zone)
    {
        std::vector<String> names;
        for (Portal* portal : zone->mPortals)
            names.push_back(portal->getName());
        return names;
    }
};

TEST_F(Zones, PortalsMakeTheirNodeAZone)
{
    LoadText(NodesScene("<node name='Room1'>"
                        "  <portal name='A' type='quad' x0='0' y0='0' z0='0' x1='1' y1='0' z1='0' x2='1' y2='1' z2='0'"
                        "          x3='0' y3='1' z3='0'/>"
                        "  <portal name='B' type='quad' x0='1' y0='2' z0='3' x1='4' y1='5' z1='6'/>"
                        "  <portal type='quad'/>"
                        "  <node name='Plain'/>"
                        "</node>"));
    PCZone* zone = Zone("Room1_PCZone");
    ASSERT_NE(nullptr, zone);
    EXPECT_EQ(scene.GetSceneNode("Room1"), zone->getEnclosureNode());
    EXPECT_EQ((std::vector<String>{"Room1_A", "Room1_B", "Room1_"}), PortalNames(zone));
    Portal* b = zone->mPortals.front();
    b = *std::next(zone->mPortals.begin());
    EXPECT_EQ(Vector3(1, 2, 3), b->getCorner(0));
    EXPECT_EQ(Vector3(4, 5, 6), b->getCorner(1));
    EXPECT_EQ(Vector3::ZERO, b->getCorner(2));
    EXPECT_EQ(Vector3::ZERO, b->getCorner(3));
    EXPECT_EQ(scene.GetSceneNode("Room1"), b->getParentSceneNode());
    EXPECT_EQ(nullptr, Zone("Plain_PCZone")) << "nodes without portals are not zones";
}

TEST_F(Zones, OtherPortalTypesMakeAZoneWithoutPortals)
{
    LoadText(NodesScene("<node name='Round'><portal name='S' type='sphere' x='1' y='1' z='1' radius='2'/>"
                        "<portal name='Q' type='Quad'/><portal name='A' type='AAB'/></node>"));
    PCZone* zone = Zone("Round_PCZone");
    ASSERT_NE(nullptr, zone);
    EXPECT_TRUE(zone->mPortals.empty());
}

TEST_F(Zones, DerivedCornersUseTheTransformWhenThePortalIsRead)
{
    LoadText(NodesScene("<node name='Moved'><position x='10' y='0' z='0'/>"
                        "  <portal name='P' type='quad' x0='0' y0='0' z0='0' x1='1' y1='0' z1='0' x2='1' y2='1' z2='0'"
                        "          x3='0' y3='1' z3='0'/>"
                        "  <position x='20' y='0' z='0'/></node>"));
    Portal* portal = Zone("Moved_PCZone")->mPortals.front();
    EXPECT_TRUE(Near(Vector3(10, 0, 0), portal->getDerivedCorner(0)));
    EXPECT_TRUE(Near(Vector3(11, 1, 0), portal->getDerivedCorner(2)));
    EXPECT_EQ(Vector3(20, 0, 0), scene.GetSceneNode("Moved")->getPosition());
}

TEST_F(Zones, NestedNodesGetZonesOfTheirOwn)
{
    LoadText(NodesScene("<node name='Outer'><portal name='P' type='quad'/>"
                        "  <node name='Inner'><portal name='P' type='quad'/></node></node>"));
    ASSERT_NE(nullptr, Zone("Outer_PCZone"));
    ASSERT_NE(nullptr, Zone("Inner_PCZone"));
    EXPECT_EQ((std::vector<String>{"Outer_P"}), PortalNames(Zone("Outer_PCZone")));
    EXPECT_EQ((std::vector<String>{"Inner_P"}), PortalNames(Zone("Inner_PCZone")));
}

TEST_F(Zones, MatchingPortalsConnect)
{
    // Two rooms side by side, joined by a doorway at x = 5 whose corners each room gives in reverse order.
    LoadText(NodesScene(
        "<node name='West'><portal name='Door' type='quad' x0='5' y0='0' z0='-1' x1='5' y1='0' z1='1'"
        "  x2='5' y2='2' z2='1' x3='5' y3='2' z3='-1'/></node>"
        "<node name='East'><position x='10' y='0' z='0'/><portal name='Door' type='quad' x0='-5' y0='2' z0='-1'"
        "  x1='-5' y1='2' z1='1' x2='-5' y2='0' z2='1' x3='-5' y3='0' z3='-1'/></node>"));
    sceneManager->connectPortalsToTargetZonesByLocation();
    EXPECT_EQ(Zone("East_PCZone"), Zone("West_PCZone")->mPortals.front()->getTargetZone());
    EXPECT_EQ(Zone("West_PCZone"), Zone("East_PCZone")->mPortals.front()->getTargetZone());
}

class Entities : public SceneTest
{
protected:
    Entity* GetEntity(const String& name) { return static_cast<Entity*>(scene.GetObject(name)); }
};

TEST_F(Entities, NamesComeFromTheElementOrTheNode)
{
    LoadText(NodesScene("<node name='Box'><entity meshFile='TwoPart.mesh'/></node>"
                        "<node><entity meshFile='TwoPart.mesh'/></node>"
                        "<node name='Holder'><entity name='Given' meshFile='TwoPart.mesh'/></node>"));
    Entity* byNode = GetEntity("Box");
    ASSERT_NE(nullptr, byNode);
    EXPECT_EQ(scene.GetSceneNode("Box"), byNode->getParentSceneNode());
    SceneNode* unnamed = static_cast<SceneNode*>(sceneManager->getRootSceneNode()->getChild(1));
    Entity* byEngineName = GetEntity(unnamed->getName());
    ASSERT_NE(nullptr, byEngineName);
    EXPECT_EQ(unnamed, byEngineName->getParentSceneNode());
    EXPECT_NE(nullptr, GetEntity("Given"));
}

TEST_F(Entities, DuplicateNamesFail)
{
    EXPECT_SCENE_ERROR(LoadText(NodesScene("<node name='Twice'><entity meshFile='TwoPart.mesh'/>"
                                           "<entity meshFile='TwoPart.mesh'/></node>")),
                       ItemIdentityException, "Duplicate object name: Twice", "TarnelScene::GetNewObjectName");

    Tarnel::TarnelScene other;
    std::string path = WriteFile("explicit.scene",
                                 NodesScene("<node name='A'><entity name='Same' meshFile='TwoPart.mesh'/></node>"
                                            "<node name='B'><entity name='Same' meshFile='TwoPart.mesh'/></node>"));
    EXPECT_SCENE_ERROR(other.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP),
                       ItemIdentityException, "Duplicate object name: Same", "TarnelScene::GetNewObjectName");
    EXPECT_FALSE(other.GetSceneNode("B")->numAttachedObjects()) << "nothing of the second entity is created";
}

TEST_F(Entities, Settings)
{
    LoadText(NodesScene("<node name='N'>"
                        "<entity name='Set' meshFile='TwoPart.mesh' queryFlags='6' visibilityFlags='12' visible='false'"
                        "  castShadows='false' renderQueue='queue2+3' renderingDistance='75' id='e1' receiveShadows='no'>"
                        "  <userData>text</userData><userDataReference id='ref'/>"
                        "  <noteTracks><noteTrack name='one'/></noteTracks>"
                        "  <customParameters><customParameter id='2' x='1' y='2' z='3' w='4'/></customParameters>"
                        "</entity>"
                        "<entity name='Defaults' meshFile='TwoPart.mesh' queryFlags='0' visible=''/>"
                        "</node>"));
    Entity* set = GetEntity("Set");
    EXPECT_EQ(6u, set->getQueryFlags());
    EXPECT_EQ(12u, set->getVisibilityFlags());
    EXPECT_FALSE(set->getVisible());
    EXPECT_FALSE(set->getCastShadows());
    EXPECT_EQ(23, set->getRenderQueueGroup());
    EXPECT_EQ(75, set->getRenderingDistance());
    for (size_t i = 0; i < set->getNumSubEntities(); ++i)
        EXPECT_EQ(Vector4(1, 2, 3, 4), set->getSubEntity(i)->getCustomParameter(2));

    Tarnel::Types::ObjectExtraDataPtr extra = scene.GetObjectExtraData(set);
    ASSERT_NE(nullptr, extra);
    EXPECT_EQ(set, extra->object);
    EXPECT_EQ("e1", extra->id);
    EXPECT_EQ("text", extra->userData);
    EXPECT_EQ("ref", extra->userDataReference);
    EXPECT_FALSE(extra->receiveShadows);
    ASSERT_TRUE(extra->noteTracks);
    EXPECT_EQ("one", (*extra->noteTracks)[0].name);

    Entity* defaults = GetEntity("Defaults");
    EXPECT_EQ(MovableObject::getDefaultQueryFlags(), defaults->getQueryFlags());
    EXPECT_EQ(MovableObject::getDefaultVisibilityFlags(), defaults->getVisibilityFlags());
    EXPECT_TRUE(defaults->getVisible());
    EXPECT_TRUE(defaults->getCastShadows());
    EXPECT_EQ(RENDER_QUEUE_MAIN, defaults->getRenderQueueGroup());
    Tarnel::Types::ObjectExtraDataPtr plain = scene.GetObjectExtraData(defaults);
    ASSERT_NE(nullptr, plain) << "every entity is registered";
    EXPECT_FALSE(plain->HasUserData());
    EXPECT_TRUE(plain->receiveShadows);
}

TEST_F(Entities, SubEntityMaterialsWinOverTheEntityMaterial)
{
    LoadText(NodesScene("<node name='N'>"
                        "<entity name='Both' meshFile='TwoPart.mesh' materialFile='Test/Blue'>"
                        "  <subentities><subentity index='1' materialName='Test/Red'/><subentity index='0'/>"
                        "  </subentities></entity>"
                        "<entity name='Extra' meshFile='TwoPart.mesh'>"
                        "  <subentities><subentity index='0' materialName=''/><subentity index='1' materialName='Test/Blue'/>"
                        "  <subentity index='2' materialName='Test/Red'/></subentities></entity>"
                        "</node>"));
    Entity* both = GetEntity("Both");
    EXPECT_EQ("Test/Blue", both->getSubEntity(0)->getMaterialName());
    EXPECT_EQ("Test/Red", both->getSubEntity(1)->getMaterialName());
    Entity* extra = GetEntity("Extra");
    EXPECT_EQ("Test/Red", extra->getSubEntity(0)->getMaterialName()) << "an empty name leaves the mesh's material";
    EXPECT_EQ("Test/Blue", extra->getSubEntity(1)->getMaterialName());
}

TEST_F(Entities, BufferUsagesReachTheMesh)
{
    // The usages apply when the mesh is loaded, so this test must load it first.
    if (MeshManager::getSingleton().getByName("Walker.mesh", TestEngine::RESOURCE_GROUP))
        MeshManager::getSingleton().remove("Walker.mesh", TestEngine::RESOURCE_GROUP);
    LoadText(NodesScene("<node name='N'><entity meshFile='Walker.mesh'>"
                        "<vertexBuffer usage='dynamicWriteOnly' useShadow='false'/><indexBuffer usage='static'/>"
                        "</entity></node>"));
    MeshPtr mesh = MeshManager::getSingleton().getByName("Walker.mesh", TestEngine::RESOURCE_GROUP);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY, mesh->getVertexBufferUsage());
    EXPECT_FALSE(mesh->isVertexBufferShadowed());
    EXPECT_EQ(HardwareBuffer::HBU_STATIC, mesh->getIndexBufferUsage());
    EXPECT_TRUE(mesh->isIndexBufferShadowed());
}

TEST_F(Entities, EntityErrorsEndTheLoad)
{
    EXPECT_UTILITIES_ERROR(LoadText(NodesScene("<node name='N'><entity meshFile='TwoPart.mesh' renderQueue='front'/>"
                                               "</node>")),
                           InvalidParametersException, "Invalid render queue specified: front",
                           "TarnelUtilities::ParseRenderQueue");
    Tarnel::TarnelScene other;
    std::string path = WriteFile("no-mesh.scene", NodesScene("<node name='M'><entity meshFile='NoSuch.mesh'/></node>"));
    EXPECT_THROW(other.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP), FileNotFoundException);
}

TEST_F(Entities, BoneAttachmentsWithOffsetsInDocumentOrder)
{
    LoadText(NodesScene(
        "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
        "  <boneAttachment bone='Head'>"
        "    <entity name='Before' meshFile='TwoPart.mesh'/>"
        "    <position x='1' y='2' z='3'/><scale x='2' y='2'/><rotation axisX='0' axisY='1' axisZ='0' angle='1.5707964'/>"
        "    <entity name='After' meshFile='TwoPart.mesh'/>"
        "  </boneAttachment>"
        "  <anything bone='Root'><position x='0' y='0' z='1'/></anything>"
        "  <boneAttachment><entity meshFile='TwoPart.mesh'/></boneAttachment>"
        "</boneAttachments></entity></node>"));
    Entity* walker = GetEntity("Walker");
    ASSERT_NE(nullptr, walker);
    Bone* head = walker->getSkeleton()->getBone("Head");

    TagPoint* before = static_cast<TagPoint*>(GetEntity("Before")->getParentNode());
    EXPECT_EQ(head, before->getParent());
    EXPECT_EQ(Vector3::ZERO, before->getPosition());
    EXPECT_EQ(Vector3::UNIT_SCALE, before->getScale());

    TagPoint* after = static_cast<TagPoint*>(GetEntity("After")->getParentNode());
    EXPECT_EQ(head, after->getParent());
    EXPECT_EQ(Vector3(1, 2, 3), after->getPosition());
    EXPECT_EQ(Vector3(2, 2, 0), after->getScale()) << "a missing z scales by 0";
    Quaternion quarter;
    quarter.FromAngleAxis(Radian(Math::HALF_PI), Vector3::UNIT_Y);
    EXPECT_TRUE(SameRotation(quarter, after->getOrientation()));

    // An attachment without an object is an empty tag point; its element name does not matter.
    Bone* root = walker->getSkeleton()->getBone("Root");
    bool emptyTagPoint = false;
    for (Node* child : root->getChildren())
    {
        TagPoint* tagPoint = dynamic_cast<TagPoint*>(child);
        if (tagPoint && tagPoint->getPosition() == Vector3(0, 0, 1) && !tagPoint->getChildObject())
            emptyTagPoint = true;
    }
    EXPECT_TRUE(emptyTagPoint);

    // An unnamed object on a bone has the empty name and hangs on nothing.
    Entity* unnamed = GetEntity("");
    ASSERT_NE(nullptr, unnamed);
    EXPECT_FALSE(unnamed->isAttached());
    EXPECT_EQ(4u, walker->getAttachedObjects().size() + 2) << "Before and After hang on the walker's bones";
}

TEST_F(Entities, UnnamedObjectsOnBonesShareTheEmptyName)
{
    EXPECT_SCENE_ERROR(LoadText(NodesScene(
                           "<node name='A'><entity name='W1' meshFile='Walker.mesh'><boneAttachments>"
                           "  <boneAttachment bone='Head'><entity meshFile='TwoPart.mesh'/></boneAttachment>"
                           "</boneAttachments></entity></node>"
                           "<node name='B'><entity name='W2' meshFile='Walker.mesh'><boneAttachments>"
                           "  <boneAttachment bone='Head'><entity meshFile='TwoPart.mesh'/></boneAttachment>"
                           "</boneAttachments></entity></node>")),
                       ItemIdentityException, "Duplicate object name: ", "TarnelScene::GetNewObjectName");
}
