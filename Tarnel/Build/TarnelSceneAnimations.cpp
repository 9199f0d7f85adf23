// Node animations, shared by name across the scene, and their states.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Build/TarnelObjectBuilders.h"
#include "Tarnel/Read/TarnelReaders.h"

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
        // The first element of a name makes the animation; later ones only add their node's track.
        bool made = sceneManager->hasAnimation(TarnelUtilities::GetStringAttribute(element, "name"));
        Types::NodeAnimationParameters parameters;
        Objects::LoadNodeAnimation(element, parameters, !made);
        Animation* animation = made ? sceneManager->getAnimation(parameters.name)
                                    : CreateNodeAnimation(sceneManager, parameters.name, parameters);

        NodeAnimationTrack* track = animation->createNodeTrack(animation->getNumNodeTracks() + 1, node);
        for (const Types::KeyFrameParameters& keyFrame : parameters.keyFrames)
            CreateKeyFrame(track, keyFrame);

        if (!animationStates.count(parameters.name))
        {
            animationStates[parameters.name] =
                CreateAnimationState(sceneManager, parameters.name, parameters.enabled, parameters.looping);
        }
    }
}
