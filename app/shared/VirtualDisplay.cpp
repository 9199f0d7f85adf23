// A virtual X display for the programs that draw without showing anything.
#include "VirtualDisplay.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
    /// Set in the run inside the virtual display, so that it does not start another.
    const char* const INSIDE = "TARNEL_CHECK_VIRTUAL_DISPLAY";
}

VirtualDisplay::Connection::Connection() : display(XOpenDisplay(nullptr)) {}

VirtualDisplay::Connection::~Connection()
{
    if (display)
        XCloseDisplay(display);
}

bool VirtualDisplay::Available()
{
    return Connection().IsOpen();
}

void VirtualDisplay::RestartInside(char** argv)
{
    if (std::getenv(INSIDE))
        return;
    std::vector<char*> arguments = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                    const_cast<char*>("-s"), const_cast<char*>("-screen 0 1280x1024x24 -noreset")};
    static std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    arguments.push_back(&self[0]);
    for (char** argument = argv + 1; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    setenv(INSIDE, "1", 1);
    execvp("xvfb-run", arguments.data());
}
