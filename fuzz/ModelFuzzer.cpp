// Reads each input as a model file and builds two instances of it, as nodes that name it would.
#include "FuzzEngine.h"

#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Scene/TarnelLevelViews.h"
#include "Tarnel/Scene/TarnelModel.h"
#include "Tarnel/Scene/TarnelScene.h"

#include <OgreException.h>
#include <OgreMeshManager.h>
#include <OgrePCZSceneManager.h>
#include <OgreSceneManager.h>

#include <vector>

namespace
{
    /// Instances' plane meshes stay with the mesh manager; without this they would pile up run after run.
    void RemovePlaneMeshes()
    {
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        std::vector<Ogre::ResourceHandle> planes;
        for (const auto& entry : meshes.getResourceIterator())
        {
            const Ogre::String& name = entry.second->getName();
            if (name.size() < 5 || name.compare(name.size() - 5, 5, ".mesh") != 0)
                planes.push_back(entry.first);
        }
        for (Ogre::ResourceHandle handle : planes)
            meshes.remove(handle);
    }

    void LoadAndInstance(Ogre::SceneManager* sceneManager)
    {
        Tarnel::TarnelScene scene; // the cache nested models come from
        try
        {
            Tarnel::TarnelModel model;
            model.Load("input.model", FuzzEngine::GROUP);
            for (const char* baseName : {"First", "Second"})
                model.CreateInstance(sceneManager, baseName, 0, nullptr, FuzzEngine::GROUP, nullptr, &scene);
            Tarnel::DrawLevelViews(static_cast<Ogre::PCZSceneManager*>(sceneManager), FuzzEngine::Window(), scene);
        }
        catch (const Ogre::Exception& error)
        {
            (void)error.getFullDescription();
        }
        scene.Destroy();
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEngine::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEngine::WriteInput("input.model", data, size);
    Ogre::SceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    LoadAndInstance(sceneManager);
    Tarnel::Engine::DestroySceneManager(sceneManager); // the instances' entities go before their meshes
    RemovePlaneMeshes();
    FuzzEngine::ForgetUnusedResources();
    return 0;
}
