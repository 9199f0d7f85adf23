#include "LevelCheck.h"
#include "FirstView.h"
#include "LevelPictures.h"
#include "LevelPreCheck.h"

#include "Tarnel/Tarnel.h"


#include <map>

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreMovableObject.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePortal.h>
#include <OgreRoot.h>
#include <OgreSubMesh.h>
#include <OgreRenderWindow.h>
#include <OgreSceneNode.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>

using namespace Ogre;

namespace
{
    void AddMissing(std::vector<Tarnel::MissingResource>& missing, const String& kind, const String& name,
                    const String& user)
    {
        if (name.empty())
            return; // a sub-mesh that names no material is drawn white; the engine says so
        auto found = std::find_if(missing.begin(), missing.end(), [&](const Tarnel::MissingResource& resource) {
            return resource.kind == kind && resource.name == name;
        });
        if (found == missing.end())
            missing.push_back({kind, name, {user}, 0, "", ""});
        else if (std::find(found->usedBy.begin(), found->usedBy.end(), user) == found->usedBy.end())
            found->usedBy.push_back(user);
    }

    size_t CountNodes(const Node* node)
    {
        size_t count = 0;
        for (const Node* child : node->getChildren())
            count += 1 + CountNodes(child);
        return count;
    }

    size_t CountTriangles(SceneManager* sceneManager)
    {
        size_t triangles = 0;
        for (const auto& entry : sceneManager->getMovableObjects("Entity"))
        {
            const Entity* entity = static_cast<const Entity*>(entry.second);
            for (const SubMesh* subMesh : entity->getMesh()->getSubMeshes())
            {
                if (subMesh->operationType == RenderOperation::OT_TRIANGLE_LIST && subMesh->indexData)
                    triangles += subMesh->indexData->indexCount / 3;
            }
        }
        return triangles;
    }

    LevelCheck::Counts Count(PCZSceneManager* sceneManager, const Tarnel::TarnelScene& scene)
    {
        LevelCheck::Counts counts;
        counts.nodes = CountNodes(sceneManager->getRootSceneNode());
        for (auto zones = sceneManager->getZoneIterator(); zones.hasMoreElements(); zones.moveNext())
            counts.zones += zones.peekNextValue() != sceneManager->getDefaultZone();
        counts.portals = scene.GetPortals().size();
        counts.planes = scene.GetPlaneCount();
        counts.entities = sceneManager->getMovableObjects("Entity").size() - counts.planes;
        // The zone manager makes its lights with a factory of its own.
        counts.lights =
            sceneManager->getMovableObjects("PCZLight").size() + sceneManager->getMovableObjects("Light").size();
        // The cameras of a cube map's faces are the loader's, not the level's.
        counts.cameras = sceneManager->getCameras().size();
        for (const auto& texture : scene.GetRenderTextures())
        {
            for (const Camera* face : texture->cubeFaceCameras)
                counts.cameras -= face != nullptr;
        }
        counts.particleSystems = sceneManager->getMovableObjects("ParticleSystem").size();
        counts.billboardSets = sceneManager->getMovableObjects("BillboardSet").size();
        counts.animations = sceneManager->getAnimations().size();
        counts.modelInstances = scene.GetModelInstanceCount();
        counts.triangles = CountTriangles(sceneManager);
        return counts;
    }


    /// The text in the letters a file name takes everywhere: others become '_'.
    String FileNamePart(String text)
    {
        for (char& c : text)
        {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_')
                c = '_';
        }
        return text;
    }

    /** Pictures from the first view, framed as the viewer frames a level given to it, and
        through each level camera, as the viewer's --screenshot draws them. Particle systems
        are left out: they move with the clock, and pictures must be the same from run to
        run. Animations stay at their start, as nothing advances them. */
    /** Sweeps the level when asked to or when it has a budget, and holds it to the budget;
        with the pictures, draws one from the heaviest place. */
    void Sweep(LevelCheck& check, PCZSceneManager* sceneManager, const Tarnel::TarnelScene& scene,
               const CheckSettings& settings)
    {
        const LevelBudget budget = LevelBudget::ForLevel(check.file, settings.budget);
        if (!settings.sweep && !budget.Any())
            return;
        check.sweep = LevelSweep::Of(sceneManager, scene, settings.sweepSettings);
        check.swept = true;
        check.overBudget = budget.Exceeded(check.sweep);
        const SweepSample* worst = check.sweep.Worst();
        if (!worst || settings.picturesFolder.empty())
            return;
        Camera* camera = sceneManager->createCamera("Tarnel/Heaviest");
        sceneManager->getRootSceneNode()->createChildSceneNode("Tarnel/Heaviest")->attachObject(camera);
        check.sweep.Aim(camera, *worst, scene.GetUpAxisVector());
        check.heaviestPicture =
            (std::filesystem::path(settings.picturesFolder) / (PictureStem(check.file) + "-heaviest.png")).string();
        LevelPictures::Write(camera, check.heaviestPicture, settings.pictureWidth, settings.pictureHeight,
                             scene.GetBackgroundColour());
    }

    void TakePictures(LevelCheck& check, PCZSceneManager* sceneManager, const Tarnel::TarnelScene& scene,
                      const CheckSettings& settings)
    {
        for (const auto& particles : sceneManager->getMovableObjects("ParticleSystem"))
            particles.second->setVisible(false);
        std::vector<Camera*> levelCameras = Tarnel::LevelCameras(sceneManager, scene);
        Camera* camera = sceneManager->createCamera("Tarnel/Picture");
        camera->setFOVy(Degree(90));
        camera->setAspectRatio(Real(settings.pictureWidth) / Real(settings.pictureHeight));
        SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Tarnel/Picture");
        node->attachObject(camera);
        Light* light = sceneManager->createLight("Tarnel/PictureLight");
        node->attachObject(light);
        const FirstView first = FirstView::Choose(camera, &scene, levelCameras, scene.GetUpAxisVector());
        first.Apply(camera, light);
        check.firstView = first.Line();

        const std::filesystem::path folder = settings.picturesFolder;
        const String stem = PictureStem(check.file);
        std::set<String> names;
        for (size_t view = 0; view <= levelCameras.size(); ++view)
        {
            if (view > 0)
                Tarnel::LookThrough(camera, levelCameras[view - 1]);
            LevelCheck::Picture picture;
            picture.view = view == 0 ? "first view" : levelCameras[view - 1]->getName();
            // Cameras whose names read alike as file names ("Café", "Cafè") get a number each.
            const String sanitized = stem + "-" + (view == 0 ? String("view") : "camera-" + FileNamePart(picture.view));
            String name = sanitized;
            for (int number = 2; !names.insert(name).second; ++number)
                name = sanitized + "-" + std::to_string(number);
            picture.file = (folder / (name + ".png")).string();
            LevelPictures::Write(camera, picture.file, settings.pictureWidth, settings.pictureHeight,
                                 scene.GetBackgroundColour());
            if (!settings.referenceFolder.empty())
            {
                const std::filesystem::path reference = std::filesystem::path(settings.referenceFolder) / (name + ".png");
                std::error_code error;
                if (settings.updateReferences)
                {
                    std::filesystem::create_directories(settings.referenceFolder, error);
                    std::filesystem::copy_file(picture.file, reference,
                                               std::filesystem::copy_options::overwrite_existing, error);
                }
                else if (std::filesystem::exists(reference, error))
                {
                    picture.reference = reference.string();
                    picture.difference = (folder / (name + "-difference.png")).string();
                    picture.differing = LevelPictures::DifferingShare(picture.file, picture.reference,
                                                                      settings.referenceTolerance, picture.difference);
                    picture.matches = picture.differing <= settings.referenceThreshold;
                }
                else
                    check.warnings.push_back("Tarnel: no reference picture " + reference.string());
            }
            check.pictures.push_back(picture);
        }
        node->detachAllObjects();
        sceneManager->destroyCamera(camera);
        sceneManager->destroyMovableObject(light);
    }

    /// The first view the pictures would start from, and why, without drawing the pictures.
    void ChooseFirstView(LevelCheck& check, PCZSceneManager* sceneManager, const Tarnel::TarnelScene& scene,
                         const CheckSettings& settings)
    {
        Camera* camera = sceneManager->createCamera("Tarnel/Picture");
        camera->setFOVy(Degree(90));
        camera->setAspectRatio(Real(settings.pictureWidth) / Real(settings.pictureHeight));
        SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Tarnel/Picture");
        node->attachObject(camera);
        check.firstView = FirstView::Choose(camera, &scene, Tarnel::LevelCameras(sceneManager, scene),
                                            scene.GetUpAxisVector()).Line();
        node->detachAllObjects();
        sceneManager->destroyCamera(camera);
    }

    /// A resource the engine warned about that is missing is said once, under missing resources.
    void DropWarningsOfMissing(LevelCheck& check)
    {
        auto namesMissing = [&check](const String& warning) {
            return std::any_of(check.missing.begin(), check.missing.end(), [&warning](const auto& resource) {
                return warning.find("'" + resource.name + "'") != String::npos ||
                       warning.find("its mesh \"" + resource.name + "\" cannot be read") != String::npos;
            });
        };
        check.warnings.erase(std::remove_if(check.warnings.begin(), check.warnings.end(), namesMissing),
                             check.warnings.end());
    }
}

LogFindings::LogFindings()
{
    LogManager::getSingleton().getDefaultLog()->addListener(this);
}

LogFindings::~LogFindings()
{
    LogManager::getSingleton().getDefaultLog()->removeListener(this);
}

void LogFindings::messageLogged(const String& message, LogMessageLevel level, bool, const String&, bool&)
{
    static const std::regex unassignable{"Can't assign material '(.*)' to SubMesh of '(.*)' because"};
    std::smatch match;
    if (message.find(" is defined again in ") != String::npos)
        duplicates.push_back(message);
    else if (std::regex_search(message, match, unassignable))
        meshMaterials.push_back({match[1], match[2]});
    else if (level >= LML_WARNING)
        warnings.push_back(message);
}

LevelCheck::Status LevelCheck::GetStatus() const
{
    // A load that stopped, at a missing mesh too, failed: the level cannot be opened.
    if (!loaded || !error.empty())
        return FAILED;
    if (std::any_of(pictures.begin(), pictures.end(), [](const Picture& picture) { return !picture.matches; }))
        return LOOKS_DIFFERENT;
    return missing.empty() && unconnectedPortals.empty() && overBudget.empty() ? FINE : INCOMPLETE;
}

String PictureStem(const String& file)
{
    std::filesystem::path path = std::filesystem::path(file).lexically_normal();
    std::filesystem::path relative = path.lexically_relative(std::filesystem::current_path());
    if (!relative.empty() && relative.begin()->string() != "..")
        path = relative;
    return FileNamePart(path.replace_extension().string());
}

LevelCheck LevelCheck::Run(const String& file, RenderWindow* window, const CheckSettings& settings)
{
    LevelCheck check;
    check.file = file;
    PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    {
        LogFindings log;
        Tarnel::TarnelScene scene;
        scene.SetLenientNames(settings.lenientNames);
        Timer total;
        // Read and checked first, as the viewer does before its window: what would stop the load
        // is said in the viewer's words, with its line. Parsed once, with rows, for the load, the
        // unread parts and the missing resources.
        TiXmlDocument document;
        const LevelReading reading = ReadLevel(file, settings.media, settings.lenientNames, document, true);
        const bool parsed = document.RootElement() != nullptr;
        check.error = reading.fault;
        try
        {
            if (reading.fault.empty())
            {
                scene.Load(file, document, window, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
                           &reading.description);
                check.loaded = true;
            }
        }
        catch (const Exception& error)
        {
            check.error = error.getFullDescription();
            const String where = scene.GetWhereLoadStopped();
            if (!where.empty())
                check.error += "; the load stopped at " + where;
        }
        // Loaded, the meshes give the zones their entities' boxes and triangles.
        check.zones = LevelCheck::ZoneEntry::Of(
            check.loaded && Tarnel::HasZones(reading.description)
                ? Tarnel::ZoneGraph::Of(reading.description,
                                        Tarnel::LoadedMeshes(ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME))
                : Tarnel::ZoneGraph::Of(reading.description));
        Timer connection;
        bool connected = false;
        try
        {
            if (check.loaded)
                Tarnel::Platform::ConnectPortals(sceneManager);
            connected = check.loaded;
        }
        catch (const Exception& error)
        {
            // The engine stops at the first portal without a match; the portals left without
            // a target zone are listed below, and the viewer would stop with this message.
            check.warnings.push_back(error.getFullDescription());
        }
        check.portalConnectionMs = connection.getMicroseconds() / 1000.0;
        check.totalMs = total.getMicroseconds() / 1000.0;
        check.times = scene.GetLoadTimes();
        check.times.parse = reading.parseMs;
        if (check.loaded)
        {
            check.counts = Count(sceneManager, scene);
            for (Portal* portal : scene.GetPortals())
            {
                if (!portal->getTargetZone())
                    check.unconnectedPortals.push_back(portal->getName());
            }
        }
        // Counted first: drawing adds the view and the shadow cameras.
        try
        {
            // The viewer stops at a portal without a zone, and the engine cannot draw one.
            if (connected)
                Tarnel::DrawLevelViews(sceneManager, window, scene);
            check.drawn = connected;
        }
        catch (const Exception& error)
        {
            check.error = "Drawing the level failed: " + error.getFullDescription();
        }
        try
        {
            if (check.drawn && !settings.picturesFolder.empty())
                TakePictures(check, sceneManager, scene, settings);
            else if (check.drawn)
                ChooseFirstView(check, sceneManager, scene, settings);
        }
        catch (const Exception& error)
        {
            check.error = "Drawing the pictures failed: " + error.getFullDescription();
        }
        try
        {
            if (check.drawn)
                Sweep(check, sceneManager, scene, settings);
        }
        catch (const Exception& error)
        {
            check.error = "The sweep failed: " + error.getFullDescription();
        }
        catch (const std::invalid_argument& error)
        {
            check.error = error.what();
        }
        check.duplicateDefinitions = log.duplicates;
        check.warnings.insert(check.warnings.begin(), log.warnings.begin(), log.warnings.end());
        // Below the sections only after a whole load: a load that stopped read only some.
        const std::vector<String> unread = Tarnel::UnreadParts(document, file, check.loaded);
        check.warnings.insert(check.warnings.end(), unread.begin(), unread.end());
        scene.Destroy();
        Tarnel::Engine::DestroySceneManager(sceneManager);
        // Read from the file itself, so that what a failed load never reached is listed too. A load
        // the check before it stopped never added the level's locations: what that check found stands.
        if (parsed && !reading.fault.empty())
            check.missing = reading.missing;
        else if (parsed)
            check.missing = Tarnel::FindMissingResources(document, true, &reading.description);
        for (const auto& meshMaterial : log.meshMaterials)
            AddMissing(check.missing, "material", meshMaterial.first, meshMaterial.second);
        DropWarningsOfMissing(check);
    }
    // The next level reads its meshes again, and the engine says again what they lack.
    MeshManager::getSingleton().unloadUnreferencedResources();
    return check;
}

LevelCheck LevelCheck::Read(const String& file, const CheckSettings& settings)
{
    LevelCheck check;
    check.file = file;
    check.readOnly = true;
    Timer total;
    LogFindings log;
    TiXmlDocument document;
    LevelReading reading = ReadLevel(file, settings.media, settings.lenientNames, document, false, true);
    check.error = reading.fault;
    check.loaded = reading.fault.empty();
    check.missing = std::move(reading.missing);
    check.warnings = log.warnings;
    // The portals the engine would find no match for, named as it names them.
    const Tarnel::ZoneGraph zones =
        reading.zones.measured ? std::move(reading.zones) : Tarnel::ZoneGraph::Of(reading.description);
    check.zones = LevelCheck::ZoneEntry::Of(zones);
    for (const Tarnel::ZonePortal& portal : zones.portals)
        if (check.loaded && portal.Quad() && portal.match < 0)
            check.unconnectedPortals.push_back(zones.zones[portal.zone].name + "_" + portal.name);
    // The level was read whole, as the load reads it: what it left unread is known without a load.
    const std::vector<String> unread = Tarnel::UnreadParts(document, file, check.loaded);
    check.warnings.insert(check.warnings.end(), unread.begin(), unread.end());
    DropWarningsOfMissing(check);
    check.totalMs = check.checkMs = total.getMicroseconds() / 1000.0;
    // The meshes are the media's share, as in a load; the rest is reading and checking the level.
    check.times.meshes = reading.meshesMs;
    check.times.parse = check.totalMs - reading.meshesMs;
    return check;
}

std::vector<LevelCheck::ZoneEntry> LevelCheck::ZoneEntry::Of(const Tarnel::ZoneGraph& graph)
{
    std::map<int, std::vector<String>> faults; // by line: a zone's node and its portals have lines of their own
    std::map<long, std::vector<String>> ofZones; // its entities' faults, at their own lines
    std::vector<Tarnel::ZoneFinding> findings = Tarnel::FindZoneFaults(graph);
    for (Tarnel::ZoneFinding& finding : Tarnel::FindZoneExtentFaults(graph))
        findings.push_back(std::move(finding));
    for (const Tarnel::ZoneFinding& finding : findings)
    {
        if (finding.zone >= 0)
            ofZones[finding.zone].push_back(finding.text);
        else
            faults[finding.line].push_back(finding.text);
    }
    std::vector<ZoneEntry> zones;
    for (size_t index = 0; index < graph.zones.size(); ++index)
    {
        const Tarnel::Zone& zone = graph.zones[index];
        ZoneEntry entry{zone.name, zone.line,          zone.nodes, zone.objects, zone.triangles, graph.measured,
                        zone.centre, {},         faults[zone.line]};
        entry.faults.insert(entry.faults.end(), ofZones[long(index)].begin(), ofZones[long(index)].end());
        for (size_t index : zone.portals)
        {
            const Tarnel::ZonePortal& portal = graph.portals[index];
            const String target =
                portal.match < 0 ? String() : graph.zones[graph.portals[size_t(portal.match)].zone].name;
            entry.portals.push_back({portal.name, portal.line, target, faults[portal.line]});
        }
        zones.push_back(std::move(entry));
    }
    return zones;
}

LevelCheck LevelCheck::NotChecked(const String& file, const String& why)
{
    LevelCheck check;
    check.file = file;
    check.error = why;
    return check;
}

LevelCheck::Status OverallStatus(const std::vector<LevelCheck>& checks)
{
    // A failed load outweighs a changed look, which outweighs a missing resource.
    LevelCheck::Status status = LevelCheck::FINE;
    for (const LevelCheck& check : checks)
    {
        LevelCheck::Status level = check.GetStatus();
        if (level == LevelCheck::FAILED)
            return LevelCheck::FAILED;
        if (level == LevelCheck::LOOKS_DIFFERENT || (level == LevelCheck::INCOMPLETE && status == LevelCheck::FINE))
            status = level;
    }
    return status;
}

