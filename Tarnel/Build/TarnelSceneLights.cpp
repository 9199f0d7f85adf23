// Lights and cameras: described, created, and attached like every other object.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Build/TarnelObjectBuilders.h"

#include <OgreCamera.h>
#include <OgreLight.h>

namespace Tarnel
{
    void TarnelScene::CreateLight(const Types::LightParameters& parameters, const Ogre::String& name,
                                  const MovableObjectOwner& owner)
    {
        Ogre::Light* light = Objects::CreateLight(sceneManager, name, parameters);
        owner.Attach(light);
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
