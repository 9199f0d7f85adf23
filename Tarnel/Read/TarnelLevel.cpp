// A level's node and object sections, read whole into one description.
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Check/TarnelDomains.h"

#include <OgreLogManager.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    const LevelSection* LevelDescription::Find(const TiXmlElement* element) const
    {
        for (const LevelSection& section : sections)
        {
            if (section.element == element)
                return &section;
        }
        return nullptr;
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

    void LevelReader::ReadSections(const TiXmlElement* scene, LevelDescription& level)
    {
        for (const TiXmlElement* child = scene->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name != "nodes" && name != "light" && name != "camera")
                continue;
            LevelSection section;
            section.element = child;
            if (name == "nodes")
                section.nodes = nodes.ReadNodes(child);
            else
                section.object = nodes.ReadObject(child, "");
            level.sections.push_back(std::move(section));
        }
    }
}
