#ifndef TARNEL_UNREAD_PARTS_H
#define TARNEL_UNREAD_PARTS_H

#include <OgrePrerequisites.h>

#include <vector>

class TiXmlDocument;

namespace Tarnel
{
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
