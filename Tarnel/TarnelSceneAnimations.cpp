// Node animations, shared by name across the scene, and their states.
#include "Tarnel/TarnelScene.h"
#include "Tarnel/TarnelUtilities.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

using namespace Ogre;

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
        parameters.enabled = TarnelUtilities::GetBoolAttribute(element, "enable", true);
        parameters.looping = TarnelUtilities::GetBoolAttribute(element, "loop", true);
        parameters.name = TarnelUtilities::GetStringAttribute(element, "name");

        // The first element of a name makes the animation; later ones only add their node's track.
        Animation* animation = nullptr;
        if (sceneManager->hasAnimation(parameters.name))
            animation = sceneManager->getAnimation(parameters.name);
        else
        {
            parameters.length = TarnelUtilities::GetRealAttribute(element, "length", 0);
            String mode = TarnelUtilities::GetStringAttribute(element, "interpolationMode");
            if (!mode.empty())
                parameters.interpolationMode = TarnelUtilities::ParseAnimationInterpolationMode(mode);
            String rotationMode = TarnelUtilities::GetStringAttribute(element, "rotationInterpolationMode");
            if (!rotationMode.empty())
                parameters.rotationInterpolationMode =
                    TarnelUtilities::ParseAnimationRotationInterpolationMode(rotationMode);
            animation = sceneManager->createAnimation(parameters.name, parameters.length);
            animation->setInterpolationMode(parameters.interpolationMode);
            animation->setRotationInterpolationMode(parameters.rotationInterpolationMode);
        }

        NodeAnimationTrack* track = animation->createNodeTrack(animation->getNumNodeTracks() + 1, node);
        for (const TiXmlElement* child = element->FirstChildElement("keyframe"); child;
             child = child->NextSiblingElement("keyframe"))
            LoadNodeAnimationKeyFrame(child, track);

        if (!animationStates.count(parameters.name))
        {
            AnimationState* state = sceneManager->createAnimationState(parameters.name);
            animationStates[parameters.name] = state;
            state->setEnabled(parameters.enabled);
            state->setLoop(parameters.looping);
        }
    }

    void TarnelScene::LoadNodeAnimationKeyFrame(const TiXmlElement* element, NodeAnimationTrack* track)
    {
        TransformKeyFrame* keyFrame = track->createNodeKeyFrame(TarnelUtilities::GetRealAttribute(element, "time", 0));
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            const String& name = child->ValueStr();
            if (name == "translation")
                keyFrame->setTranslate(TarnelUtilities::LoadXYZ(child));
            else if (name == "rotation")
                keyFrame->setRotation(TarnelUtilities::LoadRotation(child));
            else if (name == "scale")
                keyFrame->setScale(TarnelUtilities::LoadXYZ(child));
        }
    }
}
