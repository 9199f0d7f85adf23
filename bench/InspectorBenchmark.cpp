// Measures what the level inspector costs a frame on a level of thousands of nodes: frames
// with it closed, the frame that opens it (and builds the level's tree), frames with it open,
// with a selection, and with the tree narrowed by a search; the whole frame, and the part the
// inspector's own work takes on the processor (its windows' drawing is in the frame's).
// Needs an X display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/inspector_benchmark [--nodes 3700] [--frames 200]
// The last line is the RESULT line.
#include "LevelInspector.h"

#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Engine/TarnelEngine.h"

#include <OgreCamera.h>
#include <OgreOverlaySystem.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include "RoomsLevel.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace Ogre;

namespace
{
    struct Figures
    {
        double median, slowest95, slowest;
    };

    Figures Summed(std::vector<double> times)
    {
        std::sort(times.begin(), times.end());
        return {times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
    }

    /// Frames as the viewer draws them: the scene and overlays, then the inspector's next frame.
    struct Frames
    {
        Figures whole, inspector; ///< the frame, and the inspector's part of it on the processor
    };

    Frames DrawFrames(LevelInspector& inspector, int frames)
    {
        std::vector<double> whole, own;
        Timer timer;
        for (int frame = 0; frame < frames; ++frame)
        {
            timer.reset();
            Root::getSingleton().renderOneFrame();
            const unsigned long drawn = timer.getMicroseconds();
            inspector.Frame(0.016f, 0, LevelControls());
            const unsigned long all = timer.getMicroseconds();
            whole.push_back(double(all) / 1000);
            own.push_back(double(all - drawn) / 1000);
        }
        return {Summed(whole), Summed(own)};
    }

    void Print(const char* phase, const Frames& frames)
    {
        std::printf("%-26s frame: median %6.2f ms, 95%% under %6.2f ms; the inspector's own: median %5.2f ms, "
                    "slowest %5.2f ms\n",
                    phase, frames.whole.median, frames.whole.slowest95, frames.inspector.median,
                    frames.inspector.slowest);
    }
}

int main(int argc, char** argv)
{
    size_t nodes = 3700;
    int frames = 200;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (!std::strcmp(argv[i], "--nodes"))
            nodes = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--frames"))
            frames = std::max(10, std::atoi(argv[i + 1]));
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarnel-inspector-benchmark";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "level.scene").string();
    std::ofstream(file) << RoomsLevel(nodes);

    // Figures only, no log file; the engine lives as long as the process.
    static auto* engine = new Tarnel::Engine({TARNEL_BENCH_PLUGINS_CFG, "", "inspector_benchmark.log", false, false});
    engine->StartOpenGL("inspector benchmark", true);
    auto* overlays = new OverlaySystem();
    RenderWindow* window = Root::getSingleton().createRenderWindow("Inspector benchmark", 1280, 800, false);
    ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
    resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Meshes", "FileSystem");
    resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Scenes", "FileSystem");
    resources.initialiseAllResourceGroups();

    PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    sceneManager->addRenderQueueListener(overlays);
    Tarnel::TarnelScene scene;
    scene.Load(file, window, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    Camera* camera = sceneManager->createCamera("Viewer");
    camera->setNearClipDistance(0.1f);
    SceneNode* eye = sceneManager->getRootSceneNode()->createChildSceneNode(Vector3(-10, 40, -10));
    eye->attachObject(camera);
    eye->lookAt(Vector3(100, 0, 100), Node::TS_WORLD);
    window->addViewport(camera);

    TiXmlDocument document(file);
    document.LoadFile();
    const Tarnel::LevelDescription described = Tarnel::LevelReader().Read(document.RootElement());
    std::printf("A level of %zu nodes, %d frames a phase, 1280x800\n", nodes, frames);
    LevelInspector inspector(window);
    inspector.ShowLevel(sceneManager, camera, LevelRows::Of(described, file), {}, &scene);

    DrawFrames(inspector, 20); // the first frames load the meshes
    inspector.Prepare(); // as the viewer does once the level is on screen
    const Frames closed = DrawFrames(inspector, frames);
    Timer timer;
    inspector.SetOpen(true);
    const double made = double(timer.getMicroseconds()) / 1000;
    Root::getSingleton().renderOneFrame();
    const double drawn = double(timer.getMicroseconds()) / 1000;
    inspector.Frame(0.016f, 0, LevelControls()); // starts the tree
    const double opening = double(timer.getMicroseconds()) / 1000;
    // The tree is read a part a frame until it is whole.
    int framesToWhole = 1;
    for (; framesToWhole < 1000 && !inspector.TreeIsWhole(); ++framesToWhole)
    {
        Root::getSingleton().renderOneFrame();
        inspector.Frame(0.016f, 0, LevelControls());
    }
    const Frames open = DrawFrames(inspector, frames);
    inspector.Select(sceneManager->getMovableObject("Crate_0_1", "Entity"));
    const Frames selected = DrawFrames(inspector, frames);
    inspector.Search("prop_1");
    const Frames searched = DrawFrames(inspector, frames);

    Print("inspector closed", closed);
    std::printf("%-26s frame: %6.2f ms (opening %.2f, drawing %.2f, the inspector's own %.2f); the tree whole after %d frames\n",
                "the frame that opens it", opening, made, drawn - made, opening - drawn, framesToWhole);
    Print("open, the whole tree", open);
    Print("open, a crate selected", selected);
    Print("open, the tree searched", searched);
    std::printf("RESULT nodes=%zu closed=%.2f open=%.2f selected=%.2f searched=%.2f opening=%.2f "
                "own=%.2f,%.2f,%.2f (medians, ms a frame)\n",
                nodes, closed.whole.median, open.whole.median, selected.whole.median, searched.whole.median,
                opening, open.inspector.median, selected.inspector.median, searched.inspector.median);
    return 0;
}
