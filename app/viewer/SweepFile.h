#ifndef TARNEL_APP_SWEEP_FILE_H
#define TARNEL_APP_SWEEP_FILE_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

/// A place of a saved sweep, to look from: where, which way, and what it draws.
struct HeavyPlace
{
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Vector3 direction = Ogre::Vector3::NEGATIVE_UNIT_Z;
    size_t triangles = 0;
    Ogre::String text; ///< "44,496 triangles, 166 batches, 103 objects, looking north-west in zone Room8_PCZone"
};

/** The places of the level's sweep in the checker's JSON (`TarnelCheck --sweep --json`), the
    heaviest first, each place once with its heaviest direction. The level's own entry is the
    one of its file; a document of one swept level serves any. Raises std::invalid_argument
    naming the file for one that cannot be read, is not the checker's JSON, or holds no sweep
    of the level. */
std::vector<HeavyPlace> ReadSweepFile(const Ogre::String& file, const Ogre::String& levelFile);

#endif
