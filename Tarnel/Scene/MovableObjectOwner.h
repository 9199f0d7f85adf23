#ifndef TARNEL_MOVABLE_OBJECT_OWNER_H
#define TARNEL_MOVABLE_OBJECT_OWNER_H

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Tarnel
{
    /** Where a newly created object goes: a scene node, or a bone of an entity
        with an offset transform for the tag point. */
    struct MovableObjectOwner
    {
        Ogre::SceneNode* node = nullptr;
        Ogre::Entity* entity = nullptr;
        Ogre::String boneName;
        Ogre::Vector3 attachPosition = Ogre::Vector3::ZERO;
        Ogre::Vector3 attachScale = Ogre::Vector3::UNIT_SCALE;
        Ogre::Quaternion attachRotation = Ogre::Quaternion::IDENTITY;

        /// Attaches to nothing.
        MovableObjectOwner() = default;

        /// Attaches to a scene node.
        explicit MovableObjectOwner(Ogre::SceneNode* node);

        /// Attaches to a bone of an entity, at an offset from the bone.
        MovableObjectOwner(Ogre::Entity* entity, const Ogre::String& boneName,
                           const Ogre::Vector3& attachPosition,
                           const Ogre::Quaternion& attachRotation,
                           const Ogre::Vector3& attachScale);

        /** Attaches a created object to the node, else to the bone; with
            neither the object stays unattached. */
        void Attach(Ogre::MovableObject* object) const;

        /** Creates an empty tag point on the bone; needs an entity when a bone is
            named, and raises InvalidParametersException when its mesh has no skeleton. */
        void AttachEmpty() const;
    };
}

#endif
