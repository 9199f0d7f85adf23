#ifndef TARNEL_CHECK_OPTIONS_H
#define TARNEL_CHECK_OPTIONS_H

#include "LevelCheck.h"

#include <OgrePrerequisites.h>

#include <string>
#include <vector>

/// The checker's command line, read from one table of its options.
struct CheckOptions
{
    std::vector<Ogre::String> levels; ///< every file given and every *.scene below each folder, sorted
    bool help = false;
    bool json = false;
    bool noDraw = false;
    CheckSettings settings;
    Ogre::String reportFolder; ///< absolute; empty: no page
    Ogre::String junitFile;
    unsigned shardIndex = 1, shardCount = 1;
    unsigned jobs = 1; ///< the number of cores unless given

    /** Reads the arguments; raises std::invalid_argument with a one-line reason for an
        unknown option, a missing or bad value, or options that do not go together. */
    static CheckOptions Parse(int argc, char** argv);

    /// The levels of this shard: every N-th level from the I-th.
    std::vector<Ogre::String> Share() const;

    /// The usage text, with every option.
    static std::string Usage();
};

#endif
