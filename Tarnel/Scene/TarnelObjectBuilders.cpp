// Objects made from their descriptions: the engine's objects, their settings and their animations.
#include "Tarnel/Scene/TarnelObjectBuilders.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>

#include <chrono>

using namespace Ogre;

namespace Tarnel
{
    void Objects::ApplyCommonSettings(MovableObject* object, const Types::ObjectParameters& parameters)
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

    void Objects::ApplyQueueAndDistance(MovableObject* object, const Types::ObjectParameters& parameters)
    {
        object->setRenderQueueGroup(parameters.renderQueue);
        object->setRenderingDistance(parameters.renderingDistance);
    }

    Entity* Objects::CreateEntity(SceneManager* sceneManager, const String& name,
                                  const Types::EntityParameters& parameters, const String& resourceGroupName,
                                  double* meshReadingMs, String* unreadable)
    {
        // Not the engine's timer: it reads the process's CPU clock too, which costs more than the lookup of a loaded mesh.
        const auto reading = std::chrono::steady_clock::now();
        // Mesh and materials from the group named: another group may hold a level of the same names.
        const String& group = parameters.resourceGroupName.empty() ? resourceGroupName : parameters.resourceGroupName;
        try
        {
            MeshManager::getSingleton().load(parameters.meshFile, group, parameters.vertexBufferUsage,
                                             parameters.indexBufferUsage, parameters.vertexBufferShadowed,
                                             parameters.indexBufferShadowed);
        }
        catch (const FileNotFoundException&)
        {
            throw; // a missing mesh ends the load
        }
        catch (const ItemIdentityException&)
        {
            throw; // so does a group the engine does not have
        }
        catch (const Exception& error)
        {
            if (!unreadable)
                throw;
            *unreadable = error.getDescription();
            MeshManager::getSingleton().remove(parameters.meshFile, group);
            return nullptr;
        }
        if (meshReadingMs)
            *meshReadingMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - reading).count();
        Entity* entity = sceneManager->createEntity(name, parameters.meshFile, group);
        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.materialFile.empty())
            entity->setMaterialName(parameters.materialFile, group);
        // Sub-entity materials win over the whole-entity material for their indices.
        for (size_t i = 0; i < entity->getNumSubEntities() && i < parameters.subentities.size(); ++i)
        {
            if (!parameters.subentities[i].empty())
                entity->getSubEntity(i)->setMaterialName(parameters.subentities[i], group);
        }
        return entity;
    }

// Lights and cameras are placed on their own, apart from their nodes; this engine keeps
// that positioning but marks it as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Light* Objects::CreateLight(SceneManager* sceneManager, const String& name, const Types::LightParameters& parameters)
    {
        Light* light = sceneManager->createLight(name);
        ApplyCommonSettings(light, parameters);
        light->setType(parameters.lightType);
        light->setCastShadows(parameters.castShadows);
        light->setPowerScale(parameters.power);
        light->setDiffuseColour(parameters.diffuseColor);
        light->setSpecularColour(parameters.specularColor);
        light->setSpotlightInnerAngle(parameters.spotlightInnerAngle);
        light->setSpotlightOuterAngle(parameters.spotlightOuterAngle);
        light->setSpotlightFalloff(parameters.spotlightFalloff);
        light->setAttenuation(parameters.attenuationRange, parameters.attenuationConstant, parameters.attenuationLinear,
                              parameters.attenuationQuadric);
        light->setPosition(parameters.position);
        light->setDirection(parameters.direction);
        return light;
    }

    Camera* Objects::CreateCamera(SceneManager* sceneManager, const String& name,
                                  const Types::CameraParameters& parameters)
    {
        Camera* camera = sceneManager->createCamera(name);
        ApplyCommonSettings(camera, parameters);
        camera->setFOVy(parameters.fovy);
        camera->setAspectRatio(parameters.aspectRatio);
        camera->setProjectionType(parameters.projectionType);
        camera->setNearClipDistance(parameters.nearClip);
        camera->setFarClipDistance(parameters.farClip);
        camera->setPosition(parameters.position);
        if (parameters.aim != Types::CameraParameters::AIM_NONE)
            camera->setOrientation(parameters.orientation);
        if (parameters.aim == Types::CameraParameters::AIM_DIRECTION)
            camera->setDirection(parameters.direction);
        return camera;
    }
#pragma GCC diagnostic pop

    ParticleSystem* Objects::CreateParticleSystem(SceneManager* sceneManager, const String& name,
                                                  const Types::ParticleSystemParameters& parameters)
    {
        ParticleSystem* particleSystem = sceneManager->createParticleSystem(name, parameters.file);
        ApplyCommonSettings(particleSystem, parameters);
        ApplyQueueAndDistance(particleSystem, parameters);
        return particleSystem;
    }

    BillboardSet* Objects::CreateBillboardSet(SceneManager* sceneManager, const String& name,
                                              const Types::BillboardSetParameters& parameters,
                                              const String& resourceGroupName)
    {
        // The pool always starts at its first size; a given pool size is applied below.
        BillboardSet* set = sceneManager->createBillboardSet(name, Limits::BILLBOARD_POOL_START);
        ApplyCommonSettings(set, parameters);
        ApplyQueueAndDistance(set, parameters);
        TarnelUtilities::SetCustomParameters(static_cast<Renderable*>(set), parameters.customParameters);
        if (!parameters.material.empty())
            set->setMaterialName(parameters.material, resourceGroupName);
        set->setDefaultWidth(parameters.width);
        set->setDefaultHeight(parameters.height);
        set->setBillboardType(parameters.billboardType);
        set->setBillboardOrigin(parameters.billboardOrigin);
        set->setBillboardRotationType(parameters.billboardRotationType);
        set->setCommonDirection(parameters.commonDirection);
        set->setCommonUpVector(parameters.commonUpVector);
        if (parameters.poolSize != 0)
            set->setPoolSize(parameters.poolSize);
        set->setAutoextend(parameters.autoExtendPool);
        set->setCullIndividually(parameters.cullIndividual);
        set->setSortingEnabled(parameters.sort);
        set->setUseAccurateFacing(parameters.accurateFacing);

        for (const Types::Billboard& description : parameters.billboards)
        {
            Billboard* billboard = set->createBillboard(description.position, description.color);
            // A fixed pool that is full makes no more billboards; the reader said so.
            if (!billboard)
                break;
            if (description.rotation != Radian(0))
                billboard->setRotation(description.rotation);
            // Without both sizes the billboard keeps the set's; without an area, the set's coordinates.
            if (description.width != 0 && description.height != 0)
                billboard->setDimensions(description.width, description.height);
            const FloatRectangle& rectangle = description.texCoordRectangle;
            if (rectangle.right - rectangle.left != 0 && rectangle.bottom - rectangle.top != 0)
                billboard->setTexcoordRect(rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
        }
        return set;
    }

    Entity* Objects::CreatePlane(SceneManager* sceneManager, const String& name, const String& meshName,
                                 const Types::PlaneParameters& parameters, const String& resourceGroupName)
    {
        // The points at that distance along the normal.
        const Plane plane(parameters.normal, parameters.distance);
        const String& group = parameters.resourceGroupName.empty() ? resourceGroupName : parameters.resourceGroupName;
        MeshManager::getSingleton().createPlane(
            meshName, group, plane,
            parameters.width, parameters.height, parameters.xSegments, parameters.ySegments, parameters.normals,
            parameters.numTexCoordSets, parameters.uTile, parameters.vTile, parameters.upVector,
            parameters.vertexBufferUsage, parameters.indexBufferUsage, parameters.vertexBufferShadowed,
            parameters.indexBufferShadowed);
        Entity* entity = sceneManager->createEntity(name, meshName, group);
        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.material.empty())
            entity->setMaterialName(parameters.material, group);
        return entity;
    }

    Animation* Objects::CreateNodeAnimation(SceneManager* sceneManager, const String& name,
                                            const Types::NodeAnimationParameters& parameters)
    {
        Animation* animation = sceneManager->createAnimation(name, parameters.length);
        animation->setInterpolationMode(parameters.interpolationMode);
        animation->setRotationInterpolationMode(parameters.rotationInterpolationMode);
        return animation;
    }

    AnimationState* Objects::CreateAnimationState(SceneManager* sceneManager, const String& name, bool enabled,
                                                  bool looping)
    {
        AnimationState* state = sceneManager->createAnimationState(name);
        state->setEnabled(enabled);
        state->setLoop(looping && state->getLength() > 0);
        return state;
    }

    void Objects::CreateKeyFrame(NodeAnimationTrack* track, const Types::KeyFrameParameters& keyFrame)
    {
        TransformKeyFrame* created = track->createNodeKeyFrame(keyFrame.time);
        created->setTranslate(keyFrame.translation);
        created->setRotation(keyFrame.rotation);
        created->setScale(keyFrame.scale);
    }
}
