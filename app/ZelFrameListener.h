#ifndef TARNEL_APP_ZEL_FRAME_LISTENER_H
#define TARNEL_APP_ZEL_FRAME_LISTENER_H

#include "ExampleFrameListener.h"

/** The listener for walking through a level: the level starts in wireframe,
    motion moves and turns the camera's node (and so the light that hangs under
    it), and the statistics overlay is not refreshed. Space plays and pauses the
    level's enabled node animations, which start paused. */
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

    bool animationsPlaying = false;
};

#endif
