#ifndef TARNEL_TYPES_H
#define TARNEL_TYPES_H

#include "Tarnel/Read/TarnelValues.h"

#include <OgreAnimation.h>
#include <OgreBillboardSet.h>
#include <OgreColourValue.h>
#include <OgreFrustum.h>
#include <OgreHardwareBuffer.h>
#include <OgreLight.h>
#include <OgreMath.h>
#include <OgreNode.h>
#include <OgreQuaternion.h>
#include <OgreRenderQueue.h>

#include <memory>
#include <vector>

namespace Tarnel
{
namespace Types
{
    /// Which record an ObjectParameters is; the creators switch on it.
    enum ObjectType
    {
        NONE = 0,
        ENTITY = 1,
        LIGHT = 2,
        CAMERA = 3,
        PARTICLE_SYSTEM = 4,
        BILLBOARD_SET = 5,
        PLANE = 6
    };

    struct Note
    {
        Ogre::Real time = 0;
        Ogre::String text;
    };

    struct NoteTrack
    {
        Ogre::String name;
        std::vector<Note> notes;
    };
    typedef std::vector<NoteTrack> NoteTracks;

    /** Id, user data and note tracks of a node or object.

        A copy never inherits `node` or `object`: creation code copies a
        description's extra data and points the copy at what it created, so one
        description can be instantiated any number of times. Note tracks are
        shared between copies. */
    struct ObjectExtraData
    {
        Ogre::SceneNode* node = nullptr;
        Ogre::MovableObject* object = nullptr;
        Ogre::String id;
        Ogre::String userDataReference;
        Ogre::String userData;
        bool receiveShadows = false;
        std::shared_ptr<NoteTracks> noteTracks;

        ObjectExtraData() = default;
        ObjectExtraData(const ObjectExtraData& other);
        ObjectExtraData& operator=(const ObjectExtraData& other);

        /// True when id, user data reference or user data is set.
        bool HasUserData() const;
    };
    typedef std::shared_ptr<ObjectExtraData> ObjectExtraDataPtr;

    /// A look-at request of a node or a camera, applied once every node exists.
    struct LookTarget
    {
        Ogre::SceneNode* sourceNode = nullptr;
        Ogre::Camera* camera = nullptr;
        Ogre::String nodeName;
        Ogre::Node::TransformSpace relativeTo = Ogre::Node::TS_LOCAL;
        bool isPositionSet = false;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Vector3 localDirection = Ogre::Vector3::NEGATIVE_UNIT_Z;
    };

    /// An auto-tracking request of a node or a camera, applied once every node exists.
    struct TrackTarget
    {
        Ogre::SceneNode* sourceNode = nullptr;
        Ogre::Camera* camera = nullptr;
        Ogre::String nodeName;
        Ogre::Vector3 offset = Ogre::Vector3::ZERO;
        Ogre::Vector3 localDirection = Ogre::Vector3::NEGATIVE_UNIT_Z;
    };

    /// Base of the six object descriptions; owners delete them through it.
    struct ObjectParameters
    {
        Ogre::String name;
        /// Unnamed in the file: a scene names it after its node as built; `name` is the node's as written.
        bool namedByNode = false;
        int line = 0; ///< of its element; 0 when it has none
        ObjectType objectType = NONE;
        ObjectExtraDataPtr extraData;
        Ogre::uint32 queryFlags = 0;      ///< 0 keeps the engine's default
        Ogre::uint32 visibilityFlags = 0; ///< 0 keeps the engine's default
        ObjectVisibility visibility = OBJECT_VISIBILITY_DEFAULT;
        Ogre::uint8 renderQueue = Ogre::RENDER_QUEUE_MAIN;
        Ogre::Real renderingDistance = 0;
        CustomParameters customParameters;

        ObjectParameters() = default;
        virtual ~ObjectParameters() = default;

    protected:
        ObjectParameters(const ObjectParameters&) = default;
        ObjectParameters& operator=(const ObjectParameters&) = default;
    };

    /** An object or an empty tag point on a bone of the owning entity.

        Owns `object`; it cannot be copied, so the list that holds attachments is
        sized once and filled in place. */
    struct BoneAttachment
    {
        Ogre::String name;
        Ogre::String boneName;
        std::unique_ptr<ObjectParameters> object; ///< null: only an empty tag point
        Ogre::Vector3 attachPosition = Ogre::Vector3::ZERO;
        Ogre::Vector3 attachScale = Ogre::Vector3::UNIT_SCALE;
        Ogre::Quaternion attachRotation = Ogre::Quaternion::IDENTITY;
    };

    struct EntityParameters : ObjectParameters
    {
        Ogre::String meshFile;
        Ogre::String materialFile; ///< empty keeps the mesh's materials
        bool castShadows = true;
        Ogre::HardwareBuffer::Usage vertexBufferUsage = Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        Ogre::HardwareBuffer::Usage indexBufferUsage = Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        bool vertexBufferShadowed = true;
        bool indexBufferShadowed = true;
        Ogre::String resourceGroupName; ///< empty: the caller's default group
        SubentityMaterials subentities;
        std::vector<BoneAttachment> boneAttachments;

        EntityParameters() { objectType = ENTITY; }
        EntityParameters(const EntityParameters&) = delete;
        EntityParameters& operator=(const EntityParameters&) = delete;
    };

    struct LightParameters : ObjectParameters
    {
        Ogre::Light::LightTypes lightType = Ogre::Light::LT_POINT;
        bool castShadows = false;
        Ogre::Real power = 1.0f;
        Ogre::ColourValue diffuseColor = Ogre::ColourValue::White;
        Ogre::ColourValue specularColor = Ogre::ColourValue::Black;
        // The inner default is the wider of the two, as the format has always had it.
        Ogre::Radian spotlightInnerAngle = Ogre::Radian(40 * Ogre::Math::fDeg2Rad);
        Ogre::Radian spotlightOuterAngle = Ogre::Radian(30 * Ogre::Math::fDeg2Rad);
        Ogre::Real spotlightFalloff = 1.0f;
        Ogre::Real attenuationRange = 100000.0f;
        Ogre::Real attenuationConstant = 1.0f;
        Ogre::Real attenuationLinear = 0.0f;
        Ogre::Real attenuationQuadric = 0.0f;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Vector3 direction = Ogre::Vector3::UNIT_Z;

        LightParameters() { objectType = LIGHT; }
    };

    struct CameraParameters : ObjectParameters
    {
        Ogre::Radian fovy = Ogre::Radian(Ogre::Math::PI * 0.5f);
        Ogre::Real aspectRatio = 1.33f;
        Ogre::ProjectionType projectionType = Ogre::PT_PERSPECTIVE;
        Ogre::Real nearClip = 100.0f;
        Ogre::Real farClip = 100000.0f;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 direction = Ogre::Vector3::NEGATIVE_UNIT_Z;
        /// Which of the two decides where the camera looks: the one given last, which
        /// supersedes the other (a camera's yaw axis is fixed), or neither.
        enum Aim
        {
            AIM_NONE,
            AIM_ORIENTATION,
            AIM_DIRECTION
        } aim = AIM_NONE;
        /// A scene's camera may look at or follow a node; the requests carry no node or camera yet.
        std::vector<LookTarget> lookTargets;
        std::vector<TrackTarget> trackTargets;

        CameraParameters() { objectType = CAMERA; }
    };

    struct ParticleSystemParameters : ObjectParameters
    {
        Ogre::String file; ///< particle system template

        ParticleSystemParameters() { objectType = PARTICLE_SYSTEM; }
    };

    struct Billboard
    {
        Ogre::Real width = 0;  ///< used only when width and height are both non-zero
        Ogre::Real height = 0;
        FloatRectangle texCoordRectangle; ///< used only when it has an area
        Ogre::Radian rotation = Ogre::Radian(0); ///< used only when non-zero
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::ColourValue color = Ogre::ColourValue::White;
    };

    struct BillboardSetParameters : ObjectParameters
    {
        Ogre::String material; ///< empty keeps the set's default material
        Ogre::Real width = 0;  ///< every reader sets it
        Ogre::Real height = 0; ///< every reader sets it
        Ogre::BillboardType billboardType = Ogre::BBT_POINT;
        Ogre::BillboardOrigin billboardOrigin = Ogre::BBO_CENTER;
        Ogre::BillboardRotationType billboardRotationType = Ogre::BBR_TEXCOORD;
        Ogre::Vector3 commonDirection = Ogre::Vector3::UNIT_Z;
        Ogre::Vector3 commonUpVector = Ogre::Vector3::UNIT_Y;
        Ogre::uint32 poolSize = 0; ///< 0 keeps the engine's pool size
        bool autoExtendPool = true;
        bool cullIndividual = false;
        bool sort = false;
        bool accurateFacing = false;
        std::vector<Billboard> billboards;

        BillboardSetParameters() { objectType = BILLBOARD_SET; }
    };

    struct PlaneParameters : ObjectParameters
    {
        Ogre::String planeName; ///< base name of the plane mesh
        Ogre::Real distance = 0; ///< every reader sets it
        Ogre::Real width = 0;    ///< every reader sets it
        Ogre::Real height = 0;   ///< every reader sets it
        int xSegments = 0;
        int ySegments = 0;
        int numTexCoordSets = 0;
        Ogre::Real uTile = 0;
        Ogre::Real vTile = 0;
        Ogre::String material;
        bool normals = true;
        bool movablePlane = true;
        bool castShadows = true;
        Ogre::Vector3 normal = Ogre::Vector3::ZERO;
        Ogre::Vector3 upVector = Ogre::Vector3::UNIT_Z;
        Ogre::HardwareBuffer::Usage vertexBufferUsage = Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        Ogre::HardwareBuffer::Usage indexBufferUsage = Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        bool vertexBufferShadowed = true;
        bool indexBufferShadowed = true;
        Ogre::String resourceGroupName;

        PlaneParameters() { objectType = PLANE; }
    };

    /// What a node element says of itself, in scene and model files alike.
    struct NodeAttributes
    {
        Ogre::String name;
        Ogre::String modelFile; ///< the model instanced under the node; empty: none
        Ogre::String id;
        ObjectVisibility visibility = OBJECT_VISIBILITY_DEFAULT;
    };

    /// A sky box, dome or plane as written; each kind reads its own values.
    struct SkyParameters
    {
        enum Kind
        {
            BOX,
            DOME,
            PLANE
        };
        Kind kind = BOX;
        bool enable = true;
        Ogre::String material;
        bool drawFirst = true;
        Ogre::Real distance = 0;    ///< box and dome
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY; ///< box and dome
        Ogre::Real curvature = 10;  ///< dome
        Ogre::Real tiling = 0;      ///< dome and plane
        int xSegments = 1;
        int ySegments = 1;
        Ogre::Plane plane;          ///< plane
        Ogre::Real scale = 1000;    ///< plane
        Ogre::Real bow = 0;         ///< plane
        ObjectExtraData extraData;
        int line = 0;
    };

    struct KeyFrameParameters
    {
        Ogre::Real time = 0;
        Ogre::Vector3 translation = Ogre::Vector3::ZERO;
        Ogre::Quaternion rotation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
    };

    struct NodeAnimationParameters
    {
        Ogre::String name;
        Ogre::Real length = 0;
        Ogre::Animation::InterpolationMode interpolationMode = Ogre::Animation::IM_SPLINE;
        Ogre::Animation::RotationInterpolationMode rotationInterpolationMode = Ogre::Animation::RIM_LINEAR;
        bool enabled = true;
        bool looping = true;
        std::vector<KeyFrameParameters> keyFrames;
    };
}
}

#endif
