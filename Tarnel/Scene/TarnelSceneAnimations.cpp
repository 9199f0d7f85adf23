// Node animations, shared by name across the scene, and their states.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Scene/TarnelObjectBuilders.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSceneManager.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    void TarnelScene::BuildNodeAnimation(const Types::NodeAnimationParameters& parameters, SceneNode* node)
    {
        // The first of a name makes the animation; later ones only add their node's track.
        Animation* animation = sceneManager->hasAnimation(parameters.name)
                                   ? sceneManager->getAnimation(parameters.name)
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
