// TarnelCheck: loads levels into the real engine without showing them, and reports what
// each holds, how long it took, and what it lacks; for build servers and level designers.
#include "CheckProcess.h"
#include "Tarnel/TarnelPaths.h"
#include "LevelCheck.h"

#include "Tarnel/TarnelPlatform.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace
{
    const char* const USAGE =
        "Usage: TarnelCheck LEVEL.scene... [--json]\n"
        "Loads each level into the engine, as the viewer would, without showing it, draws\n"
        "it for a frame from the viewer's start view and through each of its cameras, and\n"
        "reports its load time by phase, what it holds, the resources it names that are\n"
        "missing, portals without a target zone, duplicate script definitions and the\n"
        "engine's warnings. Each level is checked in a process of its own, so a level that\n"
        "crashes the engine fails alone. --json prints one JSON document for all levels.\n"
        "Exit status: 0 all fine, 1 a level failed to load or draw, 2 a level lacks\n"
        "resources or has unconnected portals.\n";

    bool DisplayAvailable()
    {
        Display* display = XOpenDisplay(nullptr);
        if (display)
            XCloseDisplay(display);
        return display != nullptr;
    }

    /// Runs this program again inside a virtual display of its own; returns only on failure.
    void RestartInVirtualDisplay(char** argv)
    {
        std::vector<char*> arguments = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                        const_cast<char*>("-s"), const_cast<char*>("-screen 0 1280x1024x24")};
        static std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        arguments.push_back(&self[0]);
        for (char** argument = argv + 1; *argument; ++argument)
            arguments.push_back(*argument);
        arguments.push_back(nullptr);
        setenv("TARNEL_CHECK_VIRTUAL_DISPLAY", "1", 1);
        execvp("xvfb-run", arguments.data());
    }
}

using Ogre::String;

int main(int argc, char** argv)
{
    std::vector<std::string> levels;
    bool json = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            std::cout << USAGE;
            return 0;
        }
        if (argument == "--json")
            json = true;
        else
            levels.push_back(Tarnel::TarnelUtilities::FullPath(argument));
    }
    if (levels.empty())
    {
        std::cerr << USAGE;
        return 1;
    }
    if (!DisplayAvailable() && !std::getenv("TARNEL_CHECK_VIRTUAL_DISPLAY"))
        RestartInVirtualDisplay(argv);

    const std::filesystem::path programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    std::vector<LevelCheck> checks;
    for (size_t i = 0; i < levels.size(); ++i)
    {
        if (levels.size() > 1)
            std::cerr << "[" << i + 1 << "/" << levels.size() << "] " << levels[i] << std::endl;
        try
        {
            checks.push_back(CheckInOwnProcess(levels[i], programFolder));
        }
        catch (const std::exception& error)
        {
            // The report stays whole: a level that could not be checked is a failed level.
            checks.push_back(LevelCheck::NotChecked(levels[i], String("The check failed: ") + error.what()));
        }
        if (!json)
        {
            WriteText(std::cout, checks.back());
            std::cout.flush();
        }
    }
    if (json)
        std::cout << AsValidUtf8(ToJson(checks)).dump(2) << std::endl;
    return OverallStatus(checks);
}
