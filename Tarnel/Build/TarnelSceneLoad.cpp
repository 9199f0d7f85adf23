// Loading entry, document header, version check and the order of the top-level sections.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Check/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Build/TarnelSceneGraph.h"
#include "Tarnel/Check/TarnelUnreadParts.h"

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

    Version Version::Parse(const String& text)
    {
        Version version;
        Ogre::int32* components[] = {&version.major, &version.minor, &version.patch};
        size_t start = 0;
        for (Ogre::int32* component : components)
        {
            if (start > text.size())
                break;
            // Reading stops at the next ".", so the rest of the text can stay.
            *component = TarnelUtilities::ParseInt(text.substr(start));
            size_t dot = text.find('.', start);
            start = dot == String::npos ? text.size() + 1 : dot + 1;
        }
        return version;
    }

    const Version& Version::Engine()
    {
        static const Version engine(OGRE_VERSION_MAJOR, OGRE_VERSION_MINOR, OGRE_VERSION_PATCH);
        return engine;
    }

    String Version::ToString() const
    {
        if (patch != 0)
            return StringConverter::toString(major) + "." + StringConverter::toString(minor) + "." +
                   StringConverter::toString(patch);
        if (minor != 0)
            return StringConverter::toString(major) + "." + StringConverter::toString(minor);
        return StringConverter::toString(major);
    }

    bool Version::operator>(const Version& other) const
    {
        if (major != other.major)
            return major > other.major;
        if (minor != other.minor)
            return minor > other.minor;
        return patch > other.patch;
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
            if (!TarnelUtilities::LoadXmlFile(fullPath, document))
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
            TarnelUtilities::LoadXmlDocument(baseName, document, defaultResourceGroupName);
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
        LoadHeader(sceneElement);
        CheckVersion();

        // What the level's nodes and objects say is read whole before anything is made.
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

        if (!sceneManager)
        {
            sceneManager = Root::getSingleton().createSceneManager("PCZSceneManager", "MyPCZSceneMgr");
            static_cast<PCZSceneManager*>(sceneManager)->init("ZoneType_Default", "none");
        }
        if (!rootNode)
            rootNode = sceneManager->getRootSceneNode();
        IndexSceneNodes(sceneManager->getRootSceneNode());

        if (const TiXmlElement* reference = sceneElement->FirstChildElement("userDataReference"))
            TarnelUtilities::LoadUserDataReference(reference, sceneExtraData.userDataReference);
        if (const TiXmlElement* userData = sceneElement->FirstChildElement("userData"))
            TarnelUtilities::GetElementText(userData, sceneExtraData.userData);

        // Each phase's time is added to its figure as the load moves on.
        Timer phase;
        auto finished = [&phase](double& figure) {
            figure += phase.getMicroseconds() / 1000.0;
            phase.reset();
        };
        finished(loadTimes.parse);

        // Resources first: everything after this may name one.
        const TiXmlElement* locations = sceneElement->FirstChildElement("resourceLocations");
        if (locations || loadedFromFileSystem)
        {
            if (locations)
                LoadResourceLocations(reading = locations);
            if (loadedFromFileSystem)
            {
                ResourceLocation own;
                own.name = baseResourceLocation.empty() ? "./" : baseResourceLocation;
                own.type = "FileSystem";
                AddResourceLocation(own);
            }
            InitialiseResourceLocations();
        }

        finished(loadTimes.resources);
        if (const TiXmlElement* environment = sceneElement->FirstChildElement("environment"))
            LoadEnvironment(reading = environment);
        finished(loadTimes.environment);
        if (const TiXmlElement* textures = sceneElement->FirstChildElement("renderTextures"))
            LoadRenderTextures(reading = textures);
        finished(loadTimes.renderTextures);

        typedef void (TarnelScene::*SectionReader)(const TiXmlElement*);
        static const std::map<String, SectionReader> sectionReaders = {
            {"externals", &TarnelScene::LoadExternals},
            {"terrain", &TarnelScene::LoadTerrain},
            {"queryFlags", &TarnelScene::LoadQueryFlagAliases},
            {"visibilityFlags", &TarnelScene::LoadVisibilityFlagAliases},
        };
        // Batched geometry copies placed meshes, so it waits for every other section.
        const double meshesBefore = loadTimes.meshes;
        const TiXmlElement* instancedGeometries = nullptr;
        const TiXmlElement* staticGeometries = nullptr;
        size_t nextSection = 0;
        for (const TiXmlElement* child = sceneElement->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            auto reader = sectionReaders.find(child->ValueStr());
            const std::vector<LevelSection>& sections = level.sections;
            if (nextSection < sections.size() && sections[nextSection].element == child)
            {
                // Nodes and objects of their own were read before anything was built.
                reading = child;
                const LevelSection& section = sections[nextSection++];
                if (section.object)
                    BuildUnattachedObject(*section.object);
                else
                    BuildNodes(section.nodes);
            }
            else if (reader != sectionReaders.end())
            {
                reading = child;
                (this->*reader->second)(child);
            }
            else if (child->ValueStr() == "instancedGeometries")
                instancedGeometries = child;
            else if (child->ValueStr() == "staticGeometries")
                staticGeometries = child;
        }
        finished(loadTimes.nodesAndObjects);
        // The meshes the objects read are the media's share, kept apart from the loader's.
        loadTimes.nodesAndObjects -= loadTimes.meshes - meshesBefore;
        if (instancedGeometries)
            LoadInstancedGeometries(reading = instancedGeometries);
        if (staticGeometries)
            LoadStaticGeometries(reading = staticGeometries);
        finished(loadTimes.batchedGeometry);

        reading = nullptr; // the targets are named by many elements, not one
        ApplyLookAndTrackTargets();
        finished(loadTimes.nodesAndObjects);
        FinishLoadingRenderTextures();
        finished(loadTimes.renderTextures);
    }

    void TarnelScene::LoadHeader(const TiXmlElement* sceneElement)
    {
        sceneExtraData.id = TarnelUtilities::GetStringAttribute(sceneElement, "id");
        formatVersion = Version::Parse(TarnelUtilities::GetStringAttribute(sceneElement, "formatVersion"));
        minOgreVersion = Version::Parse(TarnelUtilities::GetStringAttribute(sceneElement, "minOgreVersion"));
        author = TarnelUtilities::GetStringAttribute(sceneElement, "author");
        String upAxisText = TarnelUtilities::GetStringAttribute(sceneElement, "upAxis");
        if (!upAxisText.empty())
            upAxis = TarnelUtilities::ParseUpAxis(upAxisText);
        unitsPerMeter = TarnelUtilities::GetRealAttribute(sceneElement, "unitsPerMeter", 0);
        unitType = TarnelUtilities::GetStringAttribute(sceneElement, "unitType");
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

    void TarnelScene::BuildNodes(const NodeDescription& nodes)
    {
        portalsOfZones.clear(); // what a failed load left
        try
        {
            for (const NodeDescription::Part& part : nodes.order)
            {
                if (part.kind == NodeDescription::Part::NODE)
                    BuildNode(nodes.childNodes[part.index], rootNode);
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

    void TarnelScene::LoadTerrain(const TiXmlElement* element)
    {
        String dataFile = TarnelUtilities::GetStringAttribute(element, "dataFile");
        if (!dataFile.empty())
        {
            sceneManager->setWorldGeometry(dataFile);
            String renderQueue = TarnelUtilities::GetStringAttribute(element, "renderQueue");
            if (!renderQueue.empty())
                sceneManager->setWorldGeometryRenderQueue(Domains::RenderQueue(element, "renderQueue", renderQueue));
        }

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (child->ValueStr() == "rotation")
                GetSceneNode("Terrain")->setOrientation(TarnelUtilities::LoadRotation(child));
            else
                TarnelUtilities::LoadUserDataElement(child, terrainExtraData);
        }
    }

    void TarnelScene::BuildUnattachedObject(const Types::ObjectParameters& object)
    {
        try
        {
            BuildObject(object, MovableObjectOwner());
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
