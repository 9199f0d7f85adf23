#include "WindowCloseRequests.h"

#include <OgreRenderWindow.h>

#include <X11/Xlib.h>

#include <vector>

WindowCloseRequests::WindowCloseRequests(Ogre::RenderWindow* renderWindow)
{
    Display* xDisplay = nullptr;
    Window xWindow = 0;
    Atom atom = 0;
    renderWindow->getCustomAttribute("XDISPLAY", &xDisplay);
    renderWindow->getCustomAttribute("WINDOW", &xWindow);
    renderWindow->getCustomAttribute("ATOM", &atom);
    if (!xDisplay || !xWindow)
        return;

    display = xDisplay;
    window = xWindow;
    engineAtom = atom;
    protocolsAtom = XInternAtom(xDisplay, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(xDisplay, "WM_DELETE_WINDOW", False);
    deleteWindowAtom = deleteWindow;
    XSetWMProtocols(xDisplay, xWindow, &deleteWindow, 1);
    XFlush(xDisplay);
}

void WindowCloseRequests::Translate()
{
    if (!display || engineAtom == deleteWindowAtom)
        return;
    Display* xDisplay = static_cast<Display*>(display);
    std::vector<XEvent> messages;
    XEvent event;
    while (XCheckTypedWindowEvent(xDisplay, Window(window), ClientMessage, &event))
    {
        if (event.xclient.message_type == Atom(protocolsAtom) && event.xclient.format == 32 &&
            event.xclient.data.l[0] == long(deleteWindowAtom))
            event.xclient.data.l[0] = long(engineAtom);
        messages.push_back(event);
    }
    // Put back last first, so that the pump sees them in their order.
    for (auto message = messages.rbegin(); message != messages.rend(); ++message)
        XPutBackEvent(xDisplay, &*message);
}
