// Marks on a parsed document of what the readers took from it.
#include "Tarnel/Read/TarnelReadMarks.h"

#include <tinyxml.h>

namespace Tarnel
{
    namespace
    {
        // Any address unlike null will do; the parser keeps no other user data for us.
        char readMark;
    }

    void ReadMarks::Mark(const TiXmlBase* part)
    {
        // A mark is not a change of the document: readers take it as const.
        const_cast<TiXmlBase*>(part)->SetUserData(&readMark);
    }

    void ReadMarks::MarkWhole(const TiXmlElement* element)
    {
        Mark(element);
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
            Mark(attribute);
    }

    bool ReadMarks::IsMarked(const TiXmlBase* part)
    {
        return part->GetUserData() == &readMark;
    }

    void ReadMarks::Clear(const TiXmlNode* node)
    {
        const_cast<TiXmlNode*>(node)->SetUserData(nullptr);
        if (const TiXmlElement* element = node->ToElement())
            for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
                const_cast<TiXmlAttribute*>(attribute)->SetUserData(nullptr);
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
            Clear(child);
    }

    void ReadMarks::Clear(const TiXmlDocument* document, const LevelDescription* described)
    {
        // A description was read from the document as the load reads it: its marks are the load's.
        if (!described)
            Clear(static_cast<const TiXmlNode*>(document));
    }
}
