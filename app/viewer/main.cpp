// The level viewer: loads a level (the sample level by default) and lets the user fly through it.
#include "CrashReport.h"
#include "Viewer.h"
#include "ViewerOptions.h"
#include "VirtualDisplay.h"
#include "ZelFrameListener.h"

#include "Tarnel/Tarnel.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <exception>
#include <iostream>
#include <stdexcept>

namespace
{
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
    ViewerCommandLine line;
    try
    {
        line = ViewerCommandLine::Parse(argc, argv);
    }
    catch (const std::invalid_argument& error)
    {
        if (*error.what())
            std::cerr << "TarnelViewer: " << error.what() << "\n";
        std::cerr << ViewerCommandLine::Usage();
        return 2;
    }
    if (line.help)
    {
        std::cout << ViewerCommandLine::Usage();
        return 0;
    }
    Viewer::Options& options = line.options;
    // A folder or a device is no level; say so in one line, before any window.
    const std::string unreadable =
        line.levelGiven ? Tarnel::TarnelUtilities::UnreadableFileReason(options.levelFile) : std::string();
    if (!unreadable.empty())
    {
        std::cerr << "TarnelViewer: " << options.levelFile << " " << unreadable << std::endl;
        return 1;
    }
    try
    {
        options.media.Locations(); // a list or folder that is not there, said before any window
        if (!line.sweepFile.empty())
            options.heaviestPlaces = ReadSweepFile(line.sweepFile, options.levelFile);
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
