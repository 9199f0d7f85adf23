// Batched geometry: instanced and static geometry built from placed copies of meshes.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Build/TarnelObjectBuilders.h"
#include "Tarnel/Check/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Build/TarnelInstancedGeometry.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Build/TarnelSceneGraph.h"

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
        /// The settings a batched geometry element gives before its entities.
        struct GeometrySettings
        {
            String name;
            bool castShadows = true;
            ObjectVisibility visibility = OBJECT_VISIBILITY_DEFAULT;
            bool renderQueueGiven = false;
            uint8 renderQueue = RENDER_QUEUE_MAIN;
            Real renderingDistance = 0;
            Vector3 origin = Vector3::ZERO;
            Vector3 dimensions = Vector3(1000000, 1000000, 1000000);
            const TiXmlElement* entities = nullptr;
        };

        GeometrySettings ReadGeometrySettings(const TiXmlElement* element)
        {
            GeometrySettings settings;
            settings.name = TarnelUtilities::GetStringAttribute(element, "name");
            settings.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
            settings.visibility = TarnelUtilities::GetVisibleAttribute(element);
            const String renderQueue = TarnelUtilities::GetStringAttribute(element, "renderQueue");
            settings.renderQueueGiven = !renderQueue.empty();
            if (settings.renderQueueGiven)
                settings.renderQueue = Domains::RenderQueue(element, "renderQueue", renderQueue);
            settings.renderingDistance = TarnelUtilities::GetRealAttribute(element, "renderingDistance", 0);
            for (const TiXmlElement* child = element->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "origin")
                    settings.origin = TarnelUtilities::LoadXYZ(child);
                else if (name == "dimensions")
                    settings.dimensions = Domains::RegionSize(child, TarnelUtilities::LoadXYZ(child), settings.dimensions);
                else if (name == "entities")
                    settings.entities = child;
            }
            return settings;
        }

        /// One placed copy of a mesh.
        struct GeometryEntity
        {
            String meshFile;
            Vector3 position = Vector3::ZERO;
            Quaternion orientation = Quaternion::IDENTITY;
            Vector3 scale = Vector3::UNIT_SCALE;
            SubentityMaterials subentities;
        };

        GeometryEntity ReadGeometryEntity(const TiXmlElement* element)
        {
            GeometryEntity entity;
            entity.meshFile = Objects::ReadMeshFile(element);
            for (const TiXmlElement* child = element->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "position")
                    entity.position = TarnelUtilities::LoadXYZ(child);
                else if (name == "rotation")
                {
                    // Baked into the batch as it is: the engine does not make it unit length here.
                    entity.orientation = TarnelUtilities::LoadRotation(child);
                    entity.orientation.normalise();
                }
                else if (name == "scale")
                    entity.scale = TarnelUtilities::LoadXYZ(child);
                else if (name == "subentities")
                    TarnelUtilities::LoadSubentities(child, entity.subentities);
            }
            return entity;
        }

        /** Adds each placed mesh of the entities element through a temporary entity
            of the given name, destroyed as soon as the geometry has copied it. */
        template <typename Geometry>
        void AddGeometryEntities(SceneManager* sceneManager, const String& group, Geometry* geometry,
                                 const TiXmlElement* entities,
                                 const String& temporaryName)
        {
            if (!entities)
                return;
            for (const TiXmlElement* element = entities->FirstChildElement("entity"); element;
                 element = element->NextSiblingElement("entity"))
            {
                GeometryEntity placed = ReadGeometryEntity(element);
                if (placed.meshFile.empty())
                    continue;
                Entity* entity =
                    TarnelUtilities::CreateEntity(sceneManager, temporaryName, placed.meshFile, placed.subentities, group);
                geometry->addEntity(entity, placed.position, placed.orientation, placed.scale);
                sceneManager->destroyEntity(entity);
            }
        }

        template <typename Geometry>
        void ApplyCommonGeometrySettings(Geometry* geometry, const GeometrySettings& settings)
        {
            geometry->setCastShadows(settings.castShadows);
            if (settings.visibility == OBJECT_VISIBLE)
                geometry->setVisible(true);
            else if (settings.visibility == OBJECT_HIDDEN)
                geometry->setVisible(false);
            geometry->setOrigin(settings.origin);
        }

        template <typename Geometry>
        void ApplyQueueAndDistance(Geometry* geometry, const GeometrySettings& settings)
        {
            if (settings.renderQueueGiven)
                geometry->setRenderQueueGroup(settings.renderQueue);
            geometry->setRenderingDistance(settings.renderingDistance);
        }
    }

    void TarnelScene::LoadInstancedGeometries(const TiXmlElement* element)
    {
        // Checked once for the whole section, before any geometry is made.
        const RenderSystemCapabilities* capabilities = Root::getSingleton().getRenderSystem()->getCapabilities();
        if (!capabilities->hasCapability(RSC_VERTEX_PROGRAM))
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS,
                          "Instanced geometry is not supported by the current render system and/or video card",
                          "TarnelScene::LoadInstancedGeometry", SCENE_SOURCE_FILE);

        for (const TiXmlElement* child = element->FirstChildElement("instancedGeometry"); child;
             child = child->NextSiblingElement("instancedGeometry"))
        {
            LoadInstancedGeometry(child);
        }
    }

    void TarnelScene::LoadInstancedGeometry(const TiXmlElement* element)
    {
        GeometrySettings settings = ReadGeometrySettings(element);
        unsigned int batchCount = TarnelUtilities::GetUIntAttribute(element, "batchCount", 0);
        TarnelUtilities::CheckRange(batchCount, 0, Limits::MAX_BATCH_INSTANCES,
                                    "The batchCount of instanced geometry " + settings.name,
                                    "TarnelScene::LoadInstancedGeometry");
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
        for (unsigned int i = 0; i < batchCount; ++i)
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

    void TarnelScene::LoadStaticGeometries(const TiXmlElement* element)
    {
        for (const TiXmlElement* child = element->FirstChildElement("staticGeometry"); child;
             child = child->NextSiblingElement("staticGeometry"))
        {
            LoadStaticGeometry(child);
        }
    }

    void TarnelScene::LoadStaticGeometry(const TiXmlElement* element)
    {
        GeometrySettings settings = ReadGeometrySettings(element);
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
