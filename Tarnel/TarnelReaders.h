#ifndef TARNEL_READERS_H
#define TARNEL_READERS_H

#include "Tarnel/TarnelValues.h"
#include "Tarnel/Types.h"

#include <OgreCommon.h>
#include <OgreHardwareBuffer.h>
#include <OgrePixelFormat.h>
#include <OgrePlane.h>
#include <OgreTexture.h>

class TiXmlElement;

namespace Tarnel
{
    /** Stateless readers of values, shared by the scene and model readers.

        An attribute that is present with an empty value reads exactly like a
        missing one. */
    class Readers
    {
    public:
        /** Raises the engine's invalid-parameters error from the source when the value lies
            outside lowest to highest; `what` names the value for the message. */
        static void CheckRange(long long value, long long lowest, long long highest, const Ogre::String& what,
                               const char* source);

        /// CheckRange for both segment counts of a plane-shaped mesh.
        static void CheckSegments(int xSegments, int ySegments, const Ogre::String& what, const char* source);

        // Attributes

        static Ogre::String GetStringAttribute(const TiXmlElement* element, const char* name);
        static Ogre::String GetStringAttribute(const TiXmlElement* element, const char* name,
                                               const Ogre::String& defaultValue);
        static Ogre::Real GetRealAttribute(const TiXmlElement* element, const char* name,
                                           Ogre::Real defaultValue);
        static int GetIntAttribute(const TiXmlElement* element, const char* name, int defaultValue);
        static unsigned int GetUIntAttribute(const TiXmlElement* element, const char* name,
                                             unsigned int defaultValue);
        static bool GetBoolAttribute(const TiXmlElement* element, const char* name, bool defaultValue);
        static Ogre::PixelFormat GetPixelFormatAttribute(const TiXmlElement* element,
                                                         Ogre::PixelFormat defaultValue);
        static Ogre::TextureType GetTextureTypeAttribute(const TiXmlElement* element,
                                                         Ogre::TextureType defaultValue);
        static ObjectVisibility GetObjectVisibilityAttribute(const TiXmlElement* element);
        static ObjectVisibility GetVisibleAttribute(const TiXmlElement* element);
        static Ogre::Plane GetPlaneAttributes(const TiXmlElement* element, const Ogre::Plane& defaultPlane);

        // Element forms

        static Ogre::Vector3 LoadXYZ(const TiXmlElement* element);
        static Ogre::ColourValue LoadColor(const TiXmlElement* element);
        static Ogre::Plane LoadPlane(const TiXmlElement* element);
        static FloatRectangle LoadFloatRectangle(const TiXmlElement* element);
        static void LoadClipping(const TiXmlElement* element, Ogre::Real& nearClip, Ogre::Real& farClip);
        /// Quaternion ("qx"), angle and axis ("axisX") or Euler angles ("angleX"); identity otherwise.
        static Ogre::Quaternion LoadRotation(const TiXmlElement* element);

        /// A node's or key frame's scale: LoadXYZ within Domains::Scale.
        static Ogre::Vector3 LoadScale(const TiXmlElement* element);

        /// LoadRotation without its domain check: the rotation as written.
        static Ogre::Quaternion ReadRotation(const TiXmlElement* element);
        static void LoadBufferUsage(const TiXmlElement* element, Ogre::HardwareBuffer::Usage& usage,
                                    bool& useShadowBuffer);

        // Composite elements

        static void LoadBoundingVolume(const TiXmlElement* element, BoundingVolume& volume);
        static void LoadBoundingVolumeFaces(const TiXmlElement* facesElement, int faceCount,
                                            std::vector<BoundingVolume::Face>& faces);
        static void LoadCustomParameters(const TiXmlElement* element, CustomParameters& parameters);
        static void LoadSubentities(const TiXmlElement* element, SubentityMaterials& materialNames);
        static void LoadNoteTracks(const TiXmlElement* element, Types::NoteTracks& noteTracks);
        static void LoadNoteTrack(const TiXmlElement* element, Types::NoteTrack& noteTrack);
        static void LoadUserDataReference(const TiXmlElement* element, Ogre::String& userDataReference);
        /** Reads a "userDataReference" or "userData" child into the extra data, as
            nodes, objects and the terrain carry them; false for other children. */
        static bool LoadUserDataElement(const TiXmlElement* child, Types::ObjectExtraData& extraData);
        // Numbers, read the way the format has always been read: decimal, leading white
        // space skipped, reading stops at the first character that does not fit, 0 when
        // nothing fits. (This engine's own converters read "010" as octal and "0x10" as hex.)

        static Ogre::Real ParseReal(const Ogre::String& text);
        static Ogre::int32 ParseInt(const Ogre::String& text);
        static Ogre::uint32 ParseUInt(const Ogre::String& text);

        // Text tests

        static bool AllDigits(const Ogre::String& text);
        /// False for empty, any-case "false", and exactly "no" or "0"; true otherwise.
        static bool ParseBool(const Ogre::String& text);

    };
}

#endif
