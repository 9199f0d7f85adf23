#ifndef TARNEL_NAMES_H
#define TARNEL_NAMES_H

#include "Tarnel/Read/TarnelLevel.h"

#include <functional>

namespace Tarnel
{
    /** Walks the level's nodes and objects in document order, as the loader names them (an
        unnamed object by its node's name as written): each node and model instance, and each
        object, one on a bone after its entity. What a model file makes is not described. */
    void ForEachNodeAndObject(const LevelDescription& level,
                              const std::function<void(const NodeDescription&)>& node,
                              const std::function<void(const Types::ObjectParameters&)>& object);

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

    /// A look or track target that names a node the level does not have.
    struct MissingTarget
    {
        Ogre::String node;             ///< the node named
        Ogre::String by;               ///< who names it: "node "Door"", "camera "Eye""
        const char* request = nullptr; ///< "looks at" or "tracks"; null when none is missing
        int line = 0;
    };

    /** The first look or track request whose node the level's description does not have.
        Nodes a model file or the terrain makes are not described: with either, none is
        said to be missing. */
    MissingTarget FindMissingTarget(const LevelDescription& level);
}

#endif
