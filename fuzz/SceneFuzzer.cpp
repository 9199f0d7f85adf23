// Loads each input as a level file into a fresh zone scene manager, as the viewer would.
#include "FuzzEngine.h"

#include "Tarnel/TarnelEngine.h"
#include "Tarnel/TarnelLevelViews.h"
#include "Tarnel/TarnelScene.h"

#include <OgreException.h>
#include <OgrePCZSceneManager.h>

#include <cstdio>
#include <cstdlib>

namespace
{
    /// Inputs run, and those that loaded and were drawn; printed when the process ends.
    unsigned long inputs = 0, drawn = 0;

    void PrintCounts() { std::fprintf(stderr, "scene inputs: %lu, loaded and drawn: %lu\n", inputs, drawn); }

    void Load(const std::string& path, Ogre::SceneManager* sceneManager)
    {
        Tarnel::TarnelScene scene;
        try
        {
            scene.Load(path, FuzzEngine::Window(), sceneManager, FuzzEngine::GROUP);
            // As the viewer and the checker would: connected, then drawn through every view.
            auto* zones = static_cast<Ogre::PCZSceneManager*>(sceneManager);
            zones->connectPortalsToTargetZonesByLocation();
            Tarnel::DrawLevelViews(zones, FuzzEngine::Window(), scene);
            ++drawn;
        }
        catch (const Ogre::Exception& error)
        {
            // A clear error is the expected end of a broken level; it must be printable.
            const Ogre::String& message = error.getFullDescription();
            if (std::getenv("TARNEL_FUZZ_VERBOSE"))
                std::fprintf(stderr, "%s\n", message.c_str());
        }
        scene.Destroy();
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEngine::Start();
    std::atexit(PrintCounts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (FuzzEngine::NamesResourceLocations(data, size))
        return -1;
    ++inputs;
    std::string path = FuzzEngine::WriteInput("input.scene", data, size);
    Ogre::SceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    Load(path, sceneManager);
    Tarnel::Engine::DestroySceneManager(sceneManager);
    FuzzEngine::ForgetUnusedResources();
    return 0;
}
