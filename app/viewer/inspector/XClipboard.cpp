// The X clipboard: text copied here stays on offer while the viewer runs.
#include "XClipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdint>

namespace
{
    /// How long another program has to answer a paste before this program's own text is used.
    constexpr std::chrono::milliseconds ANSWER_TIME{250};

    void Signal(int wake)
    {
        const std::uint64_t one = 1;
        if (write(wake, &one, sizeof(one)) < 0)
        {
            // The counter is full only after 2^64 requests; nothing to do.
        }
    }
}

struct XClipboard::Connection
{
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0, targets = 0, utf8 = 0, text = 0, incr = 0, property = 0;
};

XClipboard::XClipboard() = default;

XClipboard::~XClipboard()
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!usable)
        return;
    Ask(Request::STOP, lock);
    lock.unlock();
    thread.join();
    XDestroyWindow(x->display, x->window);
    XCloseDisplay(x->display);
    close(wake);
}

void XClipboard::Set(const std::string& copied)
{
    std::unique_lock<std::mutex> lock(mutex);
    text = copied;
    if (Start())
        Ask(Request::OWN, lock);
}

std::string XClipboard::Get()
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!Start() || !Ask(Request::FETCH, lock))
        return text;
    return fetched;
}

bool XClipboard::OwnsSelection()
{
    std::lock_guard<std::mutex> lock(mutex);
    return owner;
}

bool XClipboard::Start()
{
    if (started)
        return usable;
    started = true;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0)
    {
        XCloseDisplay(display);
        return false;
    }
    x = std::make_unique<Connection>();
    x->display = display;
    // A window of its own, never shown: selections are owned by windows.
    x->window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    x->clipboard = XInternAtom(display, "CLIPBOARD", False);
    x->targets = XInternAtom(display, "TARGETS", False);
    x->utf8 = XInternAtom(display, "UTF8_STRING", False);
    x->text = XInternAtom(display, "TEXT", False);
    x->incr = XInternAtom(display, "INCR", False);
    x->property = XInternAtom(display, "TARNEL_CLIPBOARD", False);
    XFlush(display);
    usable = true;
    thread = std::thread(&XClipboard::Run, this);
    return true;
}

bool XClipboard::Ask(Request request, std::unique_lock<std::mutex>& lock)
{
    pending = request;
    Signal(wake);
    // Generous: the thread answers at once unless the display stalls.
    return done.wait_for(lock, ANSWER_TIME * 4, [this] { return pending == Request::NONE; });
}

void XClipboard::Run()
{
    Display* display = x->display;
    for (;;)
    {
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            Handle(event);
        }
        pollfd ready[2] = {{ConnectionNumber(display), POLLIN, 0}, {wake, POLLIN, 0}};
        if (poll(ready, 2, -1) < 0 || !(ready[1].revents & POLLIN))
            continue;
        std::uint64_t count = 0;
        if (read(wake, &count, sizeof(count)) < 0)
            continue;
        std::unique_lock<std::mutex> lock(mutex);
        const Request request = pending;
        if (request == Request::OWN)
        {
            XSetSelectionOwner(display, x->clipboard, x->window, CurrentTime);
            XSetSelectionOwner(display, XA_PRIMARY, x->window, CurrentTime);
            owner = XGetSelectionOwner(display, x->clipboard) == x->window;
        }
        else if (request == Request::FETCH)
        {
            // Answering the owner's own requests meanwhile needs the lock.
            lock.unlock();
            std::string found = FetchFromOwner();
            lock.lock();
            fetched = std::move(found);
        }
        pending = Request::NONE;
        done.notify_all();
        if (request == Request::STOP)
            return;
    }
}

void XClipboard::Handle(const XEvent& event)
{
    if (event.type == SelectionClear && event.xselectionclear.selection == x->clipboard)
    {
        std::lock_guard<std::mutex> lock(mutex);
        owner = false;
        return;
    }
    if (event.type != SelectionRequest)
        return;
    const XSelectionRequestEvent& request = event.xselectionrequest;
    XSelectionEvent reply = {};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None; // refused, unless answered below
    // Clients of the old convention give no property: the target names it.
    const Atom property = request.property == None ? request.target : request.property;
    if (request.target == x->targets)
    {
        const Atom offered[] = {x->targets, x->utf8, x->text};
        XChangeProperty(x->display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 3);
        reply.property = property;
    }
    else if (request.target == x->utf8 || request.target == x->text)
    {
        std::string copied;
        {
            std::lock_guard<std::mutex> lock(mutex);
            copied = text;
        }
        XChangeProperty(x->display, request.requestor, property, x->utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(copied.data()), int(copied.size()));
        reply.property = property;
    }
    XSendEvent(x->display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(x->display);
}

std::string XClipboard::FetchFromOwner()
{
    auto own = [this] {
        std::lock_guard<std::mutex> lock(mutex);
        return text;
    };
    Display* display = x->display;
    const Window current = XGetSelectionOwner(display, x->clipboard);
    if (current == None || current == x->window)
        return own();
    XConvertSelection(display, x->clipboard, x->utf8, x->property, x->window, CurrentTime);
    XFlush(display);
    const auto until = std::chrono::steady_clock::now() + ANSWER_TIME;
    for (;;)
    {
        XEvent event;
        while (XPending(display))
        {
            XNextEvent(display, &event);
            if (event.type != SelectionNotify || event.xselection.requestor != x->window)
            {
                Handle(event);
                continue;
            }
            if (event.xselection.property == None)
                return own(); // the owner has no text to give
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            std::string found;
            // A transfer in pieces (INCR) is for texts far longer than anything pasted here.
            if (XGetWindowProperty(display, x->window, x->property, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success &&
                format == 8 && type != x->incr && data)
                found.assign(reinterpret_cast<const char*>(data), count);
            if (data)
                XFree(data);
            return found;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return own();
        pollfd ready = {ConnectionNumber(display), POLLIN, 0};
        poll(&ready, 1, int(left.count()));
    }
}
