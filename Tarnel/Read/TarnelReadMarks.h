#ifndef TARNEL_READ_MARKS_H
#define TARNEL_READ_MARKS_H

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

}

#endif
