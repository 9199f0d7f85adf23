// Batched geometry: instanced and static geometry built from placed copies of meshes.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Scene/TarnelInstancedGeometry.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

#include <OgreRenderSystem.h>
#include <OgreRenderSystemCapabilities.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreStaticGeometry.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /** Adds each placed mesh through a temporary entity of the given name, destroyed as
            soon as the geometry has copied it. */
        template <typename Geometry>
        void AddGeometryEntities(SceneManager* sceneManager, const String& group, Geometry* geometry,
                                 const std::vector<GeometryEntity>& entities, const String& temporaryName)
        {
            for (const GeometryEntity& placed : entities)
            {
                Entity* entity =
                    TarnelUtilities::CreateEntity(sceneManager, temporaryName, placed.meshFile, placed.subentities, group);
                geometry->addEntity(entity, placed.position, placed.orientation, placed.scale);
                sceneManager->destroyEntity(entity);
            }
        }

        template <typename Geometry>
        void ApplyCommonGeometrySettings(Geometry* geometry, const GeometryDescription& settings)
        {
            geometry->setCastShadows(settings.castShadows);
            if (settings.visibility == OBJECT_VISIBLE)
                geometry->setVisible(true);
            else if (settings.visibility == OBJECT_HIDDEN)
                geometry->setVisible(false);
            geometry->setOrigin(settings.origin);
        }

        template <typename Geometry>
        void ApplyQueueAndDistance(Geometry* geometry, const GeometryDescription& settings)
        {
            if (settings.renderQueue)
                geometry->setRenderQueueGroup(*settings.renderQueue);
            geometry->setRenderingDistance(settings.renderingDistance);
        }
    }

    void TarnelScene::LoadInstancedGeometries(const std::vector<GeometryDescription>& geometries)
    {
        // Checked once for the whole section, before any geometry is made.
        const RenderSystemCapabilities* capabilities = Root::getSingleton().getRenderSystem()->getCapabilities();
        if (!capabilities->hasCapability(RSC_VERTEX_PROGRAM))
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS,
                          "Instanced geometry is not supported by the current render system and/or video card",
                          "TarnelScene::LoadInstancedGeometry", SCENE_SOURCE_FILE);

        for (const GeometryDescription& geometry : geometries)
            LoadInstancedGeometry(geometry);
    }

    void TarnelScene::LoadInstancedGeometry(const GeometryDescription& settings)
    {
        if (GetInstancedGeometry(settings.name))
            TARNEL_EXCEPT(Exception::ERR_DUPLICATE_ITEM,
                          "InstancedGeometry with name '" + settings.name + "' already exists!",
                          "TarnelScene::LoadInstancedGeometry", SCENE_SOURCE_FILE);
        instancedGeometries.emplace_back(new TarnelInstancedGeometry(sceneManager, settings.name));
        TarnelInstancedGeometry* geometry = instancedGeometries.back().get();
        ApplyCommonGeometrySettings(geometry, settings);
        geometry->setBatchInstanceDimensions(settings.dimensions);
        ApplyQueueAndDistance(geometry, settings);
        AddGeometryEntities(sceneManager, defaultResourceGroupName, geometry, settings.entities,
                            "__instancedGeometryEntity");
        geometry->build();
        for (unsigned int i = 0; i < settings.batchCount; ++i)
            geometry->addBatchInstance();
    }

    TarnelInstancedGeometry* TarnelScene::GetInstancedGeometry(const String& name) const
    {
        for (const auto& geometry : instancedGeometries)
        {
            if (geometry->getName() == name)
                return geometry.get();
        }
        return nullptr;
    }

    void TarnelScene::LoadStaticGeometries(const std::vector<GeometryDescription>& geometries)
    {
        for (const GeometryDescription& geometry : geometries)
            LoadStaticGeometry(geometry);
    }

    void TarnelScene::LoadStaticGeometry(const GeometryDescription& settings)
    {
        StaticGeometry* geometry = sceneManager->createStaticGeometry(settings.name);
        ApplyCommonGeometrySettings(geometry, settings);
        geometry->setRegionDimensions(settings.dimensions);
        ApplyQueueAndDistance(geometry, settings);
        AddGeometryEntities(sceneManager, defaultResourceGroupName, geometry, settings.entities,
                            "__staticGeometryEntity");
        geometry->build();
        Platform::MakeStaticGeometryDestroyable(sceneManager, geometry);
    }
}
