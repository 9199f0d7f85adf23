#ifndef TARNEL_READERS_H
#define TARNEL_READERS_H

#include "Tarnel/Read/TarnelValues.h"
#include "Tarnel/Read/Types.h"

#include <OgreCommon.h>
#include <OgreHardwareBuffer.h>
#include <OgrePixelFormat.h>
#include <OgrePlane.h>
#include <OgreTexture.h>

#include <array>
#include <initializer_list>
#include <string_view>

class TiXmlAttribute;
class TiXmlElement;

namespace Tarnel
{
    /** Stateless readers of values, shared by the scene and model readers.

        An attribute that is present with an empty value reads exactly like a
        missing one. */
    namespace TarnelUtilities
    {
        /** Raises the engine's invalid-parameters error from the source when the value lies
            outside lowest to highest; `what` names the value for the message. */
        void CheckRange(long long value, long long lowest, long long highest, const Ogre::String& what,
                               const char* source);

        /// CheckRange for both segment counts of a plane-shaped mesh.
        void CheckSegments(int xSegments, int ySegments, const Ogre::String& what, const char* source);

        // Attributes

        /** The attributes a reader asks for, found in one walk over the element's: an
            element read for a dozen optional attributes is not searched a dozen times.
            Values are asked for by their place in the list of names, and read as the
            Get...Attribute readers read them. */
        class Attributes
        {
        public:
            static const size_t MAX_NAMES = 12;

            Attributes(const TiXmlElement* element, std::initializer_list<std::string_view> names);

            /// Whether the attribute is there, even with an empty value.
            bool Has(size_t index) const { return found[index] != nullptr; }
            Ogre::String String(size_t index, const Ogre::String& defaultValue = Ogre::BLANKSTRING) const;
            Ogre::Real Real(size_t index, Ogre::Real defaultValue) const;
            int Int(size_t index, int defaultValue) const;
            unsigned int UInt(size_t index, unsigned int defaultValue) const;
            bool Bool(size_t index, bool defaultValue) const;
            /// The visible attribute's three states.
            ObjectVisibility Visible(size_t index) const;

        private:
            /// The value, or null when the attribute is missing or empty.
            const char* Present(size_t index) const;

            const TiXmlElement* element;
            std::array<const TiXmlAttribute*, MAX_NAMES> found{};
            std::array<const char*, MAX_NAMES> names{};
        };

        Ogre::String GetStringAttribute(const TiXmlElement* element, const char* name);
        Ogre::String GetStringAttribute(const TiXmlElement* element, const char* name,
                                               const Ogre::String& defaultValue);
        Ogre::Real GetRealAttribute(const TiXmlElement* element, const char* name,
                                           Ogre::Real defaultValue);
        int GetIntAttribute(const TiXmlElement* element, const char* name, int defaultValue);
        unsigned int GetUIntAttribute(const TiXmlElement* element, const char* name,
                                             unsigned int defaultValue);
        bool GetBoolAttribute(const TiXmlElement* element, const char* name, bool defaultValue);
        Ogre::PixelFormat GetPixelFormatAttribute(const TiXmlElement* element,
                                                         Ogre::PixelFormat defaultValue);
        Ogre::TextureType GetTextureTypeAttribute(const TiXmlElement* element,
                                                         Ogre::TextureType defaultValue);
        ObjectVisibility GetObjectVisibilityAttribute(const TiXmlElement* element);
        ObjectVisibility GetVisibleAttribute(const TiXmlElement* element);
        Ogre::Plane GetPlaneAttributes(const TiXmlElement* element, const Ogre::Plane& defaultPlane);

        // Element forms

        Ogre::Vector3 LoadXYZ(const TiXmlElement* element);
        Ogre::ColourValue LoadColor(const TiXmlElement* element);
        Ogre::Plane LoadPlane(const TiXmlElement* element);
        FloatRectangle LoadFloatRectangle(const TiXmlElement* element);
        void LoadClipping(const TiXmlElement* element, Ogre::Real& nearClip, Ogre::Real& farClip);
        /// Quaternion ("qx"), angle and axis ("axisX") or Euler angles ("angleX"); identity otherwise.
        Ogre::Quaternion LoadRotation(const TiXmlElement* element);

        /// A node's or key frame's scale: LoadXYZ within Domains::Scale.
        Ogre::Vector3 LoadScale(const TiXmlElement* element);

        /// LoadRotation without its domain check: the rotation as written.
        Ogre::Quaternion ReadRotation(const TiXmlElement* element);
        void LoadBufferUsage(const TiXmlElement* element, Ogre::HardwareBuffer::Usage& usage,
                                    bool& useShadowBuffer);

        // Composite elements

        void LoadBoundingVolume(const TiXmlElement* element, BoundingVolume& volume);
        void LoadBoundingVolumeFaces(const TiXmlElement* facesElement, int faceCount,
                                            std::vector<BoundingVolume::Face>& faces);
        void LoadCustomParameters(const TiXmlElement* element, CustomParameters& parameters);
        void LoadSubentities(const TiXmlElement* element, SubentityMaterials& materialNames);
        void LoadNoteTracks(const TiXmlElement* element, Types::NoteTracks& noteTracks);
        void LoadNoteTrack(const TiXmlElement* element, Types::NoteTrack& noteTrack);
        void LoadUserDataReference(const TiXmlElement* element, Ogre::String& userDataReference);
        /** Reads a "userDataReference" or "userData" child into the extra data, as
            nodes, objects and the terrain carry them; false for other children. */
        bool LoadUserDataElement(const TiXmlElement* child, Types::ObjectExtraData& extraData);
        // Numbers, read the way the format has always been read: decimal, leading white
        // space skipped, reading stops at the first character that does not fit, 0 when
        // nothing fits. (This engine's own converters read "010" as octal and "0x10" as hex.)

        Ogre::Real ParseReal(const Ogre::String& text);
        Ogre::int32 ParseInt(const Ogre::String& text);
        Ogre::uint32 ParseUInt(const Ogre::String& text);

        // Text tests

        bool AllDigits(const Ogre::String& text);
        /// False for empty, any-case "false", and exactly "no" or "0"; true otherwise.
        bool ParseBool(const Ogre::String& text);

    }
}

#endif
