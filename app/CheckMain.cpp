// TarnelCheck: loads levels into the real engine without showing them, and reports what
// each holds, how long it took, and what it lacks; for build servers and level designers.
#include "CheckProcess.h"
#include "Tarnel/TarnelPaths.h"
#include "LevelCheck.h"
#include "VirtualDisplay.h"

#include "Tarnel/TarnelPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace
{
    const char* const USAGE =
        "Usage: TarnelCheck LEVEL.scene... [--json] [--resources FILE] [--media DIR]... [--lenient]\n"
        "Loads each level into the engine, as the viewer would, without showing it, draws\n"
        "it for a frame from the viewer's start view and through each of its cameras, and\n"
        "reports its load time by phase, what it holds, the resources it names that are\n"
        "missing, portals without a target zone, duplicate script definitions and the\n"
        "engine's warnings. Each level is checked in a process of its own, so a level that\n"
        "crashes the engine fails alone. --json prints one JSON document for all levels.\n"
        "Exit status: 0 all fine, 1 a level failed to load or draw, 2 a level lacks\n"
        "resources or has unconnected portals.\n"
        "\n"
        "Options:\n"
        "  --json                 one JSON document for all levels\n"
        "%MEDIA%"
        "  --lenient              repeated node and object names get a numbered suffix\n"
        "                         instead of ending the load\n";

    std::string Usage()
    {
        std::string usage = USAGE;
        return usage.replace(usage.find("%MEDIA%"), 7, MediaSources::HELP);
    }
}

using Ogre::String;

int main(int argc, char** argv)
{
    std::vector<std::string> levels;
    bool json = false;
    CheckSettings settings;
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        try
        {
            if (settings.media.TakeOption(argc, argv, i))
                continue;
        }
        catch (const std::invalid_argument& error)
        {
            std::cerr << "TarnelCheck: " << error.what() << "\n" << Usage();
            return 1;
        }
        if (argument == "--help" || argument == "-h")
        {
            std::cout << Usage();
            return 0;
        }
        if (argument == "--json")
            json = true;
        else if (argument == "--lenient")
            settings.lenientNames = true;
        else if (argument.compare(0, 2, "--") == 0)
        {
            std::cerr << "TarnelCheck: unknown option " << argument << "\n" << Usage();
            return 1;
        }
        else
            levels.push_back(Tarnel::TarnelUtilities::FullPath(argument));
    }
    if (levels.empty())
    {
        std::cerr << Usage();
        return 1;
    }
    try
    {
        settings.media.Locations(); // a list or folder that is not there, said once for all levels
    }
    catch (const std::invalid_argument& error)
    {
        std::cerr << "TarnelCheck: " << error.what() << std::endl;
        return 1;
    }
    if (!VirtualDisplay::Available())
        VirtualDisplay::RestartInside(argv);

    const std::filesystem::path programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    std::vector<LevelCheck> checks;
    for (size_t i = 0; i < levels.size(); ++i)
    {
        if (levels.size() > 1)
            std::cerr << "[" << i + 1 << "/" << levels.size() << "] " << levels[i] << std::endl;
        try
        {
            checks.push_back(CheckInOwnProcess(levels[i], programFolder, settings));
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
