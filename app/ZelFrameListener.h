#ifndef TARNEL_APP_ZEL_FRAME_LISTENER_H
#define TARNEL_APP_ZEL_FRAME_LISTENER_H

#include "ExampleFrameListener.h"

/** The listener for walking through a level: the level starts in wireframe,
    motion moves and turns the camera's node (and so the light that hangs under
    it), and the statistics overlay is not refreshed. */
class ZelFrameListener : public ExampleFrameListener
{
public:
    /// Takes the window and the camera of the viewer's start-up.
    ZelFrameListener();

    bool frameEnded(const Ogre::FrameEvent& event) override;

protected:
    void applyCameraMotion() override;
};

#endif
