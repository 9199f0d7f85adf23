// Measures the loader on generated levels that look like real ones, against a lower bound:
// parsing the same file with TinyXML plus the same engine calls the loader makes, replayed
// from a list prepared before the clock starts. Each figure is the best of a few runs in
// fresh scene managers; the load's median is given too. Needs an X display (the engine renders with OpenGL):
//   xvfb-run -a build/bench/load_benchmark [--sizes 1000,5000,10000,50000] [--runs 3] [--keep]
// The last lines are one RESULT line per size.
#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreStaticGeometry.h>
#include <OgreSubEntity.h>
#include <OgreTimer.h>

#include <tinyxml.h>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <vector>

using namespace Ogre;

namespace
{
    const float ROOM = 10.4f; // room pitch: 10 inside, walls 0.2 thick
    const int PROPS_PER_ROOM = 20;
    const int RUBBLE_PER_ROOM = 2; // static geometry, no nodes
    // room, floor, props, lamp, lift, and a pillar instanced from a model: its node, the instance, the shaft
    const int NODES_PER_ROOM = 1 + 1 + PROPS_PER_ROOM + 1 + 1 + 3;
    const char* const PILLAR_MODEL = "<pillar><node name='Shaft'><position y='1.5'/><scale y='3'/>"
                                     "<entity name='Shaft' meshFile='Block.mesh'/></node></pillar>\n";

    const float PORTAL_CORNERS[4][4][3] = {
        {{-1, 0, -5.2f}, {1, 0, -5.2f}, {1, 2.5f, -5.2f}, {-1, 2.5f, -5.2f}}, // north
        {{-1, 2.5f, 5.2f}, {1, 2.5f, 5.2f}, {1, 0, 5.2f}, {-1, 0, 5.2f}},     // south
        {{5.2f, 0, -1}, {5.2f, 0, 1}, {5.2f, 2.5f, 1}, {5.2f, 2.5f, -1}},     // east
        {{-5.2f, 2.5f, -1}, {-5.2f, 2.5f, 1}, {-5.2f, 0, 1}, {-5.2f, 0, -1}}, // west
    };
    const char* const PORTAL_NAMES[4] = {"N", "S", "E", "W"};
    const char* const PROP_MESHES[3] = {"Crate.mesh", "Block.mesh", "Lantern.mesh"};

    /// One generated room; the file and the replayed engine calls are both made from it.
    struct Room
    {
        String name;
        Vector3 position;
        std::vector<int> portalSides;
    };

    struct Level
    {
        std::vector<Room> rooms;
        size_t nodes = 0;
    };

    Level Generate(size_t nodes)
    {
        Level level;
        int grid = std::max(1, int(std::ceil(std::sqrt(double(nodes) / NODES_PER_ROOM))));
        size_t roomCount = std::max<size_t>(1, nodes / NODES_PER_ROOM);
        for (size_t index = 0; index < roomCount; ++index)
        {
            int row = int(index) / grid, column = int(index) % grid;
            Room room;
            room.name = "Room_" + std::to_string(row) + "_" + std::to_string(column);
            room.position = Vector3(column * ROOM, 0, row * ROOM);
            bool hasNorth = row > 0, hasWest = column > 0;
            bool hasSouth = index + grid < roomCount, hasEast = column + 1 < grid && index + 1 < roomCount;
            for (int side : {0, 1, 2, 3})
                if ((side == 0 && hasNorth) || (side == 1 && hasSouth) || (side == 2 && hasEast) || (side == 3 && hasWest))
                    room.portalSides.push_back(side);
            level.rooms.push_back(room);
        }
        level.nodes = roomCount * NODES_PER_ROOM;
        return level;
    }

    Vector3 RubblePosition(const Room& room, int rubble) { return room.position + Vector3(-4.0f + rubble, 0.2f, 4); }

    Vector3 PropPosition(int prop) { return Vector3(prop % 8 - 3.5f, 0.5f, (prop / 8) % 8 - 3.5f); }

    std::string Write(const Level& level)
    {
        std::ostringstream out;
        out << "<scene formatVersion='1.0'><environment><colourAmbient r='0.3' g='0.3' b='0.3'/></environment>\n"
            << "<nodes><node name='Eye'><position y='2'/><camera name='LevelCamera'/></node>\n";
        for (const Room& room : level.rooms)
        {
            out << "<node name='" << room.name << "' id='" << room.name << "'><position x='" << room.position.x
                << "' y='0' z='" << room.position.z << "'/><userData>room</userData>\n";
            for (int side : room.portalSides)
            {
                out << "<portal name='" << PORTAL_NAMES[side] << "' type='quad'";
                for (int i = 0; i < 4; ++i)
                    out << " x" << i << "='" << PORTAL_CORNERS[side][i][0] << "' y" << i << "='"
                        << PORTAL_CORNERS[side][i][1] << "' z" << i << "='" << PORTAL_CORNERS[side][i][2] << "'";
                out << "/>\n";
            }
            out << "<node name='" << room.name << "_Floor'><position y='-0.1'/><scale x='10.4' y='0.2' z='10.4'/>"
                << "<entity meshFile='Block.mesh' materialFile='Level/Floor'/></node>\n";
            for (int prop = 0; prop < PROPS_PER_ROOM; ++prop)
            {
                Vector3 position = PropPosition(prop);
                out << "<node><position x='" << position.x << "' y='" << position.y << "' z='" << position.z
                    << "'/><rotation axisX='0' axisY='1' axisZ='0' angle='" << prop * 0.1f << "'/>"
                    << "<entity meshFile='" << PROP_MESHES[prop % 3] << "' queryFlags='2'><userData>prop</userData>"
                    << "<subentities><subentity index='0' materialName='Level/Wood'/></subentities></entity>";
                if (prop == 0)
                    out << "<lookTarget nodeName='" << room.name << "_Floor'/>";
                out << "</node>\n";
            }
            out << "<node name='" << room.name << "_Lamp'><position y='3.6'/><light type='point'>"
                << "<colourDiffuse r='1' g='0.8' b='0.6'/><lightAttenuation range='20'/></light>"
                << "<billboardSet name='" << room.name << "_Halo' material='Level/Halo' width='0.5' height='0.5'>"
                << "<billboard/></billboardSet></node>\n"
                << "<node name='" << room.name << "_Lift'><position x='4' y='0.5' z='4'/>"
                << "<animations><animation name='Lift' length='8'><keyframe time='0'/><keyframe time='4'>"
                << "<translation y='2'/></keyframe></animation></animations>"
                << "<entity meshFile='Crate.mesh'/></node>\n"
                << "<node name='" << room.name << "_Pillar' modelFile='Pillar.model'><position x='-4' z='-4'/></node>\n"
                << "</node>\n";
        }
        out << "</nodes>\n<staticGeometries><staticGeometry name='Rubble'><entities>\n";
        for (const Room& room : level.rooms)
        {
            for (int rubble = 0; rubble < RUBBLE_PER_ROOM; ++rubble)
            {
                Vector3 position = RubblePosition(room, rubble);
                out << "<entity meshFile='Block.mesh'><position x='" << position.x << "' y='" << position.y
                    << "' z='" << position.z << "'/><scale x='0.4' y='0.4' z='0.4'/></entity>\n";
            }
        }
        out << "</entities></staticGeometry></staticGeometries></scene>\n";
        return out.str();
    }

    /// The settings the loader gives every entity it makes.
    Entity* MakeEntity(SceneManager* sceneManager, const String& name, const char* mesh)
    {
        MeshManager::getSingleton().load(mesh, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        Entity* entity = sceneManager->createEntity(name, mesh);
        entity->setCastShadows(true);
        entity->setRenderQueueGroup(RENDER_QUEUE_MAIN);
        entity->setRenderingDistance(0);
        return entity;
    }

    /// The engine calls the loader makes for the level, made straight from the description.
    void Replay(const Level& level, PCZSceneManager* sceneManager)
    {
        SceneNode* root = sceneManager->getRootSceneNode();
        sceneManager->setAmbientLight(ColourValue(0.3f, 0.3f, 0.3f));
        sceneManager->setFog(FOG_NONE, ColourValue::White, 0.001f, 0, 10000);
        SceneNode* eye = root->createChildSceneNode("Eye");
        eye->setPosition(0, 2, 0);
        Camera* camera = sceneManager->createCamera("LevelCamera");
        camera->setFOVy(Radian(Math::HALF_PI));
        camera->setAspectRatio(1.33f);
        camera->setProjectionType(PT_PERSPECTIVE);
        eye->attachObject(camera);
        eye->setInitialState();

        Animation* lift = sceneManager->createAnimation("Lift", 8);
        lift->setInterpolationMode(Animation::IM_SPLINE);
        lift->setRotationInterpolationMode(Animation::RIM_LINEAR);
        sceneManager->createAnimationState("Lift")->setEnabled(true);
        std::vector<std::pair<SceneNode*, SceneNode*>> lookers;
        std::vector<std::pair<SceneNode*, Portal*>> roomPortals;
        for (const Room& room : level.rooms)
        {
            SceneNode* node = root->createChildSceneNode(room.name);
            node->setPosition(room.position);
            for (int side : room.portalSides)
            {
                Portal* portal = sceneManager->createPortal(room.name + "_" + PORTAL_NAMES[side],
                                                            PortalBase::PORTAL_TYPE_QUAD);
                Vector3 corners[4];
                for (int i = 0; i < 4; ++i)
                    corners[i] = Vector3(PORTAL_CORNERS[side][i]);
                portal->setCorners(corners);
                portal->setNode(node);
                portal->updateDerivedValues();
                roomPortals.emplace_back(node, portal);
            }

            SceneNode* floor = node->createChildSceneNode(room.name + "_Floor");
            floor->setPosition(0, -0.1f, 0);
            floor->setScale(10.4f, 0.2f, 10.4f);
            Entity* floorEntity = MakeEntity(sceneManager, room.name + "_Floor", "Block.mesh");
            floorEntity->setMaterialName("Level/Floor");
            floor->attachObject(floorEntity);
            floor->setInitialState();
            for (int prop = 0; prop < PROPS_PER_ROOM; ++prop)
            {
                SceneNode* propNode = Tarnel::TarnelUtilities::CreateChildSceneNode(node, "");
                propNode->setPosition(PropPosition(prop));
                propNode->setOrientation(Quaternion(Radian(prop * 0.1f), Vector3::UNIT_Y));
                Entity* entity = MakeEntity(sceneManager, propNode->getName(), PROP_MESHES[prop % 3]);
                entity->setQueryFlags(2);
                entity->getSubEntity(0)->setMaterialName("Level/Wood");
                propNode->attachObject(entity);
                if (prop == 0)
                    lookers.emplace_back(propNode, floor);
                propNode->setInitialState();
            }
            SceneNode* lamp = node->createChildSceneNode(room.name + "_Lamp");
            lamp->setPosition(0, 3.6f, 0);
            Light* light = sceneManager->createLight(lamp->getName());
            light->setType(Light::LT_POINT);
            light->setCastShadows(true);
            light->setPowerScale(1);
            light->setDiffuseColour(1, 0.8f, 0.6f);
            light->setAttenuation(20, 1, 0, 0);
            lamp->attachObject(light);
            BillboardSet* halo = sceneManager->createBillboardSet(room.name + "_Halo", 20);
            halo->setRenderQueueGroup(RENDER_QUEUE_MAIN);
            halo->setRenderingDistance(0);
            halo->setMaterialName("Level/Halo");
            halo->setDefaultDimensions(0.5f, 0.5f);
            halo->setBillboardType(BBT_POINT);
            halo->setBillboardOrigin(BBO_CENTER);
            halo->setBillboardRotationType(BBR_VERTEX);
            halo->setCommonDirection(Vector3::UNIT_Z);
            halo->setCommonUpVector(Vector3::UNIT_Y);
            halo->setAutoextend(true);
            halo->setCullIndividually(false);
            halo->setSortingEnabled(false);
            halo->setUseAccurateFacing(false);
            halo->createBillboard(Vector3::ZERO);
            lamp->attachObject(halo);
            lamp->setInitialState();

            SceneNode* liftNode = node->createChildSceneNode(room.name + "_Lift");
            liftNode->setPosition(4, 0.5f, 4);
            NodeAnimationTrack* track = lift->createNodeTrack(lift->getNumNodeTracks() + 1, liftNode);
            track->createNodeKeyFrame(0);
            track->createNodeKeyFrame(4)->setTranslate(Vector3(0, 2, 0));
            Tarnel::TarnelUtilities::SetIdentityInitialState(liftNode);
            liftNode->attachObject(MakeEntity(sceneManager, liftNode->getName(), "Crate.mesh"));

            SceneNode* pillar = node->createChildSceneNode(room.name + "_Pillar");
            pillar->setPosition(-4, 0, -4);
            SceneNode* instance = Tarnel::TarnelUtilities::CreateChildSceneNode(pillar, "");
            SceneNode* shaft = instance->createChildSceneNode(room.name + "_PillarShaft");
            shaft->setPosition(0, 1.5f, 0);
            shaft->setOrientation(Quaternion::IDENTITY);
            shaft->setScale(1, 3, 1);
            shaft->attachObject(MakeEntity(sceneManager, shaft->getName(), "Block.mesh"));
            shaft->setInitialState();
            instance->setInitialState();
            pillar->setInitialState();
            node->setInitialState();
        }
        // The zones once the nodes are made, as the loader makes them, each taking its portals.
        PCZone* zone = nullptr;
        std::vector<PCZone*> zones;
        for (const auto& [node, portal] : roomPortals)
        {
            if (!zone || zone->getEnclosureNode() != node)
            {
                zone = sceneManager->createZone("ZoneType_Default", node->getName() + "_PCZone");
                zone->setEnclosureNode(static_cast<PCZSceneNode*>(node));
                sceneManager->addPCZSceneNode(static_cast<PCZSceneNode*>(node), zone);
                zones.push_back(zone);
            }
            zone->_addPortal(portal);
        }
        // The nodes below each zone's node go home in its zone, as the loader puts them.
        std::function<void(Node*, PCZone*)> putInZone = [&](Node* node, PCZone* zone) {
            sceneManager->addPCZSceneNode(static_cast<PCZSceneNode*>(node), zone);
            for (Node* child : node->getChildren())
                putInZone(child, zone);
        };
        for (PCZone* made : zones)
        {
            for (Node* child : made->getEnclosureNode()->getChildren())
                putInZone(child, made);
        }
        StaticGeometry* rubble = sceneManager->createStaticGeometry("Rubble");
        rubble->setCastShadows(true);
        rubble->setOrigin(Vector3::ZERO);
        rubble->setRegionDimensions(Vector3(1000000, 1000000, 1000000));
        rubble->setRenderingDistance(0);
        for (const Room& room : level.rooms)
        {
            for (int index = 0; index < RUBBLE_PER_ROOM; ++index)
            {
                Entity* entity = MakeEntity(sceneManager, "__staticGeometryEntity", "Block.mesh");
                rubble->addEntity(entity, RubblePosition(room, index), Quaternion::IDENTITY, Vector3(0.4f, 0.4f, 0.4f));
                sceneManager->destroyEntity(entity);
            }
        }
        rubble->build();
        Tarnel::Platform::MakeStaticGeometryDestroyable(sceneManager, rubble);
        for (const auto& looker : lookers)
            looker.first->lookAt(looker.second->_getDerivedPosition(), Node::TS_WORLD, Vector3::NEGATIVE_UNIT_Z);
    }

    double HeapMb() { return mallinfo2().uordblks / (1024.0 * 1024.0); }

    double PeakRssMb()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024.0;
    }

    double Milliseconds(Timer& timer) { return timer.getMicroseconds() / 1000.0; }

    double MeasureParse(const std::string& file)
    {
        Timer timer;
        {
            TiXmlDocument document;
            document.SetTabSize(0); // the parser's quickest reading, which the loader uses too
            document.LoadFile(file);
        } // the loader lets its document go, too
        return Milliseconds(timer);
    }

    double MeasureReplay(const Level& level)
    {
        PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
        Timer timer;
        Replay(level, sceneManager);
        double elapsed = Milliseconds(timer);
        Tarnel::Engine::DestroySceneManager(sceneManager);
        return elapsed;
    }

    /// Loads the file; `loaderKb` is set to what the loader keeps after the load: what it gives back when it goes.
    double MeasureLoad(const std::string& file, double& loaderKb)
    {
        PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
        double elapsed, before;
        {
            Tarnel::TarnelScene scene;
            Timer timer;
            scene.Load(file, nullptr, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
            elapsed = Milliseconds(timer);
            before = HeapMb();
        }
        loaderKb = (before - HeapMb()) * 1024;
        Tarnel::Engine::DestroySceneManager(sceneManager);
        return elapsed;
    }

    void StartEngine(const std::filesystem::path& levels)
    {
        // Figures only, no log file; the engine lives as long as the process.
        static auto* engine = new Tarnel::Engine({TARNEL_BENCH_PLUGINS_CFG, "", "load_benchmark.log", false, false});
        engine->StartOpenGL("load benchmark", false);
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Meshes", "FileSystem");
        resources.addResourceLocation(TARNEL_BENCH_MEDIA_DIR "/Scenes", "FileSystem");
        resources.addResourceLocation(levels.string(), "FileSystem");
        resources.initialiseAllResourceGroups();
    }

    std::vector<size_t> ParseSizes(const char* text)
    {
        std::vector<size_t> sizes;
        std::stringstream list(text);
        for (std::string size; std::getline(list, size, ',');)
            sizes.push_back(std::strtoul(size.c_str(), nullptr, 10));
        return sizes;
    }
}

int main(int argc, char** argv)
{
    std::vector<size_t> sizes = {1000, 5000, 10000, 50000};
    int runs = 3;
    std::string only; // "load" or "bound": run one side alone, for a profiler
    bool keep = false; // leave the generated levels behind, to open them in the viewer
    for (int i = 1; i < argc; ++i)
    {
        if (std::string(argv[i]) == "--keep")
        {
            keep = true;
            continue;
        }
        if (i + 1 == argc)
            break;
        if (std::string(argv[i]) == "--sizes")
            sizes = ParseSizes(argv[i + 1]);
        else if (std::string(argv[i]) == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--only")
            only = argv[i + 1];
        ++i;
    }
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "tarnel-load-benchmark";
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "Pillar.model") << PILLAR_MODEL;
    StartEngine(directory);

    std::vector<std::string> results;
    // "own" is what the loader adds to the bound, per node: it should not grow with the level.
    std::printf("%8s %8s %10s %10s %10s %10s %10s %12s %12s\n", "nodes", "rooms", "load ms", "parse ms", "engine ms",
                "bound ms", "ratio", "bound us/n", "own us/n");
    for (size_t size : sizes)
    {
        Level level = Generate(size);
        std::string file = (directory / ("level_" + std::to_string(size) + ".scene")).string();
        std::ofstream(file) << Write(level);

        double load = 1e30, parse = 1e30, engine = 1e30, loaderKb = 0;
        std::vector<double> loads;
        for (int run = 0; run < runs; ++run)
        {
            // The bound first: whichever goes first in a run pays for growing the heap.
            if (only != "load")
            {
                parse = std::min(parse, MeasureParse(file));
                engine = std::min(engine, MeasureReplay(level));
            }
            if (only != "bound")
            {
                loads.push_back(MeasureLoad(file, loaderKb));
                load = std::min(load, loads.back());
            }
        }
        std::sort(loads.begin(), loads.end());
        const double median = loads.empty() ? 0 : loads[loads.size() / 2];
        double bound = parse + engine;
        std::printf("%8zu %8zu %10.1f %10.1f %10.1f %10.1f %10.2f %12.2f %12.2f\n", level.nodes, level.rooms.size(),
                    load, parse, engine, bound, load / bound, bound / level.nodes * 1000,
                    (load - bound) / level.nodes * 1000);
        char line[256];
        std::snprintf(line, sizeof line,
                      "RESULT nodes=%zu load_ms=%.1f median_load_ms=%.1f bound_ms=%.1f ratio=%.2f engine_ms=%.1f us_per_node=%.2f "
                      "peak_rss_mb=%.0f loader_kb=%.0f",
                      level.nodes, load, median, bound, load / bound, engine, load / level.nodes * 1000, PeakRssMb(), loaderKb);
        results.push_back(line);
        std::fflush(stdout);
    }
    for (const std::string& line : results)
        std::printf("%s\n", line.c_str());
    if (keep)
        std::fprintf(stderr, "levels kept in %s\n", directory.string().c_str());
    else
        std::filesystem::remove_all(directory);
    return 0;
}
