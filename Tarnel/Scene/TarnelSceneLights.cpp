// Lights and cameras: described, created, and attached like every other object.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>

namespace Tarnel
{
    void TarnelScene::CreateLight(const Types::LightParameters& parameters, const Ogre::String& name,
                                  const MovableObjectOwner& owner)
    {
        Ogre::Light* light = Objects::CreateLight(sceneManager, name, parameters);
        owner.Attach(light);
        // The zone manager finds a light's place by its node as it draws texture shadows, and
        // stops the program at one that is on none, as a light of the scene's top level is.
        if (!light->getParentSceneNode() && light->getCastShadows() && sceneManager->isShadowTechniqueTextureBased())
        {
            light->setCastShadows(false);
            Ogre::LogManager::getSingleton().logWarning(
                "Tarnel: " + WhereBuilding() + "light \"" + name +
                "\" is on no node, so it casts no shadow: the zone manager casts texture shadows only of lights on a node");
        }
        RegisterObject(name, light, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }

    void TarnelScene::CreateCamera(const Types::CameraParameters& parameters, const Ogre::String& name,
                                   const MovableObjectOwner& owner)
    {
        Ogre::Camera* camera = Objects::CreateCamera(sceneManager, name, parameters);
        RequestTargets(parameters.lookTargets, parameters.trackTargets, nullptr, camera);
        owner.Attach(camera);
        RegisterObject(name, camera, std::make_shared<Types::ObjectExtraData>(*parameters.extraData));
    }
}
