// Resource locations, external items and flag aliases.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Media/TarnelMedia.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreArchiveManager.h>
#include <OgreResourceGroupManager.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// The direct children of that name, in document order; other children are not aliases.
        void LoadFlagAliases(const TiXmlElement* element, const char* childName, std::vector<FlagAlias>& aliases)
        {
            aliases.resize(TarnelUtilities::GetChildElementCount(element, childName));
            size_t index = 0;
            for (const TiXmlElement* child = element->FirstChildElement(childName); child;
                 child = child->NextSiblingElement(childName))
            {
                FlagAlias& alias = aliases[index++];
                alias.name = TarnelUtilities::GetStringAttribute(child, "name");
                alias.bit = TarnelUtilities::GetIntAttribute(child, "bit", 0);
            }
        }
    }

    bool TarnelScene::LoadResourceLocations(const TiXmlElement* element)
    {
        // A scene read through the resource system has no directory of its own to add to.
        if (!loadedFromFileSystem)
            return false;

        bool added = false;
        for (const ResourceLocation& location : ReadResourceLocations(element, baseResourceLocation))
            added = AddResourceLocation(location) || added;
        return added;
    }

    std::vector<ResourceLocation> TarnelScene::ReadResourceLocations(const TiXmlElement* element,
                                                                     const String& baseLocation)
    {
        std::vector<ResourceLocation> locations;
        for (const TiXmlElement* child = element->FirstChildElement("resourceLocation"); child;
             child = child->NextSiblingElement("resourceLocation"))
        {
            ResourceLocation location;
            location.name = TarnelUtilities::GetStringAttribute(child, "name");
            if (!baseLocation.empty())
                location.name = TarnelUtilities::JoinPath(baseLocation, location.name);
            location.type = TarnelUtilities::GetStringAttribute(child, "type");
            location.recursive = TarnelUtilities::GetBoolAttribute(child, "recursive", false);
            locations.push_back(location);
        }
        return locations;
    }

    bool TarnelScene::AddResourceLocation(const ResourceLocation& location)
    {
        ResourceLocation absolute = location;
        TarnelUtilities::MakeFullPath(absolute.name);
        return resourceLocations.insert(std::make_pair(absolute.name, absolute)).second;
    }

    void TarnelScene::InitialiseResourceLocations()
    {
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        // The engine initialises a group once; the scripts of locations added later are parsed here.
        bool groupInitialised = resources.resourceGroupExists(defaultResourceGroupName) &&
                                resources.isResourceGroupInitialised(defaultResourceGroupName);
        TarnelMedia::Locations added, readBefore;
        for (auto& entry : resourceLocations)
        {
            ResourceLocation& location = entry.second;
            if (location.initialised)
                continue;
            location.initialised = true;
            Archive* archive = ArchiveManager::getSingleton().load(location.name, location.type, true);
            // An earlier level, or the game's media around it, may have it already, scripts and
            // all: its scripts are read again as the level's own, its files are known.
            if (TarnelMedia::IsRegistered(location.name, defaultResourceGroupName))
            {
                readBefore.emplace_back(archive, location.recursive);
                continue;
            }
            resources.addResourceLocation(location.name, location.type, defaultResourceGroupName, location.recursive);
            added.emplace_back(archive, location.recursive);
        }
        // The level's own scripts stand before what the game's media define of their names.
        if (groupInitialised && !readBefore.empty())
        {
            TarnelMedia::LevelOwnScripts own(true);
            TarnelMedia::ParseScripts(readBefore, defaultResourceGroupName);
        }
        if (added.empty())
            return;
        TarnelMedia::LevelOwnScripts own(false);
        if (groupInitialised)
            TarnelMedia::ParseScripts(added, defaultResourceGroupName);
        resources.initialiseAllResourceGroups();
    }

    void TarnelScene::LoadExternals(const TiXmlElement* element)
    {
        for (const TiXmlElement* child = element->FirstChildElement("item"); child;
             child = child->NextSiblingElement("item"))
        {
            LoadExternalItem(child);
        }
    }

    void TarnelScene::LoadExternalItem(const TiXmlElement* element)
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
        externalItems.push_back(item);
    }

    void TarnelScene::LoadQueryFlagAliases(const TiXmlElement* element)
    {
        LoadFlagAliases(element, "queryFlag", queryFlagAliases);
    }

    void TarnelScene::LoadVisibilityFlagAliases(const TiXmlElement* element)
    {
        LoadFlagAliases(element, "visibilityFlag", visibilityFlagAliases);
    }
}
