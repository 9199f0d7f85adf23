#include "ZelFrameListener.h"
#include "Viewer.h"

#include <OgreAnimationState.h>
#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

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

bool ZelFrameListener::frameEnded(const FrameEvent&)
{
    return true;
}

bool ZelFrameListener::readKeyboard(const FrameEvent& event)
{
    if (!ExampleFrameListener::readKeyboard(event))
        return false;
    if (keyboard->isKeyDown(OIS::KC_SPACE) && toggleDelay <= 0)
    {
        animationsPlaying = !animationsPlaying;
        LogManager::getSingleton().logMessage(animationsPlaying ? "Animations play" : "Animations paused");
        toggleDelay = 0.5f;
    }
    return true;
}

void ZelFrameListener::applyCameraMotion()
{
    SceneNode* node = camera->getParentSceneNode();
    node->yaw(yawAngle, Node::TS_WORLD);
    node->pitch(pitchAngle, Node::TS_LOCAL);
    node->translate(translation, Node::TS_LOCAL);
}
