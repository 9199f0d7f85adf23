// The sections that hold neither nodes nor the environment, read into their descriptions.
#include "Tarnel/Read/TarnelSections.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// The "name" attributes of the children of that name; others are not list entries.
        std::vector<String> LoadNameList(const TiXmlElement* element, const char* childName)
        {
            std::vector<String> names;
            for (const TiXmlElement* child = element->FirstChildElement(childName); child;
                 child = child->NextSiblingElement(childName))
            {
                String name = TarnelUtilities::GetStringAttribute(child, "name");
                if (!name.empty())
                    names.push_back(name);
            }
            return names;
        }

        GeometryEntity ReadGeometryEntity(const TiXmlElement* element)
        {
            GeometryEntity entity;
            entity.line = element->Row();
            entity.meshFile = Objects::ReadMeshFile(element);
            for (const TiXmlElement* child = element->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "position")
                    entity.position = TarnelUtilities::LoadXYZ(child);
                else if (name == "rotation")
                {
                    // Baked into the batch as it is: the engine does not make it unit length here.
                    entity.orientation = TarnelUtilities::LoadRotation(child);
                    entity.orientation.normalise();
                }
                else if (name == "scale")
                    entity.scale = TarnelUtilities::LoadXYZ(child);
                else if (name == "subentities")
                    TarnelUtilities::LoadSubentities(child, entity.subentities);
            }
            return entity;
        }

        GeometryDescription ReadGeometry(const TiXmlElement* element)
        {
            GeometryDescription settings;
            settings.line = element->Row();
            settings.name = TarnelUtilities::GetStringAttribute(element, "name");
            settings.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
            settings.visibility = TarnelUtilities::GetVisibleAttribute(element);
            const String renderQueue = TarnelUtilities::GetStringAttribute(element, "renderQueue");
            if (!renderQueue.empty())
                settings.renderQueue = Domains::RenderQueue(element, "renderQueue", renderQueue);
            settings.renderingDistance = TarnelUtilities::GetRealAttribute(element, "renderingDistance", 0);
            const TiXmlElement* entities = nullptr;
            for (const TiXmlElement* child = element->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "origin")
                    settings.origin = TarnelUtilities::LoadXYZ(child);
                else if (name == "dimensions")
                    settings.dimensions = Domains::RegionSize(child, TarnelUtilities::LoadXYZ(child), settings.dimensions);
                else if (name == "entities")
                    entities = child;
            }
            // The last entities element; each of its entities with a mesh, in document order.
            for (const TiXmlElement* entity = entities ? entities->FirstChildElement("entity") : nullptr; entity;
                 entity = entity->NextSiblingElement("entity"))
            {
                GeometryEntity placed = ReadGeometryEntity(entity);
                if (!placed.meshFile.empty())
                    settings.entities.push_back(std::move(placed));
            }
            return settings;
        }
    }

    std::vector<ResourceLocation> Sections::ReadResourceLocations(const TiXmlElement* element,
                                                                     const String& baseLocation)
    {
        std::vector<ResourceLocation> locations = ReadResourceLocations(element);
        if (!baseLocation.empty())
            for (ResourceLocation& location : locations)
                location.name = TarnelUtilities::JoinPath(baseLocation, location.name);
        return locations;
    }

    std::vector<ResourceLocation> Sections::ReadResourceLocations(const TiXmlElement* element)
    {
        std::vector<ResourceLocation> locations;
        for (const TiXmlElement* child = element->FirstChildElement("resourceLocation"); child;
             child = child->NextSiblingElement("resourceLocation"))
        {
            ResourceLocation location;
            location.name = TarnelUtilities::GetStringAttribute(child, "name");
            location.type = TarnelUtilities::GetStringAttribute(child, "type");
            location.recursive = TarnelUtilities::GetBoolAttribute(child, "recursive", false);
            location.line = child->Row();
            locations.push_back(location);
        }
        return locations;
    }

    std::vector<ExternalItem> Sections::ReadExternals(const TiXmlElement* externals)
    {
        std::vector<ExternalItem> items;
        for (const TiXmlElement* element = externals->FirstChildElement("item"); element;
             element = element->NextSiblingElement("item"))
        {
            ExternalItem item;
            item.name = TarnelUtilities::GetStringAttribute(element, "name");
            item.type = TarnelUtilities::GetStringAttribute(element, "type");
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "file")
                    item.file = TarnelUtilities::GetStringAttribute(child, "name");
                else if (name == "position")
                    item.position = TarnelUtilities::LoadXYZ(child);
                else if (name == "rotation")
                    item.rotation = TarnelUtilities::LoadRotation(child);
                else if (name == "scale")
                    item.scale = TarnelUtilities::LoadXYZ(child);
                else if (name == "boundingVolume")
                    TarnelUtilities::LoadBoundingVolume(child, item.boundingVolume);
                else if (name == "userDataReference")
                    TarnelUtilities::LoadUserDataReference(child, item.userDataReference);
                else if (name == "userData")
                    TarnelUtilities::GetElementText(child, item.userData);
                else if (name == "noteTracks")
                    TarnelUtilities::LoadNoteTracks(child, item.noteTracks);
            }
            items.push_back(item);
        }
        return items;
    }

    std::vector<FlagAlias> Sections::ReadFlagAliases(const TiXmlElement* element, const char* childName)
    {
        std::vector<FlagAlias> aliases;
        for (const TiXmlElement* child = element->FirstChildElement(childName); child;
             child = child->NextSiblingElement(childName))
        {
            FlagAlias& alias = aliases.emplace_back();
            alias.name = TarnelUtilities::GetStringAttribute(child, "name");
            alias.bit = TarnelUtilities::GetIntAttribute(child, "bit", 0);
        }
        return aliases;
    }

    TerrainDescription Sections::ReadTerrain(const TiXmlElement* element)
    {
        TerrainDescription terrain;
        terrain.dataFile = TarnelUtilities::GetStringAttribute(element, "dataFile");
        if (!terrain.dataFile.empty())
        {
            String renderQueue = TarnelUtilities::GetStringAttribute(element, "renderQueue");
            if (!renderQueue.empty())
                terrain.renderQueue = Domains::RenderQueue(element, "renderQueue", renderQueue);
        }
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (child->ValueStr() == "rotation")
                terrain.rotation = TarnelUtilities::LoadRotation(child);
            else
                TarnelUtilities::LoadUserDataElement(child, terrain.extraData);
        }
        return terrain;
    }

    RenderTextureDescription Sections::ReadRenderTexture(const TiXmlElement* element)
    {
        RenderTextureDescription renderTexture;
        renderTexture.line = element->Row();
        renderTexture.name = TarnelUtilities::GetStringAttribute(element, "name");
        renderTexture.width = TarnelUtilities::GetIntAttribute(element, "width", 512);
        renderTexture.height = TarnelUtilities::GetIntAttribute(element, "height", 512);
        TarnelUtilities::CheckRange(renderTexture.width, 1, Limits::MAX_TEXTURE_SIZE,
                                    "The width of render texture " + renderTexture.name, "TarnelScene::LoadRenderTexture");
        TarnelUtilities::CheckRange(renderTexture.height, 1, Limits::MAX_TEXTURE_SIZE,
                                    "The height of render texture " + renderTexture.name, "TarnelScene::LoadRenderTexture");
        renderTexture.pixelFormat = TarnelUtilities::GetPixelFormatAttribute(element, PF_UNKNOWN);
        renderTexture.textureType = TarnelUtilities::GetTextureTypeAttribute(element, TEX_TYPE_2D);
        renderTexture.cameraName = TarnelUtilities::GetStringAttribute(element, "camera");
        renderTexture.scheme = TarnelUtilities::GetStringAttribute(element, "scheme");
        renderTexture.clearEveryFrame = TarnelUtilities::GetBoolAttribute(element, "clearEveryFrame", true);
        renderTexture.autoUpdate = TarnelUtilities::GetBoolAttribute(element, "autoUpdate", true);
        renderTexture.hideRenderObject = TarnelUtilities::GetBoolAttribute(element, "hideRenderObject", true);
        renderTexture.renderObjectName = TarnelUtilities::GetStringAttribute(element, "renderObjectName");

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name == "backgroundColor")
                renderTexture.backgroundColour = TarnelUtilities::LoadColor(child);
            else if (name == "renderPlane")
                renderTexture.renderPlane = TarnelUtilities::LoadPlane(child);
            else if (name == "hiddenObjects")
                renderTexture.hiddenObjects = LoadNameList(child, "hiddenObject");
            else if (name == "exclusiveObjects")
                renderTexture.exclusiveObjects = LoadNameList(child, "exclusiveObject");
            else if (name == "materials")
            {
                for (const TiXmlElement* material = child->FirstChildElement("material"); material;
                     material = material->NextSiblingElement("material"))
                {
                    RenderTextureDescription::MaterialLayer layer;
                    layer.name = TarnelUtilities::GetStringAttribute(material, "name");
                    layer.technique = uint16(TarnelUtilities::GetIntAttribute(material, "technique", 0));
                    layer.pass = uint16(TarnelUtilities::GetIntAttribute(material, "pass", 0));
                    layer.textureUnit = uint16(TarnelUtilities::GetIntAttribute(material, "textureUnit", 0));
                    if (!layer.name.empty())
                        renderTexture.materials.push_back(layer);
                }
            }
        }

        return renderTexture;
    }

    std::vector<GeometryDescription> Sections::ReadGeometries(const TiXmlElement* element, bool instanced)
    {
        std::vector<GeometryDescription> geometries;
        const char* childName = instanced ? "instancedGeometry" : "staticGeometry";
        for (const TiXmlElement* child = element->FirstChildElement(childName); child;
             child = child->NextSiblingElement(childName))
        {
            GeometryDescription geometry = ReadGeometry(child);
            if (instanced)
            {
                geometry.batchCount = TarnelUtilities::GetUIntAttribute(child, "batchCount", 0);
                TarnelUtilities::CheckRange(geometry.batchCount, 0, Limits::MAX_BATCH_INSTANCES,
                                            "The batchCount of instanced geometry " + geometry.name,
                                            "TarnelScene::LoadInstancedGeometry");
            }
            geometries.push_back(std::move(geometry));
        }
        return geometries;
    }
}
