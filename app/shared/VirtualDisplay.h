#ifndef TARNEL_APP_VIRTUAL_DISPLAY_H
#define TARNEL_APP_VIRTUAL_DISPLAY_H

struct _XDisplay;

/** The programs that draw without showing anything (the checker, the viewer's
    --screenshot) need an X display; where there is none they run again inside a
    virtual display of their own. */
namespace VirtualDisplay
{
    /** A connection to the X display, held for as long as this object lives. An X server
        resets when its last client leaves and, while it does, refuses new ones; a program
        whose children draw one after another holds one so that the server stays up between
        them. */
    class Connection
    {
    public:
        Connection();
        ~Connection();
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;

        bool IsOpen() const { return display != nullptr; }

    private:
        _XDisplay* display;
    };

    /// Whether an X display can be opened.
    bool Available();

    /** Runs this program again, with the same arguments, inside a virtual display of its
        own, unless this run is that one already; returns only when it cannot. */
    void RestartInside(char** argv);
}

#endif
