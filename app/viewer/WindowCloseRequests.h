#ifndef TARNEL_APP_WINDOW_CLOSE_REQUESTS_H
#define TARNEL_APP_WINDOW_CLOSE_REQUESTS_H

#include <OgrePrerequisites.h>

/** Lets a window manager close the render window cleanly.

    This engine build gives its windows no usable close protocol (its
    WM_DELETE_WINDOW atom is None), so a window manager would kill the program
    instead of asking it to close. This declares the standard protocol on the
    window and turns each close request into the form the engine's message pump
    recognises, which then closes the window and tells the window listeners. */
class WindowCloseRequests
{
public:
    explicit WindowCloseRequests(Ogre::RenderWindow* window);

    /// Call before each message pump.
    void Translate();

private:
    void* display = nullptr;
    unsigned long window = 0;
    unsigned long protocolsAtom = 0;
    unsigned long deleteWindowAtom = 0;
    unsigned long engineAtom = 0;
};

#endif
