// Particle systems, billboard sets and planes.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Build/TarnelObjectBuilders.h"
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
    void TarnelScene::CreateParticleSystem(const Types::ParticleSystemParameters& parameters,
                                           const MovableObjectOwner& owner)
    {
        ParticleSystem* particleSystem = Objects::CreateParticleSystem(sceneManager, parameters.name, parameters);
        owner.Attach(particleSystem);
        RegisterObject(parameters.name, particleSystem, parameters.extraData);
    }

    void TarnelScene::CreateBillboardSet(const Types::BillboardSetParameters& parameters,
                                         const MovableObjectOwner& owner)
    {
        BillboardSet* set = Objects::CreateBillboardSet(sceneManager, parameters.name, parameters, defaultResourceGroupName);
        owner.Attach(set);
        RegisterObject(parameters.name, set, parameters.extraData);
    }

    void TarnelScene::CreatePlane(Types::PlaneParameters& parameters, const MovableObjectOwner& owner)
    {
        parameters.resourceGroupName = defaultResourceGroupName;
        const Types::ObjectExtraDataPtr& extraData = parameters.extraData;

        // Only a scene's planes get a movable plane, the first of its name, for reflections.
        MovablePlane* movablePlane = nullptr;
        String movablePlaneName = parameters.planeName + "_movable";
        if (parameters.movablePlane && !movablePlanes.count(movablePlaneName))
        {
            movablePlane = new MovablePlane(movablePlaneName);
            movablePlanes[movablePlaneName].reset(movablePlane);
            static_cast<Plane&>(*movablePlane) = Plane(parameters.normal, parameters.distance);
        }

        Entity* entity = Objects::CreatePlane(sceneManager, parameters.name, parameters.planeName, parameters,
                                              defaultResourceGroupName);
        planeMeshes.emplace_back(parameters.planeName, parameters.resourceGroupName);
        owner.Attach(entity);
        if (movablePlane)
            owner.Attach(movablePlane);
        RegisterObject(parameters.name, entity, extraData);
    }

    void TarnelScene::AddInstancePlaneMesh(const String& name, const String& resourceGroupName)
    {
        instancePlaneMeshes.emplace_back(name, resourceGroupName);
    }
}
