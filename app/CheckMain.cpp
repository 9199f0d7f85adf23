// TarnelCheck: loads levels into the real engine without showing them, and reports what
// each holds, how long it took, and what it lacks; for build servers and level designers.
#include "LevelCheck.h"

#include "Tarnel/TarnelMedia.h"
#include "Tarnel/TarnelPlatform.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

using namespace Ogre;

namespace
{
    const char* const USAGE =
        "Usage: TarnelCheck LEVEL.scene... [--json]\n"
        "Loads each level into the engine, as the viewer would, without showing it, and\n"
        "reports its load time by phase, what it holds, the resources it names that are\n"
        "missing, portals without a target zone, duplicate script definitions and the\n"
        "engine's warnings. --json prints one JSON document for all levels instead.\n"
        "Exit status: 0 all fine, 1 a level failed to load, 2 a level lacks resources\n"
        "or has unconnected portals.\n";

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

    /// The viewer's resource groups, with locations taken relative to the program's folder.
    void AddResourceLocations(const std::filesystem::path& programFolder)
    {
        ConfigFile resources;
        resources.load((programFolder / "../resources.cfg").string(), "\t:=", true);
        for (const auto& section : resources.getSettingsBySection())
        {
            for (const auto& setting : section.second)
            {
                std::filesystem::path location = setting.second;
                if (location.is_relative())
                    location = programFolder / location;
                ResourceGroupManager::getSingleton().addResourceLocation(location.lexically_normal().string(),
                                                                         setting.first, section.first);
            }
        }
    }

    RenderWindow* StartEngine(const std::filesystem::path& programFolder)
    {
        String plugins = (programFolder / "plugins.cfg").string();
        Tarnel::Platform::KeepPluginsLoaded(plugins);
        // The log goes to the report, not to a file or the terminal.
        (new LogManager())->createLog("TarnelCheck.log", true, false, true);
        Root* root = new Root(plugins, "", "");
        root->setRenderSystem(root->getRenderSystemByName("OpenGL Rendering Subsystem"));
        root->initialise(false);
        NameValuePairList hidden = {{"hidden", "true"}};
        RenderWindow* window = root->createRenderWindow("TarnelCheck", 64, 64, false, &hidden);
        new Tarnel::TarnelMedia();
        AddResourceLocations(programFolder);
        ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        return window;
    }
}

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
            levels.push_back(Tarnel::Platform::FullPath(argument));
    }
    if (levels.empty())
    {
        std::cerr << USAGE;
        return 1;
    }
    if (!DisplayAvailable() && !std::getenv("TARNEL_CHECK_VIRTUAL_DISPLAY"))
        RestartInVirtualDisplay(argv);

    std::vector<LevelCheck> checks;
    try
    {
        RenderWindow* window = StartEngine(std::filesystem::read_symlink("/proc/self/exe").parent_path());
        for (size_t i = 0; i < levels.size(); ++i)
        {
            if (levels.size() > 1)
                std::cerr << "[" << i + 1 << "/" << levels.size() << "] " << levels[i] << std::endl;
            checks.push_back(LevelCheck::Run(levels[i], window));
            if (!json)
                WriteText(std::cout, checks.back());
        }
    }
    catch (const Exception& error)
    {
        std::cerr << error.getFullDescription() << std::endl;
        return LevelCheck::FAILED;
    }
    if (json)
        std::cout << ToJson(checks).dump(2) << std::endl;
    return OverallStatus(checks);
}
