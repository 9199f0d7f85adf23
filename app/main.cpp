// The level viewer: loads ../Media/Scenes/scene3.scene and lets the user fly through it.
#include "Viewer.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <exception>
#include <iostream>

namespace
{
    /// A failed start or a broken level ends the program with its full message, never with an abort.
    int ReportFailure(const std::string& message)
    {
        std::cerr << message << std::endl;
        if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
            log->logError(message);
        return 1;
    }
}

int main()
{
    try
    {
        return Viewer::Run();
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
