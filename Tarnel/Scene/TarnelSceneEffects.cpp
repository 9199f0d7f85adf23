// Particle systems, billboard sets and planes.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreBillboardSet.h>
#include <OgreEntity.h>
#include <OgreMovablePlane.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    void TarnelScene::CreateParticleSystem(const Types::ParticleSystemParameters& parameters, const String& name,
                                           const MovableObjectOwner& owner)
    {
        ParticleSystem* particleSystem = Objects::CreateParticleSystem(sceneManager, name, parameters);
        owner.Attach(particleSystem);
        RegisterObject(name, particleSystem, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }

    void TarnelScene::CreateBillboardSet(const Types::BillboardSetParameters& parameters, const String& name,
                                         const MovableObjectOwner& owner)
    {
        BillboardSet* set = Objects::CreateBillboardSet(sceneManager, name, parameters, defaultResourceGroupName);
        owner.Attach(set);
        RegisterObject(name, set, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }

    void TarnelScene::CreatePlane(const Types::PlaneParameters& parameters, const String& name,
                                  const MovableObjectOwner& owner)
    {
        // A scene's plane mesh has its object's name.
        const String& meshName = name;
        // Only a scene's planes get a movable plane, the first of its name, for reflections.
        MovablePlane* movablePlane = nullptr;
        String movablePlaneName = meshName + "_movable";
        if (parameters.movablePlane && !movablePlanes.count(movablePlaneName))
        {
            movablePlane = new MovablePlane(movablePlaneName);
            movablePlanes[movablePlaneName].reset(movablePlane);
            static_cast<Plane&>(*movablePlane) = Plane(parameters.normal, parameters.distance);
        }

        Entity* entity = Objects::CreatePlane(sceneManager, name, meshName, parameters, defaultResourceGroupName);
        planeMeshes.emplace_back(meshName, parameters.resourceGroupName.empty() ? defaultResourceGroupName
                                                                                : parameters.resourceGroupName);
        owner.Attach(entity);
        if (movablePlane)
            owner.Attach(movablePlane);
        RegisterObject(name, entity, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }

    void TarnelScene::AddInstancePlaneMesh(const String& name, const String& resourceGroupName)
    {
        instancePlaneMeshes.emplace_back(name, resourceGroupName);
    }
}
