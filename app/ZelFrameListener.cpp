#include "ZelFrameListener.h"
#include "Viewer.h"

#include "Tarnel/TarnelLevelViews.h"

#include <OgreAnimationState.h>
#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <OIS/OIS.h>

using namespace Ogre;

ZelFrameListener::ZelFrameListener() : ExampleFrameListener(Viewer::renderWindow, Viewer::camera)
{
    polygonModeIndex = 1;
    statsVisible = false; // the overlay stays on screen; only the flag changes
    camera->setPolygonMode(PM_WIREFRAME);
}

bool ZelFrameListener::frameRenderingQueued(const FrameEvent& event)
{
    if (!ExampleFrameListener::frameRenderingQueued(event))
        return false;
    if (animationsPlaying)
    {
        for (const auto& state : camera->getSceneManager()->getAnimationStates())
        {
            if (state.second->getEnabled())
                state.second->addTime(event.timeSinceLastFrame);
        }
    }
    return true;
}

bool ZelFrameListener::frameEnded(const FrameEvent& event)
{
    // The statistics overlay is on screen, so its figures are kept, as the fly-through's are.
    ExampleFrameListener::frameEnded(event);
    if (levelInfo.IsVisible())
        levelInfo.SetText(describeLevel());
    return true;
}

bool ZelFrameListener::readKeyboard(const FrameEvent& event)
{
    // The overlay's line goes with the next screenshot; the log keeps where the camera was.
    const bool cameraDetailsAsked = keyboard->isKeyDown(OIS::KC_P) && toggleDelay <= 0;
    if (!ExampleFrameListener::readKeyboard(event))
        return false;
    if (cameraDetailsAsked)
        LogManager::getSingleton().logMessage("Camera at " + StringConverter::toString(camera->getDerivedPosition()) +
                                              ", facing " +
                                              StringConverter::toString(camera->getDerivedOrientation()));
    if (keyboard->isKeyDown(OIS::KC_SPACE) && toggleDelay <= 0)
    {
        animationsPlaying = !animationsPlaying;
        LogManager::getSingleton().logMessage(animationsPlaying ? "Animations play" : "Animations paused");
        toggleDelay = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_C) && toggleDelay <= 0)
    {
        lookThroughNextLevelCamera();
        toggleDelay = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_F1) && toggleDelay <= 0)
    {
        levelInfo.SetVisible(!levelInfo.IsVisible());
        toggleDelay = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_O) && toggleDelay <= 0)
    {
        portalOutlines.SetVisible(!portalOutlines.IsVisible(), Viewer::sceneManager, Viewer::levelPortals);
        toggleDelay = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_F5) && toggleDelay <= 0)
    {
        reloadLevel();
        toggleDelay = 0.5f;
    }
    return true;
}

void ZelFrameListener::reloadLevel()
{
    reloadError.clear();
    if (!Viewer::ReloadLevel(reloadError))
    {
        levelInfo.SetVisible(true);
        return;
    }
    camera = Viewer::camera;
    levelCameraIndex = -1;
    if (portalOutlines.IsVisible())
        portalOutlines.SetVisible(true, Viewer::sceneManager, Viewer::levelPortals);
}

String ZelFrameListener::describeLevel() const
{
    String text = "Level: " + Viewer::levelFile + "\n";
    text += "Loaded in " + Viewer::levelLoadTime + " ms\n";
    if (!reloadError.empty())
        text += "Reload failed, this is the level as it was: " + reloadError + "\n";
    PCZone* zone = static_cast<PCZSceneNode*>(camera->getParentSceneNode())->getHomeZone();
    text += "Camera in zone: " + (zone ? zone->getName() : String("none")) + "\n";
    String cameras;
    for (size_t index = 0; index < Viewer::levelCameras.size(); ++index)
        cameras += (index ? ", " : "") + Viewer::levelCameras[index]->getName() +
                   (int(index) == levelCameraIndex ? " (looking through)" : "");
    text += "Level cameras: " + (cameras.empty() ? String("none") : cameras) + "\n";
    text += String("Animations: ") + (animationsPlaying ? "playing" : "paused") + "\n";
    text += "Flying speed: " + StringConverter::toString(moveSpeed) + " units a second (wheel, + and -)\n";
    text += "F1 panel  O portals  C cameras  Space animations  F5 reload";
    return text;
}

void ZelFrameListener::lookThroughNextLevelCamera()
{
    SceneNode* node = camera->getParentSceneNode();
    if (levelCameraIndex < 0)
        startView = {node->getPosition(), node->getOrientation(), camera->getFOVy(), camera->getNearClipDistance(),
                     camera->getFarClipDistance()};
    levelCameraIndex = levelCameraIndex + 1 < int(Viewer::levelCameras.size()) ? levelCameraIndex + 1 : -1;
    // The glide of the last motion would carry the view away from where it was put.
    translation = Vector3::ZERO;
    currentSpeed = 0;
    if (levelCameraIndex < 0)
    {
        node->setPosition(startView.position);
        node->setOrientation(startView.orientation);
        camera->setFOVy(startView.fovY);
        camera->setNearClipDistance(startView.nearClip);
        camera->setFarClipDistance(startView.farClip);
        Viewer::PlaceInZone(node);
        LogManager::getSingleton().logMessage("Camera: the viewer's own view");
        return;
    }
    const Camera* level = Viewer::levelCameras[levelCameraIndex];
    Tarnel::LookThrough(camera, level);
    LogManager::getSingleton().logMessage("Camera: the level's camera " + level->getName() + " at " +
                                          StringConverter::toString(level->getDerivedPosition()) + " in zone " +
                                          static_cast<PCZSceneNode*>(node)->getHomeZone()->getName());
}

void ZelFrameListener::applyCameraMotion()
{
    SceneNode* node = camera->getParentSceneNode();
    node->yaw(yawAngle, Node::TS_WORLD);
    node->pitch(pitchAngle, Node::TS_LOCAL);
    node->translate(translation, Node::TS_LOCAL);
}
