// Measures what choosing a level's first view costs beside the load and a frame: a generated
// level of rooms and crates (3,748 nodes by default), or a level given with its media.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/first_view_benchmark [--nodes 3748] [--runs 5]
//   xvfb-run -a ... build/bench/first_view_benchmark --level ../shared/levels/zelda_map2/map.scene
//       --media ../shared/levels/zelda_map2/media
// The first choice also pays what the level's first frame pays otherwise (its meshes sent to
// the graphics card); the choices after it are the choice alone. The last line is the RESULT line.
#include "FirstView.h"
#include "MediaSources.h"
#include "RoomsLevel.h"

#include "Tarnel/Scene/TarnelLevelViews.h"
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Engine/TarnelPlatform.h"

#include <OgreCamera.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

    double Milliseconds(Timer& timer) { return double(timer.getMicroseconds()) / 1000; }
}

int main(int argc, char** argv)
{
    size_t nodes = 3748;
    int runs = 5;
    std::string level;
    MediaSources media; // --media DIR and --resources FILE, as the viewer takes them
    for (int i = 1; i < argc; ++i)
    {
        if (media.TakeOption(argc, argv, i) || i + 1 >= argc)
            continue;
        if (!std::strcmp(argv[i], "--nodes"))
            nodes = std::strtoul(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--level"))
            level = argv[++i];
    }
    if (level.empty())
    {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarnel-first-view-benchmark";
        std::filesystem::create_directories(folder);
        level = (folder / "level.scene").string();
        std::ofstream(level) << RoomsLevel(nodes, true);
    }

    // Figures only, no log file; the engine lives as long as the process.
    static auto* engine = new Tarnel::Engine({TARNEL_BENCH_PLUGINS_CFG, "", "first_view_benchmark.log", false, false});
    RenderWindow* window = engine->StartOpenGL("first view benchmark", true);
    ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
    resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Meshes", "FileSystem");
    // The engine's own programs for levels with stencil shadows, as the run tree's resource list has them.
    resources.addResourceLocation("/usr/share/OGRE/Media/ShadowVolume", "FileSystem");
    media.AddTo();
    resources.initialiseAllResourceGroups();

    PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    Tarnel::TarnelScene scene;
    scene.SetLenientNames(true);
    Timer timer;
    try
    {
        scene.Load(level, window, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    }
    catch (const Exception& refused)
    {
        std::fprintf(stderr, "%s does not load: %s\n", level.c_str(), refused.getFullDescription().c_str());
        return 1;
    }
    const double load = Milliseconds(timer);
    // As the viewer does after the load: a portal left unconnected would be followed at the first frame.
    Tarnel::Platform::ConnectPortals(sceneManager);
    Camera* camera = sceneManager->createCamera("Viewer");
    camera->setFOVy(Degree(90));
    camera->setAspectRatio(1280.f / 720);
    sceneManager->getRootSceneNode()->createChildSceneNode("ViewerNode")->attachObject(camera);
    window->addViewport(camera);
    const std::vector<Camera*> cameras = Tarnel::LevelCameras(sceneManager, scene, camera);

    timer.reset();
    FirstView first = FirstView::Choose(camera, &scene, cameras, scene.GetUpAxisVector());
    const double firstChoice = Milliseconds(timer);
    first.Apply(camera, nullptr);
    timer.reset();
    Root::getSingleton().renderOneFrame();
    const double firstFrame = Milliseconds(timer);

    std::vector<double> choices, frames;
    for (int run = 0; run < runs; ++run)
    {
        timer.reset();
        first = FirstView::Choose(camera, &scene, cameras, scene.GetUpAxisVector());
        choices.push_back(Milliseconds(timer));
        timer.reset();
        Root::getSingleton().renderOneFrame();
        frames.push_back(Milliseconds(timer));
    }
    const size_t looks = first.Tried().size();
    std::printf("%s: %zu drawn objects, loaded in %.1f ms\n", level.c_str(), first.Extent().total, load);
    std::printf("first view: %s\n", first.Line().c_str());
    for (const FirstView::Candidate& tried : first.Tried())
        std::printf("  tried %s: covers %.0f %%, score %.2f\n", tried.name.c_str(), tried.measure.level * 100, tried.score);
    std::printf("the first choice, %zu views, with the meshes' first upload: %.1f ms; the first frame after it: %.1f ms\n",
                looks, firstChoice, firstFrame);
    std::printf("the choice again: median %.1f ms; a frame: median %.1f ms (of %d runs)\n", Median(choices),
                Median(frames), runs);
    std::printf("RESULT objects=%zu load=%.1f first_choice=%.1f first_frame=%.1f choice=%.1f frame=%.1f views=%zu\n",
                first.Extent().total, load, firstChoice, firstFrame, Median(choices), Median(frames), looks);
    return 0;
}
