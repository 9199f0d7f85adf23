#include "FuzzEngine.h"

#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Build/TarnelLevelViews.h"
#include "Tarnel/Build/TarnelScene.h"

#include <OgreException.h>
#include <OgrePCZSceneManager.h>

#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSkeletonManager.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
    Ogre::RenderWindow* window = nullptr;
    std::string directory;
    unsigned long drawn = 0;
}

namespace FuzzEngine
{
    void Start()
    {
        if (window)
            return;
        // The log would only grow with every input's faults: it is not written. The engine lives as
        // long as the process, held here so that the leak check at exit sees it held.
        static auto* engine = new Tarnel::Engine({TARNEL_FUZZ_PLUGINS_CFG, "", "fuzz.log", false, false});
        window = engine->StartOpenGL("Tarnel fuzzing", false);

        directory = (std::filesystem::temp_directory_path() / ("tarnel-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(directory);
        // Entered before the group is made, so that the group knows the file by name.
        std::ofstream(directory + "/input.model") << "<model/>";

        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        resources.createResourceGroup(GROUP);
        for (const char* location : {TARNEL_FUZZ_SAMPLE_MEDIA "/Meshes", TARNEL_FUZZ_SAMPLE_MEDIA "/Materials",
                                     TARNEL_FUZZ_SAMPLE_MEDIA "/Scenes", TARNEL_FUZZ_TEST_MEDIA,
                                     TARNEL_FUZZ_GENERATED_MEDIA})
            resources.addResourceLocation(location, "FileSystem", GROUP);
        resources.addResourceLocation(directory, "FileSystem", GROUP);
        resources.initialiseAllResourceGroups();
    }

    Ogre::RenderWindow* Window() { return window; }

    void LoadAndDraw(const std::string& path)
    {
        Ogre::SceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
        {
            Tarnel::TarnelScene scene;
            try
            {
                scene.Load(path, window, sceneManager, GROUP);
                Tarnel::Platform::ConnectPortals(sceneManager);
                Tarnel::DrawLevelViews(static_cast<Ogre::PCZSceneManager*>(sceneManager), window, scene);
                ++drawn;
            }
            catch (const Ogre::Exception& error)
            {
                // It must be printable, whatever the level held.
                const Ogre::String& message = error.getFullDescription();
                if (std::getenv("TARNEL_FUZZ_VERBOSE"))
                    std::fprintf(stderr, "%s\n", message.c_str());
            }
            scene.Destroy();
        }
        Tarnel::Engine::DestroySceneManager(sceneManager);
        ForgetUnusedResources();
    }

    unsigned long Drawn() { return drawn; }

    std::string WriteInput(const std::string& fileName, const uint8_t* data, size_t size)
    {
        std::string path = directory + "/" + fileName;
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                       std::streamsize(size));
        return path;
    }

    void ForgetUnusedResources()
    {
        static unsigned inputs = 0;
        if (++inputs % 500 != 0)
            return;
        Ogre::MeshManager::getSingleton().removeUnreferencedResources();
        Ogre::SkeletonManager::getSingleton().removeUnreferencedResources();
    }

    bool NamesResourceLocations(const uint8_t* data, size_t size)
    {
        static const char word[] = "resourceLocation";
        return std::search(data, data + size, word, word + sizeof word - 1) != data + size;
    }
}
