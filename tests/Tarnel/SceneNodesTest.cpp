#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgrePCZSceneNode.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreSkeletonInstance.h>
#include <OgreSubEntity.h>
#include <OgreTagPoint.h>

using namespace Ogre;

using Nodes = SceneTest;

TEST_F(Nodes, NamesAndEngineMadeNames)
{
    LoadNodes("<node name='Named'><node/></node><modelInstance name='Instance'/><node/>");
    SceneNode* root = sceneManager->getRootSceneNode();
    ASSERT_EQ(3u, root->numChildren());
    EXPECT_EQ(std::make_pair(String("Named"), String("Instance")),
              std::make_pair(root->getChild(0)->getName(), root->getChild(1)->getName()));
    const String& unnamed = root->getChild(2)->getName();
    const String& nested = root->getChild(0)->getChild(0)->getName();
    EXPECT_TRUE(StringUtil::startsWith(unnamed, "Unnamed_", false)) << unnamed;
    EXPECT_TRUE(StringUtil::startsWith(nested, "Unnamed_", false)) << nested;
    EXPECT_NE(unnamed, nested);
}

TEST_F(Nodes, NamesAreUniqueAlsoAgainstTheNodesBeforeTheLevel)
{
    // Such as the viewer's camera node, which the level used to replace in the scene's index.
    sceneManager->getRootSceneNode()->createChildSceneNode("CamNode");
    EXPECT_SCENE_ERROR(LoadNodes("<node name='CamNode'/>"), ItemIdentityException,
                       "A scene node with the name CamNode already exists", "TarnelScene::LoadNode");
}

TEST_F(Nodes, LenientNamesRenameRepeatsInsteadOfEndingTheLoad)
{
    scene.SetLenientNames(true);
    LoadNodes("<node name='Twin'><light name='L'/></node><node name='Twin'><light name='L'/></node>"
              "<node name='Twin'><light/></node>");
    typedef std::pair<String, String> Renamed;
    EXPECT_EQ((std::vector<Renamed>{{"Twin", "Twin#2"}, {"L", "L#2"}, {"Twin", "Twin#3"}}), scene.GetRenamed());
    EXPECT_EQ("Twin#2", scene.GetObject("L#2")->getParentSceneNode()->getName());
    EXPECT_EQ("Twin#3", scene.GetObject("Twin#3")->getParentSceneNode()->getName()) << "unnamed: the node's name";
}

TEST_F(Nodes, TransformsInDocumentOrderBecomeTheInitialState)
{
    LoadNodes("<node name='N'><position x='1' y='2' z='3'/><position x='4' y='5' z='6'/><scale x='2' y='3'/>"
              "<rotation axisX='0' axisY='1' axisZ='0' angle='1.5707964'/><unknown/></node>");
    SceneNode* node = scene.GetSceneNode("N");
    Quaternion quarter(Radian(Math::HALF_PI), Vector3::UNIT_Y);
    EXPECT_EQ(std::make_pair(Vector3(4, 5, 6), Vector3(2, 3, 1e-6f)), std::make_pair(node->getPosition(), node->getScale()));
    EXPECT_TRUE(SameRotation(quarter, node->getOrientation()));
    EXPECT_EQ(Vector3(4, 5, 6), node->getInitialPosition());
    EXPECT_TRUE(SameRotation(quarter, node->getInitialOrientation()));
}

TEST_F(Nodes, ExtraDataOnlyForNodesWithIdOrUserData)
{
    LoadNodes("<node name='WithId' id='7'/><node name='WithText'><userData>a</userData><userData>b</userData>"
              "<userDataReference id='r1'/></node><node name='Plain'/>");
    Tarnel::Types::ObjectExtraDataPtr withId = scene.GetNodeExtraData(scene.GetSceneNode("WithId"));
    ASSERT_NE(nullptr, withId);
    EXPECT_EQ("7", withId->id);
    EXPECT_EQ(std::make_pair(scene.GetSceneNode("WithId"), (MovableObject*)nullptr),
              std::make_pair(withId->node, withId->object));
    Tarnel::Types::ObjectExtraDataPtr withText = scene.GetNodeExtraData(scene.GetSceneNode("WithText"));
    ASSERT_NE(nullptr, withText);
    EXPECT_EQ("b", withText->userData) << "a later element replaces an earlier one";
    EXPECT_EQ("r1", withText->userDataReference);
    EXPECT_EQ(nullptr, scene.GetNodeExtraData(scene.GetSceneNode("Plain")));
}

TEST_F(Nodes, VisibilityAppliesAfterTheChildren)
{
    LoadNodes("<node name='Tree' visibility='TreeHidden'><entity meshFile='TwoPart.mesh'/>"
              "<node name='Inner'><entity meshFile='TwoPart.mesh'/></node></node>"
              "<node name='Self' visibility='hidden'><entity meshFile='TwoPart.mesh'/>"
              "<node name='Shown'><entity meshFile='TwoPart.mesh'/></node></node>"
              "<node name='Left' visibility='sometimes'><entity meshFile='TwoPart.mesh' visible='false'/></node>");
    for (const auto& [name, visible] : std::initializer_list<std::pair<const char*, bool>>{
             {"Tree", false}, {"Inner", false}, {"Self", false}, {"Shown", true}, {"Left", false}})
        EXPECT_EQ(visible, Get(name)->getVisible()) << name; // an unknown word leaves the node as it is
}

TEST_F(Nodes, LookTargetsAreAppliedInOrderAfterAllNodes)
{
    LoadNodes("<node name='Watcher'><lookTarget nodeName='Later'/>"
              "<lookTarget nodeName='Later' relativeTo='world'><position x='0' y='0' z='10'/>"
              "<localDirection x='0' y='0' z='1'/></lookTarget></node>"
              "<node name='Follower'><trackTarget nodeName='Later'><offset x='1'/>"
              "<localDirection x='1' y='0' z='0'/></trackTarget></node>"
              "<node name='Later'><position x='10' y='0' z='0'/></node>"
              "<node name='Parent'><position x='0' y='0' z='5'/>"
              "<node name='Child'><lookTarget nodeName='Later' relativeTo='local'/></node></node>"
              // A point needs no node.
              "<node name='Pointer'><lookTarget relativeTo='world'><position x='0' y='0' z='10'/></lookTarget></node>");
    // The second request wins: its local +Z faces the world point (0, 0, 10).
    EXPECT_TRUE(Near(Vector3::UNIT_Z, scene.GetSceneNode("Watcher")->getOrientation() * Vector3::UNIT_Z));
    EXPECT_TRUE(Near(Vector3::UNIT_Z, scene.GetSceneNode("Pointer")->getOrientation() * Vector3::NEGATIVE_UNIT_Z));
    SceneNode* follower = scene.GetSceneNode("Follower");
    EXPECT_EQ(scene.GetSceneNode("Later"), follower->getAutoTrackTarget());
    EXPECT_EQ(std::make_pair(Vector3(1, 0, 0), Vector3::UNIT_X),
              std::make_pair(follower->getAutoTrackOffset(), follower->getAutoTrackLocalDirection()));
    // Without a position, the target node's place in the world counts, whatever the relativeTo.
    EXPECT_TRUE(Near(Vector3(10, 0, -5).normalisedCopy(),
                     scene.GetSceneNode("Child")->_getDerivedOrientation() * Vector3::NEGATIVE_UNIT_Z));
}

class Zones : public SceneTest
{
protected:
    PCZone* Zone(const String& name) { return sceneManager->getZoneByName(name); }

    std::vector<String> PortalNames(const String& zone)
    {
        std::vector<String> names;
        for (Portal* portal : Zone(zone)->mPortals)
            names.push_back(portal->getName());
        return names;
    }
};

TEST_F(Zones, PortalsMakeTheirNodeAZone)
{
    LoadNodes("<node name='Room1'><position x='10' y='0' z='0'/>"
              "<portal name='A' type='quad' x0='0' y0='0' z0='0' x1='1' y1='0' z1='0' x2='1' y2='1' z2='0' x3='0' "
              "y3='1' z3='0'/><portal name='B' type='quad' x0='1' y0='2' z0='3' x1='4' y1='5' z1='6'/>"
              "<portal type='quad'/><node name='Plain'/><node name='Inner'><portal name='A' type='quad'/></node>"
              "<position x='20' y='0' z='0'/></node>"
              // Other portal types make a zone without portals.
              "<node name='Round'><portal name='S' type='sphere' x='1' y='1' z='1' radius='2'/>"
              "<portal name='Q' type='Quad'/><portal name='A' type='AAB'/></node>");
    ASSERT_NE(nullptr, Zone("Room1_PCZone"));
    EXPECT_EQ(scene.GetSceneNode("Room1"), Zone("Room1_PCZone")->getEnclosureNode());
    EXPECT_EQ((std::vector<String>{"Room1_A", "Room1_B", "Room1_"}), PortalNames("Room1_PCZone"));
    // The derived corners take the node's transform as it was when the portal was read.
    Portal* a = Zone("Room1_PCZone")->mPortals.front();
    EXPECT_TRUE(Near(Vector3(10, 0, 0), a->getDerivedCorner(0)));
    EXPECT_TRUE(Near(Vector3(11, 1, 0), a->getDerivedCorner(2)));
    EXPECT_EQ(Vector3(20, 0, 0), scene.GetSceneNode("Room1")->getPosition());
    Portal* b = *std::next(Zone("Room1_PCZone")->mPortals.begin());
    EXPECT_EQ((std::vector<Vector3>{Vector3(1, 2, 3), Vector3(4, 5, 6), Vector3::ZERO, Vector3::ZERO}),
              (std::vector<Vector3>{b->getCorner(0), b->getCorner(1), b->getCorner(2), b->getCorner(3)}));
    EXPECT_EQ(scene.GetSceneNode("Room1"), b->getParentSceneNode());
    EXPECT_EQ(nullptr, Zone("Plain_PCZone")) << "nodes without portals are not zones";
    EXPECT_EQ((std::vector<String>{"Inner_A"}), PortalNames("Inner_PCZone"));
    ASSERT_NE(nullptr, Zone("Round_PCZone"));
    EXPECT_TRUE(Zone("Round_PCZone")->mPortals.empty());
}

TEST_F(Zones, NodesBelowAZonesNodeAreHomeInIt)
{
    LoadNodes("<node name='Room'><node name='Early'/><portal type='quad'/><node name='Late'><node name='Deep'/></node>"
              "<node name='Nested'><portal type='quad'/><node name='NestedProp'/></node></node><node name='Outside'/>");
    auto homeOf = [this](const char* name) {
        return static_cast<PCZSceneNode*>(scene.GetSceneNode(name))->getHomeZone();
    };
    for (const char* name : {"Room", "Early", "Late", "Deep"})
        EXPECT_EQ(Zone("Room_PCZone"), homeOf(name)) << name;
    for (const char* name : {"Nested", "NestedProp"})
        EXPECT_EQ(Zone("Nested_PCZone"), homeOf(name)) << name;
    EXPECT_NE(Zone("Room_PCZone"), homeOf("Outside"));
}

using Entities = SceneTest;

TEST_F(Entities, NamesComeFromTheElementOrTheNode)
{
    LoadNodes("<node name='Box'><entity meshFile='TwoPart.mesh'/></node><node><entity meshFile='TwoPart.mesh'/></node>"
              "<node name='Holder'><entity name='Given' meshFile='TwoPart.mesh'/></node>");
    EXPECT_EQ(scene.GetSceneNode("Box"), Get("Box")->getParentSceneNode());
    SceneNode* unnamed = static_cast<SceneNode*>(sceneManager->getRootSceneNode()->getChild(1));
    EXPECT_EQ(unnamed, Get(unnamed->getName())->getParentSceneNode());
    EXPECT_EQ(scene.GetSceneNode("Holder"), Get("Given")->getParentSceneNode());

    // The second of one name is not made at all.
    EXPECT_SCENE_ERROR(LoadFresh(NodesScene("<node name='A'><entity name='Same' meshFile='TwoPart.mesh'/></node>"
                                            "<node name='B'><entity name='Same' meshFile='TwoPart.mesh'/></node>")),
                       ItemIdentityException, "Duplicate object name: Same", "TarnelScene::GetNewObjectName");
    EXPECT_FALSE(scene.GetSceneNode("B")->numAttachedObjects());
}

TEST_F(Entities, Settings)
{
    LoadNodes("<node name='N'><entity name='Set' meshFile='TwoPart.mesh' queryFlags='6' visibilityFlags='12' "
              "visible='false' castShadows='false' renderQueue='queue2+3' renderingDistance='75' id='e1' "
              "receiveShadows='no'><userData>text</userData><userDataReference id='ref'/>"
              "<noteTracks><noteTrack name='one'/></noteTracks>"
              "<customParameters><customParameter id='2' x='1' y='2' z='3' w='4'/></customParameters></entity>"
              "<entity name='Defaults' meshFile='TwoPart.mesh' queryFlags='0' visible=''/></node>");
    Entity* set = Get("Set");
    EXPECT_EQ(std::make_pair(6u, 12u), std::make_pair(set->getQueryFlags(), set->getVisibilityFlags()));
    EXPECT_EQ(std::make_pair(false, false), std::make_pair(set->getVisible(), set->getCastShadows()));
    EXPECT_EQ(std::make_pair(23, 75.0f), std::make_pair(int(set->getRenderQueueGroup()), set->getRenderingDistance()));
    EXPECT_EQ(Vector4(1, 2, 3, 4), set->getSubEntity(1)->getCustomParameter(2));
    Tarnel::Types::ObjectExtraDataPtr extra = scene.GetObjectExtraData(set);
    ASSERT_NE(nullptr, extra);
    EXPECT_EQ(set, extra->object);
    EXPECT_EQ(std::make_tuple(String("e1"), String("text"), String("ref"), false),
              std::make_tuple(extra->id, extra->userData, extra->userDataReference, extra->receiveShadows));
    ASSERT_TRUE(extra->noteTracks);
    EXPECT_EQ("one", (*extra->noteTracks)[0].name);

    Entity* defaults = Get("Defaults");
    EXPECT_EQ(std::make_pair(MovableObject::getDefaultQueryFlags(), MovableObject::getDefaultVisibilityFlags()),
              std::make_pair(defaults->getQueryFlags(), defaults->getVisibilityFlags()));
    EXPECT_EQ(std::make_pair(true, true), std::make_pair(defaults->getVisible(), defaults->getCastShadows()));
    EXPECT_EQ(RENDER_QUEUE_MAIN, defaults->getRenderQueueGroup());
    Tarnel::Types::ObjectExtraDataPtr plain = scene.GetObjectExtraData(defaults);
    ASSERT_NE(nullptr, plain) << "every entity is registered";
    EXPECT_FALSE(plain->HasUserData());
    EXPECT_TRUE(plain->receiveShadows);
}

TEST_F(Entities, SubEntityMaterialsWinOverTheEntityMaterial)
{
    LoadNodes("<node name='N'><entity name='Both' meshFile='TwoPart.mesh' materialFile='Test/Blue'><subentities>"
              "<subentity index='1' materialName='Test/Red'/><subentity index='0'/></subentities></entity>"
              "<entity name='Extra' meshFile='TwoPart.mesh'><subentities><subentity index='0' materialName=''/>"
              "<subentity index='1' materialName='Test/Blue'/><subentity index='2' materialName='Test/Red'/>"
              "</subentities></entity></node>");
    auto materials = [&](const char* name) {
        return std::make_pair(Get(name)->getSubEntity(0)->getMaterialName(), Get(name)->getSubEntity(1)->getMaterialName());
    };
    EXPECT_EQ(std::make_pair(String("Test/Blue"), String("Test/Red")), materials("Both"));
    // An empty name leaves the mesh's material.
    EXPECT_EQ(std::make_pair(String("Test/Red"), String("Test/Blue")), materials("Extra"));
}

TEST_F(Entities, BufferUsagesReachTheMesh)
{
    // The usages apply when the mesh is loaded, so this test must load it first.
    if (MeshManager::getSingleton().getByName("Walker.mesh", TestEngine::RESOURCE_GROUP))
        MeshManager::getSingleton().remove("Walker.mesh", TestEngine::RESOURCE_GROUP);
    LoadNodes("<node name='N'><entity meshFile='Walker.mesh'><vertexBuffer usage='dynamicWriteOnly' useShadow='false'/>"
              "<indexBuffer usage='static'/></entity></node>");
    MeshPtr mesh = MeshManager::getSingleton().getByName("Walker.mesh", TestEngine::RESOURCE_GROUP);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(std::make_pair(HardwareBuffer::Usage(HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY), false),
              std::make_pair(mesh->getVertexBufferUsage(), mesh->isVertexBufferShadowed()));
    EXPECT_EQ(std::make_pair(HardwareBuffer::Usage(HardwareBuffer::HBU_STATIC), true),
              std::make_pair(mesh->getIndexBufferUsage(), mesh->isIndexBufferShadowed()));
}

TEST_F(Entities, BoneAttachmentsWithOffsetsInDocumentOrder)
{
    LoadNodes("<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
              "<boneAttachment bone='Head'><entity name='Before' meshFile='TwoPart.mesh'/><position x='1' y='2' z='3'/>"
              "<scale x='2' y='2'/><rotation axisX='0' axisY='1' axisZ='0' angle='1.5707964'/>"
              "<entity name='After' meshFile='TwoPart.mesh'/></boneAttachment>"
              "<anything bone='Root'><position x='0' y='0' z='1'/></anything>"
              "<boneAttachment><entity meshFile='TwoPart.mesh'/></boneAttachment></boneAttachments></entity></node>");
    Bone* head = Get("Walker")->getSkeleton()->getBone("Head");
    TagPoint* before = static_cast<TagPoint*>(Get("Before")->getParentNode());
    EXPECT_EQ(head, before->getParent());
    EXPECT_EQ(std::make_pair(Vector3::ZERO, Vector3::UNIT_SCALE), std::make_pair(before->getPosition(), before->getScale()));
    TagPoint* after = static_cast<TagPoint*>(Get("After")->getParentNode());
    EXPECT_EQ(head, after->getParent());
    // A missing z scales by 0.
    EXPECT_EQ(std::make_pair(Vector3(1, 2, 3), Vector3(2, 2, 1e-6f)), std::make_pair(after->getPosition(), after->getScale()));
    EXPECT_TRUE(SameRotation(Quaternion(Radian(Math::HALF_PI), Vector3::UNIT_Y), after->getOrientation()));

    // An attachment without an object is an empty tag point; its element name does not matter.
    const Node::ChildNodeMap& onRoot = Get("Walker")->getSkeleton()->getBone("Root")->getChildren();
    EXPECT_TRUE(std::any_of(onRoot.begin(), onRoot.end(), [](Node* child) {
        TagPoint* tagPoint = dynamic_cast<TagPoint*>(child);
        return tagPoint && tagPoint->getPosition() == Vector3(0, 0, 1) && !tagPoint->getChildObject();
    }));
    // An unnamed object on a bone has the empty name, and without a bone hangs on nothing.
    ASSERT_NE(nullptr, Get(""));
    EXPECT_FALSE(Get("")->isAttached());
    EXPECT_EQ(2u, Get("Walker")->getAttachedObjects().size());
}
