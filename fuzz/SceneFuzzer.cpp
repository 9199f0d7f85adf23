// Loads each input as a level file into a fresh zone scene manager, as the viewer would.
#include "FuzzEngine.h"

#include "Tarnel/TarnelDocuments.h"
#include "Tarnel/TarnelEngine.h"
#include "Tarnel/TarnelLimits.h"
#include "Tarnel/TarnelLevelViews.h"
#include "Tarnel/TarnelScene.h"

#include <OgreException.h>
#include <OgrePCZSceneManager.h>

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

namespace
{
    /// Whether the text is a document the loader would go on to read: nested within bounds, and parsing.
    bool Parses(const uint8_t* data, size_t size)
    {
        std::string text(reinterpret_cast<const char*>(data), size);
        if (Tarnel::TarnelUtilities::NestsDeeperThan(text.c_str(), Tarnel::Limits::MAX_ELEMENT_DEPTH))
            return false;
        TiXmlDocument document;
        document.Parse(text.c_str());
        return !document.Error();
    }
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

/** Most byte-level mutations break a document's structure, and a level that does not parse is
    refused before anything is drawn: a few tries for a mutation that still parses, so that most
    inputs reach the loader and the drawing. The last try stands when none parses. */
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int)
{
    const std::vector<uint8_t> original(data, data + size);
    for (int attempt = 0; attempt < 8; ++attempt)
    {
        size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
        if (attempt == 7 || Parses(data, mutated))
            return mutated;
        std::copy(original.begin(), original.end(), data);
    }
    return size;
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
