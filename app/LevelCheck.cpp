#include "LevelCheck.h"

#include "Tarnel/TarnelEngine.h"
#include "Tarnel/TarnelLevelViews.h"
#include "Tarnel/TarnelPlatform.h"

#include <OgreCamera.h>
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

#include <algorithm>
#include <iomanip>
#include <regex>
#include <set>

using namespace Ogre;

namespace
{
    /// What the engine's log says while one level loads.
    class LogCapture : public LogListener
    {
    public:
        LogCapture() { LogManager::getSingleton().getDefaultLog()->addListener(this); }
        ~LogCapture() override { LogManager::getSingleton().getDefaultLog()->removeListener(this); }

        void messageLogged(const String& message, LogMessageLevel level, bool, const String&, bool&) override
        {
            std::smatch match;
            if (message.find(" is defined again in ") != String::npos)
                duplicates.push_back(message);
            else if (std::regex_search(message, match, unassignable))
                meshMaterials.push_back({match[1], match[2]});
            else if (level >= LML_WARNING)
                warnings.push_back(message);
        }

        std::vector<String> duplicates, warnings;
        /// Materials a mesh names that do not exist: the engine forgets the names, so they come from here.
        std::vector<std::pair<String, String>> meshMaterials;

    private:
        const std::regex unassignable{"Can't assign material '(.*)' to SubMesh of '(.*)' because"};
    };

    void AddMissing(std::vector<Tarnel::MissingResource>& missing, const String& kind, const String& name,
                    const String& user)
    {
        auto found = std::find_if(missing.begin(), missing.end(), [&](const Tarnel::MissingResource& resource) {
            return resource.kind == kind && resource.name == name;
        });
        if (found == missing.end())
            missing.push_back({kind, name, {user}, 0, ""});
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

    String Milliseconds(double value)
    {
        StringStream text;
        text << std::fixed << std::setprecision(1) << value;
        return text.str();
    }
}

LevelCheck::Status LevelCheck::GetStatus() const
{
    // A load that stopped at a missing resource is a level with missing resources.
    bool stoppedByMissing = std::any_of(missing.begin(), missing.end(), [this](const Tarnel::MissingResource& resource) {
        return error.find(resource.name) != Ogre::String::npos;
    });
    if ((!loaded || !error.empty()) && !stoppedByMissing)
        return FAILED;
    return missing.empty() && unconnectedPortals.empty() ? FINE : INCOMPLETE;
}

LevelCheck LevelCheck::Run(const String& file, RenderWindow* window, bool lenientNames)
{
    LevelCheck check;
    check.file = file;
    PCZSceneManager* sceneManager = Tarnel::Engine::NewSceneManager();
    {
        LogCapture log;
        Tarnel::TarnelScene scene;
        scene.SetLenientNames(lenientNames);
        Timer total;
        try
        {
            scene.Load(file, window, sceneManager, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
            check.loaded = true;
        }
        catch (const Exception& error)
        {
            check.error = error.getFullDescription();
        }
        Timer connection;
        bool connected = false;
        try
        {
            if (check.loaded)
                sceneManager->connectPortalsToTargetZonesByLocation();
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
        check.duplicateDefinitions = log.duplicates;
        check.warnings.insert(check.warnings.begin(), log.warnings.begin(), log.warnings.end());
        scene.Destroy();
        Tarnel::Engine::DestroySceneManager(sceneManager);
        // Read from the file itself, so that what a failed load never reached is listed too.
        check.missing = Tarnel::FindMissingResources(file);
        for (const auto& meshMaterial : log.meshMaterials)
            AddMissing(check.missing, "material", meshMaterial.first, meshMaterial.second);
    }
    // The next level reads its meshes again, and the engine says again what they lack.
    MeshManager::getSingleton().unloadUnreferencedResources();
    return check;
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
    // A failed load outweighs a missing resource.
    LevelCheck::Status status = LevelCheck::FINE;
    for (const LevelCheck& check : checks)
    {
        if (check.GetStatus() == LevelCheck::FAILED)
            return LevelCheck::FAILED;
        if (check.GetStatus() == LevelCheck::INCOMPLETE)
            status = LevelCheck::INCOMPLETE;
    }
    return status;
}

void WriteText(std::ostream& out, const LevelCheck& check)
{
    static const char* const verdicts[] = {"ok", "FAILED", "INCOMPLETE"};
    out << check.file << ": " << verdicts[check.GetStatus()] << "\n";
    if (!check.error.empty())
        out << "  error: " << check.error << "\n";
    // A level that was never loaded (not a file, or its check ended) has no times to show.
    if (!check.loaded && check.totalMs == 0)
        return;
    const Tarnel::LoadTimes& t = check.times;
    out << "  load " << Milliseconds(check.totalMs) << " ms: parse " << Milliseconds(t.parse) << ", resources "
        << Milliseconds(t.resources) << ", environment " << Milliseconds(t.environment) << ", nodes and objects "
        << Milliseconds(t.nodesAndObjects) << ", batched geometry " << Milliseconds(t.batchedGeometry)
        << ", render textures " << Milliseconds(t.renderTextures) << ", portal connection "
        << Milliseconds(check.portalConnectionMs) << "\n";
    if (check.loaded)
    {
        const LevelCheck::Counts& c = check.counts;
        out << "  " << c.nodes << " nodes, " << c.zones << " zones, " << c.portals << " portals, " << c.entities
            << " entities, " << c.lights << " lights, " << c.cameras << " cameras, " << c.particleSystems
            << " particle systems, " << c.billboardSets << " billboard sets, " << c.planes << " planes, "
            << c.animations << " animations, " << c.modelInstances << " model instances, " << c.triangles
            << " triangles\n";
    }
    for (const Tarnel::MissingResource& missing : check.missing)
    {
        out << "  missing " << missing.kind << " " << missing.name << ", used by ";
        for (size_t i = 0; i < missing.usedBy.size(); ++i)
            out << (i ? ", " : "") << (missing.usedBy[i].empty() ? "the level" : missing.usedBy[i]);
        out << "\n";
    }
    for (const String& portal : check.unconnectedPortals)
        out << "  portal without a target zone: " << portal << "\n";
    for (const String& duplicate : check.duplicateDefinitions)
        out << "  duplicate: " << duplicate << "\n";
    for (const String& warning : check.warnings)
        out << "  warning: " << warning << "\n";
}

nlohmann::ordered_json ToJson(const LevelCheck& check)
{
    using nlohmann::ordered_json;
    const Tarnel::LoadTimes& t = check.times;
    const LevelCheck::Counts& c = check.counts;
    ordered_json missing = ordered_json::array();
    for (const Tarnel::MissingResource& resource : check.missing)
        missing.push_back({{"kind", resource.kind}, {"name", resource.name}, {"usedBy", resource.usedBy}});
    return {
        {"file", check.file},
        {"status", int(check.GetStatus())},
        {"loaded", check.loaded},
        {"drawn", check.drawn},
        {"error", check.error.empty() ? ordered_json() : ordered_json(check.error)},
        {"loadMs",
         {{"total", check.totalMs}, {"parse", t.parse}, {"resources", t.resources},
          {"environment", t.environment}, {"nodesAndObjects", t.nodesAndObjects},
          {"batchedGeometry", t.batchedGeometry}, {"renderTextures", t.renderTextures},
          {"portalConnection", check.portalConnectionMs}}},
        {"counts",
         {{"nodes", c.nodes}, {"zones", c.zones}, {"portals", c.portals}, {"entities", c.entities},
          {"lights", c.lights}, {"cameras", c.cameras}, {"particleSystems", c.particleSystems},
          {"billboardSets", c.billboardSets}, {"planes", c.planes}, {"animations", c.animations},
          {"modelInstances", c.modelInstances}, {"triangles", c.triangles}}},
        {"missing", missing},
        {"unconnectedPortals", check.unconnectedPortals},
        {"duplicateDefinitions", check.duplicateDefinitions},
        {"warnings", check.warnings},
    };
}

LevelCheck FromJson(const nlohmann::ordered_json& level)
{
    LevelCheck check;
    check.file = level.at("file");
    check.loaded = level.at("loaded");
    check.drawn = level.at("drawn");
    check.error = level.at("error").is_null() ? String() : level.at("error").get<String>();
    const auto& ms = level.at("loadMs");
    check.totalMs = ms.at("total");
    check.times.parse = ms.at("parse");
    check.times.resources = ms.at("resources");
    check.times.environment = ms.at("environment");
    check.times.nodesAndObjects = ms.at("nodesAndObjects");
    check.times.batchedGeometry = ms.at("batchedGeometry");
    check.times.renderTextures = ms.at("renderTextures");
    check.portalConnectionMs = ms.at("portalConnection");
    const auto& counts = level.at("counts");
    LevelCheck::Counts& c = check.counts;
    for (auto [key, field] : {std::pair{"nodes", &c.nodes}, {"zones", &c.zones}, {"portals", &c.portals},
                              {"entities", &c.entities}, {"lights", &c.lights}, {"cameras", &c.cameras},
                              {"particleSystems", &c.particleSystems}, {"billboardSets", &c.billboardSets},
                              {"planes", &c.planes}, {"animations", &c.animations},
                              {"modelInstances", &c.modelInstances}, {"triangles", &c.triangles}})
        *field = counts.at(key);
    for (const auto& resource : level.at("missing"))
        check.missing.push_back({resource.at("kind"), resource.at("name"), resource.at("usedBy"), 0, ""});
    check.unconnectedPortals = level.at("unconnectedPortals").get<std::vector<String>>();
    check.duplicateDefinitions = level.at("duplicateDefinitions").get<std::vector<String>>();
    check.warnings = level.at("warnings").get<std::vector<String>>();
    return check;
}

nlohmann::ordered_json ToJson(const std::vector<LevelCheck>& checks)
{
    nlohmann::ordered_json levels = nlohmann::ordered_json::array();
    for (const LevelCheck& check : checks)
        levels.push_back(ToJson(check));
    return {{"schema", 1}, {"status", int(OverallStatus(checks))}, {"levels", levels}};
}

std::string AsValidUtf8(const std::string& text)
{
    std::string valid;
    valid.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();)
    {
        unsigned char lead = bytes[i];
        size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                      : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        bool whole = length != 0 && i + length <= text.size();
        for (size_t k = 1; whole && k < length; ++k)
            whole = (bytes[i + k] & 0xC0) == 0x80;
        // No overlong three- and four-byte forms, no surrogates, nothing past U+10FFFF.
        if (whole && length >= 3)
        {
            unsigned char second = bytes[i + 1];
            whole = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second > 0x9F) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second > 0x8F);
        }
        if (whole)
        {
            valid.append(text, i, length);
            i += length;
            continue;
        }
        valid += char(0xC0 | (lead >> 6));
        valid += char(0x80 | (lead & 0x3F));
        ++i;
    }
    return valid;
}

nlohmann::ordered_json AsValidUtf8(nlohmann::ordered_json document)
{
    if (document.is_string())
        return AsValidUtf8(document.get<std::string>());
    if (!document.is_structured())
        return document;
    for (auto& value : document)
        value = AsValidUtf8(value);
    return document;
}
