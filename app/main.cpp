// The level viewer: loads a level (the sample level by default) and lets the user fly through it.
#include "EngineFiles.h"
#include "Viewer.h"
#include "ViewerKeys.h"
#include "ZelFrameListener.h"

#include "Tarnel/TarnelPaths.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <exception>
#include <iostream>
#include <vector>

namespace
{
    const char* const USAGE =
        "Usage: TarnelViewer [LEVEL.scene] [--no-dialog] [--verbose]\n"
        "Opens the level (a path relative to the working directory, or absolute) in the\n"
        "portal-zone scene manager; without one, ../Media/Scenes/scene3.scene.\n"
        "The level's own folder and its resource locations supply its media. The engine's\n"
        "files (plugins.cfg, ogre.cfg, ../resources.cfg) come from the working directory,\n"
        "else from beside the program; Ogre.log, scenetree.txt and screenshots go to the\n"
        "working directory.\n"
        "\n"
        "Options:\n"
        "  --no-dialog            start with the saved ogre.cfg (the dialog only when it has no\n"
        "                         usable render system)\n"
        "  --verbose              the engine's log lines on the terminal too\n"
        "\n"
        "Keys:\n";

    std::string Usage() { return USAGE + KeysHelp(); }

    /// A failed start or a broken level ends the program with its full message, never with an abort.
    int ReportFailure(const std::string& message)
    {
        std::cerr << message << std::endl;
        // Masked: on the terminal it stands once, above.
        if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
            log->logError(message, true);
        return 1;
    }
}

int main(int argc, char** argv)
{
    Viewer::Options options;
    std::vector<std::string> levels;
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            std::cout << Usage();
            return 0;
        }
        if (argument == "--no-dialog")
            options.noDialog = true;
        else if (argument == "--verbose")
            options.verbose = true;
        else if (argument.compare(0, 2, "--") == 0)
        {
            std::cerr << "TarnelViewer: unknown option " << argument << "\n" << Usage();
            return 2;
        }
        else
            levels.push_back(argument);
    }
    if (levels.size() > 1)
    {
        std::cerr << Usage();
        return 2;
    }
    if (levels.empty())
        options.levelFile = EngineFiles::DefaultLevel(Viewer::DEFAULT_LEVEL);
    else
    {
        options.levelFile = levels.front();
        options.checkFirst = true;
        // A folder or a device is no level; say so in one line, before any window.
        std::string unreadable = Tarnel::TarnelUtilities::UnreadableFileReason(options.levelFile);
        if (!unreadable.empty())
        {
            std::cerr << "TarnelViewer: " << options.levelFile << " " << unreadable << std::endl;
            return 1;
        }
    }
    try
    {
        return Viewer::Run(options, [](Viewer& viewer) { return new ZelFrameListener(viewer); });
    }
    catch (const Ogre::Exception& error)
    {
        return ReportFailure(error.getFullDescription());
    }
    catch (const std::exception& error)
    {
        return ReportFailure(error.what());
    }
}
