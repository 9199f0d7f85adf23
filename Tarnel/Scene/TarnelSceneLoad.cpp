// Loading entry, document header, version check and the order of the top-level sections.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Check/TarnelLevelCheck.h"
#include "Tarnel/Check/TarnelScales.h"
#include "Tarnel/Check/TarnelZones.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelModelFiles.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"
#include "Tarnel/Read/TarnelReadMarks.h"
#include "Tarnel/Media/TarnelProgramless.h"

#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreTimer.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// Forgets the caller's window iterator when Load ends, also by an exception.
        struct RenderWindowsDuringLoad
        {
            TarnelRenderWindowIterator*& slot;
            RenderWindowsDuringLoad(TarnelRenderWindowIterator*& slot, TarnelRenderWindowIterator& windows)
                : slot(slot)
            {
                slot = &windows;
            }
            ~RenderWindowsDuringLoad() { slot = nullptr; }
        };
    }

    void TarnelScene::Load(const String& fileName, RenderWindow* window, SceneManager* sceneManager,
                           const String& defaultResourceGroupName)
    {
        TarnelOneRenderWindow windows(window);
        Load(fileName, windows, sceneManager, defaultResourceGroupName);
    }

    void TarnelScene::Load(const String& fileName, const TiXmlDocument& document, RenderWindow* window,
                           SceneManager* sceneManager, const String& defaultResourceGroupName,
                           const LevelDescription* described)
    {
        TarnelOneRenderWindow windows(window);
        String fullPath = LocateLevel(fileName);
        loadTimes = LoadTimes();
        if (TarnelUtilities::FileExists(fullPath))
            loadedFromFileSystem = true;
        // What this load reads is marked on the document, for what it leaves to be said; a
        // document read before (the check before the window) carries that walk's marks, but
        // for the sections its description holds, which were read as the load reads them. A
        // document the load parses itself has none, and a walk over a big one costs.
        ReadMarks::Clear(&document, described);
        LoadDocument(document, fullPath, windows, sceneManager, defaultResourceGroupName, described);
    }

    void TarnelScene::Load(const String& fileName, TarnelRenderWindowIterator& renderWindows,
                           SceneManager* sceneManager, const String& defaultResourceGroupName)
    {
        String fullPath = LocateLevel(fileName);
        loadTimes = LoadTimes();
        Timer parsing;
        TiXmlDocument document;
        if (TarnelUtilities::FileExists(fullPath))
        {
            // With rows: what the load says names the level's lines.
            if (!TarnelUtilities::LoadXmlFile(fullPath, document, true))
                TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel scene file: " + fullPath,
                              "TarnelScene::Load", SCENE_SOURCE_FILE);
            loadedFromFileSystem = true;
        }
        else if (!baseResourceLocation.empty())
        {
            TARNEL_EXCEPT(Exception::ERR_FILE_NOT_FOUND, "Unable to read Tarnel scene file: " + fullPath,
                          "TarnelScene::Load", SCENE_SOURCE_FILE);
        }
        else
        {
            String baseName, path;
            StringUtil::splitFilename(fileName, baseName, path);
            TarnelUtilities::LoadXmlDocument(baseName, document, defaultResourceGroupName, true);
        }
        loadTimes.parse = parsing.getMicroseconds() / 1000.0;
        LoadDocument(document, fullPath, renderWindows, sceneManager, defaultResourceGroupName);
    }

    String TarnelScene::LocateLevel(const String& fileName)
    {
        String baseName, path;
        StringUtil::splitFilename(fileName, baseName, path);
        if (!path.empty())
            baseResourceLocation = path;
        return TarnelUtilities::JoinPath(baseResourceLocation, baseName);
    }

    void TarnelScene::LoadDocument(const TiXmlDocument& document, const String& fullPath,
                                   TarnelRenderWindowIterator& renderWindows, SceneManager* sceneManager,
                                   const String& defaultResourceGroupName, const LevelDescription* described)
    {
        // A document of only comments or declarations parses, but has nothing to load.
        const TiXmlElement* sceneElement = document.FirstChildElement();
        if (!sceneElement)
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel scene file: " + fullPath,
                          "TarnelScene::Load", SCENE_SOURCE_FILE);

        this->sceneManager = sceneManager;
        RenderWindowsDuringLoad windowsDuringLoad(this->renderWindows, renderWindows);
        rootNode = nullptr;
        this->defaultResourceGroupName = defaultResourceGroupName;
        renamed.clear();
        stoppedAt.clear();

        reading = sceneElement;
        readingFile = fullPath;
        LoadScene(sceneElement, described);
        reading = nullptr;
        LogRenames();
    }

    String TarnelScene::GetWhereLoadStopped() const
    {
        if (!stoppedAt.empty())
            return stoppedAt;
        if (!reading || reading->Row() <= 0)
            return "";
        const char* name = reading->Attribute("name");
        return readingFile + ":" + StringConverter::toString(reading->Row()) + ": " + reading->ValueStr() +
               (name && *name ? String(" \"") + name + "\"" : String());
    }

    void TarnelScene::LoadScene(const TiXmlElement* sceneElement, const LevelDescription* described)
    {
        // What the level says is read whole before anything is made.
        LevelDescription own;
        if (!described)
        {
            LevelReader reader;
            try
            {
                own = reader.Read(sceneElement);
            }
            catch (...)
            {
                StopAt(reader.Reading());
            }
        }
        const LevelDescription& level = described ? *described : own;
        LevelReader::Say(level);
        LoadHeader(level.header);
        CheckVersion();

        if (!sceneManager)
        {
            sceneManager = Root::getSingleton().createSceneManager("PCZSceneManager", "MyPCZSceneMgr");
            static_cast<PCZSceneManager*>(sceneManager)->init("ZoneType_Default", "none");
        }
        if (!rootNode)
            rootNode = sceneManager->getRootSceneNode();
        IndexSceneNodes(sceneManager->getRootSceneNode());


        // Each phase's time is added to its figure as the load moves on.
        Timer phase;
        auto finished = [&phase](double& figure) {
            figure += phase.getMicroseconds() / 1000.0;
            phase.reset();
        };
        finished(loadTimes.parse);

        // Resources first: everything after this may name one.
        if (level.resourceLocations || loadedFromFileSystem)
        {
            reading = level.resourceLocationsElement;
            if (level.resourceLocations)
                LoadResourceLocations(*level.resourceLocations);
            if (loadedFromFileSystem)
            {
                ResourceLocation own;
                own.name = baseResourceLocation.empty() ? "./" : baseResourceLocation;
                own.type = "FileSystem";
                AddResourceLocation(own);
            }
            InitialiseResourceLocations();
        }
        // The model files are found where the level's resources are; a description read before
        // the load has them already.
        if (!described)
        {
            const size_t said = own.said.size();
            ReadModelFiles(own, OpenModelsFrom(defaultResourceGroupName));
            for (size_t next = said; next < own.said.size(); ++next)
                LogManager::getSingleton().logMessage(own.said[next].second, own.said[next].first);
        }
        // A description nobody checked is checked here, so its first fault is said with its
        // file and line; the build then ends on it with the format's own error.
        // A description the build frees as it goes has its zones placed first, for the
        // meshes to measure once they are read.
        releaseBuiltNodes = !described;
        ZoneGraph placedZones;
        if (releaseBuiltNodes && HasZones(level))
            placedZones = ZoneGraph::Placed(level);
        if (!level.checked)
        {
            const String fault = CheckLevel(level, readingFile, lenientNames);
            if (!fault.empty())
                LogManager::getSingleton().logMessage("The level's check: " + fault, LML_CRITICAL);
            for (const String& warning : placedZones.zones.empty()
                                             ? CheckLevelWarnings(level, readingFile)
                                             : ZoneWarnings(FindZoneFaults(placedZones), readingFile))
                LogManager::getSingleton().logMessage(warning, LML_WARNING);
            // The one fault the build has no error of its own for: the engine would abort on it.
            const String overscaled = fault.empty() ? "" : OverscaledNodeFault(FindOverscaledNode(level), readingFile);
            if (!overscaled.empty())
                TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, overscaled, "TarnelScene::LoadScene", SCENE_SOURCE_FILE);
        }
        describedModels = &level.models;
        // Only while the description lives: later models are read by GetModel itself.
        struct Forget
        {
            TarnelScene& scene;
            ~Forget()
            {
                scene.describedModels = nullptr;
                scene.releaseBuiltNodes = false;
            }
        } forget{*this};

        finished(loadTimes.resources);
        if (level.environment)
        {
            reading = level.environmentElement;
            BuildEnvironment(*level.environment);
        }
        finished(loadTimes.environment);
        reading = level.renderTexturesElement;
        LoadRenderTextures(level.renderTextures);
        finished(loadTimes.renderTextures);

        typedef void (TarnelScene::*SectionBuilder)(const LevelSection&);
        static const std::map<LevelSection::Kind, SectionBuilder> sectionBuilders = {
            {LevelSection::NODES, &TarnelScene::BuildNodes},
            {LevelSection::OBJECT, &TarnelScene::BuildUnattachedObject},
            {LevelSection::EXTERNALS, &TarnelScene::LoadExternals},
            {LevelSection::TERRAIN, &TarnelScene::LoadTerrain},
            {LevelSection::QUERY_FLAGS, &TarnelScene::LoadQueryFlagAliases},
            {LevelSection::VISIBILITY_FLAGS, &TarnelScene::LoadVisibilityFlagAliases},
        };
        const double meshesBefore = loadTimes.meshes;
        for (const LevelSection& section : level.sections)
        {
            reading = section.element;
            (this->*sectionBuilders.at(section.kind))(section);
        }
        finished(loadTimes.nodesAndObjects);
        // The meshes the objects read are the media's share, kept apart from the loader's.
        loadTimes.nodesAndObjects -= loadTimes.meshes - meshesBefore;
        // Batched geometry copies placed meshes, so it waits for every other section.
        if ((reading = level.instancedGeometriesElement))
            LoadInstancedGeometries(level.instancedGeometries);
        if ((reading = level.staticGeometriesElement))
            LoadStaticGeometries(level.staticGeometries);
        finished(loadTimes.batchedGeometry);

        reading = nullptr; // the targets are named by many elements, not one
        ApplyLookAndTrackTargets();
        finished(loadTimes.nodesAndObjects);
        FinishLoadingRenderTextures();
        finished(loadTimes.renderTextures);
        // The level's materials are loaded, their programs compiled: those that failed show now.
        if (Ogre::Root::getSingleton().getRenderSystem())
            Programless::DrawBrokenWithoutPrograms();
        // With the meshes read, what the zones hold is known.
        const MeshLookup meshes = LoadedMeshes(defaultResourceGroupName);
        if (!placedZones.zones.empty())
            placedZones.Measure(meshes);
        for (const String& warning : releaseBuiltNodes
                                         ? ZoneWarnings(FindZoneExtentFaults(placedZones), readingFile)
                                         : CheckLevelExtentWarnings(level, readingFile, meshes))
            LogManager::getSingleton().logMessage(warning, LML_WARNING);
    }

    void TarnelScene::LoadHeader(const LevelHeader& header)
    {
        sceneExtraData = header.extraData;
        formatVersion = header.formatVersion;
        minOgreVersion = header.minOgreVersion;
        author = header.author;
        // A level that says nothing is Y-up, whatever a level loaded before said.
        upAxis = header.upAxis.value_or(UP_AXIS_Y);
        unitsPerMeter = header.unitsPerMeter;
        unitType = header.unitType;
    }

    void TarnelScene::CheckVersion() const
    {
        const Version& engine = Version::Engine();
        if (minOgreVersion > engine)
            TARNEL_EXCEPT(Exception::ERR_NOT_IMPLEMENTED,
                          "The scene file's required Ogre version (" + minOgreVersion.ToString() +
                              ") is not supported by the Ogre version this viewer uses ( " + engine.ToString() + ")",
                          "TarnelScene::LoadScene", SCENE_SOURCE_FILE);
    }

    void TarnelScene::BuildNodes(const LevelSection& section)
    {
        const NodeDescription& nodes = section.nodes;
        portalsOfZones.clear(); // what a failed load left
        try
        {
            for (const NodeDescription::Part& part : nodes.order)
            {
                if (part.kind == NodeDescription::Part::NODE)
                {
                    BuildNode(nodes.childNodes[part.index], rootNode);
                    ReleaseBuilt(nodes.childNodes[part.index]);
                }
                else if (part.kind == NodeDescription::Part::TRANSFORM)
                    ApplyTransform(nodes.transforms[part.index], rootNode);
            }
            building = BuildingPlace();
        }
        catch (...)
        {
            StopAt(nullptr);
        }
        rootNode->setInitialState();
        LoadZones();
    }

    void TarnelScene::Building(int line, const char* element, const String& name)
    {
        building.line = line;
        building.element = element;
        building.name = &name;
    }

    void TarnelScene::StopAt(const TiXmlElement* element)
    {
        if (element)
            reading = element;
        else if (building.element && building.line > 0)
            stoppedAt = readingFile + ":" + StringConverter::toString(building.line) + ": " + building.element +
                        (building.name->empty() ? String() : " \"" + *building.name + "\"");
        building = BuildingPlace();
        throw;
    }

    void TarnelScene::LoadTerrain(const LevelSection& section)
    {
        const TerrainDescription& terrain = section.terrain;
        if (!terrain.dataFile.empty())
        {
            sceneManager->setWorldGeometry(terrain.dataFile);
            if (terrain.renderQueue)
                sceneManager->setWorldGeometryRenderQueue(*terrain.renderQueue);
        }
        if (terrain.rotation)
            GetSceneNode("Terrain")->setOrientation(*terrain.rotation);
        // What a second terrain element says of its user data adds to the first's.
        if (!terrain.extraData.userDataReference.empty())
            terrainExtraData.userDataReference = terrain.extraData.userDataReference;
        if (!terrain.extraData.userData.empty())
            terrainExtraData.userData = terrain.extraData.userData;
    }

    void TarnelScene::BuildUnattachedObject(const LevelSection& section)
    {
        try
        {
            BuildObject(*section.object, MovableObjectOwner());
            building = BuildingPlace();
        }
        catch (...)
        {
            StopAt(nullptr);
        }
    }

    Vector3 TarnelScene::GetUpAxisVector() const
    {
        return upAxis == UP_AXIS_Z ? Vector3::UNIT_Z : Vector3::UNIT_Y;
    }

    SceneNode* TarnelScene::GetSceneNode(const String& name) const
    {
        // Nodes the zone manager made cannot be found by the engine itself.
        SceneNode* const* found = nodesByName.Find(name);
        return found ? *found : sceneManager->getSceneNode(name);
    }
}
