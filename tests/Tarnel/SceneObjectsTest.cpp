#include "support/SceneTest.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreKeyFrame.h>
#include <OgreLight.h>
#include <OgreMesh.h>
#include <OgreMovablePlane.h>
#include <OgreParticleSystem.h>
#include <OgreSkeletonInstance.h>
#include <OgreSubEntity.h>
#include <OgreTagPoint.h>

using namespace Ogre;

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

using Objects = SceneTest;

TEST_F(Objects, Lights)
{
    LoadText("<scene><nodes><node name='Lamp'><light/></node><node name='Holder'>"
             "<light name='PointRange'><lightRange outer='1.0'/>"
             "<lightAttenuation range='10' constant='2' linear='3' quadric='4'/><lightAttenuation range='50'/></light>"
             "<light name='Spot' type='spot' castShadows='false'><lightRange inner='0.2' outer='0.9'/>"
             "<lightRange outer='1.0'/><normal y='-1'/></light>"
             "<light name='Tinted'><colourDiffuse r='1' a='0.5'/><colourDiffuse g='1'/></light></node>"
             "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
             "<boneAttachment bone='Head'><light name='HeadLamp'/></boneAttachment></boneAttachments></entity></node>"
             "</nodes><light name='Loose'/></scene>");
    Light* lamp = Get<Light>("Lamp");
    ASSERT_NE(nullptr, lamp) << "an unnamed light takes its node's name";
    EXPECT_EQ(scene.GetSceneNode("Lamp"), lamp->getParentSceneNode());
    EXPECT_EQ(std::make_pair(Light::LT_POINT, true), std::make_pair(lamp->getType(), lamp->getCastShadows()));
    EXPECT_TRUE(scene.GetObjectExtraData(lamp));

    // A range shapes only spotlights, in radians; what a range or an attenuation leaves out stays.
    Light* pointRange = Get<Light>("PointRange");
    EXPECT_FLOAT_EQ(Degree(40).valueRadians(), pointRange->getSpotlightOuterAngle().valueRadians());
    EXPECT_EQ(Vector4(50, 2, 3, 4), pointRange->getAttenuation());
    Light* spot = Get<Light>("Spot");
    EXPECT_EQ(Vector2(1.0f, 0.2f), Vector2(spot->getSpotlightOuterAngle().valueRadians(),
                                           spot->getSpotlightInnerAngle().valueRadians()));
    EXPECT_FALSE(spot->getCastShadows());
    EXPECT_EQ(Vector3::NEGATIVE_UNIT_Y, spot->getDirection());
    EXPECT_EQ(ColourValue(0, 1, 0, 1), Get<Light>("Tinted")->getDiffuseColour()) << "the later colour wins, alpha 1";

    TagPoint* tagPoint = dynamic_cast<TagPoint*>(Get<Light>("HeadLamp")->getParentNode());
    ASSERT_NE(nullptr, tagPoint);
    EXPECT_EQ(Get("Walker")->getSkeleton()->getBone("Head"), tagPoint->getParent());
    EXPECT_EQ(Get<Light>("Loose"), sceneManager->getLight("Loose"));
    EXPECT_FALSE(Get<Light>("Loose")->isAttached());
}

TEST_F(Objects, Cameras)
{
    LoadText("<scene><nodes><node name='Target'><position z='-10'/></node>"
             "<node name='Rig'><position x='10'/><camera name='Plain'><clipping near='2'/><position y='1'/></camera>"
             "<camera name='Watcher'><lookTarget nodeName='Target'/></camera></node>"
             // Of a rotation and a normal, the later decides where a scene's camera looks.
             "<node name='Aims'><camera name='Turned'><normal x='1'/><rotation qx='0' qy='1' qz='0' qw='0'/></camera>"
             "<camera name='Aimed'><rotation qx='0' qy='1' qz='0' qw='0'/><normal x='1'/></camera></node></nodes>"
             "<camera name='Loose' type='orthographic'/></scene>");
    Camera* plain = Get<Camera>("Plain");
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(scene.GetSceneNode("Rig"), plain->getParentSceneNode());
    EXPECT_EQ(Vector4(Math::HALF_PI, 1.33f, 2, 10000), Vector4(plain->getFOVy().valueRadians(), plain->getAspectRatio(),
                                                               plain->getNearClipDistance(), plain->getFarClipDistance()));
    EXPECT_EQ(Vector3(0, 1, 0), plain->getPosition()) << "on the camera, not on its node";
    // The camera itself turns toward the target's world position once every node exists.
    EXPECT_TRUE(Near(Vector3(-10, 0, -10).normalisedCopy(), Get<Camera>("Watcher")->getDerivedDirection()));
    EXPECT_EQ(Quaternion::IDENTITY, scene.GetSceneNode("Rig")->getOrientation());
    EXPECT_TRUE(Near(Vector3::UNIT_Z, Get<Camera>("Turned")->getDerivedDirection()));
    EXPECT_TRUE(Near(Vector3::UNIT_X, Get<Camera>("Aimed")->getDerivedDirection()));
    EXPECT_EQ(PT_ORTHOGRAPHIC, Get<Camera>("Loose")->getProjectionType());
    EXPECT_FALSE(Get<Camera>("Loose")->isAttached());
}

TEST_F(Objects, BillboardSets)
{
    LoadNodes("<node name='Signs'><billboardSet poolSize='50' material='Test/Red'>"
              "<billboard width='3'><position x='1' y='2' z='3'/><colourDiffuse g='1'/></billboard>"
              "<billboard width='3' height='4'><rotation angleX='1.5707964'/>"
              "<texCoordRectangle left='0.5' top='0' right='0.5' bottom='1'/></billboard>"
              "<billboard><texCoordRectangle left='0' top='0' right='0.5' bottom='0.5'/></billboard>"
              "</billboardSet></node>");
    BillboardSet* set = Get<BillboardSet>("Signs");
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(Vector2(10, 10), Vector2(set->getDefaultWidth(), set->getDefaultHeight()));
    EXPECT_EQ(std::make_pair(BBR_VERTEX, 50u), std::make_pair(set->getBillboardRotationType(), set->getPoolSize()));
    EXPECT_EQ("Test/Red", set->getMaterialName());
    ASSERT_EQ(3, set->getNumBillboards());
    Billboard* first = set->getBillboard(0);
    EXPECT_EQ(std::make_pair(Vector3(1, 2, 3), ColourValue(0, 1, 0, 1)), std::make_pair(first->getPosition(), first->mColour));
    EXPECT_FALSE(first->hasOwnDimensions()) << "a width alone keeps the set's size";
    // A quarter turn about any axis is a quarter turn about the facing axis.
    Billboard* second = set->getBillboard(1);
    EXPECT_FLOAT_EQ(Math::HALF_PI, second->getRotation().valueRadians());
    EXPECT_EQ(Vector2(3, 4), Vector2(second->getOwnWidth(), second->getOwnHeight()));
    EXPECT_FALSE(second->isUseTexcoordRect()) << "a rectangle without width keeps the set's coordinates";
    EXPECT_TRUE(set->getBillboard(2)->isUseTexcoordRect());
}

TEST_F(Objects, AFixedPoolHoldsWhatItHolds)
{
    // The engine never shrinks a pool below 20; a full fixed pool makes no more billboards.
    LogRecorder log;
    std::string billboards;
    for (int i = 0; i < 22; ++i)
        billboards += "<billboard width='2' height='2'><position x='" + std::to_string(i) + "'/></billboard>";
    LoadNodes("<node name='Signs'><billboardSet poolSize='1' autoExtendPool='false'>" + billboards +
              "</billboardSet></node>");
    BillboardSet* set = Get<BillboardSet>("Signs");
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(20, set->getNumBillboards());
    EXPECT_EQ(1, log.Count("billboard set \"Signs\" has 22 billboards, more than its fixed pool of 20 holds "
                           "(autoExtendPool=\"false\"); the last 2 are left out"));
}

TEST_F(Objects, Planes)
{
    LoadNodes("<node name='Pool'><plane name='Water' distance='2' width='4' height='6' material='Test/Blue'"
              " castShadows='false'><normal y='1'/></plane><plane name='Flat' movablePlane='false'><normal y='1'/>"
              "</plane></node>");
    Entity* water = Get("Water");
    ASSERT_NE(nullptr, water);
    EXPECT_EQ("Test/Blue", water->getSubEntity(0)->getMaterialName());
    EXPECT_FALSE(water->getCastShadows());
    const AxisAlignedBox& bounds = water->getMesh()->getBounds();
    EXPECT_FLOAT_EQ(2, bounds.getCenter().y) << "at the distance along the normal";
    EXPECT_NEAR(24, bounds.getSize().x * bounds.getSize().z, 1);
    MovablePlane* movable = scene.GetMovablePlane("Water_movable");
    ASSERT_NE(nullptr, movable);
    EXPECT_EQ(Plane(Vector3::UNIT_Y, 2), *movable);
    EXPECT_EQ(scene.GetSceneNode("Pool"), movable->getParentSceneNode());
    EXPECT_EQ(nullptr, scene.GetMovablePlane("Flat_movable"));
    EXPECT_EQ(3u, scene.GetSceneNode("Pool")->numAttachedObjects()) << "two entities, one movable plane";

    // A plane facing its up vector (the default, Z) has no up, which the engine refuses: it takes Y.
    LogRecorder log;
    LoadFresh(NodesScene("<node name='N'><plane name='Wall' width='4' height='2'><normal z='1'/></plane></node>"));
    const Vector3 wall = Get("Wall")->getMesh()->getBounds().getSize();
    EXPECT_NEAR(2, wall.y, 0.1) << "its height up Y";
    EXPECT_NEAR(4, wall.x, 0.1);
    EXPECT_EQ(1, log.Count("Tarnel: plane \"Wall\" has its up vector 0 0 1 along its normal 0 0 1, which gives the "
                           "plane no up; its up is 0 1 0"));

    // A missing normal is zero, which is no plane: the reader refuses it before anything is made.
    try
    {
        LoadFresh(NodesScene("<node name='N'><plane name='Unset'/></node>"));
        ADD_FAILURE() << "a plane without a normal loaded";
    }
    catch (const InvalidParametersException& error)
    {
        EXPECT_EQ("The normal of plane Unset is 0 0 0, which is no direction", error.getDescription());
        EXPECT_STREQ("Tarnel/TarnelUtilities", error.getFile());
    }
    EXPECT_EQ(nullptr, scene.GetMovablePlane("Unset_movable"));
}

TEST_F(Objects, ParticleSystemsOnNodesAndBones)
{
    LoadNodes("<node name='Brazier'><particleSystem file='Test/Sparks' renderQueue='80'/></node>"
              "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments><boneAttachment "
              "bone='Head'><particleSystem name='Breath' file='Test/Sparks'/></boneAttachment></boneAttachments>"
              "</entity></node>");
    ParticleSystem* brazier = Get<ParticleSystem>("Brazier");
    ASSERT_NE(nullptr, brazier);
    EXPECT_EQ(10u, brazier->getParticleQuota()) << "made from the template";
    EXPECT_EQ(80, brazier->getRenderQueueGroup());
    EXPECT_NE(nullptr, dynamic_cast<TagPoint*>(Get<ParticleSystem>("Breath")->getParentNode()));
}

TEST_F(Objects, NodeAnimationsAreSharedByNameWithOneState)
{
    LoadNodes("<node name='First'><position x='5'/><animations>"
              "<animation name='Walk' length='2' loop='false' interpolationMode='linear'>"
              "<keyframe time='0'><translation x='1'/></keyframe><keyframe time='1'><scale x='2'/></keyframe>"
              "</animation></animations><position x='7'/></node>"
              "<node name='Second'><animations><animation name='Walk' length='9' enable='false' loop='true'/>"
              "<unknown/></animations></node>");
    Animation* walk = sceneManager->getAnimation("Walk");
    EXPECT_EQ(2, walk->getLength()) << "the first element makes the animation";
    EXPECT_EQ(Animation::IM_LINEAR, walk->getInterpolationMode());
    ASSERT_EQ(2u, walk->getNumNodeTracks());
    EXPECT_EQ(scene.GetSceneNode("First"), walk->getNodeTrack(1)->getAssociatedNode());
    EXPECT_EQ(scene.GetSceneNode("Second"), walk->getNodeTrack(2)->getAssociatedNode());
    EXPECT_EQ(0u, walk->getNodeTrack(2)->getNumKeyFrames());
    NodeAnimationTrack* track = walk->getNodeTrack(1);
    ASSERT_EQ(2u, track->getNumKeyFrames());
    EXPECT_EQ(Vector3(1, 0, 0), track->getNodeKeyFrame(0)->getTranslate());
    EXPECT_EQ(Vector3(2, 1e-6f, 1e-6f), track->getNodeKeyFrame(1)->getScale()) << "a missing y and z scale by next to nothing";

    AnimationState* state = scene.GetAnimationState("Walk");
    ASSERT_NE(nullptr, state);
    EXPECT_TRUE(state->getEnabled()) << "the second element's enable has no effect";
    EXPECT_FALSE(state->getLoop());
    // Key frames act from the identity; a transform after the animations only moves the node.
    SceneNode* first = scene.GetSceneNode("First");
    EXPECT_EQ(std::make_pair(Vector3::ZERO, Vector3(7, 0, 0)), std::make_pair(first->getInitialPosition(), first->getPosition()));
}
