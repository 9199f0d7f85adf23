// Attribute readers, element forms and the small composite readers.
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Read/TarnelReadMarks.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelLimits.h"

#include <OgreMatrix3.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <cassert>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <string_view>
#include <type_traits>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /** Reads a number as a C++ stream reads it: white space skipped, an optional
            sign, then as much as fits; 0 when nothing fits. A sign before an unsigned
            number wraps it, as the stream does ("-1" is all bits set). */
        template <typename Number>
        Number ParseNumber(const char* first, const char* last)
        {
            while (first != last && std::isspace(static_cast<unsigned char>(*first)))
                ++first;
            bool negative = first != last && *first == '-';
            if (first != last && (*first == '-' || *first == '+'))
                ++first;
            // A stream reads digits only: "nan" and "inf" would reach the engine, which aborts on them.
            if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.'))
                return 0;

            typedef typename std::conditional<std::is_integral<Number>::value, uint64, Number>::type Wide;
            Wide value = 0;
            std::from_chars_result read = std::from_chars(first, last, value);
            if (read.ec != std::errc())
                return 0;
            return negative ? Number(Wide(0) - value) : Number(value);
        }

        /// The attribute's value, or null when it is missing or empty.
        /// The attribute of the name, or null; elements are read for a dozen optional attributes each.
        const TiXmlAttribute* FindAttribute(const TiXmlElement* element, std::string_view name)
        {
            // The parser's own look-up measures the name again at every attribute it passes.
            for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
            {
                if (std::string_view(attribute->NameTStr()) == name)
                {
                    ReadMarks::Mark(attribute);
                    return attribute;
                }
            }
            return nullptr;
        }

        const char* PresentValue(const TiXmlElement* element, const char* name)
        {
            const TiXmlAttribute* attribute = FindAttribute(element, name);
            return (attribute && *attribute->Value()) ? attribute->Value() : nullptr;
        }


        Quaternion LoadEulerRotation(const TiXmlElement* element)
        {
            Radian x(TarnelUtilities::GetRealAttribute(element, "angleX", 0));
            Radian y(TarnelUtilities::GetRealAttribute(element, "angleY", 0));
            Radian z(TarnelUtilities::GetRealAttribute(element, "angleZ", 0));
            String order = TarnelUtilities::GetStringAttribute(element, "order");

            Matrix3 matrix;
            if (order.size() < 2)
                matrix.FromEulerAnglesXYZ(x, y, z);
            else if (order[0] == 'x')
                order[1] == 'y' ? matrix.FromEulerAnglesXYZ(x, y, z) : matrix.FromEulerAnglesXZY(x, y, z);
            else if (order[0] == 'y')
                order[1] == 'x' ? matrix.FromEulerAnglesYXZ(x, y, z) : matrix.FromEulerAnglesYZX(x, y, z);
            else
                order[1] == 'x' ? matrix.FromEulerAnglesZXY(x, y, z) : matrix.FromEulerAnglesZYX(x, y, z);

            Quaternion rotation;
            rotation.FromRotationMatrix(matrix);
            return rotation;
        }
    }

    void TarnelUtilities::CheckRange(long long value, long long lowest, long long highest, const String& what,
                                     const char* source)
    {
        if (value < lowest || value > highest)
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS,
                          what + " must be from " + std::to_string(lowest) + " to " + std::to_string(highest) +
                              ", not " + std::to_string(value),
                          source, UTILITIES_SOURCE_FILE);
    }

    void TarnelUtilities::CheckSegments(int xSegments, int ySegments, const String& what, const char* source)
    {
        CheckRange(xSegments, 1, Limits::MAX_SEGMENTS, "The xSegments of " + what, source);
        CheckRange(ySegments, 1, Limits::MAX_SEGMENTS, "The ySegments of " + what, source);
    }

    TarnelUtilities::Attributes::Attributes(const TiXmlElement* element, std::initializer_list<std::string_view> wanted)
        : element(element)
    {
        assert(wanted.size() <= MAX_NAMES);
        size_t missing = wanted.size();
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute && missing;
             attribute = attribute->Next())
        {
            std::string_view name(attribute->NameTStr());
            size_t index = 0;
            for (std::string_view candidate : wanted)
            {
                if (candidate == name && !found[index])
                {
                    ReadMarks::Mark(attribute);
                    found[index] = attribute;
                    names[index] = attribute->Name();
                    --missing;
                    break;
                }
                ++index;
            }
        }
    }

    const char* TarnelUtilities::Attributes::Present(size_t index) const
    {
        const TiXmlAttribute* attribute = found[index];
        return (attribute && *attribute->Value()) ? attribute->Value() : nullptr;
    }

    String TarnelUtilities::Attributes::String(size_t index, const Ogre::String& defaultValue) const
    {
        const char* value = Present(index);
        return value ? Ogre::String(value) : defaultValue;
    }

    Real TarnelUtilities::Attributes::Real(size_t index, Ogre::Real defaultValue) const
    {
        const char* value = Present(index);
        if (!value)
            return defaultValue;
        Ogre::Real number = ParseNumber<Ogre::Real>(value, value + std::strlen(value));
        return std::abs(number) <= Limits::MAX_REAL ? number : Domains::Magnitude(element, names[index], number);
    }

    int TarnelUtilities::Attributes::Int(size_t index, int defaultValue) const
    {
        const char* value = Present(index);
        return value ? ParseNumber<int32>(value, value + std::strlen(value)) : defaultValue;
    }

    unsigned int TarnelUtilities::Attributes::UInt(size_t index, unsigned int defaultValue) const
    {
        const char* value = Present(index);
        return value ? ParseNumber<uint32>(value, value + std::strlen(value)) : defaultValue;
    }

    bool TarnelUtilities::Attributes::Bool(size_t index, bool defaultValue) const
    {
        const char* value = Present(index);
        return value ? ParseBool(value) : defaultValue;
    }

    ObjectVisibility TarnelUtilities::Attributes::Visible(size_t index) const
    {
        const char* value = Present(index);
        if (!value)
            return OBJECT_VISIBILITY_DEFAULT;
        return ParseBool(value) ? OBJECT_VISIBLE : OBJECT_HIDDEN;
    }

    String TarnelUtilities::GetStringAttribute(const TiXmlElement* element, const char* name)
    {
        return GetStringAttribute(element, name, BLANKSTRING);
    }

    String TarnelUtilities::GetStringAttribute(const TiXmlElement* element, const char* name,
                                               const String& defaultValue)
    {
        const char* value = PresentValue(element, name);
        return value ? String(value) : defaultValue;
    }

    Real TarnelUtilities::GetRealAttribute(const TiXmlElement* element, const char* name, Real defaultValue)
    {
        // Numbers are read in place: big levels have them by the hundred thousand.
        const char* value = PresentValue(element, name);
        if (!value)
            return defaultValue;
        Real number = ParseNumber<Real>(value, value + std::strlen(value));
        return std::abs(number) <= Limits::MAX_REAL ? number : Domains::Magnitude(element, name, number);
    }

    int TarnelUtilities::GetIntAttribute(const TiXmlElement* element, const char* name, int defaultValue)
    {
        const char* value = PresentValue(element, name);
        return value ? ParseNumber<int32>(value, value + std::strlen(value)) : defaultValue;
    }

    unsigned int TarnelUtilities::GetUIntAttribute(const TiXmlElement* element, const char* name,
                                                   unsigned int defaultValue)
    {
        const char* value = PresentValue(element, name);
        return value ? ParseNumber<uint32>(value, value + std::strlen(value)) : defaultValue;
    }

    bool TarnelUtilities::GetBoolAttribute(const TiXmlElement* element, const char* name, bool defaultValue)
    {
        const char* value = PresentValue(element, name);
        return value ? ParseBool(value) : defaultValue;
    }

    PixelFormat TarnelUtilities::GetPixelFormatAttribute(const TiXmlElement* element, PixelFormat defaultValue)
    {
        const char* value = PresentValue(element, "pixelFormat");
        return value ? TarnelUtilities::ParsePixelFormat(value) : defaultValue;
    }

    TextureType TarnelUtilities::GetTextureTypeAttribute(const TiXmlElement* element, TextureType defaultValue)
    {
        const char* value = PresentValue(element, "textureType");
        return value ? TarnelUtilities::ParseTextureType(value) : defaultValue;
    }

    ObjectVisibility TarnelUtilities::GetObjectVisibilityAttribute(const TiXmlElement* element)
    {
        return TarnelUtilities::ParseObjectVisibility(GetStringAttribute(element, "visibility"));
    }

    ObjectVisibility TarnelUtilities::GetVisibleAttribute(const TiXmlElement* element)
    {
        const char* value = PresentValue(element, "visible");
        if (!value)
            return OBJECT_VISIBILITY_DEFAULT;
        return ParseBool(value) ? OBJECT_VISIBLE : OBJECT_HIDDEN;
    }

    Plane TarnelUtilities::GetPlaneAttributes(const TiXmlElement* element, const Plane& defaultPlane)
    {
        Plane plane;
        plane.normal.x = GetRealAttribute(element, "planeX", defaultPlane.normal.x);
        plane.normal.y = GetRealAttribute(element, "planeY", defaultPlane.normal.y);
        plane.normal.z = GetRealAttribute(element, "planeZ", defaultPlane.normal.z);
        plane.d = GetRealAttribute(element, "planeD", defaultPlane.d);
        return plane;
    }

    Vector3 TarnelUtilities::LoadXYZ(const TiXmlElement* element)
    {
        enum { X, Y, Z };
        Attributes attributes(element, {"x", "y", "z"});
        return Vector3(attributes.Real(X, 0), attributes.Real(Y, 0), attributes.Real(Z, 0));
    }

    ColourValue TarnelUtilities::LoadColor(const TiXmlElement* element)
    {
        enum { R, G, B, A };
        Attributes attributes(element, {"r", "g", "b", "a"});
        return ColourValue(attributes.Real(R, 0), attributes.Real(G, 0), attributes.Real(B, 0), attributes.Real(A, 1));
    }

    Plane TarnelUtilities::LoadPlane(const TiXmlElement* element)
    {
        Plane plane;
        plane.normal = LoadXYZ(element);
        plane.d = GetRealAttribute(element, "d", 0);
        return plane;
    }

    FloatRectangle TarnelUtilities::LoadFloatRectangle(const TiXmlElement* element)
    {
        FloatRectangle rectangle;
        rectangle.left = GetRealAttribute(element, "left", 0);
        rectangle.top = GetRealAttribute(element, "top", 0);
        rectangle.right = GetRealAttribute(element, "right", 0);
        rectangle.bottom = GetRealAttribute(element, "bottom", 0);
        return rectangle;
    }

    void TarnelUtilities::LoadClipping(const TiXmlElement* element, Real& nearClip, Real& farClip)
    {
        nearClip = GetRealAttribute(element, "near", 1);
        farClip = GetRealAttribute(element, "far", 10000);
        Domains::Clipping(element, nearClip, farClip);
    }

    Vector3 TarnelUtilities::LoadScale(const TiXmlElement* element)
    {
        return Domains::Scale(element, LoadXYZ(element));
    }

    Quaternion TarnelUtilities::LoadRotation(const TiXmlElement* element)
    {
        return Domains::Rotation(element, ReadRotation(element));
    }

    Quaternion TarnelUtilities::ReadRotation(const TiXmlElement* element)
    {
        enum { QW, QX, QY, QZ, AXIS_X, AXIS_Y, AXIS_Z, ANGLE, ANGLE_X };
        Attributes attributes(element, {"qw", "qx", "qy", "qz", "axisX", "axisY", "axisZ", "angle", "angleX"});
        // The first marker present decides, even when its value is empty.
        if (attributes.Has(QX))
            return Quaternion(attributes.Real(QW, 0), attributes.Real(QX, 0), attributes.Real(QY, 0),
                              attributes.Real(QZ, 0));
        if (attributes.Has(AXIS_X))
        {
            Vector3 axis(attributes.Real(AXIS_X, 0), attributes.Real(AXIS_Y, 0), attributes.Real(AXIS_Z, 0));
            Quaternion rotation;
            rotation.FromAngleAxis(Radian(attributes.Real(ANGLE, 0)), axis);
            return rotation;
        }
        if (attributes.Has(ANGLE_X))
            return LoadEulerRotation(element);
        return Quaternion::IDENTITY;
    }

    void TarnelUtilities::LoadBufferUsage(const TiXmlElement* element, HardwareBuffer::Usage& usage,
                                          bool& useShadowBuffer)
    {
        const char* value = PresentValue(element, "usage");
        usage = value ? TarnelUtilities::ParseHardwareBufferUsage(value) : HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        useShadowBuffer = GetBoolAttribute(element, "useShadow", true);
    }

    void TarnelUtilities::LoadBoundingVolume(const TiXmlElement* element, BoundingVolume& volume)
    {
        volume.type = TarnelUtilities::ParseBoundingVolumeType(GetStringAttribute(element, "type"));
        volume.sphereRadius = GetRealAttribute(element, "radius", 0);
        int faceCount = GetIntAttribute(element, "faceCount", 0);
        CheckRange(faceCount, 0, Limits::MAX_BOUNDING_VOLUME_FACES, "The faceCount of a bounding volume",
                   "TarnelUtilities::LoadBoundingVolume");
        if (faceCount > 0)
        {
            BoundingVolume::Face zeroFace; // the engine's vectors start uninitialised
            zeroFace.fill(Vector3::ZERO);
            volume.meshFaces.assign(faceCount, zeroFace);
        }

        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            if (child->ValueStr() == "size")
                volume.boxSize = LoadXYZ(child);
            else if (child->ValueStr() == "faces")
                LoadBoundingVolumeFaces(child, faceCount, volume.meshFaces);
        }
    }

    void TarnelUtilities::LoadBoundingVolumeFaces(const TiXmlElement* facesElement, int faceCount,
                                                  std::vector<BoundingVolume::Face>& faces)
    {
        // Children of any name are the faces, and theirs the vertices, in order.
        int faceIndex = 0;
        for (const TiXmlElement* face = facesElement->FirstChildElement();
             face && faceIndex < faceCount && faceIndex < int(faces.size());
             face = face->NextSiblingElement(), ++faceIndex)
        {
            size_t vertexIndex = 0;
            for (const TiXmlElement* vertex = face->FirstChildElement(); vertex && vertexIndex < 3;
                 vertex = vertex->NextSiblingElement(), ++vertexIndex)
            {
                faces[faceIndex][vertexIndex] = LoadXYZ(vertex);
            }
        }
    }

    void TarnelUtilities::LoadCustomParameters(const TiXmlElement* element, CustomParameters& parameters)
    {
        parameters.assign(TarnelUtilities::GetElementCount(element, "customParameter"), CustomParameter());
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("customParameter");
             child && index < parameters.size();
             child = child->NextSiblingElement("customParameter"), ++index)
        {
            CustomParameter& parameter = parameters[index];
            parameter.id = GetIntAttribute(child, "id", 0);
            parameter.value = Vector4(GetRealAttribute(child, "x", 0),
                                      GetRealAttribute(child, "y", 0),
                                      GetRealAttribute(child, "z", 0),
                                      GetRealAttribute(child, "w", 0));
        }
    }

    void TarnelUtilities::LoadSubentities(const TiXmlElement* element, SubentityMaterials& materialNames)
    {
        materialNames.assign(TarnelUtilities::GetElementCount(element, "subentity"), BLANKSTRING);
        for (const TiXmlElement* child = element->FirstChildElement("subentity"); child;
             child = child->NextSiblingElement("subentity"))
        {
            int index = GetIntAttribute(child, "index", 0);
            if (index >= 0 && size_t(index) < materialNames.size())
                materialNames[index] = GetStringAttribute(child, "materialName");
        }
    }

    void TarnelUtilities::LoadNoteTracks(const TiXmlElement* element, Types::NoteTracks& noteTracks)
    {
        noteTracks.assign(TarnelUtilities::GetChildElementCount(element, "noteTrack"), Types::NoteTrack());
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("noteTrack"); child;
             child = child->NextSiblingElement("noteTrack"))
        {
            LoadNoteTrack(child, noteTracks[index++]);
        }
    }

    void TarnelUtilities::LoadNoteTrack(const TiXmlElement* element, Types::NoteTrack& noteTrack)
    {
        noteTrack.name = GetStringAttribute(element, "name");
        noteTrack.notes.assign(TarnelUtilities::GetChildElementCount(element, "note"), Types::Note());
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("note"); child;
             child = child->NextSiblingElement("note"))
        {
            Types::Note& note = noteTrack.notes[index++];
            note.time = GetRealAttribute(child, "time", 0);
            TarnelUtilities::GetElementText(child, note.text);
        }
    }

    void TarnelUtilities::LoadUserDataReference(const TiXmlElement* element, String& userDataReference)
    {
        userDataReference = GetStringAttribute(element, "id");
    }

    bool TarnelUtilities::LoadUserDataElement(const TiXmlElement* child, Types::ObjectExtraData& extraData)
    {
        if (child->ValueStr() == "userDataReference")
            LoadUserDataReference(child, extraData.userDataReference);
        else if (child->ValueStr() == "userData")
            TarnelUtilities::GetElementText(child, extraData.userData);
        else
            return false;
        return true;
    }

    Real TarnelUtilities::ParseReal(const String& text)
    {
        return ParseNumber<Real>(text.c_str(), text.c_str() + text.size());
    }

    int32 TarnelUtilities::ParseInt(const String& text)
    {
        return ParseNumber<int32>(text.c_str(), text.c_str() + text.size());
    }

    uint32 TarnelUtilities::ParseUInt(const String& text)
    {
        return ParseNumber<uint32>(text.c_str(), text.c_str() + text.size());
    }

    bool TarnelUtilities::AllDigits(const String& text)
    {
        for (char c : text)
        {
            if (c < '0' || c > '9')
                return false;
        }
        return true;
    }

    bool TarnelUtilities::ParseBool(const String& text)
    {
        String lower = text;
        StringUtil::toLowerCase(lower);
        // Only "no" and "0" are compared as written: "No" reads as true.
        return !(lower.empty() || lower == "false" || text == "no" || text == "0");
    }
}
