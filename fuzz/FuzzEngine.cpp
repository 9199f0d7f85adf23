#include "FuzzEngine.h"

#include "MediaSources.h"
#include "Viewer.h"

#include "Tarnel/Scene/TarnelLevelViews.h"
#include "Tarnel/Engine/TarnelEngine.h"

#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSkeletonManager.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace
{
    Ogre::RenderWindow* window = nullptr;
    Viewer* viewer = nullptr;
    std::string directory;
    unsigned long drawn = 0;

    /** The engine, and the process's directory as the working directory, with the run tree's
        resource list and media beside it, as the viewer reads them, and an empty model file
        the group may index. */
    void StartEngine()
    {
        if (window)
            return;
        const std::filesystem::path home = std::filesystem::temp_directory_path() / ("tarnel-fuzz-" + std::to_string(getpid()));
        directory = (home / "bin").string();
        std::filesystem::create_directories(directory);
        for (const char* shared : {"resources.cfg", "Media"})
            if (!std::filesystem::exists(home / shared))
                std::filesystem::create_symlink(std::filesystem::path(TARNEL_FUZZ_RUN_DIR) / shared, home / shared);
        std::ofstream(directory + "/input.model") << "<model/>";
        std::filesystem::current_path(directory);
        // The log would only grow with every input's faults: it is not written. The engine lives as
        // long as the process, held here so that the leak check at exit sees it held.
        static auto* engine = new Tarnel::Engine({TARNEL_FUZZ_PLUGINS_CFG, "", "fuzz.log", false, false});
        window = engine->StartOpenGL("Tarnel fuzzing", false);
    }

    const char* const MEDIA[] = {TARNEL_FUZZ_SAMPLE_MEDIA "/Meshes", TARNEL_FUZZ_SAMPLE_MEDIA "/Materials",
                                 TARNEL_FUZZ_SAMPLE_MEDIA "/Scenes", TARNEL_FUZZ_TEST_MEDIA,
                                 TARNEL_FUZZ_GENERATED_MEDIA};
}

namespace FuzzEngine
{
    void Start()
    {
        if (window)
            return;
        StartEngine();
        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        resources.createResourceGroup(GROUP);
        for (const char* location : MEDIA)
            resources.addResourceLocation(location, "FileSystem", GROUP);
        resources.addResourceLocation(directory, "FileSystem", GROUP);
        resources.initialiseAllResourceGroups();
    }

    void StartViewer()
    {
        if (viewer)
            return;
        StartEngine();
        Viewer::Options options;
        std::vector<std::string> arguments = {"fuzzer"};
        for (const char* location : MEDIA)
            arguments.insert(arguments.end(), {"--media", location});
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        for (int index = 1; index < int(argv.size()); ++index)
            options.media.TakeOption(int(argv.size()), argv.data(), index);
        options.levelFile = WriteInput("input.scene", reinterpret_cast<const uint8_t*>("<scene/>"), 8);
        viewer = Viewer::Start(window, options, true);
        viewer->OpenLevel(options.levelFile, nullptr);
    }

    Ogre::RenderWindow* Window() { return window; }

    void ReloadAndDraw()
    {
        Ogre::String error;
        if (viewer->ReloadLevel(error))
        {
            // As a user looks: the first view the viewer chooses, then through each of the level's cameras (C).
            viewer->FrameLevel();
            Ogre::Root::getSingleton().renderOneFrame();
            for (Ogre::Camera* level : viewer->GetLevelCameras())
            {
                Tarnel::LookThrough(viewer->GetCamera(), level);
                Ogre::Root::getSingleton().renderOneFrame();
            }
            ++drawn;
        }
        else if (std::getenv("TARNEL_FUZZ_VERBOSE"))
            std::fprintf(stderr, "%s\n", error.c_str()); // it must be printable, whatever the level held
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
