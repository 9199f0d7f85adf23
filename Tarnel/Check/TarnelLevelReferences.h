#ifndef TARNEL_LEVEL_REFERENCES_H
#define TARNEL_LEVEL_REFERENCES_H

#include <OgrePrerequisites.h>
#include <OgreResourceGroupManager.h>

#include <map>
#include <set>
#include <vector>

class TiXmlDocument;

namespace Tarnel
{
    struct LevelDescription;

    /// A resource a level names that none of the engine's resource groups holds.
    struct MissingResource
    {
        Ogre::String kind; ///< "mesh", "skeleton", "material", "texture", "particle template" or "model file"
        Ogre::String name;
        std::vector<Ogre::String> usedBy; ///< the objects or nodes that name it, each once, in document order
        int row = 0;             ///< the level file's line that first names it; 0: only its model files do
        Ogre::String firstUser;  ///< that element, as in: entity "crate"
        /// Set when the file is there but the engine cannot read it: the engine's reason.
        Ogre::String unreadable;
    };

    /** What the scripts of a resource group define, read from their text without the
        engine's managers: for a check that has no render system, and so no materials or
        particle systems of the engine's own. */
    struct ScriptNames
    {
        Ogre::String group; ///< whose files are looked up
        /// Each material a *.material script defines, with the images its "texture" lines name.
        std::map<Ogre::String, std::vector<Ogre::String>> materials;
        std::set<Ogre::String> particleTemplates; ///< what the *.particle scripts define

        /// The group's scripts read as text.
        static ScriptNames Read(const Ogre::String& group);
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
    /** The same for a level already parsed; the sections its description holds are taken
        from the description, as the load takes them, and not read again. Its materials are
        those of the group it was loaded into and of the engine's default one. */
    std::vector<MissingResource> FindMissingResources(
        const TiXmlDocument& level, bool openMedia = true, const LevelDescription* described = nullptr,
        const Ogre::String& group = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    /** The same against the group's files and the names its scripts define: a material's
        images are those its own script names. Meshes are opened only when asked
        (`openMeshes`), with the engine's serializers into the group: for their skeletons,
        their own materials and whether they read at all; this needs hardware buffers,
        which need no render system (the engine's software ones); `meshesMs`, when given,
        is set to the time their reading took. */
    std::vector<MissingResource> FindMissingResources(const TiXmlDocument& level, const ScriptNames& media,
                                                      const LevelDescription* described = nullptr,
                                                      bool openMeshes = false, double* meshesMs = nullptr);
}

#endif
