#include "support/SceneTest.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgreMovablePlane.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgreRenderTexture.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

using namespace Ogre;

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace
{
    /// What a listener added after the scene's sees during an update: visibility of named entities and the scheme.
    struct UpdateWatcher : RenderTargetListener
    {
        UpdateWatcher(SceneManager* sceneManager, std::vector<String> entities)
            : sceneManager(sceneManager), entities(std::move(entities)) {}
        void preRenderTargetUpdate(const RenderTargetEvent&) override
        {
            visibleDuringUpdate = VisibleNow();
            schemeDuringUpdate = MaterialManager::getSingleton().getActiveScheme();
        }
        std::vector<bool> VisibleNow() const
        {
            std::vector<bool> visible;
            for (const String& name : entities)
                visible.push_back(sceneManager->getEntity(name)->getVisible());
            return visible;
        }
        /// Updates the target with the watcher listening.
        void Update(RenderTarget* target)
        {
            target->addListener(this);
            target->update();
            target->removeListener(this);
        }
        SceneManager* sceneManager;
        std::vector<String> entities;
        std::vector<bool> visibleDuringUpdate;
        String schemeDuringUpdate;
    };

    RenderTarget* Target(const Tarnel::RenderTexture& renderTexture, size_t face = 0)
    {
        return renderTexture.texture->getBuffer(face)->getRenderTarget();
    }

    const char* const MIRROR_LEVEL =
        "<scene><renderTextures><renderTexture name='Mirror' width='64' height='64' camera='MirrorCam' "
        "renderObjectName='Floor' scheme='Reflect'><backgroundColor r='1'/><colourBackground g='1'/>"
        "<materials><material name='Test/Mirror'/><material name='No/Such'/><material name='Test/Mirror' pass='3'/>"
        "<material/></materials><hiddenObjects><hiddenObject name='Hidden'/><hiddenObject name='NoSuchNode'/>"
        "</hiddenObjects><exclusiveObjects><exclusiveObject name='Only'/></exclusiveObjects></renderTexture>"
        "<renderTexture name='Unseen' camera='Nobody'/><renderTexture name='Ghostly' camera='MirrorCam' "
        "renderObjectName='Ghost'><renderPlane y='1' d='-2'/></renderTexture></renderTextures>"
        "<nodes><node name='Floor'><plane name='Floor' material='Test/Mirror'><normal y='1'/></plane></node>"
        "<node name='Eye'><position y='2' z='5'/><camera name='MirrorCam'/></node>"
        "<node name='Hidden'><entity meshFile='TwoPart.mesh'/></node>"
        "<node name='Only'><entity meshFile='TwoPart.mesh'/></node></nodes></scene>";
}

using RenderTextures = SceneTest;

TEST_F(RenderTextures, AReflectionOnAPlane)
{
    LoadText(MIRROR_LEVEL);
    ASSERT_EQ(3u, scene.GetRenderTextures().size());
    const Tarnel::RenderTexture& mirror = *scene.GetRenderTextures()[0];
    EXPECT_EQ(std::make_pair(PF_A8R8G8B8, 64u), std::make_pair(mirror.texture->getFormat(), mirror.texture->getWidth()));
    Viewport* viewport = Target(mirror)->getViewport(0);
    EXPECT_EQ("MirrorCam", viewport->getCamera()->getName());
    EXPECT_EQ(ColourValue::Red, viewport->getBackgroundColour()) << "the texture's own colour element";
    EXPECT_EQ("Reflect", viewport->getMaterialScheme());
    EXPECT_EQ(scene.GetMovablePlane("Floor_movable"), mirror.renderPlaneObject) << "the plane's own movable plane";
    EXPECT_TRUE(mirror.camera->isReflected());
    TextureUnitState* layer =
        MaterialManager::getSingleton().getByName("Test/Mirror")->getTechnique(0)->getPass(0)->getTextureUnitState(0);
    EXPECT_EQ(1u, layer->getEffects().count(TextureUnitState::ET_PROJECTIVE_TEXTURE));
    TexturePtr texture = mirror.texture;
    EXPECT_EQ(texture, layer->_getTexturePtr()) << "the material shows the render texture";
    EXPECT_EQ(0u, Target(*scene.GetRenderTextures()[1])->getNumViewports()) << "an unknown camera gives no viewport";
    ASSERT_NE(nullptr, scene.GetMovablePlane("Ghost_movable"));
    EXPECT_EQ(Plane(0, 1, 0, -2), *scene.GetMovablePlane("Ghost_movable"));

    // During an update the reflection shows neither the floor nor the hidden node, only the exclusive one.
    UpdateWatcher watcher(sceneManager, {"Floor", "Hidden", "Only"});
    EXPECT_EQ((std::vector<bool>{true, false, false}), watcher.VisibleNow()) << "both lists start hidden";
    watcher.Update(Target(mirror));
    EXPECT_EQ((std::vector<bool>{false, false, true}), watcher.visibleDuringUpdate);
    EXPECT_EQ("Reflect", watcher.schemeDuringUpdate);
    EXPECT_EQ((std::vector<bool>{true, true, false}), watcher.VisibleNow());
    EXPECT_EQ(MaterialManager::DEFAULT_SCHEME_NAME, MaterialManager::getSingleton().getActiveScheme());

    // Destroy used to leave the material projecting a released texture.
    scene.Destroy();
    EXPECT_FALSE(sceneManager->getCamera("MirrorCam")->isReflected());
    EXPECT_EQ(0u, layer->getEffects().count(TextureUnitState::ET_PROJECTIVE_TEXTURE));
    EXPECT_NE(texture, layer->_getTexturePtr()) << "the material lets go of the texture";
    // The same loader loads a level again, in a new scene manager.
    LoadFresh(MIRROR_LEVEL);
    EXPECT_NO_THROW(Target(*scene.GetRenderTextures()[0])->update());
}

TEST_F(RenderTextures, CubeMapsFromSixFaceCameras)
{
    LoadText("<scene><renderTextures><renderTexture name='Cube' textureType='cubic' width='32' height='32' "
             "camera='Probe' renderObjectName='Ball'/><renderTexture name='Lonely' textureType='cubic' width='16' "
             "height='16'/></renderTextures><nodes><position x='100'/><node name='Ball'><position x='3'/>"
             "<entity meshFile='TwoPart.mesh'/></node><node name='ProbeNode'><camera name='Probe'>"
             "<clipping near='0.5' far='50'/></camera></node></nodes></scene>");
    const Tarnel::RenderTexture& cube = *scene.GetRenderTextures()[0];
    const Quaternion faces[6] = {{0.707107f, 0, -0.707107f, 0}, {-0.707107f, 0, -0.707107f, 0},
                                 {0.707107f, 0.707107f, 0, 0},  {0.707107f, -0.707107f, 0, 0},
                                 {1, 0, 0, 0},                  {0, 0, -1, 0}};
    for (int face = 0; face < 6; ++face)
    {
        Camera* camera = sceneManager->getCamera("Probe_CubeFaceCamera" + StringConverter::toString(face));
        EXPECT_EQ(camera, cube.cubeFaceCameras[face]);
        EXPECT_EQ(camera, Target(cube, face)->getViewport(0)->getCamera());
        EXPECT_TRUE(SameRotation(faces[face], camera->getDerivedOrientation())) << face;
        EXPECT_FLOAT_EQ(Math::HALF_PI, camera->getFOVy().valueRadians());
        EXPECT_EQ(Vector3(1, 0.5f, 50), Vector3(camera->getAspectRatio(), camera->getNearClipDistance(),
                                                camera->getFarClipDistance()));
        // In the world, whatever the root's transform: the cameras were once placed relative to the root.
        EXPECT_TRUE(camera->getDerivedPosition().positionEquals(Vector3(103, 0, 0), 1e-3f)) << face;
    }
    EXPECT_TRUE(sceneManager->hasCamera("Lonely_CubeFaceCamera5")) << "named after the texture without a camera";

    // The faces follow the object, which they do not show.
    UpdateWatcher watcher(sceneManager, {"Ball"});
    scene.GetSceneNode("Ball")->setPosition(5, 0, 0);
    watcher.Update(Target(cube, 2));
    EXPECT_EQ(std::vector<bool>{false}, watcher.visibleDuringUpdate);
    EXPECT_TRUE(cube.cubeFaceCameras[2]->getDerivedPosition().positionEquals(Vector3(105, 0, 0), 1e-3f));
    scene.Destroy();
    EXPECT_FALSE(sceneManager->hasCamera("Probe_CubeFaceCamera0"));
}

TEST_F(RenderTextures, OwnCamerasRenderFromTheZoneOfTheirPlace)
{
    // The zone manager draws from the zone of a camera's node: at the origin they showed the origin's zone.
    LoadText("<scene><renderTextures><renderTexture name='Cube' textureType='cubic' width='16' height='16' "
             "renderObjectName='Ball'/><renderTexture name='Flat' width='16' height='16' camera='Loose'/>"
             "</renderTextures><nodes><node name='Room'><position x='100'/><entity meshFile='TwoPart.mesh'/>"
             "<portal type='sphere'/><node name='Ball'/></node></nodes>"
             "<camera name='Loose'><position x='100'/></camera></scene>");
    auto* room = static_cast<PCZSceneManager*>(sceneManager)->getZoneByName("Room_PCZone");
    ASSERT_NE(nullptr, room);
    const Tarnel::RenderTexture& cube = *scene.GetRenderTextures()[0];
    const Tarnel::RenderTexture& flat = *scene.GetRenderTextures()[1];
    for (const Camera* camera : {cube.cubeFaceCameras[0], cube.cubeFaceCameras[5], flat.camera})
    {
        EXPECT_EQ(room, static_cast<PCZSceneNode*>(camera->getParentSceneNode())->getHomeZone()) << camera->getName();
        EXPECT_TRUE(camera->getDerivedPosition().positionEquals(Vector3(100, 0, 0), 1e-3f)) << camera->getName();
    }
    // Carried out of the room with what it shows, the cube's cameras go with it.
    scene.GetSceneNode("Ball")->setPosition(-200, 0, 0);
    Target(cube, 0)->update();
    EXPECT_NE(room, static_cast<PCZSceneNode*>(cube.cameraNode)->getHomeZone());
}
