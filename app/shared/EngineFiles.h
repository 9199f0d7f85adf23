#ifndef TARNEL_APP_ENGINE_FILES_H
#define TARNEL_APP_ENGINE_FILES_H

#include <OgrePrerequisites.h>

/** Where the programs find the engine's files. The specified place is the working
    directory (bin/ of a run tree); a program started from anywhere else finds them
    beside its executable, so `build/run/bin/TarnelViewer level.scene` works from the
    checkout's root. What the programs write (the log, the report, screenshots) stays
    in the working directory. */
namespace EngineFiles
{
    /// The folder of the running executable.
    Ogre::String ProgramFolder();

    /// The file in the working directory when it is there, else the one beside the executable.
    Ogre::String Find(const Ogre::String& name);

    /** The resource list: "..\resources.cfg" from the working directory, else the one of the
        executable's run tree, whose relative locations are then taken from the executable's
        folder, as if it were the working directory. Adds every location to its group. */
    void AddResourceLocations();

    /** The level opened without an argument: relative to the working directory, else to the
        executable's folder. */
    Ogre::String DefaultLevel(const Ogre::String& level);
}

#endif
