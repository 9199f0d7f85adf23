#include "ZelFrameListener.h"
#include "Viewer.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

using namespace Ogre;

ZelFrameListener::ZelFrameListener() : ExampleFrameListener(Viewer::renderWindow, Viewer::camera)
{
    polygonModeIndex = 1;
    statsVisible = false; // the overlay stays on screen; only the flag changes
    camera->setPolygonMode(PM_WIREFRAME);
}

bool ZelFrameListener::frameEnded(const FrameEvent&)
{
    return true;
}

void ZelFrameListener::applyCameraMotion()
{
    SceneNode* node = camera->getParentSceneNode();
    node->yaw(yawAngle, Node::TS_WORLD);
    node->pitch(pitchAngle, Node::TS_LOCAL);
    node->translate(translation, Node::TS_LOCAL);
}
