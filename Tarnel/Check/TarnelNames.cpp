// Names a level gives twice, found on its description.
#include "Tarnel/Check/TarnelNames.h"

#include <unordered_map>
#include <unordered_set>

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

    namespace
    {
        /// The level's node names, and whether something besides its nodes makes more.
        class Targets
        {
        public:
            MissingTarget missing;

            explicit Targets(const LevelDescription& level)
            {
                for (const LevelSection& section : level.sections)
                {
                    moreNodes = moreNodes || section.kind == LevelSection::TERRAIN;
                    Collect(section.nodes);
                }
            }

            void Check(const LevelDescription& level)
            {
                if (moreNodes)
                    return;
                for (const LevelSection& section : level.sections)
                {
                    if (section.kind == LevelSection::OBJECT)
                        CheckObject(*section.object);
                    for (const NodeDescription& node : section.nodes.childNodes)
                        CheckNode(node);
                }
            }

        private:
            void Collect(const NodeDescription& node)
            {
                names.insert(node.name);
                moreNodes = moreNodes || !node.modelFile.empty();
                for (const NodeDescription& child : node.childNodes)
                    Collect(child);
            }

            void CheckNode(const NodeDescription& node)
            {
                const String by = node.name.empty() ? String(node.element) : String(node.element) + " \"" + node.name + "\"";
                for (const Types::LookTarget& target : node.lookTargets)
                    Need(target.nodeName, !target.isPositionSet, by, "looks at", node.line);
                for (const Types::TrackTarget& target : node.trackTargets)
                    Need(target.nodeName, true, by, "tracks", node.line);
                for (const auto& object : node.objects)
                    CheckObject(*object);
                for (const NodeDescription& child : node.childNodes)
                    CheckNode(child);
            }

            void CheckObject(const Types::ObjectParameters& object)
            {
                if (object.objectType != Types::CAMERA)
                    return;
                const auto& camera = static_cast<const Types::CameraParameters&>(object);
                const String by = "camera \"" + camera.name + "\"";
                for (const Types::LookTarget& target : camera.lookTargets)
                    Need(target.nodeName, !target.isPositionSet, by, "looks at", camera.line);
                for (const Types::TrackTarget& target : camera.trackTargets)
                    Need(target.nodeName, true, by, "tracks", camera.line);
            }

            void Need(const String& node, bool needed, const String& by, const char* request, int line)
            {
                if (needed && !missing.request && !names.count(node))
                    missing = {node, by, request, line};
            }

            std::unordered_set<String> names;
            bool moreNodes = false;
        };
    }

    MissingTarget FindMissingTarget(const LevelDescription& level)
    {
        Targets targets(level);
        targets.Check(level);
        return targets.missing;
    }
}
