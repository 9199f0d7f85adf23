// Node animations, shared by name across the scene, and their states.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelReaders.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    void TarnelScene::LoadNodeAnimations(const TiXmlElement* element, SceneNode* node)
    {
        for (const TiXmlElement* child = element->FirstChildElement("animation"); child;
             child = child->NextSiblingElement("animation"))
            LoadNodeAnimation(child, node);
    }

    void TarnelScene::LoadNodeAnimation(const TiXmlElement* element, SceneNode* node)
    {
        Types::NodeAnimationParameters parameters;
        parameters.enabled = Readers::GetBoolAttribute(element, "enable", true);
        parameters.looping = Readers::GetBoolAttribute(element, "loop", true);
        parameters.name = Readers::GetStringAttribute(element, "name");

        // The first element of a name makes the animation; later ones only add their node's track.
        Animation* animation = nullptr;
        if (sceneManager->hasAnimation(parameters.name))
            animation = sceneManager->getAnimation(parameters.name);
        else
        {
            ReadNodeAnimationShape(element, parameters);
            animation = CreateNodeAnimation(sceneManager, parameters.name, parameters);
        }

        NodeAnimationTrack* track = animation->createNodeTrack(animation->getNumNodeTracks() + 1, node);
        for (const TiXmlElement* child = element->FirstChildElement("keyframe"); child;
             child = child->NextSiblingElement("keyframe"))
            CreateKeyFrame(track, ReadKeyFrame(child));

        if (!animationStates.count(parameters.name))
        {
            animationStates[parameters.name] =
                CreateAnimationState(sceneManager, parameters.name, parameters.enabled, parameters.looping);
        }
    }
}
