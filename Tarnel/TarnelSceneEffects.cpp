// Particle systems, billboard sets and planes.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelObjectReading.h"
#include "Tarnel/TarnelUtilities.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreMovablePlane.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::ObjectReading;

namespace Tarnel
{
    void TarnelScene::LoadParticleSystem(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::ParticleSystemParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadQueueAndDistance(element, parameters);
        parameters.file = TarnelUtilities::GetStringAttribute(element, "file");

        ParticleSystem* particleSystem = sceneManager->createParticleSystem(parameters.name, parameters.file);
        ApplyCommonSettings(particleSystem, parameters);
        ApplyQueueAndDistance(particleSystem, parameters);

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            LoadExtraDataChild(child, *extraData);

        owner.Attach(particleSystem);
        RegisterObject(parameters.name, particleSystem, extraData);
    }

    void TarnelScene::LoadBillboardSet(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::BillboardSetParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadQueueAndDistance(element, parameters);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        parameters.width = TarnelUtilities::GetRealAttribute(element, "width", 10);
        parameters.height = TarnelUtilities::GetRealAttribute(element, "height", 10);
        parameters.billboardType =
            TarnelUtilities::ParseBillboardType(TarnelUtilities::GetStringAttribute(element, "type", "point"));
        parameters.billboardOrigin =
            TarnelUtilities::ParseBillboardOrigin(TarnelUtilities::GetStringAttribute(element, "origin", "center"));
        parameters.billboardRotationType = TarnelUtilities::ParseBillboardRotationType(
            TarnelUtilities::GetStringAttribute(element, "rotationType", "vertex"));
        parameters.poolSize = TarnelUtilities::GetUIntAttribute(element, "poolSize", 0);
        parameters.autoExtendPool = TarnelUtilities::GetBoolAttribute(element, "autoExtendPool", true);
        parameters.cullIndividual = TarnelUtilities::GetBoolAttribute(element, "cullIndividual", false);
        parameters.sort = TarnelUtilities::GetBoolAttribute(element, "sort", false);
        parameters.accurateFacing = TarnelUtilities::GetBoolAttribute(element, "accurateFacing", false);

        // The pool always starts at 20; a given pool size is applied below.
        BillboardSet* set = sceneManager->createBillboardSet(parameters.name, 20);
        ApplyCommonSettings(set, parameters);
        ApplyQueueAndDistance(set, parameters);
        if (!parameters.material.empty())
            set->setMaterialName(parameters.material);
        set->setDefaultWidth(parameters.width);
        set->setDefaultHeight(parameters.height);
        set->setBillboardType(parameters.billboardType);
        set->setBillboardOrigin(parameters.billboardOrigin);
        set->setBillboardRotationType(parameters.billboardRotationType);
        if (parameters.poolSize != 0)
            set->setPoolSize(parameters.poolSize);
        set->setAutoextend(parameters.autoExtendPool);
        set->setCullIndividually(parameters.cullIndividual);
        set->setSortingEnabled(parameters.sort);
        set->setUseAccurateFacing(parameters.accurateFacing);

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (LoadExtraDataChild(child, *extraData))
                continue;
            if (name == "billboard")
                LoadBillboard(child, set);
            else if (name == "commonDirection")
                set->setCommonDirection(TarnelUtilities::LoadXYZ(child));
            else if (name == "commonUpVector")
                set->setCommonUpVector(TarnelUtilities::LoadXYZ(child));
            else if (name == "customParameters")
                TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        }
        TarnelUtilities::SetCustomParameters(static_cast<Renderable*>(set), parameters.customParameters);

        owner.Attach(set);
        RegisterObject(parameters.name, set, extraData);
    }

    void TarnelScene::LoadBillboard(const TiXmlElement* element, BillboardSet* set)
    {
        Types::Billboard parameters;
        parameters.width = TarnelUtilities::GetRealAttribute(element, "width", 0);
        parameters.height = TarnelUtilities::GetRealAttribute(element, "height", 0);
        parameters.rotation = Radian(TarnelUtilities::GetRealAttribute(element, "rotation", 0));
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (name == "position")
                parameters.position = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
            {
                // A billboard turns only about its facing axis: the angle counts, the axis does not.
                Vector3 axis;
                TarnelUtilities::LoadRotation(child).ToAngleAxis(parameters.rotation, axis);
            }
            else if (name == "colourDiffuse")
                parameters.color = TarnelUtilities::LoadColor(child);
            else if (name == "texCoordRectangle")
                parameters.texCoordRectangle = TarnelUtilities::LoadFloatRectangle(child);
        }

        Billboard* billboard = set->createBillboard(parameters.position, parameters.color);
        if (parameters.rotation != Radian(0))
            billboard->setRotation(parameters.rotation);
        if (parameters.width != 0 && parameters.height != 0)
            billboard->setDimensions(parameters.width, parameters.height);
        const FloatRectangle& rectangle = parameters.texCoordRectangle;
        if (rectangle.right - rectangle.left != 0 && rectangle.bottom - rectangle.top != 0)
            billboard->setTexcoordRect(rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
    }

    void TarnelScene::LoadPlane(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::PlaneParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadQueueAndDistance(element, parameters);
        parameters.planeName = parameters.name;
        parameters.distance = TarnelUtilities::GetRealAttribute(element, "distance", 0);
        parameters.width = TarnelUtilities::GetRealAttribute(element, "width", 10);
        parameters.height = TarnelUtilities::GetRealAttribute(element, "height", 10);
        parameters.xSegments = TarnelUtilities::GetIntAttribute(element, "xSegments", 1);
        parameters.ySegments = TarnelUtilities::GetIntAttribute(element, "ySegments", 1);
        parameters.numTexCoordSets = TarnelUtilities::GetIntAttribute(element, "numTexCoordSets", 1);
        parameters.uTile = TarnelUtilities::GetRealAttribute(element, "uTile", 1);
        parameters.vTile = TarnelUtilities::GetRealAttribute(element, "vTile", 1);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        parameters.normals = TarnelUtilities::GetBoolAttribute(element, "normals", true);
        parameters.movablePlane = TarnelUtilities::GetBoolAttribute(element, "movablePlane", true);
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
        parameters.resourceGroupName = defaultResourceGroupName;
        extraData->receiveShadows = TarnelUtilities::GetBoolAttribute(element, "receiveShadows", true);

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (LoadExtraDataChild(child, *extraData))
                continue;
            if (name == "normal")
                parameters.normal = TarnelUtilities::LoadXYZ(child);
            else if (name == "upVector")
                parameters.upVector = TarnelUtilities::LoadXYZ(child);
            else if (name == "vertexBuffer")
                TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
            else if (name == "indexBuffer")
                TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
            else if (name == "customParameters")
                TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        }
        parameters.extraData = extraData;

        // The points at that distance along the normal.
        const Plane plane(parameters.normal, parameters.distance);
        MovablePlane* movablePlane = nullptr;
        String movablePlaneName = parameters.planeName + "_movable";
        if (parameters.movablePlane && !movablePlanes.count(movablePlaneName))
        {
            movablePlane = new MovablePlane(movablePlaneName);
            movablePlanes[movablePlaneName].reset(movablePlane);
            static_cast<Plane&>(*movablePlane) = plane;
        }

        MeshManager::getSingleton().createPlane(
            parameters.planeName, parameters.resourceGroupName, plane, parameters.width, parameters.height,
            parameters.xSegments, parameters.ySegments, parameters.normals, parameters.numTexCoordSets,
            parameters.uTile, parameters.vTile, parameters.upVector, parameters.vertexBufferUsage,
            parameters.indexBufferUsage, parameters.vertexBufferShadowed, parameters.indexBufferShadowed);
        planeMeshes.emplace_back(parameters.planeName, parameters.resourceGroupName);
        Entity* entity = sceneManager->createEntity(parameters.name, parameters.planeName);
        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.material.empty())
            entity->setMaterialName(parameters.material);

        owner.Attach(entity);
        if (movablePlane)
            owner.Attach(movablePlane);
        RegisterObject(parameters.name, entity, extraData);
    }
}
