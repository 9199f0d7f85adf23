#ifndef TARNEL_SECTIONS_H
#define TARNEL_SECTIONS_H

#include "Tarnel/Read/Types.h"

#include <OgreColourValue.h>
#include <OgrePixelFormat.h>
#include <OgrePlane.h>
#include <OgreTexture.h>

#include <map>
#include <optional>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /// A place the engine searches for the scene's resources.
    struct ResourceLocation
    {
        Ogre::String name; ///< absolute once added
        Ogre::String type; ///< engine archive type, such as "FileSystem"
        bool recursive = false;
        bool initialised = false;
        int line = 0; ///< of its element
    };
    /// Resource locations by absolute name, each name once.
    typedef std::map<Ogre::String, ResourceLocation> ResourceLocations;

    struct FlagAlias
    {
        Ogre::String name;
        Ogre::int32 bit = 0;
    };

    /// An item the scene only describes, for the application to use.
    struct ExternalItem
    {
        Ogre::String name;
        Ogre::String type;
        Ogre::String file;
        Ogre::String userDataReference;
        Ogre::String userData;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion rotation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
        BoundingVolume boundingVolume;
        Types::NoteTracks noteTracks;
    };

    /** A texture the engine renders into from a camera of the scene: a flat one,
        perhaps a reflection on a plane projected onto material layers, or a cube
        map rendered from six cameras at a point. */
    struct RenderTextureDescription
    {
        /// A material layer that shows the texture projected from the texture's camera.
        struct MaterialLayer
        {
            Ogre::String name;
            Ogre::uint16 technique = 0;
            Ogre::uint16 pass = 0;
            Ogre::uint16 textureUnit = 0;
        };

        Ogre::String name;
        int width = 512;
        int height = 512;
        Ogre::PixelFormat pixelFormat = Ogre::PF_UNKNOWN; ///< unknown: the windows' colour depth decides
        Ogre::TextureType textureType = Ogre::TEX_TYPE_2D;
        Ogre::String cameraName;
        Ogre::String scheme; ///< empty: the engine's default scheme
        std::optional<Ogre::ColourValue> backgroundColour; ///< unset: the level's background
        bool clearEveryFrame = true;
        bool autoUpdate = true;
        bool hideRenderObject = true;
        Ogre::String renderObjectName; ///< a plane for reflections, a node for cube maps
        Ogre::Plane renderPlane;       ///< used when the render object has no movable plane
        std::vector<Ogre::String> hiddenObjects;
        std::vector<Ogre::String> exclusiveObjects;
        std::vector<MaterialLayer> materials;
        int line = 0;
    };

    /// The terrain element: a world geometry file, drawn by the engine's terrain, if any.
    struct TerrainDescription
    {
        Ogre::String dataFile;
        std::optional<Ogre::uint8> renderQueue;
        std::optional<Ogre::Quaternion> rotation; ///< of the node "Terrain"
        Types::ObjectExtraData extraData;
    };

    /// One placed copy of a mesh in batched geometry.
    struct GeometryEntity
    {
        Ogre::String meshFile;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
        SubentityMaterials subentities;
        int line = 0;
    };

    /// An instancedGeometry or staticGeometry element.
    struct GeometryDescription
    {
        Ogre::String name;
        bool castShadows = true;
        ObjectVisibility visibility = OBJECT_VISIBILITY_DEFAULT;
        std::optional<Ogre::uint8> renderQueue;
        Ogre::Real renderingDistance = 0;
        Ogre::Vector3 origin = Ogre::Vector3::ZERO;
        Ogre::Vector3 dimensions = Ogre::Vector3(1000000, 1000000, 1000000);
        unsigned int batchCount = 0; ///< instanced geometry's
        std::vector<GeometryEntity> entities; ///< those with a mesh
        int line = 0;
    };

    /// Readers of the sections that hold neither nodes nor the environment.
    namespace Sections
    {
        /// The locations as written: names relative to the level's folder.
        std::vector<ResourceLocation> ReadResourceLocations(const TiXmlElement* element);
        /// The same, each taken from the base location (the level's folder) when there is one.
        std::vector<ResourceLocation> ReadResourceLocations(const TiXmlElement* element, const Ogre::String& baseLocation);
        std::vector<ExternalItem> ReadExternals(const TiXmlElement* element);
        /// The direct children of that name, in document order; other children are not aliases.
        std::vector<FlagAlias> ReadFlagAliases(const TiXmlElement* element, const char* childName);
        TerrainDescription ReadTerrain(const TiXmlElement* element);
        RenderTextureDescription ReadRenderTexture(const TiXmlElement* element);
        /// The geometry elements of an instancedGeometries or staticGeometries section.
        std::vector<GeometryDescription> ReadGeometries(const TiXmlElement* element, bool instanced);
    }
}

#endif
