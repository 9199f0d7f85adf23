#include "XClipboard.h"

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <future>
#include <string>
#include <thread>

namespace
{
    /// Another program on the display: pastes as xclip would, or owns the clipboard itself.
    struct OtherProgram
    {
        Display* display = XOpenDisplay(nullptr);
        Window window = display ? XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0) : 0;
        Atom clipboard = display ? XInternAtom(display, "CLIPBOARD", False) : 0;
        Atom utf8 = display ? XInternAtom(display, "UTF8_STRING", False) : 0;

        ~OtherProgram()
        {
            if (display)
                XCloseDisplay(display);
        }

        /// The selection converted to the target; "(refused)" or "(no answer)" otherwise.
        std::string Paste(Atom selection, const char* target)
        {
            const Atom property = XInternAtom(display, "PASTED", False);
            XConvertSelection(display, selection, XInternAtom(display, target, False), property, window, CurrentTime);
            XFlush(display);
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (std::chrono::steady_clock::now() < until)
            {
                XEvent event;
                if (!XCheckTypedWindowEvent(display, window, SelectionNotify, &event))
                {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                if (event.xselection.property == None)
                    return "(refused)";
                Atom type;
                int format;
                unsigned long count, after;
                unsigned char* data = nullptr;
                XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format,
                                   &count, &after, &data);
                std::string text = format == 32 ? std::to_string(count) + " atoms"
                                                : std::string(reinterpret_cast<const char*>(data), count);
                XFree(data);
                return text;
            }
            return "(no answer)";
        }

        /// Owns the clipboard with the text and answers requests until `stop`.
        void Offer(const std::string& text, const std::future<void>& stop)
        {
            XSetSelectionOwner(display, clipboard, window, CurrentTime);
            XFlush(display);
            while (stop.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            {
                XEvent event;
                if (!XCheckTypedWindowEvent(display, window, SelectionRequest, &event))
                    continue;
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XChangeProperty(display, request.requestor, request.property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
                XSelectionEvent reply = {SelectionNotify, 0, True, display, request.requestor, request.selection,
                                         request.target, request.property, request.time};
                XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
                XFlush(display);
            }
        }
    };
}

TEST(Clipboard, AnotherProgramPastesWhatWasCopiedAndCopiesWhatIsPasted)
{
    OtherProgram other;
    ASSERT_NE(nullptr, other.display) << "the tests run in a display";
    XClipboard clipboard;
    const std::string copied = "Name: Caf\xc3\xa9\nWorld position: Vector3(1, 2, 3)\n";
    clipboard.Set(copied);
    ASSERT_TRUE(clipboard.OwnsSelection());
    struct Row
    {
        Atom selection;
        const char* target;
        std::string expected;
    } rows[] = {
        {other.clipboard, "UTF8_STRING", copied},
        {XA_PRIMARY, "UTF8_STRING", copied},
        {other.clipboard, "TEXT", copied},
        {other.clipboard, "TARGETS", "3 atoms"},
        {other.clipboard, "image/png", "(refused)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, other.Paste(row.selection, row.target)) << row.target;
    EXPECT_EQ(copied, clipboard.Get()) << "its own text, while it owns the clipboard";

    clipboard.Set("second");
    EXPECT_EQ("second", other.Paste(other.clipboard, "UTF8_STRING")) << "a new copy replaces the text";

    // The other program copies: this one loses the clipboard and pastes the other's text.
    std::promise<void> stop;
    std::thread offering([&] { other.Offer("from elsewhere", stop.get_future()); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (clipboard.OwnsSelection() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(clipboard.OwnsSelection());
    EXPECT_EQ("from elsewhere", clipboard.Get());
    stop.set_value();
    offering.join();
}
