// Movable objects: what every kind shares, entities and what hangs on their bones.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelReaders.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    Types::ObjectExtraDataPtr TarnelScene::BeginObject(const TiXmlElement* element, const MovableObjectOwner& owner,
                                                       Types::ObjectParameters& parameters) const
    {
        parameters.name = GetNewObjectName(element, owner.node);
        ReadCommonAttributes(element, parameters);
        Types::ObjectExtraDataPtr extraData = std::make_shared<Types::ObjectExtraData>();
        extraData->id = Readers::GetStringAttribute(element, "id");
        return extraData;
    }

    bool TarnelScene::LoadObject(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        std::string_view kind = element->ValueStr();
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
        ReadEntityAttributes(element, parameters);
        parameters.resourceGroupName = defaultResourceGroupName;
        extraData->receiveShadows = Readers::GetBoolAttribute(element, "receiveShadows", true);

        const TiXmlElement* boneAttachments = nullptr;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (LoadExtraDataChild(child, *extraData) || LoadEntityChild(child, parameters))
                continue;
            if (child->ValueStr() == "boneAttachments")
                boneAttachments = child;
        }
        parameters.extraData = extraData;

        Entity* entity = CreateEntity(sceneManager, parameters.name, parameters, defaultResourceGroupName);
        owner.Attach(entity);
        // What hangs on the bones is made, in document order, once the entity hangs on its node.
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
        MovableObjectOwner owner(entity, Readers::GetStringAttribute(element, "bone"), Vector3::ZERO,
                                 Quaternion::IDENTITY, Vector3::UNIT_SCALE);
        bool attachedObject = false;
        // In document order: an offset applies only to the objects after it.
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (!LoadAttachmentOffset(child, owner.attachPosition, owner.attachRotation, owner.attachScale) &&
                LoadObject(child, owner))
                attachedObject = true;
        }
        if (!attachedObject)
            owner.AttachEmpty();
    }
}
