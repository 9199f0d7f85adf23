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
    LoadText("<scene><nodes>"
             "<node name='Lamp'><light/></node>"
             "<node name='Holder'>"
             "  <light name='Sun' type='directional' castShadows='false' power='2' visible='false' queryFlags='5'"
             "    id='sun-1'><normal x='0' y='-1' z='0'/><userData>warm</userData></light>"
             "  <light name='PointRange'><lightRange outer='1.0'/><lightAttenuation range='50'/></light>"
             "  <light name='Spot' type='spot'><lightRange outer='1.0'/><position x='1' y='2' z='3'/></light>"
             "  <light name='Tinted'><colourDiffuse r='1' g='0' b='0' a='0.5'/><colourDiffuse g='1'/>"
             "    <colourSpecular r='0.5'/></light>"
             "</node>"
             "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
             "  <boneAttachment bone='Head'><light name='HeadLamp'/></boneAttachment>"
             "</boneAttachments></entity></node>"
             "</nodes><light name='Loose'/></scene>");

    Light* lamp = GetLight("Lamp");
    ASSERT_NE(nullptr, lamp) << "an unnamed light takes its node's name";
    EXPECT_EQ(scene.GetSceneNode("Lamp"), lamp->getParentSceneNode());
    EXPECT_EQ(Light::LT_POINT, lamp->getType());
    EXPECT_TRUE(lamp->getCastShadows());
    EXPECT_EQ(1, lamp->getPowerScale());

    Light* sun = GetLight("Sun");
    EXPECT_EQ(Light::LT_DIRECTIONAL, sun->getType());
    EXPECT_FALSE(sun->getCastShadows());
    EXPECT_EQ(2, sun->getPowerScale());
    EXPECT_FALSE(sun->getVisible());
    EXPECT_EQ(5u, sun->getQueryFlags());
    EXPECT_EQ(Vector3::NEGATIVE_UNIT_Y, sun->getDirection());
    Tarnel::Types::ObjectExtraDataPtr sunData = scene.GetObjectExtraData(sun);
    ASSERT_TRUE(sunData);
    EXPECT_EQ("sun-1", sunData->id);
    EXPECT_EQ("warm", sunData->userData);

    // A range shapes only spotlights, in radians; what a range or an attenuation leaves out stays.
    Light* pointRange = GetLight("PointRange");
    EXPECT_FLOAT_EQ(Degree(40).valueRadians(), pointRange->getSpotlightOuterAngle().valueRadians());
    EXPECT_EQ(50, pointRange->getAttenuationRange());
    EXPECT_EQ(1, pointRange->getAttenuationConstant());
    EXPECT_EQ(0, pointRange->getAttenuationLinear());
    EXPECT_EQ(0, pointRange->getAttenuationQuadric());
    Light* spot = GetLight("Spot");
    EXPECT_FLOAT_EQ(1.0f, spot->getSpotlightOuterAngle().valueRadians());
    EXPECT_FLOAT_EQ(Degree(30).valueRadians(), spot->getSpotlightInnerAngle().valueRadians());
    EXPECT_EQ(Vector3(1, 2, 3), spot->getPosition());

    Light* tinted = GetLight("Tinted");
    EXPECT_EQ(ColourValue(0, 1, 0, 1), tinted->getDiffuseColour()) << "the later colour wins, alpha 1 by default";
    EXPECT_EQ(ColourValue(0.5f, 0, 0, 1), tinted->getSpecularColour());

    Light* headLamp = GetLight("HeadLamp");
    ASSERT_NE(nullptr, headLamp);
    TagPoint* tagPoint = dynamic_cast<TagPoint*>(headLamp->getParentNode());
    ASSERT_NE(nullptr, tagPoint);
    Entity* walker = static_cast<Entity*>(scene.GetObject("Walker"));
    EXPECT_EQ(walker->getSkeleton()->getBone("Head"), tagPoint->getParent());

    Light* loose = GetLight("Loose");
    ASSERT_NE(nullptr, loose);
    EXPECT_EQ(loose, sceneManager->getLight("Loose"));
    EXPECT_FALSE(loose->isAttached());
}

TEST_F(LightsAndCameras, Cameras)
{
    LoadText("<scene><nodes>"
             "<node name='Target'><position x='0' y='0' z='-10'/></node>"
             "<node name='Rig'><position x='10' y='0' z='0'/>"
             "  <camera name='Plain'><clipping near='2'/></camera>"
             "  <camera name='Ortho' fov='0.5' aspectRatio='2' type='orthographic' visibilityFlags='3'>"
             "    <position x='1' y='2' z='3'/><rotation axisX='0' axisY='1' axisZ='0' angle='1.5707964'/></camera>"
             "  <camera name='Watcher'><lookTarget nodeName='Target'/></camera>"
             "</node></nodes>"
             "<camera name='Loose'><normal x='1' y='0' z='0'/></camera></scene>");

    Camera* plain = GetCamera("Plain");
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(scene.GetSceneNode("Rig"), plain->getParentSceneNode());
    EXPECT_FLOAT_EQ(Math::HALF_PI, plain->getFOVy().valueRadians());
    EXPECT_FLOAT_EQ(1.33f, plain->getAspectRatio());
    EXPECT_EQ(PT_PERSPECTIVE, plain->getProjectionType());
    EXPECT_EQ(2, plain->getNearClipDistance());
    EXPECT_EQ(10000, plain->getFarClipDistance());

    Camera* ortho = GetCamera("Ortho");
    EXPECT_FLOAT_EQ(0.5f, ortho->getFOVy().valueRadians());
    EXPECT_EQ(2, ortho->getAspectRatio());
    EXPECT_EQ(PT_ORTHOGRAPHIC, ortho->getProjectionType());
    EXPECT_EQ(3u, ortho->getVisibilityFlags());
    EXPECT_EQ(Vector3(1, 2, 3), ortho->getPosition()) << "on the camera, not on its node";
    EXPECT_EQ(Vector3(10, 0, 0), scene.GetSceneNode("Rig")->getPosition());
    EXPECT_TRUE(ortho->getOrientation().equals(Quaternion(Radian(Math::HALF_PI), Vector3::UNIT_Y), Degree(0.1f)));

    // The camera itself turns toward the target's world position once every node exists.
    Vector3 toTarget = (Vector3(0, 0, -10) - Vector3(10, 0, 0)).normalisedCopy();
    EXPECT_TRUE(GetCamera("Watcher")->getDerivedDirection().positionEquals(toTarget, 1e-4f))
        << GetCamera("Watcher")->getDerivedDirection();

    Camera* loose = GetCamera("Loose");
    ASSERT_NE(nullptr, loose);
    EXPECT_FALSE(loose->isAttached());
    EXPECT_TRUE(loose->getDirection().positionEquals(Vector3::UNIT_X, 1e-4f));
}

TEST_F(LightsAndCameras, Errors)
{
    struct Case
    {
        const char* nodes;
        const char* description;
        const char* source;
        const std::type_info& kind;
    };
    const Case cases[] = {
        {"<node name='A'><entity name='Same' meshFile='TwoPart.mesh'/><light name='Same'/></node>",
         "Duplicate object name: Same", "TarnelScene::GetNewObjectName", typeid(ItemIdentityException)},
        {"<node name='A'><light/><camera/></node>", "Duplicate object name: A", "TarnelScene::GetNewObjectName",
         typeid(ItemIdentityException)},
        {"<node><light type='Area'/></node>", "Invalid light type specified: Area", "TarnelUtilities::ParseLightType",
         typeid(InvalidParametersException)},
        {"<node><camera type='fisheye'/></node>", "Invalid projection type specified: fisheye",
         "TarnelUtilities::ParseProjectionType", typeid(InvalidParametersException)},
    };
    for (const Case& c : cases)
    {
        Tarnel::TarnelScene fresh;
        std::string path = WriteFile("errors.scene", NodesScene(c.nodes));
        String file = String(c.source).find("Utilities") != String::npos ? "Tarnel/TarnelUtilities" : "Tarnel/TarnelScene";
        EXPECT_TRUE(RaisesEngineError([&]() { fresh.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP); },
                                      c.kind, c.description, c.source, file))
            << c.nodes;
        sceneManager = TestEngine::NewSceneManager();
    }
}
