#ifndef TARNEL_APP_ZEL_FRAME_LISTENER_H
#define TARNEL_APP_ZEL_FRAME_LISTENER_H

#include "ExampleFrameListener.h"

#include <OgreQuaternion.h>

/** The listener for walking through a level: the level starts in wireframe,
    motion moves and turns the camera's node (and so the light that hangs under
    it), and the statistics overlay is not refreshed. Space plays and pauses the
    level's enabled node animations, which start paused; C looks through the
    level's cameras in turn, and after the last one returns to the start view. */
class ZelFrameListener : public ExampleFrameListener
{
public:
    /// Takes the window and the camera of the viewer's start-up.
    ZelFrameListener();

    bool frameRenderingQueued(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

protected:
    bool readKeyboard(const Ogre::FrameEvent& event) override;
    void applyCameraMotion() override;

    /// Moves the camera's node to the next level camera, or back to where it was before the first.
    void lookThroughNextLevelCamera();

    bool animationsPlaying = false;
    int levelCameraIndex = -1; ///< -1: the viewer's own view

    /// The viewer's own view, kept while it looks through the level's cameras.
    struct View
    {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        Ogre::Radian fovY;
        Ogre::Real nearClip = 0, farClip = 0;
    } startView;
};

#endif
