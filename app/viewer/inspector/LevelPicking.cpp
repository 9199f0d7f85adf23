// The object under a point of the view, by its triangles where it has them.
#include "LevelPicking.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreMesh.h>
#include <OgreParticleSystem.h>
#include <OgrePortal.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <array>
#include <limits>
#include <limits>

using namespace Ogre;

namespace
{
    /// The positions of a vertex data's vertices, in the order of their index.
    std::vector<Vector3> Positions(const VertexData* vertices)
    {
        std::vector<Vector3> positions;
        const VertexElement* element = vertices ? vertices->vertexDeclaration->findElementBySemantic(VES_POSITION)
                                                : nullptr;
        if (!element)
            return positions;
        HardwareVertexBufferSharedPtr buffer = vertices->vertexBufferBinding->getBuffer(element->getSource());
        HardwareBufferLockGuard lock(buffer, HardwareBuffer::HBL_READ_ONLY);
        const unsigned char* vertex = static_cast<const unsigned char*>(lock.pData) +
                                      vertices->vertexStart * buffer->getVertexSize();
        positions.reserve(vertices->vertexCount);
        for (size_t i = 0; i < vertices->vertexCount; ++i, vertex += buffer->getVertexSize())
        {
            float* position = nullptr;
            element->baseVertexPointerToElement(const_cast<unsigned char*>(vertex), &position);
            positions.emplace_back(position[0], position[1], position[2]);
        }
        return positions;
    }

    /// The nearest meeting of the ray with the sub-mesh's triangles in world space; negative for none.
    Real MeetSubMesh(const Ray& ray, const SubMesh* subMesh, const Matrix4& toWorld)
    {
        const IndexData* indices = subMesh->indexData;
        if (subMesh->operationType != RenderOperation::OT_TRIANGLE_LIST || !indices || !indices->indexBuffer ||
            indices->indexCount < 3)
            return -1;
        const VertexData* vertexData =
            subMesh->useSharedVertices ? subMesh->parent->sharedVertexData : subMesh->vertexData;
        std::vector<Vector3> positions = Positions(vertexData);
        for (Vector3& position : positions)
            position = toWorld * position;
        HardwareIndexBufferSharedPtr buffer = indices->indexBuffer;
        HardwareBufferLockGuard lock(buffer, HardwareBuffer::HBL_READ_ONLY);
        const bool wide = buffer->getType() == HardwareIndexBuffer::IT_32BIT;
        auto index = [&](size_t i) -> size_t {
            return wide ? static_cast<const uint32*>(lock.pData)[indices->indexStart + i]
                        : static_cast<const uint16*>(lock.pData)[indices->indexStart + i];
        };
        Real nearest = -1;
        for (size_t i = 0; i + 2 < indices->indexCount; i += 3)
        {
            const size_t a = index(i), b = index(i + 1), c = index(i + 2);
            if (a >= positions.size() || b >= positions.size() || c >= positions.size())
                continue; // an index past the vertices is the mesh's fault, not a triangle
            // Either side: a plane seen from behind, an inside wall.
            std::pair<bool, Real> met = Math::intersects(ray, positions[a], positions[b], positions[c], true, true);
            if (met.first && (nearest < 0 || met.second < nearest))
                nearest = met.second;
        }
        return nearest;
    }

    /// The nearest billboard the ray meets, each a ball as large as its larger side; negative for none.
    Real MeetBillboards(const Ray& ray, BillboardSet* set)
    {
        const Matrix4 toWorld = set->getBillboardsInWorldSpace() ? Matrix4::IDENTITY
                                                                 : set->getParentNode()->_getFullTransform();
        const Vector3 scaled = set->getParentNode()->_getDerivedScale();
        const Real scale = set->getBillboardsInWorldSpace() ? 1 : std::max({scaled.x, scaled.y, scaled.z});
        Real nearest = -1;
        for (int index = 0; index < set->getNumBillboards(); ++index)
        {
            const Billboard* billboard = set->getBillboard(index);
            const Real width = billboard->hasOwnDimensions() ? billboard->getOwnWidth() : set->getDefaultWidth();
            const Real height = billboard->hasOwnDimensions() ? billboard->getOwnHeight() : set->getDefaultHeight();
            std::pair<bool, Real> met =
                ray.intersects(Sphere(toWorld * billboard->getPosition(), std::max(width, height) * scale / 2));
            if (met.first && (nearest < 0 || met.second < nearest))
                nearest = met.second;
        }
        return nearest;
    }

    bool Pickable(const MovableObject* object, const Camera* viewer)
    {
        return object->isInScene() && object->isVisible() && object != viewer && object->getName() != "CamLight" &&
               object->getName().compare(0, 7, "Tarnel/") != 0;
    }
}

Real LevelPicking::MeetTriangles(const Ray& ray, const Entity* entity)
{
    if (!ray.intersects(entity->getWorldBoundingBox(true)).first)
        return -1;
    const Matrix4 toWorld = entity->getParentNode()->_getFullTransform();
    Real nearest = -1;
    for (const SubMesh* subMesh : entity->getMesh()->getSubMeshes())
    {
        Real met = MeetSubMesh(ray, subMesh, toWorld);
        if (met >= 0 && (nearest < 0 || met < nearest))
            nearest = met;
    }
    return nearest;
}

Real LevelPicking::MeetPortalOutline(const Ray& ray, Portal* portal)
{
    portal->updateDerivedValues();
    Vector3 c[4];
    for (int corner = 0; corner < 4; ++corner)
        c[corner] = portal->getDerivedCorner(corner);
    Real met = -1;
    for (const auto& triangle : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}})
    {
        std::pair<bool, Real> hit = Math::intersects(ray, c[triangle[0]], c[triangle[1]], c[triangle[2]], true, true);
        if (hit.first && (met < 0 || hit.second < met))
            met = hit.second;
    }
    if (met < 0)
        return -1;
    // Near an edge: its distance from the nearest of the four lines round it.
    const Vector3 at = ray.getPoint(met);
    Real nearest = std::numeric_limits<Real>::max();
    for (int edge = 0; edge < 4; ++edge)
    {
        const Vector3 from = c[edge], along = c[(edge + 1) % 4] - from;
        const Real t = along.isZeroLength() ? 0 : Math::Clamp<Real>((at - from).dotProduct(along) / along.squaredLength(), 0, 1);
        nearest = std::min(nearest, at.distance(from + along * t));
    }
    return nearest <= portal->getRadius() * 0.1f ? met : -1;
}

MovableObject* LevelPicking::Pick(SceneManager* sceneManager, const Ray& ray, Real markerRadius,
                                  const Camera* viewer, const std::vector<Portal*>& portals)
{
    MovableObject* picked = nullptr;
    Real nearest = std::numeric_limits<Real>::max();
    auto consider = [&](MovableObject* object, Real distance) {
        if (distance >= 0 && distance < nearest)
            nearest = distance, picked = object;
    };
    // The zone scene manager's lights are of a type of their own.
    for (const char* type : {"Entity", "Light", "PCZLight", "Camera", "ParticleSystem", "BillboardSet"})
    {
        for (const auto& [name, object] : sceneManager->getMovableObjects(type))
        {
            if (!Pickable(object, viewer))
                continue;
            const String kind = type;
            if (kind == "Entity")
                consider(object, MeetTriangles(ray, static_cast<Entity*>(object)));
            else if (kind == "Light" || kind == "PCZLight" || kind == "Camera")
            {
                const Vector3 at = kind == "Camera" ? static_cast<Camera*>(object)->getDerivedPosition()
                                                    : static_cast<Light*>(object)->getDerivedPosition();
                std::pair<bool, Real> met = ray.intersects(Sphere(at, markerRadius));
                if (met.first)
                    consider(object, met.second);
            }
            else if (kind == "BillboardSet")
                consider(object, MeetBillboards(ray, static_cast<BillboardSet*>(object)));
            else
            {
                // A cloud of particles is where its middle is: a camera inside it meets its box at once.
                const AxisAlignedBox& box = object->getWorldBoundingBox(true);
                if (box.isFinite() && ray.intersects(box).first)
                    consider(object, std::max(Real(0), (box.getCenter() - ray.getOrigin()).dotProduct(ray.getDirection())));
            }
        }
    }
    for (Portal* portal : portals)
        consider(portal, MeetPortalOutline(ray, portal));
    return picked;
}
