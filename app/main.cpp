// The level viewer: loads a level (the sample level by default) and lets the user fly through it.
#include "Viewer.h"

#include "Tarnel/TarnelPlatform.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <exception>
#include <iostream>

namespace
{
    const char* const USAGE =
        "Usage: TarnelViewer [LEVEL.scene]\n"
        "Opens the level (a path relative to the working directory, or absolute) in the\n"
        "portal-zone scene manager; without one, ../Media/Scenes/scene3.scene.\n"
        "The level's own folder and its resource locations supply its media.\n"
        "\n"
        "Keys:\n"
        "  W A S D, arrow keys    move and turn\n"
        "  Page Up, Page Down     rise and sink\n"
        "  mouse                  turn (slide with the right button held)\n"
        "  R                      wireframe, points, solid\n"
        "  T                      texture filtering\n"
        "  F                      statistics\n"
        "  P                      camera position and orientation\n"
        "  SysRq (Print)          screenshot_N.png\n"
        "  Space                  play or pause the level's node animations (paused at start)\n"
        "  C                      look through the level's cameras in turn, then the start view again\n"
        "  F1                     the level's panel: file, load time, the camera's zone, cameras\n"
        "  O                      portal outlines: green leads into a zone, red found none\n"
        "  F5                     reload the level from disk; a broken file keeps the level on screen\n"
        "  Escape, Q              quit\n";

    /// A failed start or a broken level ends the program with its full message, never with an abort.
    int ReportFailure(const std::string& message)
    {
        std::cerr << message << std::endl;
        if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
            log->logError(message);
        return 1;
    }
}

int main(int argc, char** argv)
{
    std::string level = Viewer::DEFAULT_LEVEL;
    if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h"))
    {
        std::cout << USAGE;
        return 0;
    }
    if (argc > 2)
    {
        std::cerr << USAGE;
        return 2;
    }
    if (argc == 2)
    {
        level = argv[1];
        // A folder or a device is no level; say so in one line, before any window.
        std::string unreadable = Tarnel::Platform::UnreadableFileReason(level);
        if (!unreadable.empty())
        {
            std::cerr << "TarnelViewer: " << level << " " << unreadable << std::endl;
            return 1;
        }
    }
    try
    {
        return Viewer::Run(level);
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
