#ifndef TARNEL_APP_LEVEL_PRE_CHECK_H
#define TARNEL_APP_LEVEL_PRE_CHECK_H

#include "MediaSources.h"

#include "Tarnel/Tarnel.h"

#include <OgrePrerequisites.h>

#include <vector>

class TiXmlDocument;

/** The faults a level argument shows before the engine opens anything: a file that
    does not parse; an object element whose reader refuses a keyword or a size (the
    loader's own readers, so the words are the loader's); a node or an object that takes
    a name given before it, unless names are lenient; or an element that names a mesh,
    model file or particle template found in none of the level's locations (its folder,
    its resource locations, the program's resource list, the media given). Returns one
    plain line naming the file, the line, the element and its name, with the nearest
    existing name where one is close, for example `level.scene:42: entity "King" names
    mesh "kign.w.mesh", which is nowhere to be found (did you mean "king.w.mesh"?);
    searched ...; --media DIR or --resources FILE add a game's media`, with the folders
    searched; empty when the level shows none of them. Needs the engine's root, not its
    render system; the resource groups are left as they were. The level is parsed and its
    nodes and objects read as the loader does, into `parsed` and `described` when given,
    so that the load need not read the file again; a file that does not parse leaves them
    empty. */
Ogre::String PreCheckLevel(const Ogre::String& file, const MediaSources& media = MediaSources(),
                           TiXmlDocument* parsed = nullptr, bool lenientNames = false,
                           Tarnel::LevelDescription* described = nullptr);

/// What reading a level and looking up its media on disk finds, without building it.
struct LevelReading
{
    /// The first fault that would stop the load, in one line as PreCheckLevel says it; empty when none.
    Ogre::String fault;
    /** What the level names that its locations and the media lack, materials and their
        images as the scripts' text names them; empty when the file does not parse. */
    std::vector<Tarnel::MissingResource> missing;
    double parseMs = 0; ///< the parser's time alone
    double meshesMs = 0; ///< the meshes' reading, when they were read
    /// The level's nodes and objects, read once for the checks and the load; empty after a fault in them.
    Tarnel::LevelDescription description;
    /// With the meshes read, the zones with their entities' boxes; else empty.
    Tarnel::ZoneGraph zones;
};

/** The check of PreCheckLevel, and everything missing. Repeated names stop the load unless
    the names are lenient. Unless `quiet`, the readers' warnings go to the log now; quiet, the
    description keeps them for the load that builds from it to say. With `readMeshes`, the
    meshes are read with the engine's serializers, without a render system, for what only
    they know: their skeletons, their own materials, and whether they read at all. */
LevelReading ReadLevel(const Ogre::String& file, const MediaSources& media, bool lenientNames,
                       TiXmlDocument& document, bool quiet, bool readMeshes = false);

/** Of the cameras, the one of that name, else the one whose name differs only in case;
    empty when none is. */
Ogre::String FindLevelCamera(const Ogre::String& name, const std::vector<Ogre::String>& cameras);

/// "The level has no camera named N (its cameras: A, B)".
Ogre::String NoSuchCamera(const Ogre::String& name, const std::vector<Ogre::String>& cameras);

/** Why `--camera NAME` cannot be looked through, from the level's description before the
    window opens; empty when the level has such a camera or a model file may hold it. */
Ogre::String PreCheckCamera(const Tarnel::LevelDescription& level, const Ogre::String& name);

#endif
