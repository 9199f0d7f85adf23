#ifndef TARNEL_LEVEL_REFERENCES_H
#define TARNEL_LEVEL_REFERENCES_H

#include <OgrePrerequisites.h>

#include <vector>

class TiXmlDocument;

namespace Tarnel
{
    /// A resource a level names that none of the engine's resource groups holds.
    struct MissingResource
    {
        Ogre::String kind; ///< "mesh", "skeleton", "material", "texture", "particle template" or "model file"
        Ogre::String name;
        std::vector<Ogre::String> usedBy; ///< the objects or nodes that name it, each once, in document order
        int row = 0;             ///< the level file's line that first names it; 0: only its model files do
        Ogre::String firstUser;  ///< that element, as in: entity "crate"
    };

    /** Reads a level file and the model files it instances for the resources they
        name, and lists those the engine cannot find: meshes with their skeletons
        and materials, materials with their textures, particle templates and model
        files. It reads the file on its own, so it also lists what a load that
        stopped early never reached; call it after the load, which registers the
        level's resource locations and scripts. An unreadable file gives nothing.
        Without `openMedia`, meshes and materials that exist are not opened for the
        skeletons, materials and textures they name: so it can run before the engine
        has a render system, for the names the level itself gives. */
    std::vector<MissingResource> FindMissingResources(const Ogre::String& levelFile, bool openMedia = true);
    /// The same for a level already parsed.
    std::vector<MissingResource> FindMissingResources(const TiXmlDocument& level, bool openMedia = true);
}

#endif
