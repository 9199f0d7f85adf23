// What a load leaves of a level file: unknown sections, unread elements and attributes.
#include "Tarnel/Check/TarnelUnreadParts.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Read/TarnelReadMarks.h"
#include "Tarnel/Read/TarnelSections.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelObjects.h"

#include <OgreException.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <filesystem>
#include <map>
#include <set>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// A part said this many times is then only counted.
        const size_t SAID_EACH = 5;

        /// The top-level sections the loader reads.
        const std::set<String>& KnownSections()
        {
            static const std::set<String> sections = {"resourceLocations", "environment", "renderTextures", "nodes",
                                                      "externals", "terrain", "queryFlags", "visibilityFlags",
                                                      "light", "camera", "instancedGeometries", "staticGeometries",
                                                      "userDataReference", "userData"};
            return sections;
        }

        String Describe(const TiXmlElement* element)
        {
            const char* name = element->Attribute("name");
            return element->ValueStr() + (name && *name ? String(" \"") + name + "\"" : String());
        }

        void CountObjects(const TiXmlElement* element, std::map<String, size_t>& counts)
        {
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (Objects::IsObject(child))
                    ++counts[child->ValueStr()];
                CountObjects(child, counts);
            }
        }

        /// "a", "a and b", "a, b and c"; past six names, "a, b, c, d, e and 12 more".
        String Listed(const std::vector<String>& names)
        {
            const size_t MOST = 6;
            const size_t shown = names.size() > MOST ? MOST - 1 : names.size();
            String text;
            for (size_t index = 0; index < shown; ++index)
                text += (index == 0 ? "" : index + 1 == names.size() ? " and " : ", ") + names[index];
            if (shown < names.size())
                text += " and " + StringConverter::toString(names.size() - shown) + " more";
            return text;
        }

        /// "the element <lights>, with the 2 lights in it,": what a designer misses when it is not read.
        String UnreadElement(const TiXmlElement* element, const String& where)
        {
            std::map<String, size_t> counts;
            CountObjects(element, counts);
            String held;
            for (const auto& [kind, count] : counts)
                held += (held.empty() ? "" : " and ") + StringConverter::toString(count) + " " + kind +
                        (count == 1 ? "" : "s");
            return "the element <" + element->ValueStr() + ">" + where + (held.empty() ? "" : ", with the " + held + " in it,");
        }

        /// Collects the unread parts below the sections, counting those said often.
        class Walk
        {
        public:
            Walk(const String& file, std::vector<String>& lines, size_t mostParts)
                : file(file), lines(lines), mostParts(mostParts)
            {
            }

            /** Whether anything at or below the element was read; a section the loader knows
                counts as read. The unread parts of a read element are said. */
            bool Element(const TiXmlElement* element, bool known)
            {
                bool read = known || ReadMarks::IsMarked(element);
                for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
                    read = ReadMarks::IsMarked(attribute) || read;
                std::vector<const TiXmlElement*> unreadChildren;
                for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
                {
                    if (Element(child, false))
                        read = true;
                    else
                        unreadChildren.push_back(child);
                }
                // An empty element says nothing to read.
                if (!read && !element->FirstAttribute() && !element->FirstChildElement())
                    read = true;
                if (!read)
                    return false;
                // One line an element: its attributes, then its elements, that the load passed over.
                std::vector<String> attributes, elements;
                for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
                    if (!ReadMarks::IsMarked(attribute))
                        attributes.push_back(attribute->Name());
                // An element repeated is named once, with how many there are.
                std::map<String, size_t> repeats;
                for (const TiXmlElement* child : unreadChildren)
                    if (++repeats[child->ValueStr()] == 1)
                        elements.push_back(UnreadElement(child, "").substr(sizeof "the element " - 1));
                for (String& named : elements)
                {
                    const size_t count = repeats[named.substr(1, named.find('>') - 1)];
                    if (count > 1)
                        named.insert(named.find('>') + 1, " (" + StringConverter::toString(count) + " of them)");
                }
                if (attributes.empty() && elements.empty())
                    return true;
                String parts;
                if (!attributes.empty())
                    parts = (attributes.size() == 1 ? "the attribute " : "the attributes ") + Listed(attributes);
                if (!elements.empty())
                    parts += (parts.empty() ? "" : attributes.size() > 1 ? ", and " : " and ") +
                             String(elements.size() == 1 ? "the element " : "the elements ") + Listed(elements) +
                             (attributes.size() > 1 ? "," : "");
                const bool many = attributes.size() + elements.size() > 1;
                Say(parts + " of " + Describe(element), element, many);
                return true;
            }

            void Say(const String& what, const TiXmlElement* where, bool many = false)
            {
                size_t& said = saidTimes[what.substr(0, what.find('"'))];
                // Past the most kinds, a new kind is only counted, and so are its repeats.
                if (said == 0 && kindsSaid >= mostParts)
                    said = SAID_EACH;
                else if (said == 0)
                    ++kindsSaid;
                if (++said <= SAID_EACH)
                    lines.push_back("Tarnel: " + what + (many ? " are" : " is") + " not read (" + Where(where) + ")");
                else
                    ++unsaid;
            }

            String Where(const TiXmlElement* element) const
            {
                return element->Row() > 0 ? file + ":" + StringConverter::toString(element->Row()) : file;
            }

            size_t unsaid = 0;

        private:
            const String& file;
            std::vector<String>& lines;
            std::map<String, size_t> saidTimes;
            size_t mostParts, kindsSaid = 0;
        };
    }

    std::vector<String> UnreadParts(const TiXmlDocument& level, const String& levelFile, bool afterLoad,
                                    size_t mostParts)
    {
        std::vector<String> lines;
        const TiXmlElement* scene = level.RootElement();
        if (!scene)
            return lines;
        String folder, base;
        StringUtil::splitFilename(levelFile, base, folder);
        if (const TiXmlElement* locations = scene->FirstChildElement("resourceLocations"))
        {
            std::vector<ResourceLocation> named;
            try
            {
                named = Sections::ReadResourceLocations(locations, folder);
            }
            catch (const Exception&)
            {
                // a location that does not read is the load's error
            }
            for (const ResourceLocation& location : named)
            {
                std::error_code error;
                if (location.type == "FileSystem" && !std::filesystem::is_directory(location.name, error))
                    lines.push_back("Tarnel: the resource location " + location.name + " does not exist");
            }
        }
        Walk walk(levelFile, lines, mostParts);
        if (afterLoad)
        {
            std::vector<String> attributes;
            for (const TiXmlAttribute* attribute = scene->FirstAttribute(); attribute; attribute = attribute->Next())
                if (!ReadMarks::IsMarked(attribute))
                    attributes.push_back(attribute->Name());
            if (!attributes.empty())
                walk.Say((attributes.size() == 1 ? "the attribute " : "the attributes ") + Listed(attributes) + " of " +
                             Describe(scene),
                         scene, attributes.size() > 1);
        }
        for (const TiXmlElement* section = scene->FirstChildElement(); section; section = section->NextSiblingElement())
        {
            if (section->ValueStr() == "terrain")
                lines.push_back("Tarnel: the terrain is not drawn: only its user data is read");
            else if (!KnownSections().count(section->ValueStr()))
                walk.Say(UnreadElement(section, ""), section);
            else if (afterLoad)
                walk.Element(section, true);
        }
        if (walk.unsaid)
            lines.push_back("Tarnel: " + StringConverter::toString(walk.unsaid) +
                            " more parts of the level like those are not read");
        return lines;
    }
}
