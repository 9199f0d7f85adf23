#include "Tarnel/Engine/TarnelPlatform.h"

#include <OgreConfigFile.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStaticGeometry.h>

#include <algorithm>
#include <filesystem>

#include <dlfcn.h>

namespace Tarnel
{
namespace Platform
{
    namespace
    {
        // The two tables are the scene manager's and the node's own; these reach them from outside.
        struct ManagerTables : Ogre::SceneManager
        {
            static auto Names() { return &ManagerTables::mNamedNodes; }
            static auto Nodes() { return &ManagerTables::mSceneNodes; }
        };

        struct NodeIndex : Ogre::SceneNode
        {
            static auto Index() { return &NodeIndex::mGlobalIndex; }
        };
    }

    void KeepPluginsLoaded(const Ogre::String& pluginsFile)
    {
        Ogre::ConfigFile file;
        try
        {
            file.load(pluginsFile);
        }
        catch (const Ogre::Exception&)
        {
            return; // the engine reports the missing file itself
        }
        Ogre::String folder = file.getSetting("PluginFolder");
        for (const Ogre::String& plugin : file.getMultiSetting("Plugin"))
        {
            Ogre::String path = folder.empty() ? plugin : folder + "/" + plugin;
            if (path.size() < 3 || path.compare(path.size() - 3, 3, ".so") != 0)
                path += ".so";
            dlopen(path.c_str(), RTLD_LAZY | RTLD_NODELETE);
        }
    }

    void MakeStaticGeometryDestroyable(Ogre::SceneManager* sceneManager, const Ogre::StaticGeometry* geometry)
    {
        std::vector<Ogre::SceneNode*> nodes;
        for (const auto& region : geometry->getRegions())
        {
            if (Ogre::SceneNode* node = region.second->getParentSceneNode())
                nodes.push_back(node);
        }
        if (nodes.empty())
            return;
        auto& names = sceneManager->*ManagerTables::Names();
        const auto& all = sceneManager->*ManagerTables::Nodes();
        for (size_t index = 0; index < all.size(); ++index)
        {
            if (std::find(nodes.begin(), nodes.end(), all[index]) == nodes.end())
                continue;
            all[index]->*NodeIndex::Index() = index;
            names.emplace(all[index]->getName(), all[index]);
        }
    }

    void MakeNodesDestroyable(Ogre::SceneManager* sceneManager)
    {
        auto& names = sceneManager->*ManagerTables::Names();
        const auto& all = sceneManager->*ManagerTables::Nodes();
        for (size_t index = 0; index < all.size(); ++index)
        {
            all[index]->*NodeIndex::Index() = index;
            if (!all[index]->getName().empty())
                names.emplace(all[index]->getName(), all[index]);
        }
    }

    namespace
    {
        void SetHomeZone(Ogre::PCZSceneManager* zones, Ogre::Node* node, Ogre::PCZone* zone)
        {
            zones->addPCZSceneNode(static_cast<Ogre::PCZSceneNode*>(node), zone);
            // From here, not from where it was, is where its next move starts.
            static_cast<Ogre::PCZSceneNode*>(node)->savePrevPosition();
            for (Ogre::Node* child : node->getChildren())
                SetHomeZone(zones, child, zone);
        }
    }

    void PlaceInZone(Ogre::SceneNode* node)
    {
        auto* zones = static_cast<Ogre::PCZSceneManager*>(node->getCreator());
        // A zone holds the points in its node's world bounds, as the last update of the graph left them.
        zones->getRootSceneNode()->_update(true, false);
        Ogre::Vector3 position = node->_getDerivedPosition();
        SetHomeZone(zones, node, zones->findZoneForPoint(position));
    }

    void ConnectPortals(Ogre::SceneManager* sceneManager)
    {
        auto* zones = static_cast<Ogre::PCZSceneManager*>(sceneManager);
        zones->connectPortalsToTargetZonesByLocation();
        // An update records where each node is; the second record makes that its last place too.
        zones->getRootSceneNode()->_update(true, false);
        static_cast<Ogre::PCZSceneNode*>(zones->getRootSceneNode())->savePrevPosition();
        for (Ogre::SceneNode* node : sceneManager->*ManagerTables::Nodes())
            static_cast<Ogre::PCZSceneNode*>(node)->savePrevPosition();
    }
}
}
