#ifndef TARNEL_EXCEPT_H
#define TARNEL_EXCEPT_H

#include <OgreException.h>

// The loader names its own source files in exceptions rather than the build's paths.
#define TARNEL_EXCEPT(code, description, source, file) \
    Ogre::ExceptionFactory::throwException(code, description, source, file, __LINE__)

namespace Tarnel
{
    /// The source file TarnelUtilities' errors name, whichever of its files by subject raises them.
    static const char* const UTILITIES_SOURCE_FILE = "Tarnel/TarnelUtilities";
    static const char* const SCENE_SOURCE_FILE = "Tarnel/TarnelScene";
}

#endif
