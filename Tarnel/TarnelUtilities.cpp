// Documents, attribute readers, element forms and the small composite readers.
#include "Tarnel/TarnelUtilities.h"
#include "Tarnel/TarnelExcept.h"
#include "Tarnel/TarnelDomains.h"
#include "Tarnel/TarnelLimits.h"
#include "Tarnel/TarnelPlatform.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMatrix3.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>

#include <tinyxml.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <string_view>
#include <type_traits>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// Zero bytes after a text to be parsed (see ParseXml).
        const size_t XML_PADDING = 8;

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
                    return attribute;
            }
            return nullptr;
        }

        const char* PresentValue(const TiXmlElement* element, const char* name)
        {
            const TiXmlAttribute* attribute = FindAttribute(element, name);
            return (attribute && *attribute->Value()) ? attribute->Value() : nullptr;
        }

        bool HasAttribute(const TiXmlElement* element, const char* name)
        {
            return FindAttribute(element, name) != nullptr;
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

    bool TarnelUtilities::LoadXmlFile(const String& path, TiXmlDocument& document)
    {
        // A folder or a device has no size to read, and a pipe would wait for a writer.
        String unreadable = Platform::UnreadableFileReason(path);
        if (!unreadable.empty())
        {
            LogManager::getSingleton().logError(path + " " + unreadable);
            return false;
        }
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        if (!file)
            return false;
        String text;
        // Room for the zeros that ParseXml puts after the text, so that the text is not copied again.
        const size_t size = size_t(std::max<std::streamoff>(0, file.tellg()));
        text.reserve(size + XML_PADDING);
        text.resize(size);
        file.seekg(0);
        if (!file.read(&text[0], std::streamsize(text.size())))
            return false;
        size_t kept = text.find('\r');
        if (kept == String::npos)
            return ParseXml(std::move(text), document, path);
        for (size_t i = kept; i < text.size(); ++i)
        {
            char c = text[i];
            if (c == '\r')
            {
                c = '\n';
                if (i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            }
            text[kept++] = c;
        }
        text.resize(kept);
        return ParseXml(std::move(text), document, path);
    }

    bool TarnelUtilities::NestsDeeperThan(const char* text, int depth)
    {
        // The parser's own reading, reduced to what changes the depth: markup that holds no
        // elements is skipped whole, and a '>' inside a quoted attribute value ends nothing.
        // The library's own searches, which take many bytes a step, find the markup in between.
        int open = 0;
        for (const char* p = std::strchr(text, '<'); p; p = std::strchr(p + 1, '<'))
        {
            const char* end = nullptr;
            if (std::strncmp(p, "<!--", 4) == 0)
                end = std::strstr(p + 4, "-->");
            else if (std::strncmp(p, "<![CDATA[", 9) == 0)
                end = std::strstr(p + 9, "]]>");
            else if (p[1] == '?')
                end = std::strstr(p + 2, "?>");
            else if (p[1] == '!' || p[1] == '/')
            {
                end = std::strchr(p, '>');
                if (p[1] == '/' && open > 0)
                    --open;
            }
            else
            {
                const char* q = p + 1;
                for (q += std::strcspn(q, "\"'>"); *q == '"' || *q == '\''; q += std::strcspn(q, "\"'>"))
                {
                    const char* closingQuote = std::strchr(q + 1, *q);
                    if (!closingQuote)
                        return false;
                    q = closingQuote + 1;
                }
                if (!*q)
                    return false;
                if (q[-1] != '/' && ++open > depth)
                    return true;
                end = q;
            }
            if (!end)
                return false;
            p = end;
        }
        return false;
    }

    bool TarnelUtilities::ParseXml(String text, TiXmlDocument& document, const String& name)
    {
        if (NestsDeeperThan(text.c_str(), Limits::MAX_ELEMENT_DEPTH))
        {
            LogManager::getSingleton().logError(name + " nests elements more than " +
                                                std::to_string(Limits::MAX_ELEMENT_DEPTH) + " deep; it is not read");
            return false;
        }
        // The parser steps over a multi-byte character by its first byte's length, so a text that
        // ends inside one would be read past its end; zeros after it stop the parser there.
        text.append(XML_PADDING, '\0');
        // Without a tab size the parser does not count rows and columns as it goes, a tenth of its
        // work; a text it refuses is read again with them, for the message.
        document.SetTabSize(0);
        document.Parse(text.c_str());
        if (!document.Error())
            return true;
        document.Clear();
        document.SetTabSize(4); // the parser's own default
        document.Parse(text.c_str());
        LogManager::getSingleton().logError(name + " is not well-formed XML: " + document.ErrorDesc() + " (row " +
                                            std::to_string(document.ErrorRow()) + ", column " +
                                            std::to_string(document.ErrorCol()) + ")");
        return false;
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

    void TarnelUtilities::LoadXmlDocument(const String& fileName, TiXmlDocument& document,
                                          const String& resourceGroupName)
    {
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        String groupName = resourceGroupName;
        if (!resources.resourceExists(groupName, fileName) && resources.resourceExistsInAnyGroup(fileName))
            groupName = resources.findGroupContainingResource(fileName);

        DataStreamPtr stream = resources.openResource(fileName, groupName, nullptr, false);
        if (!stream)
            TARNEL_EXCEPT(Exception::ERR_FILE_NOT_FOUND, "Could not open XML file: " + fileName,
                          "TarnelUtilities::LoadXmlDocument", UTILITIES_SOURCE_FILE);

        String text = stream->getAsString();
        stream->close();
        stream.reset();

        if (!ParseXml(std::move(text), document, fileName))
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "There was an error with the XML file: " + fileName,
                          "TarnelUtilities::LoadXmlDocument", UTILITIES_SOURCE_FILE);
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
        return value ? ParsePixelFormat(value) : defaultValue;
    }

    TextureType TarnelUtilities::GetTextureTypeAttribute(const TiXmlElement* element, TextureType defaultValue)
    {
        const char* value = PresentValue(element, "textureType");
        return value ? ParseTextureType(value) : defaultValue;
    }

    ObjectVisibility TarnelUtilities::GetObjectVisibilityAttribute(const TiXmlElement* element)
    {
        return ParseObjectVisibility(GetStringAttribute(element, "visibility"));
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
        return Vector3(GetRealAttribute(element, "x", 0),
                       GetRealAttribute(element, "y", 0),
                       GetRealAttribute(element, "z", 0));
    }

    ColourValue TarnelUtilities::LoadColor(const TiXmlElement* element)
    {
        return ColourValue(GetRealAttribute(element, "r", 0),
                           GetRealAttribute(element, "g", 0),
                           GetRealAttribute(element, "b", 0),
                           GetRealAttribute(element, "a", 1));
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
        // The first marker present decides, even when its value is empty.
        if (HasAttribute(element, "qx"))
        {
            return Quaternion(GetRealAttribute(element, "qw", 0),
                              GetRealAttribute(element, "qx", 0),
                              GetRealAttribute(element, "qy", 0),
                              GetRealAttribute(element, "qz", 0));
        }
        if (HasAttribute(element, "axisX"))
        {
            Vector3 axis(GetRealAttribute(element, "axisX", 0),
                         GetRealAttribute(element, "axisY", 0),
                         GetRealAttribute(element, "axisZ", 0));
            Quaternion rotation;
            rotation.FromAngleAxis(Radian(GetRealAttribute(element, "angle", 0)), axis);
            return rotation;
        }
        if (HasAttribute(element, "angleX"))
            return LoadEulerRotation(element);
        return Quaternion::IDENTITY;
    }

    void TarnelUtilities::LoadBufferUsage(const TiXmlElement* element, HardwareBuffer::Usage& usage,
                                          bool& useShadowBuffer)
    {
        const char* value = PresentValue(element, "usage");
        usage = value ? ParseHardwareBufferUsage(value) : HardwareBuffer::HBU_STATIC_WRITE_ONLY;
        useShadowBuffer = GetBoolAttribute(element, "useShadow", true);
    }

    void TarnelUtilities::LoadBoundingVolume(const TiXmlElement* element, BoundingVolume& volume)
    {
        volume.type = ParseBoundingVolumeType(GetStringAttribute(element, "type"));
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
        parameters.assign(GetElementCount(element, "customParameter"), CustomParameter());
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
        materialNames.assign(GetElementCount(element, "subentity"), BLANKSTRING);
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
        noteTracks.assign(GetChildElementCount(element, "noteTrack"), Types::NoteTrack());
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
        noteTrack.notes.assign(GetChildElementCount(element, "note"), Types::Note());
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("note"); child;
             child = child->NextSiblingElement("note"))
        {
            Types::Note& note = noteTrack.notes[index++];
            note.time = GetRealAttribute(child, "time", 0);
            GetElementText(child, note.text);
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
            GetElementText(child, extraData.userData);
        else
            return false;
        return true;
    }

    void TarnelUtilities::GetElementText(const TiXmlElement* element, String& text)
    {
        for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        {
            if (child->Type() == TiXmlNode::TINYXML_TEXT)
            {
                text = child->ValueStr();
                return;
            }
        }
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

    int TarnelUtilities::GetElementCount(const TiXmlElement* element, const char* name)
    {
        int count = element->ValueStr() == name ? 1 : 0;
        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            count += GetElementCount(child, name);
        }
        return count;
    }

    int TarnelUtilities::GetChildElementCount(const TiXmlElement* element, const char* name)
    {
        int count = 0;
        for (const TiXmlElement* child = element->FirstChildElement(name); child;
             child = child->NextSiblingElement(name))
        {
            ++count;
        }
        return count;
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

    void TarnelUtilities::SetNodeVisibility(ObjectVisibility visibility, SceneNode* node)
    {
        switch (visibility)
        {
        case OBJECT_VISIBLE: node->setVisible(true, false); break;
        case OBJECT_HIDDEN: node->setVisible(false, false); break;
        case OBJECT_TREE_VISIBLE: node->setVisible(true, true); break;
        case OBJECT_TREE_HIDDEN: node->setVisible(false, true); break;
        case OBJECT_VISIBILITY_DEFAULT: break;
        }
    }

    void TarnelUtilities::SetCustomParameters(Renderable* renderable, const CustomParameters& parameters)
    {
        for (const CustomParameter& parameter : parameters)
            renderable->setCustomParameter(parameter.id, parameter.value);
    }

    void TarnelUtilities::SetCustomParameters(Entity* entity, const CustomParameters& parameters)
    {
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            SetCustomParameters(entity->getSubEntity(i), parameters);
    }

    void TarnelUtilities::SetIdentityInitialState(Node* node)
    {
        Vector3 position = node->getPosition();
        Quaternion orientation = node->getOrientation();
        Vector3 scale = node->getScale();
        node->setPosition(Vector3::ZERO);
        node->setOrientation(Quaternion::IDENTITY);
        node->setScale(Vector3::UNIT_SCALE);
        node->setInitialState();
        node->setPosition(position);
        node->setOrientation(orientation);
        node->setScale(scale);
    }

    SceneNode* TarnelUtilities::CreateChildSceneNode(SceneNode* parent, const String& name)
    {
        static unsigned long unnamedCount = 0;
        String nodeName = name.empty() ? "Unnamed_" + StringConverter::toString(++unnamedCount) : name;
        return parent->createChildSceneNode(nodeName, Vector3::ZERO, Quaternion::IDENTITY);
    }

    Entity* TarnelUtilities::CreateEntity(SceneManager* sceneManager, const String& entityName,
                                          const String& meshFile, const SubentityMaterials& materialNames)
    {
        Entity* entity = sceneManager->createEntity(entityName, meshFile);
        for (size_t i = 0; i < entity->getNumSubEntities() && i < materialNames.size(); ++i)
            entity->getSubEntity(i)->setMaterialName(materialNames[i]);
        return entity;
    }

    unsigned int TarnelUtilities::PreviousPowerOfTwo(unsigned int value)
    {
        if (value <= 1)
            return 0;
        unsigned int power = 1;
        while (power <= (value - 1) / 2)
            power *= 2;
        return power;
    }
}
