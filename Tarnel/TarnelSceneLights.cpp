// Lights and cameras: created, configured and attached like every other object.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelDomains.h"
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelReaders.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

// A level places lights and cameras on their own, apart from their nodes; this engine
// keeps that positioning but marks it as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace Tarnel
{
    void TarnelScene::LoadLight(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::LightParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadLightAttributes(element, parameters, true);

        Light* light = sceneManager->createLight(parameters.name);
        ApplyCommonSettings(light, parameters);
        // The type comes first: a light range only shapes a spotlight.
        light->setType(parameters.lightType);
        light->setCastShadows(parameters.castShadows);
        light->setPowerScale(parameters.power);

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (LoadExtraDataChild(child, *extraData))
                continue;
            if (name == "colourDiffuse")
                light->setDiffuseColour(Readers::LoadColor(child));
            else if (name == "colourSpecular")
                light->setSpecularColour(Readers::LoadColor(child));
            else if (name == "lightRange")
                LoadLightRange(child, light);
            else if (name == "lightAttenuation")
                LoadLightAttenuation(child, light);
            else if (name == "position")
                light->setPosition(Readers::LoadXYZ(child));
            else if (name == "normal")
                light->setDirection(Domains::Direction(child, Readers::LoadXYZ(child), light->getDirection()));
        }

        owner.Attach(light);
        RegisterObject(parameters.name, light, extraData);
    }

    void TarnelScene::LoadLightRange(const TiXmlElement* element, Light* light)
    {
        if (light->getType() != Light::LT_SPOTLIGHT)
            return;
        // What is not given stays as the light has it.
        Radian inner = light->getSpotlightInnerAngle(), outer = light->getSpotlightOuterAngle();
        Real falloff = light->getSpotlightFalloff();
        ReadLightRange(element, inner, outer, falloff);
        light->setSpotlightRange(inner, outer, falloff);
    }

    void TarnelScene::LoadLightAttenuation(const TiXmlElement* element, Light* light)
    {
        Real range = light->getAttenuationRange(), constant = light->getAttenuationConstant(),
             linear = light->getAttenuationLinear(), quadric = light->getAttenuationQuadric();
        ReadLightAttenuation(element, range, constant, linear, quadric);
        light->setAttenuation(range, constant, linear, quadric);
    }

    void TarnelScene::LoadCamera(const TiXmlElement* element, const MovableObjectOwner& owner)
    {
        Types::CameraParameters parameters;
        Types::ObjectExtraDataPtr extraData = BeginObject(element, owner, parameters);
        ReadCameraAttributes(element, parameters);

        Camera* camera = sceneManager->createCamera(parameters.name);
        ApplyCommonSettings(camera, parameters);
        camera->setFOVy(parameters.fovy);
        camera->setAspectRatio(parameters.aspectRatio);
        camera->setProjectionType(parameters.projectionType);

        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (LoadExtraDataChild(child, *extraData))
                continue;
            if (name == "clipping")
            {
                Readers::LoadClipping(child, parameters.nearClip, parameters.farClip);
                camera->setNearClipDistance(parameters.nearClip);
                camera->setFarClipDistance(parameters.farClip);
            }
            else if (name == "position")
                camera->setPosition(Readers::LoadXYZ(child));
            else if (name == "rotation")
                camera->setOrientation(Readers::LoadRotation(child));
            else if (name == "normal")
                camera->setDirection(Domains::Direction(child, Readers::LoadXYZ(child), camera->getDirection()));
            else if (name == "lookTarget")
                LoadLookTarget(child, nullptr, camera);
            else if (name == "trackTarget")
                LoadTrackTarget(child, nullptr, camera);
        }

        owner.Attach(camera);
        RegisterObject(parameters.name, camera, extraData);
    }
}

#pragma GCC diagnostic pop
