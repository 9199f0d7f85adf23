// Particle systems, billboard sets and planes.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelReaders.h"

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
    void TarnelScene::LoadParticleSystem(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::ParticleSystemParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadParticleSystemAttributes(element, parameters);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            LoadExtraDataChild(child, *extraData);

        ParticleSystem* particleSystem = CreateParticleSystem(sceneManager, parameters.name, parameters);
        owner.Attach(particleSystem);
        RegisterObject(parameters.name, particleSystem, extraData);
    }

    void TarnelScene::LoadBillboardSet(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::BillboardSetParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadBillboardSetAttributes(element, parameters);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (!LoadExtraDataChild(child, *extraData))
                LoadBillboardSetChild(child, parameters);
        }

        BillboardSet* set = CreateBillboardSet(sceneManager, parameters.name, parameters);
        owner.Attach(set);
        RegisterObject(parameters.name, set, extraData);
    }

    void TarnelScene::LoadPlane(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::PlaneParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadPlaneAttributes(element, parameters);
        parameters.planeName = parameters.name;
        parameters.resourceGroupName = defaultResourceGroupName;
        extraData->receiveShadows = Readers::GetBoolAttribute(element, "receiveShadows", true);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (!LoadExtraDataChild(child, *extraData))
                LoadPlaneChild(child, parameters);
        }
        parameters.extraData = extraData;

        // Only a scene's planes get a movable plane, the first of its name, for reflections.
        MovablePlane* movablePlane = nullptr;
        String movablePlaneName = parameters.planeName + "_movable";
        if (parameters.movablePlane && !movablePlanes.count(movablePlaneName))
        {
            movablePlane = new MovablePlane(movablePlaneName);
            movablePlanes[movablePlaneName].reset(movablePlane);
            static_cast<Plane&>(*movablePlane) = Plane(parameters.normal, parameters.distance);
        }

        Entity* entity =
            CreatePlane(sceneManager, parameters.name, parameters.planeName, parameters, defaultResourceGroupName);
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
