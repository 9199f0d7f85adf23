// Instances of a model: its descriptions built into a scene under one base name.
#include "Tarnel/Scene/TarnelModel.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

using namespace Ogre;
using namespace Tarnel::Objects;

// A model places its lights and cameras on their own, apart from their nodes; this engine
// keeps that positioning but marks it as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace Tarnel
{
    SceneNode* TarnelModel::CreateInstance(SceneManager* sceneManager, const String& baseName, int options,
                                           SceneNode* parentNode, const String& resourceGroupName,
                                           SceneNode* instanceNode, TarnelScene* scene) const
    {
        if (!parentNode)
            parentNode = sceneManager->getRootSceneNode();
        return CreateNode(sceneManager, baseName, options, Root(), parentNode, resourceGroupName, instanceNode,
                          scene, nullptr);
    }

    SceneNode* TarnelModel::CreateNode(SceneManager* sceneManager, const String& baseName, int options,
                                       const NodeDescription& record, SceneNode* parentNode,
                                       const String& resourceGroupName, SceneNode* node, TarnelScene* scene,
                                       const Nesting* outer) const
    {
        const Nesting nesting = {this, outer};
        if (!node)
        {
            node = TarnelUtilities::CreateChildSceneNode(parentNode, baseName + record.name);
            // An unnamed description's node has the instance's name, which its own node has already.
            if (scene && !record.name.empty() && !scene->AddInstanceNode(node))
                TARNEL_EXCEPT(Exception::ERR_DUPLICATE_ITEM,
                              "A scene node with the name " + node->getName() + " already exists",
                              "TarnelModel::CreateNode", "Tarnel/TarnelModel");
        }
        if (!(options & NO_INITIAL_TRANSFORMATION))
        {
            node->setPosition(record.position.value_or(Vector3::ZERO));
            node->setOrientation(record.orientation.value_or(Quaternion::IDENTITY));
            node->setScale(record.scale.value_or(Vector3::UNIT_SCALE));
        }

        // A nested model is built on this same node, named after it, keeping its transform.
        if (!record.modelFile.empty() && scene)
        {
            const TarnelModel* nested = scene->GetModel(record.modelFile);
            for (const Nesting* level = &nesting; level; level = level->outer)
            {
                if (level->model == nested)
                    TARNEL_EXCEPT(Exception::ERR_INVALID_STATE,
                                  "A model file instances itself: " + record.modelFile, "TarnelModel::CreateNode",
                                  "Tarnel/TarnelModel");
            }
            nested->CreateNode(sceneManager, node->getName(), options | NO_INITIAL_TRANSFORMATION, nested->Root(),
                               parentNode, resourceGroupName, node, scene, &nesting);
        }

        MovableObjectOwner owner(node);
        for (const auto& object : record.objects)
            CreateMovableObject(sceneManager, baseName, *object, owner, resourceGroupName, scene);
        if (!record.animations.empty())
        {
            CreateNodeAnimations(sceneManager, baseName, record, node);
            TarnelUtilities::SetIdentityInitialState(node);
        }
        for (const NodeDescription& child : record.childNodes)
            CreateNode(sceneManager, baseName, options & ~NO_INITIAL_TRANSFORMATION, child, node, resourceGroupName,
                       nullptr, scene, outer);
        if (record.animations.empty())
            node->setInitialState();
        TarnelUtilities::SetNodeVisibility(record.visibility, node);
        return node;
    }

    void TarnelModel::CreateNodeAnimations(SceneManager* sceneManager, const String& baseName,
                                           const NodeDescription& record, SceneNode* node)
    {
        for (const Types::NodeAnimationParameters& animation : record.animations)
        {
            // Another instance under this base name made it already.
            String name = baseName + animation.name;
            if (sceneManager->hasAnimation(name))
                continue;
            Animation* created = CreateNodeAnimation(sceneManager, name, animation);
            NodeAnimationTrack* track = created->createNodeTrack(created->getNumNodeTracks() + 1, node);
            for (const Types::KeyFrameParameters& keyFrame : animation.keyFrames)
                CreateKeyFrame(track, keyFrame);
            CreateAnimationState(sceneManager, name, animation.enabled, animation.looping);
        }
    }

    void TarnelModel::CreateMovableObject(SceneManager* sceneManager, const String& baseName,
                                          const Types::ObjectParameters& record, const MovableObjectOwner& owner,
                                          const String& resourceGroupName, TarnelScene* scene)
    {
        String name = baseName + record.name;
        // One name, one object of any kind, as in a scene: two objects of different kinds under one
        // name (two unnamed ones of an instance, say) are kept by the engine, which then cannot
        // destroy them.
        if (sceneManager->hasEntity(name) || sceneManager->hasLight(name) || sceneManager->hasCamera(name) ||
            sceneManager->hasParticleSystem(name) || sceneManager->hasBillboardSet(name))
            TARNEL_EXCEPT(Exception::ERR_DUPLICATE_ITEM, "Duplicate object name: " + name,
                          "TarnelModel::CreateMovableObject", "Tarnel/TarnelModel");
        MovableObject* object = nullptr;
        switch (record.objectType)
        {
        case Types::ENTITY:
            object = CreateEntity(sceneManager, baseName, static_cast<const Types::EntityParameters&>(record),
                                  resourceGroupName, scene);
            break;
        case Types::LIGHT:
            object = Objects::CreateLight(sceneManager, name, static_cast<const Types::LightParameters&>(record));
            break;
        case Types::CAMERA:
            object = Objects::CreateCamera(sceneManager, name, static_cast<const Types::CameraParameters&>(record));
            break;
        case Types::PARTICLE_SYSTEM:
            object = CreateParticleSystem(sceneManager, name,
                                          static_cast<const Types::ParticleSystemParameters&>(record));
            break;
        case Types::BILLBOARD_SET:
            object = CreateBillboardSet(sceneManager, name, static_cast<const Types::BillboardSetParameters&>(record),
                                        resourceGroupName);
            break;
        case Types::PLANE:
        {
            // An instance's plane has its own mesh, and no movable plane.
            const auto& plane = static_cast<const Types::PlaneParameters&>(record);
            String meshName = baseName + plane.planeName;
            object = CreatePlane(sceneManager, name, meshName, plane, resourceGroupName);
            if (scene)
                scene->AddInstancePlaneMesh(meshName, plane.resourceGroupName.empty() ? resourceGroupName
                                                                                      : plane.resourceGroupName);
            break;
        }
        default:
            return;
        }
        if (object) // an entity whose mesh cannot be read is left out
            owner.Attach(object);
    }

    MovableObject* TarnelModel::CreateEntity(SceneManager* sceneManager, const String& baseName,
                                             const Types::EntityParameters& record, const String& resourceGroupName,
                                             TarnelScene* scene)
    {
        double reading = 0;
        String unreadable;
        Entity* entity = Objects::CreateEntity(sceneManager, baseName + record.name, record, resourceGroupName,
                                               &reading, scene ? &unreadable : nullptr);
        if (scene)
            scene->AddMeshReadingTime(reading);
        if (!entity)
        {
            scene->LeaveOutEntity(baseName + record.name, record.meshFile, unreadable);
            return nullptr;
        }
        // What hangs on the bones is made before the entity hangs on its node.
        for (const Types::BoneAttachment& attachment : record.boneAttachments)
        {
            MovableObjectOwner bone(entity, attachment.boneName, attachment.attachPosition, attachment.attachRotation,
                                    attachment.attachScale);
            if (attachment.object)
                CreateMovableObject(sceneManager, baseName, *attachment.object, bone, resourceGroupName, scene);
            else
                bone.AttachEmpty();
        }
        return entity;
    }
}

#pragma GCC diagnostic pop
