#ifndef TARNEL_UNREAD_PARTS_H
#define TARNEL_UNREAD_PARTS_H

#include <OgrePrerequisites.h>

#include <vector>

class TiXmlBase;
class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

namespace Tarnel
{
    struct LevelDescription;

    /** What the readers took from a document: each attribute they look up and each element
        whose text they read is marked on the document itself, so that what a load leaves can
        be said after it. The marks are the parser's user data of each part; a load of a
        document parsed before clears them as it starts, so they are the load's own. */
    namespace ReadMarks
    {
        /// Marks an attribute or an element as read; the document stays as parsed otherwise.
        void Mark(const TiXmlBase* part);
        /// Marks an element and its attributes: a part the loader leaves on purpose (a point light's cone).
        void MarkWhole(const TiXmlElement* element);
        bool IsMarked(const TiXmlBase* part);
        /// Unmarks the node and everything below it.
        void Clear(const TiXmlNode* node);
        /** Unmarks the document, unless it was described: then its marks are those of the
            reading that described it, as the load reads it. */
        void Clear(const TiXmlDocument* document, const LevelDescription* described);
    }

    /** The parts of a level its loader does not read or does not draw, one warning each,
        naming the file and the line: sections the format does not have, resource locations
        that are not there, the terrain, which is not drawn; after a load that went through,
        also every element and attribute below the sections that it left unread, as in
        `Tarnel: the attribute powerScale of light "Sun" is not read (level.scene:12)`.
        The same part in many places is said at most a few times, then counted; past
        `mostParts` kinds of unread parts, a part of a new kind is counted too. */
    std::vector<Ogre::String> UnreadParts(const TiXmlDocument& level, const Ogre::String& levelFile,
                                          bool afterLoad, size_t mostParts = size_t(-1));
}

#endif
