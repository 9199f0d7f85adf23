// Level and model documents: reading, the depth guard, and walking.
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelReadMarks.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelPaths.h"

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// Zero bytes after a text to be parsed (see ParseXml).
        const size_t XML_PADDING = 8;
    }

    bool TarnelUtilities::LoadXmlFile(const String& path, TiXmlDocument& document, bool rows)
    {
        // A folder or a device has no size to read, and a pipe would wait for a writer.
        String unreadable = TarnelUtilities::UnreadableFileReason(path);
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
            return ParseXml(std::move(text), document, path, rows);
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
        return ParseXml(std::move(text), document, path, rows);
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

    bool TarnelUtilities::ParseXml(String text, TiXmlDocument& document, const String& name, bool rows)
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
        document.SetTabSize(rows ? 4 : 0);
        document.Parse(text.c_str());
        // Named as the parser's own file reading names it, for what is said of its elements.
        document.SetValue(name);
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

    void TarnelUtilities::LoadXmlDocument(const String& fileName, TiXmlDocument& document,
                                          const String& resourceGroupName, bool rows)
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

        if (!ParseXml(std::move(text), document, fileName, rows))
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "There was an error with the XML file: " + fileName,
                          "TarnelUtilities::LoadXmlDocument", UTILITIES_SOURCE_FILE);
    }

    void TarnelUtilities::GetElementText(const TiXmlElement* element, String& text)
    {
        ReadMarks::Mark(element);
        for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        {
            if (child->Type() == TiXmlNode::TINYXML_TEXT)
            {
                text = child->ValueStr();
                return;
            }
        }
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
}
