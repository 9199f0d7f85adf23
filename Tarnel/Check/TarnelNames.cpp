// Names a level gives twice, found on its description.
#include "Tarnel/Check/TarnelNames.h"

#include <unordered_map>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        const char* ElementOf(Types::ObjectType type)
        {
            static const char* const elements[] = {"object",       "entity",       "light", "camera",
                                                   "particleSystem", "billboardSet", "plane"};
            return elements[type <= Types::PLANE ? type : 0];
        }

        class Names
        {
        public:
            RepeatedName repeated;

            void Node(const NodeDescription& node)
            {
                Give(nodes, node.name, node.element, node.line);
                for (const NodeDescription::Part& part : node.order)
                {
                    if (repeated.element)
                        return;
                    if (part.kind == NodeDescription::Part::NODE)
                        Node(node.childNodes[part.index]);
                    else if (part.kind == NodeDescription::Part::OBJECT)
                        Object(*node.objects[part.index]);
                }
            }

            void Object(const Types::ObjectParameters& object)
            {
                Give(objects, object.name, ElementOf(object.objectType), object.line);
                if (object.objectType != Types::ENTITY)
                    return;
                for (const Types::BoneAttachment& attachment :
                     static_cast<const Types::EntityParameters&>(object).boneAttachments)
                {
                    if (attachment.object)
                        Object(*attachment.object);
                }
            }

        private:
            void Give(std::unordered_map<String, int>& names, const String& name, const char* element, int line)
            {
                if (name.empty() || repeated.element)
                    return; // the engine names the unnamed
                auto entered = names.emplace(name, line);
                if (!entered.second)
                    repeated = {name, element, line, entered.first->second};
            }

            std::unordered_map<String, int> nodes, objects;
        };
    }

    RepeatedName FindRepeatedName(const LevelDescription& level)
    {
        Names names;
        for (const LevelSection& section : level.sections)
        {
            if (section.kind == LevelSection::OBJECT)
                names.Object(*section.object);
            for (const NodeDescription& node : section.nodes.childNodes)
                names.Node(node);
        }
        return names.repeated;
    }
}
