// Measures how long the loader takes to open levels of growing size: a grid of
// rooms, each a zone with doorway portals to its neighbours and a number of props.
// Prints one line per level size. Needs an X display (the engine renders with
// OpenGL); run it as:
//   xvfb-run -a build/bench/load_benchmark [props per room] [props per room that look at the floor]
#include "Tarnel/TarnelScene.h"

#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreTimer.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
    const float ROOM = 10.4f; // room pitch: 10 inside, walls 0.2 thick

    void Portal(std::ostream& out, const char* name, int side)
    {
        // Doorways on the room's boundary, 5.2 from its centre, each pair given in opposite order.
        static const float corners[4][4][3] = {
            {{-1, 0, -5.2f}, {1, 0, -5.2f}, {1, 2.5f, -5.2f}, {-1, 2.5f, -5.2f}},  // north
            {{-1, 2.5f, 5.2f}, {1, 2.5f, 5.2f}, {1, 0, 5.2f}, {-1, 0, 5.2f}},      // south
            {{5.2f, 0, -1}, {5.2f, 0, 1}, {5.2f, 2.5f, 1}, {5.2f, 2.5f, -1}},      // east
            {{-5.2f, 2.5f, -1}, {-5.2f, 2.5f, 1}, {-5.2f, 0, 1}, {-5.2f, 0, -1}},  // west
        };
        out << "<portal name='" << name << "' type='quad'";
        for (int i = 0; i < 4; ++i)
            out << " x" << i << "='" << corners[side][i][0] << "' y" << i << "='" << corners[side][i][1] << "' z" << i
                << "='" << corners[side][i][2] << "'";
        out << "/>\n";
    }

    std::string Level(int gridSize, int propsPerRoom, int lookersPerRoom)
    {
        std::ostringstream out;
        out << "<scene formatVersion='1.0'><nodes>\n";
        for (int row = 0; row < gridSize; ++row)
        {
            for (int column = 0; column < gridSize; ++column)
            {
                std::string room = "Room_" + std::to_string(row) + "_" + std::to_string(column);
                out << "<node name='" << room << "'><position x='" << column * ROOM << "' y='0' z='" << row * ROOM
                    << "'/>\n";
                if (row > 0) Portal(out, "N", 0);
                if (row + 1 < gridSize) Portal(out, "S", 1);
                if (column + 1 < gridSize) Portal(out, "E", 2);
                if (column > 0) Portal(out, "W", 3);
                out << "<node name='" << room << "_Floor'><position y='-0.1'/><scale x='10.4' y='0.2' z='10.4'/>"
                    << "<entity meshFile='Block.mesh'/></node>\n";
                for (int prop = 0; prop < propsPerRoom; ++prop)
                {
                    out << "<node><position x='" << (prop % 8) - 3.5f << "' y='0.5' z='" << (prop / 8) % 8 - 3.5f
                        << "'/><rotation axisX='0' axisY='1' axisZ='0' angle='" << prop * 0.1f << "'/>"
                        << "<entity meshFile='Crate.mesh' queryFlags='2'><userData>prop</userData>"
                        << "<subentities><subentity index='0' materialName='Level/Wood'/></subentities></entity>";
                    if (prop < lookersPerRoom)
                        out << "<lookTarget nodeName='" << room << "_Floor'/>";
                    out << "</node>\n";
                }
                out << "</node>\n";
            }
        }
        out << "</nodes></scene>\n";
        return out.str();
    }

    Ogre::Root* StartEngine()
    {
        Ogre::LogManager* log = new Ogre::LogManager();
        log->createLog("load_benchmark.log", true, false, true); // figures only, no log file
        Ogre::Root* root = new Ogre::Root(TARNEL_BENCH_PLUGINS_CFG, "", "");
        Ogre::RenderSystem* renderSystem = root->getRenderSystemByName("OpenGL Rendering Subsystem");
        root->setRenderSystem(renderSystem);
        root->initialise(false);
        root->createRenderWindow("load benchmark", 64, 64, false);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Meshes", "FileSystem");
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Materials",
                                                                       "FileSystem");
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        return root;
    }
}

int main(int argc, char** argv)
{
    int propsPerRoom = argc > 1 ? std::atoi(argv[1]) : 20;
    int lookersPerRoom = argc > 2 ? std::atoi(argv[2]) : 1;
    Ogre::Root* root = StartEngine();
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "tarnel-load-benchmark";
    std::filesystem::create_directories(directory);

    std::printf("%8s %8s %10s %10s %12s %12s\n", "rooms", "nodes", "entities", "portals", "load ms", "connect ms");
    for (int gridSize : {2, 5, 10, 20})
    {
        std::string file = (directory / ("level_" + std::to_string(gridSize) + ".scene")).string();
        std::ofstream(file) << Level(gridSize, propsPerRoom, lookersPerRoom);

        Ogre::SceneManager* sceneManager = root->createSceneManager("PCZSceneManager");
        static_cast<Ogre::PCZSceneManager*>(sceneManager)->init("ZoneType_Default");
        Tarnel::TarnelScene scene;
        Ogre::Timer timer;
        scene.Load(file, nullptr, sceneManager, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        double loadMs = timer.getMicroseconds() / 1000.0;
        timer.reset();
        static_cast<Ogre::PCZSceneManager*>(sceneManager)->connectPortalsToTargetZonesByLocation();
        double connectMs = timer.getMicroseconds() / 1000.0;

        int rooms = gridSize * gridSize;
        int portals = 4 * gridSize * (gridSize - 1);
        std::printf("%8d %8d %10d %10d %12.1f %12.1f\n", rooms, rooms * (2 + propsPerRoom),
                    rooms * (1 + propsPerRoom), portals, loadMs, connectMs);
        std::fflush(stdout);
        // Each size gets its own scene manager, which stays: zone managers cannot be torn down cleanly.
    }
    std::filesystem::remove_all(directory);
    return 0;
}
