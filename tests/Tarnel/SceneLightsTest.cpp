#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreTagPoint.h>

using namespace Ogre;

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

class LightsAndCameras : public SceneTest
{
protected:
    Light* GetLight(const String& name) { return dynamic_cast<Light*>(scene.GetObject(name)); }
    Camera* GetCamera(const String& name) { return dynamic_cast<Camera*>(scene.GetObject(name)); }
};

TEST_F(LightsAndCameras, Lights)
{
    LoadText("<scene><nodes><node name='Lamp'><light/></node><node name='Holder'>"
             "  <light name='PointRange'><lightRange outer='1.0'/>"
             "    <lightAttenuation range='10' constant='2' linear='3' quadric='4'/><lightAttenuation range='50'/></light>"
             "  <light name='Spot' type='spot' castShadows='false'><lightRange inner='0.2' outer='0.9'/>"
             "    <lightRange outer='1.0'/><normal y='-1'/></light>"
             "  <light name='Tinted'><colourDiffuse r='1' a='0.5'/><colourDiffuse g='1'/></light></node>"
             "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
             "  <boneAttachment bone='Head'><light name='HeadLamp'/></boneAttachment>"
             "</boneAttachments></entity></node></nodes><light name='Loose'/></scene>");

    Light* lamp = GetLight("Lamp");
    ASSERT_NE(nullptr, lamp) << "an unnamed light takes its node's name";
    EXPECT_EQ(scene.GetSceneNode("Lamp"), lamp->getParentSceneNode());
    EXPECT_EQ(Light::LT_POINT, lamp->getType());
    EXPECT_TRUE(lamp->getCastShadows());
    EXPECT_TRUE(scene.GetObjectExtraData(lamp));

    // A range shapes only spotlights, in radians; what a range or an attenuation leaves out stays.
    Light* pointRange = GetLight("PointRange");
    EXPECT_FLOAT_EQ(Degree(40).valueRadians(), pointRange->getSpotlightOuterAngle().valueRadians());
    EXPECT_EQ(Vector4(50, 2, 3, 4), pointRange->getAttenuation());
    Light* spot = GetLight("Spot");
    EXPECT_FLOAT_EQ(1.0f, spot->getSpotlightOuterAngle().valueRadians());
    EXPECT_FLOAT_EQ(0.2f, spot->getSpotlightInnerAngle().valueRadians());
    EXPECT_FALSE(spot->getCastShadows());
    EXPECT_EQ(Vector3::NEGATIVE_UNIT_Y, spot->getDirection());
    EXPECT_EQ(ColourValue(0, 1, 0, 1), GetLight("Tinted")->getDiffuseColour()) << "the later colour wins, alpha 1";

    TagPoint* tagPoint = dynamic_cast<TagPoint*>(GetLight("HeadLamp")->getParentNode());
    ASSERT_NE(nullptr, tagPoint);
    EXPECT_EQ(static_cast<Entity*>(scene.GetObject("Walker"))->getSkeleton()->getBone("Head"), tagPoint->getParent());
    EXPECT_EQ(GetLight("Loose"), sceneManager->getLight("Loose"));
    EXPECT_FALSE(GetLight("Loose")->isAttached());
}

TEST_F(LightsAndCameras, Cameras)
{
    LoadText("<scene><nodes><node name='Target'><position z='-10'/></node>"
             "<node name='Rig'><position x='10'/><camera name='Plain'><clipping near='2'/><position y='1'/></camera>"
             "  <camera name='Watcher'><lookTarget nodeName='Target'/></camera></node></nodes>"
             "<camera name='Loose' type='orthographic'/></scene>");

    Camera* plain = GetCamera("Plain");
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(scene.GetSceneNode("Rig"), plain->getParentSceneNode());
    EXPECT_FLOAT_EQ(Math::HALF_PI, plain->getFOVy().valueRadians());
    EXPECT_FLOAT_EQ(1.33f, plain->getAspectRatio());
    EXPECT_EQ(2, plain->getNearClipDistance());
    EXPECT_EQ(10000, plain->getFarClipDistance());
    EXPECT_EQ(Vector3(0, 1, 0), plain->getPosition()) << "on the camera, not on its node";

    // The camera itself turns toward the target's world position once every node exists.
    Vector3 toTarget = Vector3(-10, 0, -10).normalisedCopy();
    EXPECT_TRUE(GetCamera("Watcher")->getDerivedDirection().positionEquals(toTarget, 1e-4f));
    EXPECT_EQ(Quaternion::IDENTITY, scene.GetSceneNode("Rig")->getOrientation());

    EXPECT_EQ(PT_ORTHOGRAPHIC, GetCamera("Loose")->getProjectionType());
    EXPECT_FALSE(GetCamera("Loose")->isAttached());
}

TEST_F(LightsAndCameras, NamesAreUniqueAcrossKinds)
{
    EXPECT_SCENE_ERROR(LoadText(NodesScene("<node name='A'><entity name='Same' meshFile='TwoPart.mesh'/>"
                                           "<light name='Same'/></node>")),
                       ItemIdentityException, "Duplicate object name: Same", "TarnelScene::GetNewObjectName");
}
