#ifndef TARNEL_LEVEL_H
#define TARNEL_LEVEL_H

#include "Tarnel/Read/TarnelNodes.h"

#include <OgreLog.h>

#include <memory>
#include <utility>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /// A top-level section that holds nodes or objects: nodes, or a light or camera on its own.
    struct LevelSection
    {
        const TiXmlElement* element = nullptr;
        NodeDescription nodes;                         ///< a nodes section's
        std::unique_ptr<Types::ObjectParameters> object; ///< a light's or camera's
    };

    /** What a level's node and object sections say, read in one walk before anything is
        built, so that the checks and the build see one description. */
    struct LevelDescription
    {
        /// In document order.
        std::vector<LevelSection> sections;
        /// What the readers said of the values as they read, for the load to say as it builds.
        std::vector<std::pair<Ogre::LogMessageLevel, Ogre::String>> said;

        /// The section read from that element, or null.
        const LevelSection* Find(const TiXmlElement* element) const;
    };

    /** Reads a level's scene element into its description with a scene's rules; a reader
        that raises leaves where it was in Reading(), and what was said before is logged. */
    class LevelReader
    {
    public:
        LevelDescription Read(const TiXmlElement* scene);
        /// Logs what the readers said, as they said it.
        static void Say(const LevelDescription& level);
        const TiXmlElement* Reading() const { return nodes.Reading(); }

    private:
        void ReadSections(const TiXmlElement* scene, LevelDescription& level);

        NodeReader nodes{Objects::Rules::SCENE};
    };
}

#endif
