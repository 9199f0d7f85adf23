// Measures what the portal system saves: a frame's search for visible objects from a room of
// a zoned building, against the same building with its portals left out (one zone, culled by
// the view alone). Write the building first:
//   tools/zoned-building.py /tmp/building.scene --rooms 1000 --camera
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/zone_culling_benchmark --level /tmp/building.scene
//       [--camera Eye] [--runs 50]
// The last line is the RESULT line.
#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderQueue.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace Ogre;

namespace
{
    double Median(std::vector<double> times)
    {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

    /// Counts the objects the engine queues for a camera.
    struct Queued : MovableObject::Listener
    {
        const Camera* camera = nullptr;
        size_t count = 0;
        bool objectRendering(const MovableObject*, const Camera* by) override
        {
            count += by == camera;
            return true;
        }
    };

    struct Figures
    {
        size_t objects = 0, queued = 0, zones = 0;
        double search = 0, frame = 0;
    };

    Figures Measure(const std::string& level, const std::string& cameraName, int runs, RenderWindow* window)
    {
        PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
        Tarnel::TarnelScene scene;
        scene.Load(level, window, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        Tarnel::Platform::ConnectPortals(sceneManager);
        Camera* camera = sceneManager->createCamera("Viewer");
        sceneManager->getRootSceneNode()->createChildSceneNode("ViewerNode")->attachObject(camera);
        window->removeAllViewports();
        window->addViewport(camera);
        Camera* levelCamera = sceneManager->hasCamera(cameraName) ? sceneManager->getCamera(cameraName) : nullptr;
        if (levelCamera)
            Tarnel::LookThrough(camera, levelCamera);
        Tarnel::Platform::PlaceInZone(camera->getParentSceneNode());

        Figures figures;
        Queued queued;
        queued.camera = camera;
        for (const auto& entity : sceneManager->getMovableObjects("Entity"))
        {
            entity.second->setListener(&queued);
            ++figures.objects;
        }
        for (auto zones = sceneManager->getZoneIterator(); zones.hasMoreElements();)
            figures.zones += zones.getNext() != sceneManager->getDefaultZone();
        Root::getSingleton().renderOneFrame(); // the meshes' first upload is no part of a frame
        std::vector<double> searches, frames;
        Timer timer;
        for (int run = 0; run < runs; ++run)
        {
            queued.count = 0;
            VisibleObjectsBoundsInfo bounds;
            timer.reset();
            sceneManager->_findVisibleObjects(camera, &bounds, false);
            searches.push_back(double(timer.getMicroseconds()) / 1000);
            sceneManager->getRenderQueue()->clear();
            figures.queued = queued.count;
            timer.reset();
            Root::getSingleton().renderOneFrame();
            frames.push_back(double(timer.getMicroseconds()) / 1000);
        }
        figures.search = Median(searches);
        figures.frame = Median(frames);
        for (const auto& entity : sceneManager->getMovableObjects("Entity"))
            entity.second->setListener(nullptr);
        scene.Destroy();
        Root::getSingleton().destroySceneManager(sceneManager);
        return figures;
    }
}

int main(int argc, char** argv)
{
    std::string level, cameraName = "Eye";
    int runs = 50;
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (!std::strcmp(argv[i], "--level"))
            level = argv[++i];
        else if (!std::strcmp(argv[i], "--camera"))
            cameraName = argv[++i];
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::max(1, std::atoi(argv[++i]));
    }
    if (level.empty())
    {
        std::fprintf(stderr, "usage: zone_culling_benchmark --level BUILDING.scene [--camera NAME] [--runs N]\n");
        return 2;
    }
    // The same building with no portal: its rooms' nodes are plain nodes of one zone.
    std::stringstream text;
    text << std::ifstream(level).rdbuf();
    const std::filesystem::path open =
        std::filesystem::path(level).parent_path() / ("unzoned-" + std::filesystem::path(level).filename().string());
    std::ofstream(open) << std::regex_replace(text.str(), std::regex("<portal [^>]*/>"), "");

    // Figures only, no log file; the engine lives as long as the process.
    static auto* engine =
        new Tarnel::Engine({TARNEL_BENCH_PLUGINS_CFG, "", "zone_culling_benchmark.log", false, false});
    RenderWindow* window = engine->StartOpenGL("zone culling benchmark", true);
    ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
    resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Meshes", "FileSystem");
    resources.initialiseAllResourceGroups();

    const Figures zoned = Measure(level, cameraName, runs, window);
    const Figures flat = Measure(open.string(), cameraName, runs, window);
    std::filesystem::remove(open);
    auto say = [](const char* what, const Figures& f) {
        std::printf("%s: %zu zones; from camera: %zu of %zu entities queued (%.1f %%); search median %.3f ms, "
                    "frame median %.2f ms\n",
                    what, f.zones, f.queued, f.objects, 100.0 * double(f.queued) / double(std::max<size_t>(f.objects, 1)),
                    f.search, f.frame);
    };
    say("with portals", zoned);
    say("without portals", flat);
    std::printf("RESULT zones=%zu objects=%zu queued_zoned=%zu queued_flat=%zu search_zoned=%.3f search_flat=%.3f "
                "frame_zoned=%.2f frame_flat=%.2f\n",
                zoned.zones, zoned.objects, zoned.queued, flat.queued, zoned.search, flat.search, zoned.frame, flat.frame);
    return 0;
}
