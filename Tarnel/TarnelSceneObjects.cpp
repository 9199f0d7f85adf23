// Movable objects: what every kind shares, entities and what hangs on their bones.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelObjectReading.h"
#include "Tarnel/TarnelUtilities.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::ObjectReading;

namespace Tarnel
{
    void ObjectReading::ReadCommonAttributes(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        parameters.queryFlags = TarnelUtilities::GetUIntAttribute(element, "queryFlags", 0);
        parameters.visibilityFlags = TarnelUtilities::GetUIntAttribute(element, "visibilityFlags", 0);
        parameters.visibility = TarnelUtilities::GetVisibleAttribute(element);
    }

    void ObjectReading::ApplyCommonSettings(MovableObject* object, const Types::ObjectParameters& parameters)
    {
        if (parameters.queryFlags != 0)
            object->setQueryFlags(parameters.queryFlags);
        if (parameters.visibilityFlags != 0)
            object->setVisibilityFlags(parameters.visibilityFlags);
        if (parameters.visibility == OBJECT_VISIBLE)
            object->setVisible(true);
        else if (parameters.visibility == OBJECT_HIDDEN)
            object->setVisible(false);
    }

    void ObjectReading::ReadQueueAndDistance(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        parameters.renderQueue =
            TarnelUtilities::ParseRenderQueue(TarnelUtilities::GetStringAttribute(element, "renderQueue"));
        parameters.renderingDistance = TarnelUtilities::GetRealAttribute(element, "renderingDistance", 0);
    }

    void ObjectReading::ApplyQueueAndDistance(MovableObject* object, const Types::ObjectParameters& parameters)
    {
        object->setRenderQueueGroup(parameters.renderQueue);
        object->setRenderingDistance(parameters.renderingDistance);
    }

    bool ObjectReading::LoadExtraDataChild(const TiXmlElement* child, Types::ObjectExtraData& extraData)
    {
        if (TarnelUtilities::LoadUserDataElement(child, extraData))
            return true;
        if (child->ValueStr() != "noteTracks")
            return false;
        extraData.noteTracks = std::make_shared<Types::NoteTracks>();
        TarnelUtilities::LoadNoteTracks(child, *extraData.noteTracks);
        return true;
    }

    Types::ObjectExtraDataPtr TarnelScene::BeginObject(const TiXmlElement* element, const MovableObjectOwner& owner,
                                                       Types::ObjectParameters& parameters) const
    {
        parameters.name = GetNewObjectName(element, owner.node);
        ReadCommonAttributes(element, parameters);
        Types::ObjectExtraDataPtr extraData = std::make_shared<Types::ObjectExtraData>();
        extraData->id = TarnelUtilities::GetStringAttribute(element, "id");
        return extraData;
    }

    bool TarnelScene::LoadObject(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        const String& kind = element->ValueStr();
        if (kind == "entity")
            LoadEntity(element, owner);
        else if (kind == "light")
            LoadLight(element, owner);
        else if (kind == "camera")
            LoadCamera(element, owner);
        else if (kind == "particleSystem")
            LoadParticleSystem(element, owner);
        else if (kind == "billboardSet")
            LoadBillboardSet(element, owner);
        else if (kind == "plane")
            LoadPlane(element, owner);
        else
            return false;
        return true;
    }

    void TarnelScene::LoadEntity(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::EntityParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadQueueAndDistance(element, parameters);
        parameters.meshFile = TarnelUtilities::GetStringAttribute(element, "meshFile");
        parameters.materialFile = TarnelUtilities::GetStringAttribute(element, "materialFile");
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
        parameters.resourceGroupName = defaultResourceGroupName;
        extraData->receiveShadows = TarnelUtilities::GetBoolAttribute(element, "receiveShadows", true);

        const TiXmlElement* boneAttachments = nullptr;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (LoadExtraDataChild(child, *extraData))
                continue;
            if (name == "vertexBuffer")
                TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
            else if (name == "indexBuffer")
                TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
            else if (name == "customParameters")
                TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
            else if (name == "subentities")
                TarnelUtilities::LoadSubentities(child, parameters.subentities);
            else if (name == "boneAttachments")
                boneAttachments = child;
        }
        parameters.extraData = extraData;

        MeshManager::getSingleton().load(parameters.meshFile, parameters.resourceGroupName,
                                         parameters.vertexBufferUsage, parameters.indexBufferUsage,
                                         parameters.vertexBufferShadowed, parameters.indexBufferShadowed);
        Entity* entity = sceneManager->createEntity(parameters.name, parameters.meshFile);

        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.materialFile.empty())
            entity->setMaterialName(parameters.materialFile);
        extraData->object = entity;

        // Sub-entity materials win over the whole-entity material for their indices.
        for (size_t i = 0; i < entity->getNumSubEntities() && i < parameters.subentities.size(); ++i)
        {
            if (!parameters.subentities[i].empty())
                entity->getSubEntity(i)->setMaterialName(parameters.subentities[i]);
        }

        owner.Attach(entity);
        if (boneAttachments)
            LoadBoneAttachments(entity, boneAttachments);
        RegisterObject(parameters.name, entity, extraData);
    }

    void TarnelScene::LoadBoneAttachments(Entity* entity, const TiXmlElement* element)
    {
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            LoadBoneAttachment(child, entity);
    }

    void TarnelScene::LoadBoneAttachment(const TiXmlElement* element, Entity* entity)
    {
        MovableObjectOwner owner(entity, TarnelUtilities::GetStringAttribute(element, "bone"), Vector3::ZERO,
                                 Quaternion::IDENTITY, Vector3::UNIT_SCALE);
        bool attachedObject = false;
        // In document order: an offset applies only to the objects after it.
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (name == "position")
                owner.attachPosition = TarnelUtilities::LoadXYZ(child);
            else if (name == "scale")
                owner.attachScale = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
                owner.attachRotation = TarnelUtilities::LoadRotation(child);
            else if (LoadObject(child, owner))
                attachedObject = true;
        }
        if (!attachedObject)
            owner.AttachEmpty();
    }
}
