#ifndef TARNEL_OBJECTS_H
#define TARNEL_OBJECTS_H

#include "Tarnel/Read/Types.h"

#include <memory>

class TiXmlElement;

namespace Tarnel
{
    /** What the object elements of scene and model files share, read into plain
        descriptions without the engine's scene: written once for the scene reader,
        the model reader and model instances, so that they differ only where the
        format makes them differ, at the call site. TarnelObjectBuilders.h makes the
        engine's objects from them. */
    namespace Objects
    {
        /** Where scene files and model files read objects differently; the rest of the
            reading is one. */
        struct Rules
        {
            bool castShadows;             ///< a light's, when not given
            bool receiveShadows;          ///< an entity's and a plane's, when not given
            bool effectsReceiveShadows;   ///< particle systems and billboard sets read the flag too
            Ogre::Radian spotlightInner;  ///< a spotlight's cone where its light range leaves it
            Ogre::Radian spotlightOuter;
            Ogre::Vector3 lightDirection; ///< a light's direction without a normal
            bool cameraDirectionLast;     ///< the normal decides where a camera looks, wherever it stands
            bool cameraTargets;           ///< cameras read lookTarget and trackTarget
            /// Each object of a boneAttachment element hangs on the bone at the offsets given before
            /// it, and every child of boneAttachments is one, whatever its name (a scene's); otherwise
            /// only its last object does, at its last offsets (a model's).
            bool boneObjectsInOrder;
            /// An unnamed object takes its node's name; otherwise its instance's (a model's).
            bool unnamedTakeNodeName;
            /// Nodes hold look and track targets, portals and modelInstance elements (a scene's).
            bool sceneNodeParts;
            /// Only a node's last animations element counts (a model's); otherwise each adds its own.
            bool lastAnimationsOnly;

            /// A scene's objects keep the engine's defaults where the file is silent.
            static const Rules SCENE;
            /// A model's objects have the model file's own defaults.
            static const Rules MODEL;
        };

        /// Whether the element is an object of one of the six kinds.
        bool IsObject(const TiXmlElement* element);
        /** The description of an object element of any kind, its extra data included, or
            null for elements of other names; named as given (the messages of its values
            name it so), else by its name attribute as written. */
        std::unique_ptr<Types::ObjectParameters> ReadObject(const TiXmlElement* element, const Ogre::String& name,
                                                            const Rules& rules);
        std::unique_ptr<Types::ObjectParameters> ReadObject(const TiXmlElement* element, const Rules& rules);

        /// A node element's name, model file (given as modelFile or modelName), id and visibility.
        Types::NodeAttributes ReadNodeAttributes(const TiXmlElement* element);
        /** The mesh an entity element shows, whether an object or a copy batched into geometry;
            a backslash in its name is a folder's separator, as in the level's other file names. */
        Ogre::String ReadMeshFile(const TiXmlElement* element);

        /// A look-at or tracking request of a node or a camera, without its node or camera.
        Types::LookTarget LoadLookTarget(const TiXmlElement* element);
        Types::TrackTarget LoadTrackTarget(const TiXmlElement* element);

        /** A node animation's name, whether it plays and loops, its length and modes when
            asked (ReadNodeAnimationShape), and its key frames in document order. */
        void LoadNodeAnimation(const TiXmlElement* element, Types::NodeAnimationParameters& animation,
                               bool withShape);

        // Reading: every kind

        /// Query flags, visibility flags and the visible attribute.
        void ReadCommonAttributes(const TiXmlElement* element, Types::ObjectParameters& parameters);
        /// Render queue and rendering distance, which every drawn kind has.
        void ReadQueueAndDistance(const TiXmlElement* element, Types::ObjectParameters& parameters);
        /// User data and note tracks; false for other children.
        bool LoadExtraDataChild(const TiXmlElement* child, Types::ObjectExtraData& extraData);

        /** A position, rotation or scale child of a node, or of a bone attachment for its offset
            from the bone; false for other children. */
        /// Which part of a transform a child element gave; NO_TRANSFORM (false) for other children.
        enum TransformPart
        {
            NO_TRANSFORM = 0,
            POSITION,
            ROTATION,
            SCALE
        };
        TransformPart LoadTransformChild(const TiXmlElement* child, Ogre::Vector3& position, Ogre::Quaternion& rotation,
                                         Ogre::Vector3& scale);

        // Reading: one kind's own attributes and children (false for children of other names)

        void ReadEntityAttributes(const TiXmlElement* element, Types::EntityParameters& parameters);
        bool LoadEntityChild(const TiXmlElement* child, Types::EntityParameters& parameters);
        /// The light's type, power and cast-shadows flag, whose default differs between files.
        void ReadLightAttributes(const TiXmlElement* element, Types::LightParameters& parameters,
                                 bool castShadowsDefault);
        /// A spotlight's cone: each value given replaces the one passed in; angles in radians.
        void LoadLightRange(const TiXmlElement* element, Ogre::Radian& inner, Ogre::Radian& outer,
                            Ogre::Real& falloff);
        /// Each value given replaces the one passed in.
        void LoadLightAttenuation(const TiXmlElement* element, Ogre::Real& range, Ogre::Real& constant,
                                  Ogre::Real& linear, Ogre::Real& quadric);
        void ReadCameraAttributes(const TiXmlElement* element, Types::CameraParameters& parameters);
        void ReadParticleSystemAttributes(const TiXmlElement* element, Types::ParticleSystemParameters& parameters);
        void ReadBillboardSetAttributes(const TiXmlElement* element, Types::BillboardSetParameters& parameters);
        bool LoadBillboardSetChild(const TiXmlElement* child, Types::BillboardSetParameters& parameters);
        Types::Billboard LoadBillboard(const TiXmlElement* element);
        void ReadPlaneAttributes(const TiXmlElement* element, Types::PlaneParameters& parameters);
        bool LoadPlaneChild(const TiXmlElement* child, Types::PlaneParameters& parameters);

        /// The length and the interpolation modes of a node animation (each mode only when given).
        void ReadNodeAnimationShape(const TiXmlElement* element, Types::NodeAnimationParameters& parameters);
        /// A key frame: time, then translation, rotation and scale in document order.
        Types::KeyFrameParameters LoadNodeAnimationKeyFrame(const TiXmlElement* element);
    }
}

#endif
