#ifndef TARNEL_PATHS_H
#define TARNEL_PATHS_H

#include <OgrePrerequisites.h>

namespace Tarnel
{
    /** Paths as levels write them and as the file system answers for them. Level
        files come from Windows tools, so "\" is read as a directory separator. */
    namespace TarnelUtilities
    {
        bool IsAbsolutePath(const Ogre::String& path);
        void MakeFullPath(Ogre::String& path);
        Ogre::String JoinPath(const Ogre::String& basePath, const Ogre::String& path);

        /// The path with every "\" turned into "/".
        Ogre::String NativeSeparators(const Ogre::String& path);

        /** The absolute, lexically normalised form of the path, resolved against the
            working directory without asking the path to exist; empty gives the
            working directory. */
        Ogre::String FullPath(const Ogre::String& path);

        bool FileExists(const Ogre::String& path);

        /** Why an existing path cannot be read as a level file ("is a folder, not a level
            file", "is not a regular file", or why it cannot be opened); empty for a readable
            regular file and for a path that does not exist, which the loader looks up
            elsewhere and reports itself. */
        Ogre::String UnreadableFileReason(const Ogre::String& path);
    }
}

#endif
