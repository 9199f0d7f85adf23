#ifndef TARNEL_PLATFORM_H
#define TARNEL_PLATFORM_H

#include <OgrePrerequisites.h>

namespace Tarnel
{
    /** The few file-system questions the loader asks. Level files come from
        Windows tools, so "\" is read as a directory separator. */
    namespace Platform
    {
        /// The path with every "\" turned into "/".
        Ogre::String NativeSeparators(const Ogre::String& path);

        /** The absolute, lexically normalised form of the path, resolved against the
            working directory without asking the path to exist; empty gives the
            working directory. */
        Ogre::String FullPath(const Ogre::String& path);

        bool FileExists(const Ogre::String& path);
    }
}

#endif
