#ifndef TARNEL_SCALES_H
#define TARNEL_SCALES_H

#include "Tarnel/Read/TarnelLevel.h"

namespace Tarnel
{
    /// A node whose scale, with its parents' down the chain, is past what a level may use.
    struct OverscaledNode
    {
        Ogre::String name;             ///< as written; empty for an unnamed node
        const char* element = nullptr; ///< null when no node is overscaled
        int line = 0;                  ///< its line, or that of the level's node that instances it
        Ogre::String modelFile;        ///< where it comes from a model file
        Ogre::Real scale = 1;          ///< the largest side of the product
    };

    /** The first node, model instances' nodes included, whose scale multiplied by its
        parents' passes Limits::MAX_REAL on a side. Each number is held to that bound when
        read, but a chain of them is not: past single precision the engine's bounding boxes
        turn to not-a-number and end the program. */
    OverscaledNode FindOverscaledNode(const LevelDescription& level);

    /// The fault of FindOverscaledNode in one line, "<file>:<line>: ..."; empty when none.
    Ogre::String OverscaledNodeFault(const OverscaledNode& node, const Ogre::String& levelFile);
}

#endif
