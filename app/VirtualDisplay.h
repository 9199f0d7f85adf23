#ifndef TARNEL_APP_VIRTUAL_DISPLAY_H
#define TARNEL_APP_VIRTUAL_DISPLAY_H

/** The programs that draw without showing anything (the checker, the viewer's
    --screenshot) need an X display; where there is none they run again inside a
    virtual display of their own. */
namespace VirtualDisplay
{
    /// Whether an X display can be opened.
    bool Available();

    /** Runs this program again, with the same arguments, inside a virtual display of its
        own, unless this run is that one already; returns only when it cannot. */
    void RestartInside(char** argv);
}

#endif
