// Movable objects: what every kind shares, entities and what hangs on their bones.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Build/TarnelObjectBuilders.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    bool TarnelScene::LoadObject(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        if (!IsObject(element))
            return false;
        reading = element;
        // Named first: a duplicate is refused before any value is read, and values name it so.
        String name = GetNewObjectName(element, owner.node);
        std::unique_ptr<Types::ObjectParameters> object = ReadObject(element, name, Rules::SCENE);
        switch (object->objectType)
        {
        case Types::ENTITY: CreateEntity(static_cast<Types::EntityParameters&>(*object), element, owner); break;
        case Types::LIGHT: CreateLight(static_cast<const Types::LightParameters&>(*object), owner); break;
        case Types::CAMERA: CreateCamera(static_cast<const Types::CameraParameters&>(*object), owner); break;
        case Types::PARTICLE_SYSTEM:
            CreateParticleSystem(static_cast<const Types::ParticleSystemParameters&>(*object), owner);
            break;
        case Types::BILLBOARD_SET:
            CreateBillboardSet(static_cast<const Types::BillboardSetParameters&>(*object), owner);
            break;
        case Types::PLANE: CreatePlane(static_cast<Types::PlaneParameters&>(*object), owner); break;
        default: break;
        }
        return true;
    }

    void TarnelScene::CreateEntity(Types::EntityParameters& parameters, const TiXmlElement* element,
                                   const MovableObjectOwner& owner)
    {
        parameters.resourceGroupName = defaultResourceGroupName;
        Entity* entity = Objects::CreateEntity(sceneManager, parameters.name, parameters, defaultResourceGroupName,
                                               &loadTimes.meshes);
        owner.Attach(entity);
        // What hangs on the bones is made, in document order, once the entity hangs on its node;
        // only the last boneAttachments element counts.
        const TiXmlElement* boneAttachments = nullptr;
        for (const TiXmlElement* child = element->FirstChildElement("boneAttachments"); child;
             child = child->NextSiblingElement("boneAttachments"))
            boneAttachments = child;
        if (boneAttachments)
            LoadBoneAttachments(entity, boneAttachments);
        RegisterObject(parameters.name, entity, parameters.extraData);
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
            if (!LoadTransformChild(child, owner.attachPosition, owner.attachRotation, owner.attachScale) &&
                LoadObject(child, owner))
                attachedObject = true;
        }
        if (!attachedObject)
            owner.AttachEmpty();
    }
}
