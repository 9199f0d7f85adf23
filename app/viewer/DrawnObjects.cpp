// What the portal system draws from the camera, and a freeze of it.
#include "DrawnObjects.h"
#include "PortalOutlines.h"

#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreManualObject.h>
#include <OgreMesh.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreRenderQueue.h>
#include <OgreRoot.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreViewport.h>

using namespace Ogre;

const ColourValue DrawnObjects::FRUSTUM(1, 0.9f, 0.1f);
const ColourValue DrawnObjects::PORTAL(0.1f, 0.9f, 1);

namespace
{
    const char* const LINES = "Tarnel/FrozenView";
    const char* const CAPTURE = "Tarnel/FrozenViewCamera";

    size_t TrianglesOf(const MovableObject* object)
    {
        const auto* entity = dynamic_cast<const Entity*>(object);
        if (!entity || !entity->getMesh())
            return 0;
        size_t count = 0;
        for (const SubMesh* subMesh : entity->getMesh()->getSubMeshes())
        {
            if (subMesh->operationType == RenderOperation::OT_TRIANGLE_LIST && subMesh->indexData)
                count += subMesh->indexData->indexCount / 3;
            else if (subMesh->indexData && subMesh->indexData->indexCount >= 3)
                count += subMesh->indexData->indexCount - 2;
        }
        return count;
    }
}

DrawnObjects::~DrawnObjects()
{
    Detach();
}

PCZone* DrawnObjects::ZoneOf(const MovableObject* object)
{
    auto* node = static_cast<PCZSceneNode*>(object->getParentSceneNode());
    return node ? node->getHomeZone() : nullptr;
}

void DrawnObjects::Attach(SceneManager* manager, Camera* viewCamera, const std::vector<Portal*>& levelPortals)
{
    Detach();
    sceneManager = manager;
    camera = viewCamera;
    portals = levelPortals;
    // Every object that can be drawn, as the level made it: lights and cameras draw nothing.
    for (const auto& factory : Root::getSingleton().getMovableObjectFactories())
    {
        const String& type = factory.first;
        if (type == "Light" || type == "Camera")
            continue;
        for (const auto& named : sceneManager->getMovableObjects(type))
        {
            if (PortalOutlines::IsTool(named.second))
                continue;
            named.second->setListener(this);
            triangles[named.second] = TrianglesOf(named.second);
        }
    }
    levelZones = 0;
    auto* zones = static_cast<PCZSceneManager*>(sceneManager);
    for (auto iterator = zones->getZoneIterator(); iterator.hasMoreElements();)
        levelZones += iterator.getNext() != zones->getDefaultZone();
    sceneManager->addListener(this);
    lastFrame = Count({});
    if (frozen)
    {
        Freeze(); // again, at the same place, in this level
        LogManager::getSingleton().logMessage("Frozen again in the level as loaded now: " +
                                              std::to_string(frozenCounts.objects) + " of " +
                                              std::to_string(frozenCounts.levelObjects) + " objects");
    }
}

void DrawnObjects::Detach()
{
    if (!sceneManager)
        return;
    for (const auto& followed : triangles)
        const_cast<MovableObject*>(followed.first)->setListener(nullptr);
    triangles.clear();
    sceneManager->removeListener(this);
    // The lines and the camera of a freeze go with their scene manager; a level kept after a
    // failed reload finds them again by name.
    lines = nullptr;
    frozenSet.clear();
    drawing.clear();
    sceneManager = nullptr;
    camera = nullptr;
}

DrawnObjects::Counts DrawnObjects::Count(const std::set<const MovableObject*>& objects) const
{
    Counts counts;
    std::set<const PCZone*> zones;
    for (const MovableObject* object : objects)
    {
        auto followed = triangles.find(object);
        if (followed == triangles.end())
            continue;
        ++counts.objects;
        counts.triangles += followed->second;
        if (const PCZone* zone = ZoneOf(object))
            if (zone != static_cast<PCZSceneManager*>(sceneManager)->getDefaultZone())
                zones.insert(zone);
    }
    counts.zones = zones.size();
    counts.levelZones = levelZones;
    counts.levelObjects = triangles.size();
    for (const auto& followed : triangles)
        counts.levelTriangles += followed.second;
    return counts;
}

bool DrawnObjects::objectRendering(const MovableObject* object, const Camera* by)
{
    // Asked before the engine looks whether it is shown: a hidden one is not drawn.
    if (captureCamera && by == captureCamera)
    {
        if (object->getVisible())
            frozenSet.insert(object);
        return true;
    }
    if (by != camera)
        return true; // shadows, reflections, pictures: as they are
    if (frozen && !frozenSet.count(object))
        return false;
    if (object->getVisible())
        drawing.insert(object);
    return true;
}

void DrawnObjects::sceneManagerDestroyed(SceneManager* destroyed)
{
    // Gone without a detach: nothing of it is followed any more.
    if (destroyed != sceneManager)
        return;
    triangles.clear();
    frozenSet.clear();
    drawing.clear();
    lines = nullptr;
    sceneManager = nullptr;
    camera = nullptr;
}

void DrawnObjects::preFindVisibleObjects(SceneManager*, SceneManager::IlluminationRenderStage stage, Viewport* viewport)
{
    if (stage != SceneManager::IRS_RENDER_TO_TEXTURE && viewport->getCamera() == camera)
        drawing.clear();
}

void DrawnObjects::postFindVisibleObjects(SceneManager*, SceneManager::IlluminationRenderStage stage,
                                          Viewport* viewport)
{
    if (stage == SceneManager::IRS_RENDER_TO_TEXTURE || viewport->getCamera() != camera)
        return;
    if (frozen)
    {
        // The frozen set is drawn wherever the camera is: what the portals of here would hide too.
        RenderQueue* queue = sceneManager->getRenderQueue();
        for (const MovableObject* object : frozenSet)
        {
            if (drawing.count(object) || !triangles.count(object))
                continue;
            auto* movable = const_cast<MovableObject*>(object);
            if (!movable->isInScene())
                continue;
            movable->_notifyCurrentCamera(camera);
            if (movable->isVisible())
                movable->_updateRenderQueue(queue);
        }
        if (lines)
        {
            lines->_notifyCurrentCamera(camera);
            lines->_updateRenderQueue(queue);
        }
    }
    lastFrame = Count(drawing);
}

void DrawnObjects::Freeze()
{
    if (!sceneManager)
        return;
    if (!frozen)
    {
        pose = {camera->getDerivedPosition(), camera->getDerivedOrientation(),
                camera->getFOVy(), camera->getAspectRatio(), camera->getNearClipDistance(),
                camera->getFarClipDistance()};
    }
    frozen = true;
    Capture();
    BuildLines();
    frozenCounts = Count(frozenSet);
}

void DrawnObjects::Thaw()
{
    frozen = false;
    frozenSet.clear();
    if (lines)
        lines->clear();
}

void DrawnObjects::Capture()
{
    Camera* capture = sceneManager->hasCamera(CAPTURE) ? sceneManager->getCamera(CAPTURE)
                                                       : sceneManager->createCamera(CAPTURE);
    if (!capture->getParentSceneNode())
        sceneManager->getRootSceneNode()->createChildSceneNode(CAPTURE)->attachObject(capture);
    SceneNode* node = capture->getParentSceneNode();
    node->setPosition(pose.position);
    node->setOrientation(pose.orientation);
    capture->setFOVy(pose.fovY);
    capture->setAspectRatio(pose.aspect);
    capture->setNearClipDistance(pose.nearClip);
    capture->setFarClipDistance(pose.farClip);
    Tarnel::Platform::PlaceInZone(node);
    // The engine's own search, portals and all, without drawing: what it queues is the set.
    frozenSet.clear();
    captureCamera = capture;
    VisibleObjectsBoundsInfo bounds;
    sceneManager->_findVisibleObjects(capture, &bounds, false);
    captureCamera = nullptr;
    sceneManager->getRenderQueue()->clear();
}

void DrawnObjects::BuildLines()
{
    if (!lines && sceneManager->hasManualObject(LINES))
        lines = sceneManager->getManualObject(LINES);
    if (!lines)
    {
        lines = sceneManager->createManualObject(LINES);
        lines->setCastShadows(false);
        PortalOutlines::MarkAsTool(lines);
        lines->setRenderQueueGroup(RENDER_QUEUE_OVERLAY - 1);
        // Never found by the engine's own search: drawn only by the freeze, wherever the camera is.
        lines->setVisible(false);
        sceneManager->createSceneNode(LINES)->attachObject(lines);
    }
    lines->clear();
    Camera* capture = sceneManager->getCamera(CAPTURE);
    // As deep as what it saw, so that the lines end where the frozen view ended.
    Real depth = pose.nearClip * 10;
    for (const MovableObject* object : frozenSet)
    {
        const AxisAlignedBox& box = object->getWorldBoundingBox(true);
        if (box.isFinite())
            depth = std::max(depth, (box.getCenter() - pose.position).length() + box.getHalfSize().length());
    }
    if (pose.farClip > 0)
        depth = std::min(depth, pose.farClip);
    const Frustum::Corners& corners = capture->getWorldSpaceCorners(); // the near plane's first four
    lines->begin("Tarnel/PortalOutline", RenderOperation::OT_LINE_LIST);
    auto line = [this](const Vector3& from, const Vector3& to, const ColourValue& colour) {
        lines->position(from);
        lines->colour(colour);
        lines->position(to);
        lines->colour(colour);
    };
    Vector3 far[4];
    for (int i = 0; i < 4; ++i)
    {
        const Vector3 ray = (corners[i] - pose.position).normalisedCopy();
        // From the near corner's own depth along the view, as far as the deepest object.
        const Real along = (corners[i] - pose.position).dotProduct(capture->getDerivedDirection());
        far[i] = pose.position + ray * (depth * (corners[i] - pose.position).length() / std::max<Real>(along, 1e-6f));
        line(pose.position, far[i], FRUSTUM);
    }
    for (int i = 0; i < 4; ++i)
    {
        line(far[i], far[(i + 1) % 4], FRUSTUM);
        line(corners[i], corners[(i + 1) % 4], FRUSTUM);
    }
    // The portals it looked through: facing it, in its view, between two zones it drew.
    std::set<const PCZone*> seen;
    for (const MovableObject* object : frozenSet)
        seen.insert(ZoneOf(object));
    for (Portal* portal : portals)
    {
        portal->updateDerivedValues();
        const bool between = seen.count(portal->getCurrentHomeZone()) && seen.count(portal->getTargetZone());
        const bool facing = portal->getDerivedDirection().dotProduct(pose.position - portal->getDerivedCP()) > 0;
        if (!between || !facing || !capture->isVisible(Sphere(portal->getDerivedCP(), portal->getRadius())))
            continue;
        for (int corner = 0; corner < 4; ++corner)
            line(portal->getDerivedCorner(corner), portal->getDerivedCorner((corner + 1) % 4), PORTAL);
    }
    lines->end();
}
