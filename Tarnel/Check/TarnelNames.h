#ifndef TARNEL_NAMES_H
#define TARNEL_NAMES_H

#include "Tarnel/Read/TarnelLevel.h"

namespace Tarnel
{
    /// A name given twice where the loader keeps one of each: nodes apart from objects.
    struct RepeatedName
    {
        Ogre::String name;
        const char* element = nullptr; ///< of the second; null when no name is repeated
        int line = 0;                  ///< of the second
        int firstLine = 0;
    };

    /** The first node or object that takes a name one took before it, as the loader names
        them: an unnamed object by its node's name as written, the unnamed apart. What a
        model file makes is left to the load. */
    RepeatedName FindRepeatedName(const LevelDescription& level);
}

#endif
