#ifndef TARNEL_LEVEL_H
#define TARNEL_LEVEL_H

#include "Tarnel/Read/TarnelEnvironment.h"
#include "Tarnel/Read/TarnelNodes.h"
#include "Tarnel/Read/TarnelSections.h"

#include <OgreLog.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /// A format or engine version: major, minor, patch.
    struct Version
    {
        Ogre::int32 major = 0;
        Ogre::int32 minor = 0;
        Ogre::int32 patch = 0;

        Version() = default;
        Version(Ogre::int32 major, Ogre::int32 minor, Ogre::int32 patch) : major(major), minor(minor), patch(patch) {}

        /// "1.6" is 1.6.0; missing components are 0, a fourth is ignored.
        static Version Parse(const Ogre::String& text);
        /// The engine this viewer is built against.
        static const Version& Engine();

        /// The components up to the last non-zero one ("1.6" for 1.6.0), "0" for 0.0.0.
        Ogre::String ToString() const;
        bool operator>(const Version& other) const;
    };

    /// What the scene element says of the level itself.
    struct LevelHeader
    {
        Types::ObjectExtraData extraData; ///< the level's id and user data
        Version formatVersion;
        Version minOgreVersion;
        Ogre::String author;
        std::optional<UpAxis> upAxis; ///< unset: the engine's Y
        Ogre::Real unitsPerMeter = 0;
        Ogre::String unitType;
    };

    /** A top-level section the load takes in document order: nodes, a light or camera on
        its own, externals, the terrain or flag aliases. */
    struct LevelSection
    {
        enum Kind
        {
            NODES,
            OBJECT,
            EXTERNALS,
            TERRAIN,
            QUERY_FLAGS,
            VISIBILITY_FLAGS
        } kind = NODES;
        const TiXmlElement* element = nullptr;
        NodeDescription nodes;                           ///< a nodes section's
        std::unique_ptr<Types::ObjectParameters> object; ///< a light's or camera's
        std::vector<ExternalItem> externals;
        TerrainDescription terrain;
        std::vector<FlagAlias> flags;
    };

    /** What a level's node and object sections say, read in one walk before anything is
        built, so that the checks and the build see one description. */
    struct LevelDescription
    {
        LevelHeader header;
        /// The first resourceLocations element's; unset without one.
        std::optional<std::vector<ResourceLocation>> resourceLocations;
        /// The first environment element's; unset without one.
        std::optional<EnvironmentDescription> environment;
        /// The first renderTextures element's.
        std::vector<RenderTextureDescription> renderTextures;
        /// The sections the load takes in document order.
        std::vector<LevelSection> sections;
        /// The last instancedGeometries and staticGeometries elements', built after everything else.
        std::vector<GeometryDescription> instancedGeometries, staticGeometries;
        /// The elements of the sections above that are there, for where a build stops.
        const TiXmlElement *resourceLocationsElement = nullptr, *environmentElement = nullptr,
                           *renderTexturesElement = nullptr, *instancedGeometriesElement = nullptr,
                           *staticGeometriesElement = nullptr;
        /** The model files the nodes name, and those those name, by the name as written; filled by
            ReadModelFiles once the level's resource locations are known. */
        std::map<Ogre::String, std::shared_ptr<const ModelDescription>> models;
        /// What the readers said of the values as they read, for the load to say as it builds.
        std::vector<std::pair<Ogre::LogMessageLevel, Ogre::String>> said;
        /// Set once the level's check has passed over the whole of it, model files included.
        bool checked = false;
    };

    /** Reads a level's scene element into its description with a scene's rules; a reader
        that raises leaves where it was in Reading(), and what was said before is logged. */
    class LevelReader
    {
    public:
        LevelDescription Read(const TiXmlElement* scene);
        /// Logs what the readers said, as they said it.
        static void Say(const LevelDescription& level);
        const TiXmlElement* Reading() const { return nodes.Reading() ? nodes.Reading() : reading; }

    private:
        void ReadSections(const TiXmlElement* scene, LevelDescription& level);
        /// A section the load takes in document order; other elements are left.
        void ReadSection(const TiXmlElement* element, LevelDescription& level);
        static LevelHeader ReadHeader(const TiXmlElement* scene);

        NodeReader nodes{Objects::Rules::SCENE};
        /// The section, or part of one, being read outside the nodes.
        const TiXmlElement* reading = nullptr;
    };
}

#endif
