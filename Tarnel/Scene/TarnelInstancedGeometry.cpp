#include "Tarnel/Scene/TarnelInstancedGeometry.h"
#include "Tarnel/Engine/TarnelPlatform.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreStaticGeometry.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>

using namespace Ogre;

namespace Tarnel
{
    TarnelInstancedGeometry::TarnelInstancedGeometry(SceneManager* sceneManager, const String& name)
        : sceneManager(sceneManager), name(name)
    {
    }

    void TarnelInstancedGeometry::setRenderQueueGroup(uint8 queue)
    {
        renderQueue = queue;
        renderQueueSet = true;
    }

    void TarnelInstancedGeometry::addEntity(Entity* entity, const Vector3& position, const Quaternion& orientation,
                                            const Vector3& scale)
    {
        PlacedMesh mesh;
        mesh.meshName = entity->getMesh()->getName();
        mesh.group = entity->getMesh()->getGroup();
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            mesh.materials.push_back(entity->getSubEntity(i)->getMaterialName());
        mesh.position = position;
        mesh.orientation = orientation;
        mesh.scale = scale;
        placed.push_back(mesh);
    }

    void TarnelInstancedGeometry::build()
    {
        batches.push_back(BakeBatch(BatchName(0)));
    }

    void TarnelInstancedGeometry::addBatchInstance()
    {
        batches.push_back(BakeBatch(BatchName(batches.size())));
    }

    String TarnelInstancedGeometry::BatchName(size_t index) const
    {
        // Apart from the names of static geometry, which the format keeps separate.
        return "InstancedGeometry/" + name + "/" + StringConverter::toString(index);
    }

    StaticGeometry* TarnelInstancedGeometry::BakeBatch(const String& batchName)
    {
        StaticGeometry* batch = sceneManager->createStaticGeometry(batchName);
        batch->setCastShadows(castShadows);
        batch->setVisible(visible);
        batch->setOrigin(origin);
        batch->setRegionDimensions(dimensions);
        if (renderQueueSet)
            batch->setRenderQueueGroup(renderQueue);
        batch->setRenderingDistance(renderingDistance);
        for (const PlacedMesh& mesh : placed)
        {
            // The engine bakes from entities: a short-lived one per placed mesh.
            Entity* entity = sceneManager->createEntity(MeshManager::getSingleton().getByName(mesh.meshName, mesh.group));
            for (size_t i = 0; i < entity->getNumSubEntities() && i < mesh.materials.size(); ++i)
                entity->getSubEntity(i)->setMaterialName(mesh.materials[i], mesh.group);
            batch->addEntity(entity, mesh.position, mesh.orientation, mesh.scale);
            sceneManager->destroyEntity(entity);
        }
        batch->build();
        Platform::MakeStaticGeometryDestroyable(sceneManager, batch);
        return batch;
    }
}
