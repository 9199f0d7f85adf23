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

    /** A node or object as the build names it, model instances' parts included: those carry
        the instance's base name before their own. */
    struct BuiltPart
    {
        const NodeDescription* node = nullptr;           ///< a node, or
        const Types::ObjectParameters* object = nullptr; ///< an object
        /// Valid during the visit only: a model's parts are named as they are walked.
        const Ogre::String& name;
        /// False where the engine names it (an unnamed node), or where its base is such a name.
        bool named = true;
        const ModelDescription* model = nullptr; ///< the model file it comes from; null: the level
        int levelLine = 0;                        ///< its line, or that of the level's node that instances it
    };

    /** Walks the nodes and objects in the order the build makes them: a node, then the
        instance of its model file, then its own parts. Model files the description lacks
        make nothing; one inside itself is entered once. */
    void ForEachBuiltPart(const LevelDescription& level, const std::function<void(const BuiltPart&)>& visit);

    /// A name given twice where the loader keeps one of each: nodes apart from objects.
    struct RepeatedName
    {
        Ogre::String name;
        const char* element = nullptr; ///< of the second; null when no name is repeated
        int line = 0;                  ///< of the second, or of the level's node that instances it
        int firstLine = 0;
        /// Where the second comes from a model file: the file and its line there.
        Ogre::String modelFile;
        int modelLine = 0;
    };

    /** The first model file that cannot be read, or that instances itself: "<where>: ..." in
        one line, where is the level's node (and file) that instances it; empty when none.
        A file that is not there is a missing resource, not this. The reader's refusal, when
        one is the fault, goes to `refusal`. */
    Ogre::String FindModelFault(const LevelDescription& level, const Ogre::String& levelFile,
                                Ogre::String* refusal = nullptr);

    /// The archive types a level's resource locations may name: the engine's own.
    const std::vector<Ogre::String>& ArchiveTypes();

    /** The first resource location whose archive type the engine has no reader for (the
        engine would end the load on it); null when every one is known. */
    const ResourceLocation* FindUnknownArchiveType(const LevelDescription& level);

    /// A look or track target that names a node the level does not have.
    struct MissingTarget
    {
        Ogre::String node;             ///< the node named
        Ogre::String by;               ///< who names it: "node "Door"", "camera "Eye""
        const char* request = nullptr; ///< "looks at" or "tracks"; null when none is missing
        int line = 0;
    };

    /// The names' faults of a level, each the first in the build's order; each unset when none.
    struct NameFaults
    {
        RepeatedName repeated;
        MissingTarget missing;
    };

    /** In one walk over the level's description, model instances included:
        - the first node or object that takes a name one took before it, as the loader names
          them: an unnamed object by its node's name as written, the unnamed apart, a model
          instance's parts after their base name. Lenient names rename the level's own
          repeats, not a model's;
        - the first look or track request of the level whose node the description does not
          have, model instances' nodes included. Nodes the terrain makes, or the engine names,
          are not known: with either, none is said to be missing. */
    NameFaults FindNameFaults(const LevelDescription& level, bool lenient = false);
}

#endif
