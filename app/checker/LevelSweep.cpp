// A level swept by viewpoints: what the engine draws from each.
#include "LevelSweep.h"
#include "LevelExtent.h"

#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMovableObject.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgreRenderTexture.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>
#include <OgreTimer.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

using namespace Ogre;

namespace
{
    const char* const CAMERA = "Tarnel/SweepCamera";
    const size_t MAX_PLACES = 10000;

    /// Counts what the engine queues for the sweep's camera, and in which zones.
    class Queued : public MovableObject::Listener
    {
    public:
        Queued(SceneManager* sceneManager, const Camera* camera) : camera(camera)
        {
            for (const auto& factory : Root::getSingleton().getMovableObjectFactories())
            {
                if (factory.first == "Light" || factory.first == "Camera")
                    continue;
                for (const auto& named : sceneManager->getMovableObjects(factory.first))
                {
                    if (named.second->getListener())
                        continue; // someone else's
                    named.second->setListener(this);
                    followed.push_back(named.second);
                }
            }
        }
        ~Queued() override
        {
            for (MovableObject* object : followed)
                object->setListener(nullptr);
        }
        Queued(const Queued&) = delete;
        Queued& operator=(const Queued&) = delete;

        bool objectRendering(const MovableObject* object, const Camera* by) override
        {
            // Asked before the engine looks whether it is shown: a hidden one is not drawn.
            if (by == camera && object->getVisible())
            {
                objects.insert(object);
                if (auto* node = static_cast<PCZSceneNode*>(object->getParentSceneNode()))
                    zones.insert(node->getHomeZone());
            }
            return true;
        }

        const Camera* camera;
        std::vector<MovableObject*> followed;
        std::set<const MovableObject*> objects;
        std::set<const PCZone*> zones;
    };

    /// The two ground axes and up: north is -Z, or +Y where up is Z; east is +X.
    struct Compass
    {
        Vector3 up, north, east;

        explicit Compass(const Vector3& levelUp)
            : up(levelUp), north(levelUp == Vector3::UNIT_Z ? Vector3::UNIT_Y : Vector3::NEGATIVE_UNIT_Z),
              east(Vector3::UNIT_X)
        {
        }

        static const char* Name(int eighth)
        {
            static const char* const names[] = {"north", "north-east", "east", "south-east",
                                                "south", "south-west", "west", "north-west"};
            return names[((eighth % 8) + 8) % 8];
        }
        Vector3 Direction(int eighth) const
        {
            const Real angle = Real(eighth) * Math::PI / 4;
            return (north * std::cos(angle) + east * std::sin(angle)).normalisedCopy();
        }
        /// The nearest of the eight to a direction.
        int Eighth(const Vector3& direction) const
        {
            const Real angle = std::atan2(direction.dotProduct(east), direction.dotProduct(north));
            return int(std::lround(angle / (Math::PI / 4)));
        }
        Quaternion Looking(const Vector3& direction) const
        {
            const Vector3 back = -direction, right = direction.crossProduct(up).normalisedCopy();
            return Quaternion(right, back.crossProduct(right), back);
        }
        Real Along(const Vector3& point, const Vector3& axis) const { return point.dotProduct(axis); }
    };

    /// A place's ground footprint, and the height of a person's eye in it.
    struct Area
    {
        AxisAlignedBox box;
        Real eye = 0; ///< along up
        String zone;
    };

    std::vector<Vector3> Places(const std::vector<Area>& areas, const Compass& compass, Real step)
    {
        std::vector<Vector3> places;
        for (const Area& area : areas)
        {
            const Vector3 low = area.box.getMinimum(), high = area.box.getMaximum();
            const Real e0 = compass.Along(low, compass.east), e1 = compass.Along(high, compass.east);
            const Real n0 = std::min(compass.Along(low, compass.north), compass.Along(high, compass.north));
            const Real n1 = std::max(compass.Along(low, compass.north), compass.Along(high, compass.north));
            // Inside the walls: a tenth of the area in from each side.
            const Real inE = (e1 - e0) * 0.1f, inN = (n1 - n0) * 0.1f;
            std::vector<Vector3> own;
            for (Real e = e0 + inE + step / 2; e <= e1 - inE && own.size() < MAX_PLACES; e += step)
                for (Real n = n0 + inN + step / 2; n <= n1 - inN && own.size() < MAX_PLACES; n += step)
                    own.push_back(compass.east * e + compass.north * n + compass.up * area.eye);
            if (own.empty())
                own.push_back(compass.east * ((e0 + e1) / 2) + compass.north * ((n0 + n1) / 2) + compass.up * area.eye);
            places.insert(places.end(), own.begin(), own.end());
            if (places.size() >= MAX_PLACES)
                break;
        }
        return places;
    }

    Real Footprint(const AxisAlignedBox& box, const Compass& compass)
    {
        const Vector3 size = box.getSize();
        return std::abs(size.dotProduct(compass.east)) * std::abs(size.dotProduct(compass.north));
    }
}

String LevelSweep::PlaceText(const Vector3& at)
{
    auto number = [](Real value) {
        std::ostringstream text;
        text.precision(4);
        text << (std::abs(value) < 5e-4f ? 0 : value);
        return text.str();
    };
    return "(" + number(at.x) + ", " + number(at.y) + ", " + number(at.z) + ")";
}

LevelSweep LevelSweep::Of(SceneManager* sceneManager, const Tarnel::TarnelScene& scene, const SweepSettings& settings)
{
    Timer timer;
    LevelSweep sweep;
    auto* zones = static_cast<PCZSceneManager*>(sceneManager);
    const Compass compass(scene.GetUpAxisVector());
    sceneManager->getRootSceneNode()->_update(true, false);

    // The areas to stand in: each zone's enclosure, or the level's framed extent.
    std::vector<Area> areas;
    for (auto iterator = zones->getZoneIterator(); iterator.hasMoreElements();)
    {
        PCZone* zone = iterator.getNext();
        if (zone == zones->getDefaultZone() || !zone->getEnclosureNode())
            continue;
        ++sweep.levelZones;
        const AxisAlignedBox box = zone->getEnclosureNode()->_getWorldAABB();
        if (!box.isFinite())
            continue;
        const Real low = compass.Along(box.getMinimum(), compass.up), high = compass.Along(box.getMaximum(), compass.up);
        areas.push_back({box, low + (high - low) * 0.4f, zone->getName()});
    }
    Camera* camera = sceneManager->createCamera(CAMERA);
    SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode(String(CAMERA) + "Node");
    node->attachObject(camera);
    if (areas.empty())
    {
        const LevelExtent extent = LevelExtent::Choose(LevelExtent::DrawnItems(sceneManager, node), compass.up);
        if (!extent.bounds.isNull())
        {
            const Real low = compass.Along(extent.bounds.getMinimum(), compass.up);
            const Real high = compass.Along(extent.bounds.getMaximum(), compass.up);
            const Real across = extent.bounds.getSize().length();
            areas.push_back({extent.bounds, low + std::max((high - low) * 0.25f, across * 0.02f), ""});
        }
    }
    Real footprint = 0, size = 0;
    for (const Area& area : areas)
    {
        footprint += Footprint(area.box, compass);
        size = std::max(size, area.box.getSize().length());
    }
    sweep.step = settings.step > 0 ? settings.step
                                   : std::sqrt(std::max<Real>(footprint, 1e-6f) / Real(std::max<size_t>(settings.points, 1)));
    const std::vector<Vector3> places = Places(areas, compass, std::max(sweep.step, size * 1e-4f));

    // Drawn as the viewer draws, portals and all, into a small picture.
    TexturePtr texture = TextureManager::getSingleton().createManual(
        "Tarnel/SweepPicture", ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME, TEX_TYPE_2D, settings.width,
        settings.height, 0, PF_BYTE_RGB, TU_RENDERTARGET);
    RenderTarget* target = texture->getBuffer()->getRenderTarget();
    target->addViewport(camera)->setOverlaysEnabled(false);
    camera->setAspectRatio(Real(settings.width) / Real(settings.height));
    camera->setFOVy(Degree(60));
    sweep.nearClip = std::max<Real>(size * 1e-4f, 1e-3f);
    camera->setNearClipDistance(sweep.nearClip);
    camera->setFarClipDistance(0);
    Queued queued(sceneManager, camera);
    // Particles are left out, as the pictures leave them out: how many a frame draws depends on
    // the moment, and the same level must sweep alike.
    std::vector<std::pair<MovableObject*, bool>> particles;
    for (const auto& named : sceneManager->getMovableObjects("ParticleSystem"))
    {
        particles.emplace_back(named.second, named.second->getVisible());
        named.second->setVisible(false);
    }
    for (Camera* level : Tarnel::LevelCameras(sceneManager, scene, camera))
        queued.followed.erase(std::remove(queued.followed.begin(), queued.followed.end(), level), queued.followed.end());
    sweep.levelObjects = queued.followed.size();

    auto sample = [&](const Vector3& direction, const String& cameraName) {
        queued.objects.clear();
        queued.zones.clear();
        // A frame of its own: the zone manager places its nodes and portals once a frame, and
        // a render target drawn alone between frames misses what lies beyond the portals.
        Root::getSingleton().renderOneFrame();
        SweepSample taken;
        taken.position = camera->getDerivedPosition();
        taken.direction = direction;
        taken.looking = Compass::Name(compass.Eighth(direction));
        PCZone* zone = static_cast<PCZSceneNode*>(node)->getHomeZone();
        taken.zone = zone && zone != zones->getDefaultZone() ? zone->getName() : String();
        taken.camera = cameraName;
        taken.objects = queued.objects.size();
        taken.zones = size_t(std::count_if(queued.zones.begin(), queued.zones.end(),
                                           [zones](const PCZone* z) { return z && z != zones->getDefaultZone(); }));
        taken.triangles = target->getStatistics().triangleCount;
        taken.batches = target->getStatistics().batchCount;
        sweep.samples.push_back(taken);
    };
    for (const Vector3& place : places)
    {
        node->setPosition(place);
        Tarnel::Platform::PlaceInZone(node);
        for (int eighth = 0; eighth < 8; ++eighth)
        {
            node->setOrientation(compass.Looking(compass.Direction(eighth)));
            sample(compass.Direction(eighth), "");
        }
    }
    for (Camera* level : Tarnel::LevelCameras(sceneManager, scene, camera))
    {
        node->setOrientation(Quaternion::IDENTITY);
        Tarnel::LookThrough(camera, level);
        sample(camera->getDerivedDirection(), level->getName());
    }
    for (const auto& [system, visible] : particles)
        system->setVisible(visible);
    target->removeAllViewports();
    TextureManager::getSingleton().remove(texture);
    sceneManager->destroyCamera(camera);
    sweep.milliseconds = double(timer.getMicroseconds()) / 1000;
    return sweep;
}

void LevelSweep::Aim(Camera* camera, const SweepSample& sample, const Vector3& up) const
{
    const Compass compass(up);
    SceneNode* node = camera->getParentSceneNode();
    node->setPosition(sample.position);
    // A level camera looking straight up or down has no heading: turned from the view's own.
    const Vector3 flat = sample.direction - up * sample.direction.dotProduct(up);
    node->setOrientation(flat.isZeroLength() ? Vector3::NEGATIVE_UNIT_Z.getRotationTo(sample.direction)
                                             : compass.Looking(sample.direction.normalisedCopy()));
    camera->setFOVy(Degree(60));
    camera->setNearClipDistance(nearClip);
    camera->setFarClipDistance(0);
    Tarnel::Platform::PlaceInZone(node);
}

const SweepSample* LevelSweep::Worst(const String& zone) const
{
    const SweepSample* worst = nullptr;
    for (const SweepSample& sample : samples)
        if ((zone.empty() || sample.zone == zone) && (!worst || sample.triangles > worst->triangles))
            worst = &sample;
    return worst;
}

std::vector<const SweepSample*> LevelSweep::WorstByZone() const
{
    std::map<String, const SweepSample*> worst;
    for (const SweepSample& sample : samples)
    {
        const SweepSample*& kept = worst[sample.zone];
        if (!kept || sample.triangles > kept->triangles)
            kept = &sample;
    }
    std::vector<const SweepSample*> each;
    for (const auto& zone : worst)
        each.push_back(zone.second);
    return each;
}
