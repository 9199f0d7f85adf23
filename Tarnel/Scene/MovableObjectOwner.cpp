#include "Tarnel/Scene/MovableObjectOwner.h"
#include "Tarnel/Read/TarnelExcept.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreTagPoint.h>

namespace Tarnel
{
    namespace
    {
        void ApplyOffset(Ogre::TagPoint* tagPoint, const MovableObjectOwner& owner)
        {
            tagPoint->setPosition(owner.attachPosition);
            tagPoint->setScale(owner.attachScale);
            tagPoint->setOrientation(owner.attachRotation);
        }
    }

    MovableObjectOwner::MovableObjectOwner(Ogre::SceneNode* node) : node(node)
    {
    }

    MovableObjectOwner::MovableObjectOwner(Ogre::Entity* entity, const Ogre::String& boneName,
                                           const Ogre::Vector3& attachPosition,
                                           const Ogre::Quaternion& attachRotation,
                                           const Ogre::Vector3& attachScale)
        : entity(entity),
          boneName(boneName),
          attachPosition(attachPosition),
          attachScale(attachScale),
          attachRotation(attachRotation)
    {
    }

    void MovableObjectOwner::Attach(Ogre::MovableObject* object) const
    {
        if (node)
        {
            node->attachObject(object);
        }
        else if (entity && !boneName.empty())
        {
            Ogre::TagPoint* tagPoint = entity->attachObjectToBone(
                boneName, object, Ogre::Quaternion::IDENTITY, Ogre::Vector3::ZERO);
            ApplyOffset(tagPoint, *this);
        }
    }

    void MovableObjectOwner::AttachEmpty() const
    {
        if (boneName.empty())
            return;
        Ogre::SkeletonInstance* skeleton = entity->getSkeleton();
        if (!skeleton)
            TARNEL_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS,
                          "This entity's mesh has no skeleton to attach a tag point to: " + entity->getName(),
                          "MovableObjectOwner::AttachEmpty", "Tarnel/MovableObjectOwner");
        Ogre::Bone* bone = skeleton->getBone(boneName);
        Ogre::TagPoint* tagPoint = skeleton->createTagPointOnBone(
            bone, Ogre::Quaternion::IDENTITY, Ogre::Vector3::ZERO);
        ApplyOffset(tagPoint, *this);
    }
}
