#include "VirtualDisplay.h"

#include <gtest/gtest.h>

// After the test framework, whose names Xlib's macros would take.
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
    /** An X server of the test's own that resets when its last client leaves, as the one a
        build server starts may; the display it chose is this process's for the test. */
    class ResettingServer
    {
    public:
        ResettingServer()
        {
            int numberPipe[2];
            if (pipe(numberPipe) != 0)
                return;
            server = fork();
            if (server == 0)
            {
                close(numberPipe[0]);
                const std::string fd = std::to_string(numberPipe[1]);
                execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "64x64x24", "-nolisten", "tcp",
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            close(numberPipe[1]);
            // The number and then a line end, each written on its own: closing before the line
            // end is read would end the server.
            std::string number;
            char c = 0;
            while (server > 0 && c != '\n' && read(numberPipe[0], &c, 1) == 1)
                number += c;
            if (!number.empty() && number.back() == '\n')
                name = ":" + std::to_string(std::atoi(number.c_str()));
            close(numberPipe[0]);
            if (const char* previous = std::getenv("DISPLAY"))
                previousDisplay = previous;
            setenv("DISPLAY", name.c_str(), 1);
        }
        ~ResettingServer()
        {
            if (server > 0)
            {
                kill(server, SIGTERM);
                waitpid(server, nullptr, 0);
            }
            if (previousDisplay.empty())
                unsetenv("DISPLAY");
            else
                setenv("DISPLAY", previousDisplay.c_str(), 1);
        }

        std::string name;

    private:
        pid_t server = -1;
        std::string previousDisplay;
    };

    /// Opens the display, waiting out a reset that refuses it for a moment.
    Display* Open()
    {
        for (int attempt = 0; attempt < 200; ++attempt)
        {
            if (Display* display = XOpenDisplay(nullptr))
                return display;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return nullptr;
    }
}

// A reset forgets the names clients gave the server, so a name that outlives its client
// shows that the server did not reset when that client left.
TEST(VirtualDisplay, AHeldConnectionKeepsTheServerFromResettingBetweenClients)
{
    for (bool held : {false, true})
    {
        ResettingServer server;
        ASSERT_FALSE(server.name.empty()) << "Xvfb did not start";
        std::optional<VirtualDisplay::Connection> connection;
        if (held)
        {
            ASSERT_TRUE(connection.emplace().IsOpen());
        }
        Display* first = Open();
        ASSERT_TRUE(first);
        XInternAtom(first, "TARNEL_MARK", False);
        XSync(first, False);
        XCloseDisplay(first);
        // Let a resetting server finish: a reset refuses clients but keeps no mark.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        Display* second = Open();
        ASSERT_TRUE(second);
        EXPECT_EQ(held, XInternAtom(second, "TARNEL_MARK", True) != None) << (held ? "held" : "not held");
        XCloseDisplay(second);
    }
}
