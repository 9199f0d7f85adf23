#ifndef TARNEL_VALUES_H
#define TARNEL_VALUES_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <array>
#include <vector>

namespace Tarnel
{
    /// How a read visibility is applied to a scene node or model.
    enum ObjectVisibility
    {
        OBJECT_VISIBILITY_DEFAULT = 0, ///< leave the node as it is
        OBJECT_VISIBLE = 1,
        OBJECT_HIDDEN = 2,
        OBJECT_TREE_VISIBLE = 3,
        OBJECT_TREE_HIDDEN = 4
    };

    /// The document's up axis.
    enum UpAxis
    {
        UP_AXIS_Y = 0,
        UP_AXIS_Z = 1
    };

    struct FloatRectangle
    {
        Ogre::Real left = 0;
        Ogre::Real top = 0;
        Ogre::Real right = 0;
        Ogre::Real bottom = 0;
    };

    struct BoundingVolume
    {
        enum Type
        {
            NONE = 0,
            SPHERE = 1,
            BOX = 2,
            MESH = 3
        };

        /// Three vertices.
        typedef std::array<Ogre::Vector3, 3> Face;

        Type type = NONE;
        Ogre::Real sphereRadius = 0;
        Ogre::Vector3 boxSize = Ogre::Vector3::ZERO;
        std::vector<Face> meshFaces;
    };
    typedef BoundingVolume::Type BoundingVolumeType;

    /// A shader parameter given to an object's renderables.
    struct CustomParameter
    {
        Ogre::int32 id = 0;
        Ogre::Vector4 value = Ogre::Vector4::ZERO;
    };
    typedef std::vector<CustomParameter> CustomParameters;

    /// Material names by sub-entity index; an empty name leaves that sub-entity alone.
    typedef std::vector<Ogre::String> SubentityMaterials;
}

#endif
