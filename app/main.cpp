// The level viewer: loads a level (the sample level by default) and lets the user fly through it.
#include "CrashReport.h"
#include "EngineFiles.h"
#include "Viewer.h"
#include "ViewerKeys.h"
#include "VirtualDisplay.h"
#include "ZelFrameListener.h"

#include "Tarnel/Read/TarnelPaths.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <iostream>
#include <vector>

namespace
{
    const char* const USAGE =
        "Usage: TarnelViewer [LEVEL.scene] [options]\n"
        "Opens the level (a path relative to the working directory, or absolute) in the\n"
        "portal-zone scene manager; without one, ../Media/Scenes/scene3.scene.\n"
        "The level's own folder and its resource locations supply its media. The engine's\n"
        "files (plugins.cfg, ogre.cfg, ../resources.cfg) come from the working directory,\n"
        "else from beside the program; Ogre.log, scenetree.txt and screenshots go to the\n"
        "working directory. A level given here starts with all of it in view.\n"
        "\n"
        "Options:\n"
        "  --no-dialog            start with the saved ogre.cfg (the dialog only when it has no\n"
        "                         usable render system)\n"
        "  --verbose              the engine's log lines on the terminal too\n"
        "%MEDIA%"
        "  --camera NAME          start looking through the level's camera of that name\n"
        "  --watch                reload by itself when the level's file or its own media\n"
        "                         change on disk, once the writes have settled\n"
        "  --lenient              repeated node and object names get a numbered suffix\n"
        "                         instead of ending the load\n"
        "  --screenshot FILE.png  draw the level once, without dialog or window, write the\n"
        "                         picture and exit (a virtual display where there is none)\n"
        "  --size WxH             the picture's size (default 1280x720)\n"
        "\n"
        "Keys:\n";

    std::string Usage()
    {
        std::string usage = USAGE;
        return usage.replace(usage.find("%MEDIA%"), 7, MediaSources::HELP) + KeysHelp();
    }

    /// "WxH" with both from 16 to 8192.
    bool ParseSize(const std::string& text, unsigned& width, unsigned& height)
    {
        char separator = 0, rest = 0;
        return std::sscanf(text.c_str(), "%u%c%u%c", &width, &separator, &height, &rest) == 3 &&
               separator == 'x' && width >= 16 && height >= 16 && width <= 8192 && height <= 8192;
    }

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
    InstallCrashReport("TarnelViewer");
    Viewer::Options options;
    std::vector<std::string> levels;
    bool sizeGiven = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            std::cout << Usage();
            return 0;
        }
        try
        {
            if (options.media.TakeOption(argc, argv, i))
                continue;
            bool needsValue = argument == "--camera" || argument == "--screenshot" || argument == "--size";
            if (needsValue && i + 1 >= argc)
                throw std::invalid_argument(argument + " needs a value");
            if (argument == "--no-dialog")
                options.noDialog = true;
            else if (argument == "--verbose")
                options.verbose = true;
            else if (argument == "--watch")
                options.watch = true;
            else if (argument == "--lenient")
                options.lenientNames = true;
            else if (argument == "--camera")
                options.cameraName = argv[++i];
            else if (argument == "--screenshot")
                options.pictureFile = argv[++i];
            else if (argument == "--size")
            {
                sizeGiven = true;
                if (!ParseSize(argv[++i], options.pictureWidth, options.pictureHeight))
                    throw std::invalid_argument("--size takes WIDTHxHEIGHT, each from 16 to 8192, not " +
                                                std::string(argv[i]));
            }
            else if (argument.compare(0, 2, "--") == 0)
                throw std::invalid_argument("unknown option " + argument);
            else
                levels.push_back(argument);
        }
        catch (const std::invalid_argument& error)
        {
            std::cerr << "TarnelViewer: " << error.what() << "\n" << Usage();
            return 2;
        }
    }
    if (levels.size() > 1 || (sizeGiven && options.pictureFile.empty()))
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
        options.frameLevel = true;
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
        options.media.Locations(); // a list or folder that is not there, said before any window
    }
    catch (const std::invalid_argument& error)
    {
        std::cerr << "TarnelViewer: " << error.what() << std::endl;
        return 2;
    }
    if (!options.pictureFile.empty() && !VirtualDisplay::Available())
        VirtualDisplay::RestartInside(argv);
    try
    {
        if (!options.pictureFile.empty())
            return Viewer::TakePicture(options);
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
