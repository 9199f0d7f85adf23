#ifndef TARNEL_APP_X_CLIPBOARD_H
#define TARNEL_APP_X_CLIPBOARD_H

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

union _XEvent; // Xlib's event, whose header is not for every user of this one

/** The X display's clipboard, for text copied from the viewer and pasted into it. X keeps no
    text itself: the program that copied answers every program that pastes, for as long as it
    owns the selection. So this holds the text and answers from a thread of its own, on a
    connection of its own to the display (the engine's is not shared across threads). It owns
    both CLIPBOARD (Ctrl+V elsewhere) and PRIMARY (the middle button) and offers the text as
    UTF8_STRING and TEXT. The connection is opened at the first use; without a display the
    clipboard is this program's alone. */
class XClipboard
{
public:
    XClipboard();
    ~XClipboard();
    XClipboard(const XClipboard&) = delete;
    XClipboard& operator=(const XClipboard&) = delete;

    /// Copies the text (UTF-8): this program owns the clipboard from now on.
    void Set(const std::string& text);
    /** The clipboard's text, from whichever program owns it; this program's own text when no
        other answers within a quarter of a second. */
    std::string Get();
    /// Whether other programs can paste what Set copied: the display took the ownership.
    bool OwnsSelection();

private:
    enum class Request
    {
        NONE,
        OWN,
        FETCH,
        STOP
    };

    struct Connection;

    bool Start();
    void Run();
    /// Answers another program's request for the text, or notes that it took the clipboard.
    void Handle(const _XEvent& event);
    /// The owner's text, asked for and waited for; this program's own when none answers.
    std::string FetchFromOwner();
    /// Waits for the thread to carry the request out; false when it did not within the time.
    bool Ask(Request request, std::unique_lock<std::mutex>& lock);

    std::mutex mutex;
    std::condition_variable done;
    std::unique_ptr<Connection> x;
    std::thread thread;
    int wake = -1; ///< an eventfd the thread polls beside the display's connection
    bool started = false, usable = false;
    Request pending = Request::NONE;
    std::string text;    ///< what this program copied
    std::string fetched; ///< what the last Get found
    bool owner = false;
};

#endif
