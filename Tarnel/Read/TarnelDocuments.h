#ifndef TARNEL_DOCUMENTS_H
#define TARNEL_DOCUMENTS_H

#include <OgrePrerequisites.h>

class TiXmlDocument;
class TiXmlElement;

namespace Tarnel
{
    /** The XML documents of levels and model files: read from disk or through the
        engine's resources, parsed behind a guard on how deep elements nest, and
        walked for counts and text. */
    namespace TarnelUtilities
    {
        /** Parses the text into the document. False, after logging why with the row and
            column, when it nests deeper than Limits::MAX_ELEMENT_DEPTH or does not parse.
            The elements know their rows only when asked (`rows`): counting them is a tenth
            of the parser's work. */
        bool ParseXml(Ogre::String text, TiXmlDocument& document, const Ogre::String& name, bool rows = false);

        /** Reads and parses an XML file as the parser's own file reading would (line ends
            made "\n"); false when it cannot be read or ParseXml refuses it. */
        bool LoadXmlFile(const Ogre::String& path, TiXmlDocument& document, bool rows = false);

        /// Whether elements in the text nest deeper than the depth; it stops reading there.
        bool NestsDeeperThan(const char* text, int depth);

        /** Parses a document read through the engine's resource system; searches
            the other groups when the given one lacks the file; its elements know their rows
            when asked (`rows`). */
        void LoadXmlDocument(const Ogre::String& fileName, TiXmlDocument& document,
                             const Ogre::String& resourceGroupName, bool rows = false);

        /// Elements of that name in the subtree, the element itself included.
        int GetElementCount(const TiXmlElement* element, const char* name);
        int GetChildElementCount(const TiXmlElement* element, const char* name);
        /// Leaves the text unchanged when the element has no text child.
        void GetElementText(const TiXmlElement* element, Ogre::String& text);
    }
}

#endif
