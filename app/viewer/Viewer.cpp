#include "Viewer.h"
#include "EngineFiles.h"
#include "ExampleFrameListener.h"
#include "LevelFraming.h"
#include "LevelPictures.h"
#include "LevelPreCheck.h"
#include "SceneTreeReport.h"
#include "WindowCloseRequests.h"

#include "Utf8Text.h"
#include "WarningGroups.h"

#include "Tarnel/Tarnel.h"

#include <Bites/OgreBitesConfigDialog.h>
#include <Bites/OgreWindowEventUtilities.h>
#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreOverlaySystem.h>
#include <OgreParticleSystemManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgreRenderWindow.h>
#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreShadowCameraSetup.h>
#include <OgreStringConverter.h>
#include <OgreTextureManager.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreRenderTexture.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include <tinyxml.h>

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>

using namespace Ogre;

const char* const Viewer::DEFAULT_LEVEL = "../Media/Scenes/scene3.scene";

namespace
{
    /// A zone scene manager with the overlays drawn in it; the first is "MyPCZSceneMgr", reloads number theirs.
    SceneManager* CreateSceneManager(unsigned number)
    {
        String name = "MyPCZSceneMgr";
        if (number > 1)
            name += StringConverter::toString(number);
        SceneManager* sceneManager = Tarnel::Engine::NewSceneManager(name);
        // The overlays' system draws them in every scene manager that it listens to.
        if (auto* overlays = OverlaySystem::getSingletonPtr())
            sceneManager->addRenderQueueListener(overlays);
        return sceneManager;
    }

    /// The viewer's camera in its node, at the start view.
    Camera* CreateCamera(SceneManager* sceneManager)
    {
        Camera* camera = sceneManager->createCamera("MainCam");
        camera->setAspectRatio(1.33333f);
        camera->setFOVy(Radian(90 * Math::fDeg2Rad));
        camera->setNearClipDistance(0.25f);
        camera->setFarClipDistance(100);
        SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("CamNode", Vector3::ZERO,
                                                                                Quaternion::IDENTITY);
        node->attachObject(camera);
        node->setPosition(0, 1, 2);
        node->_updateBounds();
        return camera;
    }

}

/** The viewer's own lines on the terminal: a level loaded or reloaded, at once, and the
    warnings and errors (missing resources among them) grouped when the viewer says so
    (Flush), lines alike but for their names once with a count. Each line is said once a
    load; a reload says what changed since the level on screen was loaded: the lines that
    are new, even of a shape said before, and then those that are gone. The engine's other
    lines go to Ogre.log only. */
class TerminalLines : public LogListener
{
public:
    ~TerminalLines() override { Flush(); }

    void messageLogged(const String& message, LogMessageLevel level, bool maskDebug, const String&, bool&) override
    {
        // A masked line was written to the terminal already.
        if (maskDebug)
            return;
        if (message.compare(0, 6, "Level ") == 0 || message.compare(0, 7, "Reload ") == 0)
            std::cout << AsValidUtf8(message) << std::endl;
        else if (level >= LML_WARNING)
            waiting.push_back(message);
    }

    void Flush()
    {
        std::vector<String> fresh;
        for (const String& line : WithoutRepeatsOfMissing(waiting))
        {
            if (current.emplace(Compared(line), line).second && !previous.count(Compared(line)))
                fresh.push_back(line);
        }
        // A name in an 8-bit encoding shows as its letter, not as a broken character.
        for (const WarningGroup& group : GroupWarnings(fresh))
            std::cerr << AsValidUtf8(DescribeGroup(group)) << std::endl;
        waiting.clear();
    }

    /// A reload starts: what the level on screen said is what the reload is compared with.
    void BeginLoad()
    {
        Flush();
        previous = std::move(current);
        current.clear();
    }

    /** A reload ended: built, the lines of the last load that it no longer says are said as
        gone; refused, the level on screen and its lines stay. */
    void EndLoad(bool built)
    {
        Flush();
        if (!built)
        {
            current = std::move(previous);
            previous.clear();
            return;
        }
        std::vector<String> gone;
        for (const auto& [compared, line] : previous)
        {
            if (!current.count(compared))
                gone.push_back(line);
        }
        for (const WarningGroup& group : GroupWarnings(gone))
            std::cerr << AsValidUtf8("Gone since the last load: " + DescribeGroup(group)) << std::endl;
        previous.clear();
    }

private:
    /// The line as compared across loads: a reload reads the level's media into a group of its own.
    static String Compared(const String& line)
    {
        const size_t group = line.find(" group '");
        const size_t end = group == String::npos ? group : line.find('\'', group + 8);
        return end == String::npos ? line : line.substr(0, group + 8) + line.substr(end);
    }

    std::vector<String> waiting;
    std::map<String, String> current;  ///< said since the load began, by the line as compared
    std::map<String, String> previous; ///< said by the load before, while a reload runs
};

namespace
{
    /** The messages of a level or above that the engine logs while this lives: the errors of
        scripts read again by a reload, the warnings of a load. */
    class LoggedErrors : public LogListener
    {
    public:
        explicit LoggedErrors(LogMessageLevel least = LML_CRITICAL) : least(least)
        {
            LogManager::getSingleton().getDefaultLog()->addListener(this);
        }
        ~LoggedErrors() override { LogManager::getSingleton().getDefaultLog()->removeListener(this); }
        LoggedErrors(const LoggedErrors&) = delete;
        LoggedErrors& operator=(const LoggedErrors&) = delete;

        void messageLogged(const String& message, LogMessageLevel level, bool, const String&, bool&) override
        {
            if (level >= least)
                errors.push_back(message);
        }

        /// "2 errors (first: ...)"; "no errors" when none.
        String Summary() const
        {
            if (errors.empty())
                return "no errors";
            const std::vector<WarningGroup> groups = GroupWarnings(errors);
            return StringConverter::toString(errors.size()) + (errors.size() == 1 ? " error" : " errors") +
                   " (first: " + DescribeGroup(groups.front()) + ")";
        }

        std::vector<String> errors;

    private:
        LogMessageLevel least;
    };

    /** Ogre.log's summary of a load's warnings and errors, a line a group, after the lines
        themselves; masked, as the terminal groups them already. */
    void LogFindingsSummary(const std::vector<String>& findings)
    {
        if (findings.empty())
            return;
        LogManager& log = LogManager::getSingleton();
        const std::vector<WarningGroup> groups = GroupWarnings(findings);
        log.logMessage("Summary of the load: " + StringConverter::toString(findings.size()) +
                           (findings.size() == 1 ? " warning or error" : " warnings and errors") + " in " +
                           StringConverter::toString(groups.size()) + (groups.size() == 1 ? " group" : " groups"),
                       LML_NORMAL, true);
        for (const WarningGroup& group : groups)
            log.logMessage("  " + DescribeGroup(group), LML_NORMAL, true);
    }

    Light* CreateCameraLight(Camera* camera)
    {
        // A light's own position starts at the origin, where the camera light belongs.
        Light* light = camera->getSceneManager()->createLight("CamLight");
        light->setAttenuation(500, 0.5f, 1, 0);
        camera->getParentSceneNode()
            ->createChildSceneNode("CamLightNode", Vector3::ZERO, Quaternion::IDENTITY)
            ->attachObject(light);
        return light;
    }

    /// The process's resident memory, in megabytes.
    long ResidentMegabytes()
    {
        std::ifstream status("/proc/self/status");
        for (String line; std::getline(status, line);)
        {
            if (line.compare(0, 6, "VmRSS:") == 0)
                return std::atol(line.c_str() + 6) / 1024;
        }
        return 0;
    }

    String Milliseconds(Timer& timer)
    {
        // Fixed notation: the engine's own formatting turns 12 ms into "1e+01".
        StringStream milliseconds;
        milliseconds << std::fixed << std::setprecision(1) << timer.getMicroseconds() / 1000.0;
        return milliseconds.str();
    }

    /// Each resource the level names that is nowhere to be found, once, in the engine's log.
    void LogMissingResources(const std::vector<Tarnel::MissingResource>& missingResources)
    {
        for (const Tarnel::MissingResource& missing : missingResources)
        {
            String users;
            for (const String& user : missing.usedBy)
                users += (users.empty() ? "" : ", ") + (user.empty() ? String("the level") : user);
            LogManager::getSingleton().logWarning("Tarnel: missing " + missing.kind + " '" + missing.name +
                                                  "', used by " + users);
        }
    }

    /** Loads the level into the camera's scene manager and connects its portals; returns the load
        time. A document the caller parsed from the file already is not parsed again. */
    String LoadLevel(Tarnel::TarnelScene& scene, const String& levelFile, const TiXmlDocument* parsed,
                     const Tarnel::LevelDescription* described, RenderWindow* window, Camera* viewerCamera,
                     bool lenientNames, const String& group)
    {
        scene.SetLenientNames(lenientNames);
        SceneManager* sceneManager = viewerCamera->getSceneManager();
        Timer timer;
        if (parsed)
            scene.Load(levelFile, *parsed, window, sceneManager, group, described);
        else
            scene.Load(levelFile, window, sceneManager, group);
        String loadTime = Milliseconds(timer);
        timer.reset();
        Tarnel::Platform::ConnectPortals(sceneManager);
        LogManager::getSingleton().logMessage("Level " + levelFile + " loaded in " + loadTime +
                                              " ms, its portals connected in " + Milliseconds(timer) + " ms");
        // Before the search for missing resources, whose readers would mark the document read.
        if (parsed)
            // A few kinds, then a count: an exporter's own attributes would fill the terminal.
            for (const String& unread : Tarnel::UnreadParts(*parsed, levelFile, true, 5))
                LogManager::getSingleton().logWarning(unread);
        LogMissingResources(parsed ? Tarnel::FindMissingResources(*parsed, true, described, group)
                                   : Tarnel::FindMissingResources(levelFile));
        return loadTime;
    }

    /** A level given by name is read and checked before anything opens, into the document the
        load goes on with; false after saying why not. */
    bool PassesPreCheck(const Viewer::Options& options, TiXmlDocument& document,
                        std::unique_ptr<Tarnel::LevelDescription>& described)
    {
        if (!options.checkFirst)
            return true;
        described = std::make_unique<Tarnel::LevelDescription>();
        String fault =
            PreCheckLevel(options.levelFile, options.media, &document, options.lenientNames, described.get());
        if (fault.empty() && !options.cameraName.empty())
            fault = PreCheckCamera(*described, options.cameraName);
        if (fault.empty())
            return true;
        // Masked: the terminal has it once, plainly.
        LogManager::getSingleton().logError(fault, true);
        std::cerr << fault << std::endl;
        return false;
    }

    /// The engine's own loop of its older releases: window messages, then one frame.
    void RenderLoop(Root& root, RenderWindow* window, Timer& sinceSetup)
    {
        WindowCloseRequests closeRequests(window);
        for (bool first = true;; first = false)
        {
            closeRequests.Translate();
            OgreBites::WindowEventUtilities::messagePump();
            if (!root.renderOneFrame())
                break;
            if (first)
                LogManager::getSingleton().logMessage("First frame " + Milliseconds(sinceSetup) +
                                                      " ms after the configuration dialog");
        }
    }

    /// A camera for the reloaded level, where the viewer's camera is now and with its settings.
    Camera* CreateCameraLike(SceneManager* sceneManager, const Camera* current)
    {
        Camera* camera = CreateCamera(sceneManager);
        camera->getParentSceneNode()->setPosition(current->getParentSceneNode()->getPosition());
        camera->getParentSceneNode()->setOrientation(current->getParentSceneNode()->getOrientation());
        camera->setFOVy(current->getFOVy());
        camera->setNearClipDistance(current->getNearClipDistance());
        camera->setFarClipDistance(current->getFarClipDistance());
        camera->setPolygonMode(current->getPolygonMode());
// The arrow keys turn the camera itself, which this engine still supports but marks as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        camera->setOrientation(current->getOrientation());
#pragma GCC diagnostic pop
        return camera;
    }
}

int Viewer::Run(const Options& options, const ListenerMaker& makeListener)
{
    const String plugins = EngineFiles::Find("plugins.cfg");
    // Never ended, like the viewer: the level on screen outlives main (held here, not lost, for
    // the leak checker). Ogre.log in the working directory; on the terminal only the viewer's own
    // lines, or all with --verbose.
    static auto* engine =
        new Tarnel::Engine({plugins, EngineFiles::Find("ogre.cfg"), "Ogre.log", options.verbose, true});
    // Said at exit too, whatever ended the program.
    static TerminalLines terminal;
    if (!options.verbose)
        LogManager::getSingleton().getDefaultLog()->addListener(&terminal);
    Root* root = &engine->GetRoot();
    // A dialog without a render system would wait for ever: its Accept does nothing.
    if (root->getAvailableRenderers().empty())
        OGRE_EXCEPT(Exception::ERR_INVALID_STATE, "No render system: the plug-ins named in " + plugins +
                    " offer none", "Viewer::Run");
    static TiXmlDocument levelDocument; // parsed and read once, by the check, for the load
    static std::unique_ptr<Tarnel::LevelDescription> levelDescription;
    if (!PassesPreCheck(options, levelDocument, levelDescription))
        return 1;
    bool configured = options.noDialog && root->restoreConfig() && root->getRenderSystem();
    // Without a render system chosen, the dialog shows none and its Accept does nothing.
    if (!configured && !root->getRenderSystem())
        root->setRenderSystem(root->getAvailableRenderers().front());
    if (!configured && !root->showConfigDialog(OgreBites::getNativeConfigDialog()))
        return 0;
    Timer sinceSetup;

    RenderWindow* window = root->initialise(true, "My Render Window", BLANKSTRING);
    // The message pump of this engine only looks at the windows it is told about.
    OgreBites::WindowEventUtilities::_addRenderWindow(window);

    Viewer* viewer = Start(window, options, true);
    viewer->terminal = options.verbose ? nullptr : &terminal;
    root->addFrameListener(makeListener(*viewer));
    CreateCameraLight(viewer->camera);
    viewer->OpenLevel(options.levelFile, levelDocument.RootElement() ? &levelDocument : nullptr,
                      levelDescription.get());
    levelDocument.Clear();
    levelDescription.reset();
    viewer->StartView(options);
    viewer->FlushTerminal();
    if (options.watch)
    {
        viewer->watch = std::make_unique<LevelWatch>();
        viewer->WatchLevelFiles();
    }
    RenderLoop(*root, window, sinceSetup);
    return 0;
}

int Viewer::TakePicture(const Options& options)
{
    static auto* engine = new Tarnel::Engine({EngineFiles::Find("plugins.cfg"), "", "Ogre.log", options.verbose, true});
    static TerminalLines terminal;
    if (!options.verbose)
        LogManager::getSingleton().getDefaultLog()->addListener(&terminal);
    TiXmlDocument levelDocument;
    std::unique_ptr<Tarnel::LevelDescription> levelDescription;
    if (!PassesPreCheck(options, levelDocument, levelDescription))
        return 1;
    Viewer* viewer = Start(engine->StartOpenGL("My Render Window", true), options, false);
    viewer->camera->setAspectRatio(Real(options.pictureWidth) / Real(options.pictureHeight));
    CreateCameraLight(viewer->camera);
    viewer->OpenLevel(options.levelFile, levelDocument.RootElement() ? &levelDocument : nullptr,
                      levelDescription.get());
    viewer->StartView(options);
    viewer->WritePicture(options.pictureFile, options.pictureWidth, options.pictureHeight);
    terminal.Flush();
    std::cout << "Picture of " << options.levelFile << " written to " << options.pictureFile << std::endl;
    return 0;
}

Viewer* Viewer::Start(RenderWindow* window, const Options& options, bool showInWindow)
{
    // Before the groups are initialised, so that its scripts are read.
    new OverlaySystem();
    Camera* startCamera = CreateCamera(CreateSceneManager(1));
    if (showInWindow)
        window->addViewport(startCamera, 0, 0, 0, 1, 1);

    EngineFiles::AddResourceLocations();
    options.media.AddTo();
    ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
    ResourceGroupManager::getSingleton().loadResourceGroup("General", true, true);

    // Never deleted, as the engine is never ended.
    static auto* viewer = new Viewer(window, startCamera);
    viewer->lenientNames = options.lenientNames;
    viewer->media = options.media;
    viewer->heaviestPlaces = options.heaviestPlaces;
    return viewer;
}

void Viewer::StartView(const Options& options)
{
    // Framed first, also under a level camera: the light's reach and the flying speed fit the
    // level, as they do for C and for the checker's pictures, which all look alike.
    if (options.frameLevel || !options.cameraName.empty())
        FrameLevel();
    if (!options.cameraName.empty())
        LookThroughLevelCamera(options.cameraName);
}

void Viewer::FrameLevel()
{
    if (!firstView)
        firstView = std::make_unique<FirstView>(
            FirstView::Choose(camera, scene.get(), levelCameras, scene ? scene->GetUpAxisVector() : Vector3::UNIT_Y));
    Light* light = sceneManager->hasLight("CamLight") ? sceneManager->getLight("CamLight") : nullptr;
    firstView->Apply(camera, light);
    suggestedMoveSpeed = firstView->MoveSpeed();
    const AxisAlignedBox& bounds = firstView->Extent().bounds;
    LogManager::getSingleton().logMessage(
        "View: the whole level, " + (bounds.isFinite() ? StringConverter::toString(bounds.getSize()) : String("empty")) +
        " in size, from " + StringConverter::toString(camera->getParentSceneNode()->getPosition()));
}

void Viewer::LookThroughLevelCamera(const String& asked)
{
    std::vector<String> names;
    for (const Camera* level : levelCameras)
        names.push_back(level->getName());
    // A name that differs only in case is the one meant.
    const String name = FindLevelCamera(asked, names);
    for (Camera* level : levelCameras)
    {
        if (!name.empty() && level->getName() == name)
        {
            Tarnel::LookThrough(camera, level);
            LogManager::getSingleton().logMessage("View: through the level's camera " + name + ", " +
                                                  ExampleFrameListener::DescribeView(camera));
            return;
        }
    }
    OGRE_EXCEPT(Exception::ERR_ITEM_NOT_FOUND, NoSuchCamera(asked, names), "Viewer::LookThroughLevelCamera");
}

void Viewer::FlushTerminal()
{
    if (terminal)
        terminal->Flush();
}

bool Viewer::TakeSuggestedMoveSpeed(Real& speed)
{
    if (suggestedMoveSpeed <= 0)
        return false;
    speed = suggestedMoveSpeed;
    suggestedMoveSpeed = 0;
    return true;
}

void Viewer::WritePicture(const String& file, unsigned width, unsigned height)
{
    LevelPictures::Write(camera, file, width, height, scene ? scene->GetBackgroundColour() : ColourValue::Black);
}

Viewer::Viewer(RenderWindow* window, Camera* camera)
    : window(window), sceneManager(camera->getSceneManager()), camera(camera)
{
}

Viewer::~Viewer() = default;

void Viewer::OpenLevel(const String& file, const TiXmlDocument* parsed, const Tarnel::LevelDescription* described)
{
    levelFile = file;
    // Parsed once, for the load and its missing resources; a file that does not parse goes to
    // the loader as it is, which says why.
    TiXmlDocument document;
    if (!parsed && Tarnel::TarnelUtilities::LoadXmlFile(levelFile, document, true))
        parsed = &document, described = nullptr;
    // Read whole once, for the load and the inspector, where no check before the window read it.
    std::optional<Tarnel::LevelDescription> own;
    if (!described && parsed && parsed->RootElement())
    {
        Tarnel::LevelReader reader;
        try
        {
            own = reader.Read(parsed->RootElement());
            described = &*own;
        }
        catch (const Exception&)
        {
            // Where, as a load that stops says it; the program's end gives the engine's message.
            if (const TiXmlElement* at = reader.Reading())
            {
                const char* name = at->Attribute("name");
                std::cerr << Tarnel::TarnelUtilities::FullPath(levelFile) << ":" << at->Row() << ": " << at->ValueStr()
                          << (name && *name ? String(" \"") + name + "\"" : String()) << ": the load stopped here"
                          << std::endl;
            }
            throw;
        }
    }
    auto loaded = std::make_unique<Tarnel::TarnelScene>();
    LoggedErrors findings(LML_WARNING);
    String loadTime;
    try
    {
        loadTime = LoadLevel(*loaded, levelFile, parsed, described, window, camera, lenientNames, levelGroup);
    }
    catch (const Exception&)
    {
        // Where in the file, beside the engine's message, which the program's end gives whole.
        const String where = loaded->GetWhereLoadStopped();
        if (!where.empty())
            std::cerr << where << ": the load stopped here" << std::endl;
        throw;
    }
    ShowLevel(std::move(loaded), camera, loadTime, described, findings.errors);
    WriteSceneTreeReport("scenetree.txt", sceneManager->getRootSceneNode());
}

void Viewer::ShowLevel(std::unique_ptr<Tarnel::TarnelScene> loaded, Camera* viewerCamera, const String& loadTime,
                       const Tarnel::LevelDescription* described, const std::vector<String>& findings)
{
    levelRows = described ? LevelRows::Of(*described, levelFile) : LevelRows{levelFile, {}, {}};
    loadFindings = findings;
    LogFindingsSummary(findings);
    scene = std::move(loaded);
    sceneManager = viewerCamera->getSceneManager();
    camera = viewerCamera;
    levelCameras = Tarnel::LevelCameras(sceneManager, *scene, camera);
    levelPortals = scene->GetPortals();
    firstView.reset();
    levelLoadTime = loadTime;
}

bool Viewer::ReloadLevel(String& error)
{
    LogManager& log = LogManager::getSingleton();
    if (terminal)
        terminal->BeginLoad();
    // The terminal says what changed once the reload is over, whatever its outcome.
    struct Ended
    {
        TerminalLines* terminal;
        bool built = false;
        ~Ended()
        {
            if (terminal)
                terminal->EndLoad(built);
        }
    } ended{terminal};
    log.logMessage("Reloading level " + levelFile);
    Timer timer;
    LoggedErrors scriptErrors;
    // Read and parsed once, for the checks before the reload, the reload and its missing resources.
    // The checks are those of the start, in the same words: a file that does not parse, or names
    // a mesh, model file or particle template that is nowhere, would stop the load half way.
    TiXmlDocument document;
    Tarnel::LevelDescription described;
    try
    {
        error = PreCheckLevel(levelFile, media, &document, lenientNames, &described);
    }
    catch (const Exception& failure)
    {
        // A location the engine cannot open (a level file named as a zip archive) raises as it is added.
        error = failure.getFullDescription();
    }
    if (!error.empty())
    {
        log.logError("Reload failed, the level on screen stays: " + error);
        FlushTerminal();
        return false;
    }
    // The new level is built beside the one on screen, in a scene manager of its own and with
    // its media read again from disk into a resource group of its own, where its names do not
    // meet the old level's: a load that fails leaves the level on screen as it was.
    const String group = NewLevelGroup();
    SceneManager* fresh = CreateSceneManager(++sceneManagerCount);
    Camera* freshCamera = CreateCameraLike(fresh, camera);
    Light* freshLight = CreateCameraLight(freshCamera);
    if (sceneManager->hasLight("CamLight"))
    {
        const Light* light = sceneManager->getLight("CamLight");
        freshLight->setAttenuation(light->getAttenuationRange(), light->getAttenuationConstant(),
                                   light->getAttenuationLinear(), light->getAttenuationQuadric());
    }
    auto loaded = std::make_unique<Tarnel::TarnelScene>();
    String loadTime;
    try
    {
        LoggedErrors findings(LML_WARNING);
        loadTime = LoadLevel(*loaded, levelFile, &document, &described, window, freshCamera, lenientNames, group);
        reloadFindings = findings.errors;
    }
    catch (const Exception& failure)
    {
        error = failure.getFullDescription();
        const String where = loaded->GetWhereLoadStopped();
        if (!where.empty())
            error += "; the load stopped at " + where;
    }
    catch (const std::exception& failure)
    {
        error = failure.what();
    }
    if (!error.empty())
    {
        loaded->Destroy();
        Tarnel::Engine::DestroySceneManager(fresh);
        DropLevelGroup(group);
        // The failed level's scripts replaced the templates of the level on screen.
        if (Tarnel::TarnelMedia* rules = Tarnel::TarnelMedia::Instance())
            rules->KeepReplacedTemplates(true);
        // The new level's background colour went to the window's viewport.
        window->getViewport(0)->setBackgroundColour(scene ? scene->GetBackgroundColour() : ColourValue::Black);
        log.logError("Reload failed, the level on screen stays: " + error);
        FlushTerminal();
        return false;
    }
    // A plane-optimal shadow setup points at the old scene's plane.
    SceneManager* previous = sceneManager;
    previous->setShadowCameraSetup(ShadowCameraSetupPtr(new DefaultShadowCameraSetup()));
    if (scene)
        scene->Destroy();
    Tarnel::Platform::PlaceInZone(freshCamera->getParentSceneNode());
    window->getViewport(0)->setCamera(freshCamera);
    ShowLevel(std::move(loaded), freshCamera, loadTime, &described, reloadFindings);
    Tarnel::Engine::DestroySceneManager(previous);
    if (levelGroup != ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME)
        DropLevelGroup(levelGroup);
    if (Tarnel::TarnelMedia* rules = Tarnel::TarnelMedia::Instance())
        rules->KeepReplacedTemplates(false);
    levelGroup = group;
    WriteSceneTreeReport("scenetree.txt", sceneManager->getRootSceneNode());
    WatchLevelFiles(); // its resource locations may have changed
    reloadErrors = scriptErrors.errors.size();
    reloadSummary = "Reloaded in " + Milliseconds(timer) + " ms, memory " +
                    StringConverter::toString(ResidentMegabytes()) + " MB" +
                    (reloadErrors ? ", with " + scriptErrors.Summary() : String());
    PCZone* zone = static_cast<PCZSceneNode*>(camera->getParentSceneNode())->getHomeZone();
    log.logMessage("Reload of " + levelFile + ": " + reloadSummary + ", the camera in zone " +
                   (zone ? zone->getName() : String("none")));
    ended.built = true;
    return true;
}

void Viewer::WatchLevelFiles()
{
    if (!watch)
        return;
    String folder, base;
    StringUtil::splitFilename(Tarnel::TarnelUtilities::FullPath(levelFile), base, folder);
    std::vector<LevelWatch::Folder> folders = {{folder.empty() ? String(".") : folder, false}};
    if (scene)
    {
        for (const auto& location : scene->GetResourceLocations())
        {
            if (location.second.type == "FileSystem")
                folders.push_back({location.second.name, location.second.recursive});
        }
    }
    // The game's media are read again on each reload, with their subfolders: a change there shows too.
    for (const MediaSources::Location& location : media.Locations())
    {
        if (location.type == "FileSystem")
            folders.push_back({location.path, location.recursive});
    }
    watch->Watch(folders);
}

bool Viewer::LevelFilesChanged()
{
    return watch && watch->ChangesSettled();
}

String Viewer::NewLevelGroup()
{
    const String group = "Tarnel/Level/" + StringConverter::toString(++levelGroupCount);
    ResourceGroupManager::getSingleton().createResourceGroup(group, false);
    media.AddTo(group); // the game's media, read again with the level's
    // Read before the level's own, which then stand before them, as at the start.
    ResourceGroupManager::getSingleton().initialiseResourceGroup(group);
    // A group of its own sees no other group's materials, not even the two the engine makes for
    // every level to use: each gets its copies, or a sky of the engine's white would end the reload.
    for (const char* name : {"BaseWhite", "BaseWhiteNoLighting"})
        if (MaterialPtr base = MaterialManager::getSingleton().getByName(name, ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME))
            base->clone(name, true, group);
    return group;
}

void Viewer::DropLevelGroup(const String& group)
{
    ParticleSystemManager::getSingleton().removeTemplatesByResourceGroup(group);
    ResourceGroupManager::getSingleton().destroyResourceGroup(group);
}
