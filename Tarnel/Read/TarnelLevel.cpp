// A level's node and object sections, read whole into one description.
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    Version Version::Parse(const String& text)
    {
        Version version;
        Ogre::int32* components[] = {&version.major, &version.minor, &version.patch};
        size_t start = 0;
        for (Ogre::int32* component : components)
        {
            if (start > text.size())
                break;
            // Reading stops at the next ".", so the rest of the text can stay.
            *component = TarnelUtilities::ParseInt(text.substr(start));
            size_t dot = text.find('.', start);
            start = dot == String::npos ? text.size() + 1 : dot + 1;
        }
        return version;
    }

    const Version& Version::Engine()
    {
        static const Version engine(OGRE_VERSION_MAJOR, OGRE_VERSION_MINOR, OGRE_VERSION_PATCH);
        return engine;
    }

    String Version::ToString() const
    {
        if (patch != 0)
            return StringConverter::toString(major) + "." + StringConverter::toString(minor) + "." +
                   StringConverter::toString(patch);
        if (minor != 0)
            return StringConverter::toString(major) + "." + StringConverter::toString(minor);
        return StringConverter::toString(major);
    }

    bool Version::operator>(const Version& other) const
    {
        if (major != other.major)
            return major > other.major;
        if (minor != other.minor)
            return minor > other.minor;
        return patch > other.patch;
    }

    LevelDescription LevelReader::Read(const TiXmlElement* scene)
    {
        LevelDescription level;
        try
        {
            Domains::QuietLog held;
            // Taken before the log is given back.
            struct Keep
            {
                const Domains::QuietLog& held;
                LevelDescription& level;
                ~Keep() { level.said = held.Said(); }
            } keep{held, level};
            ReadSections(scene, level);
        }
        catch (...)
        {
            Say(level);
            throw;
        }
        return level;
    }

    void LevelReader::Say(const LevelDescription& level)
    {
        for (const auto& [messageLevel, message] : level.said)
            LogManager::getSingleton().logMessage(message, messageLevel);
    }

    LevelHeader LevelReader::ReadHeader(const TiXmlElement* scene)
    {
        LevelHeader header;
        header.extraData.id = TarnelUtilities::GetStringAttribute(scene, "id");
        header.formatVersion = Version::Parse(TarnelUtilities::GetStringAttribute(scene, "formatVersion"));
        header.minOgreVersion = Version::Parse(TarnelUtilities::GetStringAttribute(scene, "minOgreVersion"));
        header.author = TarnelUtilities::GetStringAttribute(scene, "author");
        String upAxis = TarnelUtilities::GetStringAttribute(scene, "upAxis");
        if (!upAxis.empty())
            header.upAxis = TarnelUtilities::ParseUpAxis(upAxis);
        header.unitsPerMeter = TarnelUtilities::GetRealAttribute(scene, "unitsPerMeter", 0);
        header.unitType = TarnelUtilities::GetStringAttribute(scene, "unitType");
        if (const TiXmlElement* reference = scene->FirstChildElement("userDataReference"))
            TarnelUtilities::LoadUserDataReference(reference, header.extraData.userDataReference);
        if (const TiXmlElement* userData = scene->FirstChildElement("userData"))
            TarnelUtilities::GetElementText(userData, header.extraData.userData);
        return header;
    }

    void LevelReader::ReadSections(const TiXmlElement* scene, LevelDescription& level)
    {
        reading = scene;
        level.header = ReadHeader(scene);
        const Vector3 upAxis = level.header.upAxis == UP_AXIS_Z ? Vector3::UNIT_Z : Vector3::UNIT_Y;
        if (const TiXmlElement* locations = scene->FirstChildElement("resourceLocations"))
        {
            reading = level.resourceLocationsElement = locations;
            level.resourceLocations = Sections::ReadResourceLocations(locations);
        }
        if (const TiXmlElement* environment = scene->FirstChildElement("environment"))
        {
            reading = level.environmentElement = environment;
            level.environment = Environment::Read(environment, upAxis, reading);
        }
        if (const TiXmlElement* textures = scene->FirstChildElement("renderTextures"))
        {
            level.renderTexturesElement = textures;
            for (const TiXmlElement* child = textures->FirstChildElement(); child; child = child->NextSiblingElement())
                level.renderTextures.push_back(Sections::ReadRenderTexture(reading = child));
        }
        for (const TiXmlElement* child = scene->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            reading = child;
            std::string_view name = child->ValueStr();
            // The last of each, as the load makes them after everything else.
            if (name == "instancedGeometries")
            {
                level.instancedGeometriesElement = child;
                level.instancedGeometries = Sections::ReadGeometries(child, true);
            }
            else if (name == "staticGeometries")
            {
                level.staticGeometriesElement = child;
                level.staticGeometries = Sections::ReadGeometries(child, false);
            }
            else
                ReadSection(child, level);
        }
        reading = nullptr;
    }

    void LevelReader::ReadSection(const TiXmlElement* element, LevelDescription& level)
    {
        LevelSection section;
        section.element = element;
        std::string_view name = element->ValueStr();
        if (name == "nodes")
            section.nodes = nodes.ReadNodes(element);
        else if (name == "light" || name == "camera")
        {
            section.kind = LevelSection::OBJECT;
            section.object = nodes.ReadObject(element, "");
        }
        else if (name == "externals")
        {
            section.kind = LevelSection::EXTERNALS;
            section.externals = Sections::ReadExternals(element);
        }
        else if (name == "terrain")
        {
            section.kind = LevelSection::TERRAIN;
            section.terrain = Sections::ReadTerrain(element);
        }
        else if (name == "queryFlags" || name == "visibilityFlags")
        {
            const bool query = name == "queryFlags";
            section.kind = query ? LevelSection::QUERY_FLAGS : LevelSection::VISIBILITY_FLAGS;
            section.flags = Sections::ReadFlagAliases(element, query ? "queryFlag" : "visibilityFlag");
        }
        else
            return;
        level.sections.push_back(std::move(section));
    }
}
