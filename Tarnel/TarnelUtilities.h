#ifndef TARNEL_UTILITIES_H
#define TARNEL_UTILITIES_H

#include "Tarnel/TarnelValues.h"
#include "Tarnel/Types.h"

#include <OgreBillboardSet.h>
#include <OgreCommon.h>
#include <OgreHardwareBuffer.h>
#include <OgreLight.h>
#include <OgreNode.h>
#include <OgrePixelFormat.h>
#include <OgrePlane.h>
#include <OgreTexture.h>

#include <string_view>

class TiXmlDocument;
class TiXmlElement;

namespace Tarnel
{
    /** Stateless readers shared by the scene and model readers.

        An attribute that is present with an empty value reads exactly like a
        missing one. Strict keyword parsers raise InvalidParametersException with
        the text as written; the lenient ones give the value 0 of their type. */
    class TarnelUtilities
    {
    public:
        // Documents

        /** Parses a document read through the engine's resource system; searches
            the other groups when the given one lacks the file. */
        /** Parses the text into the document. False, after logging why with the row and
            column, when it nests deeper than Limits::MAX_ELEMENT_DEPTH or does not parse. */
        static bool ParseXml(Ogre::String text, TiXmlDocument& document, const Ogre::String& name);

        /** Reads and parses an XML file as the parser's own file reading would (line ends
            made "\n"); false when it cannot be read or ParseXml refuses it. */
        static bool LoadXmlFile(const Ogre::String& path, TiXmlDocument& document);

        /// Whether elements in the text nest deeper than the depth; it stops reading there.
        static bool NestsDeeperThan(const char* text, int depth);

        /** Raises the engine's invalid-parameters error from the source when the value lies
            outside lowest to highest; `what` names the value for the message. */
        static void CheckRange(long long value, long long lowest, long long highest, const Ogre::String& what,
                               const char* source);

        /// CheckRange for both segment counts of a plane-shaped mesh.
        static void CheckSegments(int xSegments, int ySegments, const Ogre::String& what, const char* source);

        static void LoadXmlDocument(const Ogre::String& fileName, TiXmlDocument& document,
                                    const Ogre::String& resourceGroupName);

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
        /// Leaves the text unchanged when the element has no text child.
        static void GetElementText(const TiXmlElement* element, Ogre::String& text);

        // Numbers, read the way the format has always been read: decimal, leading white
        // space skipped, reading stops at the first character that does not fit, 0 when
        // nothing fits. (This engine's own converters read "010" as octal and "0x10" as hex.)

        static Ogre::Real ParseReal(const Ogre::String& text);
        static Ogre::int32 ParseInt(const Ogre::String& text);
        static Ogre::uint32 ParseUInt(const Ogre::String& text);

        // Counting and text tests

        /// Elements of that name in the subtree, the element itself included.
        static int GetElementCount(const TiXmlElement* element, const char* name);
        static int GetChildElementCount(const TiXmlElement* element, const char* name);
        static bool AllDigits(const Ogre::String& text);
        /// False for empty, any-case "false", and exactly "no" or "0"; true otherwise.
        static bool ParseBool(const Ogre::String& text);

        // Paths ("\" is a directory separator here)

        static bool IsAbsolutePath(const Ogre::String& path);
        static void MakeFullPath(Ogre::String& path);
        static Ogre::String JoinPath(const Ogre::String& basePath, const Ogre::String& path);

        // Strict keyword parsers

        static Ogre::Light::LightTypes ParseLightType(const Ogre::String& text);
        static Ogre::ProjectionType ParseProjectionType(const Ogre::String& text);
        static Ogre::BillboardType ParseBillboardType(const Ogre::String& text);
        static Ogre::BillboardOrigin ParseBillboardOrigin(const Ogre::String& text);
        static Ogre::BillboardRotationType ParseBillboardRotationType(const Ogre::String& text);
        static Ogre::HardwareBuffer::Usage ParseHardwareBufferUsage(const Ogre::String& text);
        static Ogre::Node::TransformSpace ParseTransformSpace(const Ogre::String& text);
        static BoundingVolumeType ParseBoundingVolumeType(const Ogre::String& text);
        static Ogre::ShadowTechnique ParseShadowTechnique(const Ogre::String& text);
        static UpAxis ParseUpAxis(const Ogre::String& text);
        static Ogre::Animation::InterpolationMode ParseAnimationInterpolationMode(const Ogre::String& text);
        static Ogre::Animation::RotationInterpolationMode ParseAnimationRotationInterpolationMode(
            const Ogre::String& text);
        static Ogre::TextureType ParseTextureType(const Ogre::String& text);
        /// Digits, or a queue name with an optional "+offset"; at most 105.
        static Ogre::uint8 ParseRenderQueue(const Ogre::String& text);
        /// Case-sensitive: exactly the engine's enumerator names that the format allows.
        static Ogre::PixelFormat ParsePixelFormat(const Ogre::String& text);

        // Lenient keyword parsers

        static Ogre::FogMode ParseFogMode(const Ogre::String& text);
        static ObjectVisibility ParseObjectVisibility(const Ogre::String& text);

        // Acting on engine objects

        static void SetNodeVisibility(ObjectVisibility visibility, Ogre::SceneNode* node);
        static void SetCustomParameters(Ogre::Renderable* renderable, const CustomParameters& parameters);
        static void SetCustomParameters(Ogre::Entity* entity, const CustomParameters& parameters);
        /// Makes the identity the node's initial state while keeping its transform.
        static void SetIdentityInitialState(Ogre::Node* node);
        /** A child of the parent; an empty name gets a name made as the engine used
            to make it, "Unnamed_" and a program-wide count from 1. */
        static Ogre::SceneNode* CreateChildSceneNode(Ogre::SceneNode* parent, const Ogre::String& name);
        static Ogre::Entity* CreateEntity(Ogre::SceneManager* sceneManager, const Ogre::String& entityName,
                                          const Ogre::String& meshFile,
                                          const SubentityMaterials& materialNames);
        /// Largest power of two below the value (half of it for a power of two); 0 gives 0.
        static unsigned int PreviousPowerOfTwo(unsigned int value);
    };
}

#endif
