// Movable objects: what every kind shares, entities and what hangs on their bones.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    namespace
    {
        const char* ElementOf(Types::ObjectType type)
        {
            switch (type)
            {
            case Types::ENTITY: return "entity";
            case Types::LIGHT: return "light";
            case Types::CAMERA: return "camera";
            case Types::PARTICLE_SYSTEM: return "particleSystem";
            case Types::BILLBOARD_SET: return "billboardSet";
            case Types::PLANE: return "plane";
            default: return "object";
            }
        }
    }

    void TarnelScene::BuildObject(const Types::ObjectParameters& object, const MovableObjectOwner& owner)
    {
        Building(object.line, ElementOf(object.objectType), object.name);
        // An unnamed object takes its node's name as built, renamed or not.
        const String name = GetNewObjectName(object.namedByNode ? String() : object.name, owner.node);
        switch (object.objectType)
        {
        case Types::ENTITY: CreateEntity(static_cast<const Types::EntityParameters&>(object), name, owner); break;
        case Types::LIGHT: CreateLight(static_cast<const Types::LightParameters&>(object), name, owner); break;
        case Types::CAMERA: CreateCamera(static_cast<const Types::CameraParameters&>(object), name, owner); break;
        case Types::PARTICLE_SYSTEM:
            CreateParticleSystem(static_cast<const Types::ParticleSystemParameters&>(object), name, owner);
            break;
        case Types::BILLBOARD_SET:
            CreateBillboardSet(static_cast<const Types::BillboardSetParameters&>(object), name, owner);
            break;
        case Types::PLANE: CreatePlane(static_cast<const Types::PlaneParameters&>(object), name, owner); break;
        default: break;
        }
    }

    String TarnelScene::WhereBuilding() const
    {
        return building.element && building.line > 0 ? readingFile + ":" + StringConverter::toString(building.line) + ": "
                                                      : String();
    }

    void TarnelScene::LeaveOutEntity(const String& name, const String& meshFile, const String& reason)
    {
        LogManager::getSingleton().logError("Tarnel: " + WhereBuilding() + "entity \"" + name + "\" is left out: its mesh \"" +
                                            meshFile + "\" cannot be read: " + reason);
        unreadableMeshes.emplace_back(meshFile, name);
    }

    void TarnelScene::CreateEntity(const Types::EntityParameters& parameters, const String& name,
                                   const MovableObjectOwner& owner)
    {
        String unreadable;
        Entity* entity = Objects::CreateEntity(sceneManager, name, parameters, defaultResourceGroupName,
                                               &loadTimes.meshes, &unreadable);
        if (!entity)
        {
            LeaveOutEntity(name, parameters.meshFile, unreadable);
            return;
        }
        owner.Attach(entity);
        // What hangs on the bones is made, in document order, once the entity hangs on its node.
        for (const Types::BoneAttachment& attachment : parameters.boneAttachments)
        {
            MovableObjectOwner bone(entity, attachment.boneName, attachment.attachPosition, attachment.attachRotation,
                                    attachment.attachScale);
            if (attachment.object)
                BuildObject(*attachment.object, bone);
            else
                bone.AttachEmpty();
        }
        RegisterObject(name, entity, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }
}
