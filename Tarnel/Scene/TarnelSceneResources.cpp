// Resource locations, external items and flag aliases.
#include "Tarnel/Scene/TarnelScene.h"
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
    bool TarnelScene::LoadResourceLocations(const std::vector<ResourceLocation>& locations)
    {
        // A scene read through the resource system has no directory of its own to add to.
        if (!loadedFromFileSystem)
            return false;

        bool added = false;
        for (ResourceLocation location : locations)
        {
            if (!baseResourceLocation.empty())
                location.name = TarnelUtilities::JoinPath(baseResourceLocation, location.name);
            added = AddResourceLocation(location) || added;
        }
        return added;
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

    void TarnelScene::LoadExternals(const LevelSection& section)
    {
        externalItems.insert(externalItems.end(), section.externals.begin(), section.externals.end());
    }

    void TarnelScene::LoadQueryFlagAliases(const LevelSection& section)
    {
        queryFlagAliases = section.flags;
    }

    void TarnelScene::LoadVisibilityFlagAliases(const LevelSection& section)
    {
        visibilityFlagAliases = section.flags;
    }
}
