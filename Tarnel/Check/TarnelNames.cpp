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

        class Walk
        {
        public:
            Walk(const std::function<void(const NodeDescription&)>& node,
                 const std::function<void(const Types::ObjectParameters&)>& object)
                : visitNode(node), visitObject(object)
            {
            }

            void Node(const NodeDescription& node)
            {
                visitNode(node);
                for (const NodeDescription::Part& part : node.order)
                {
                    if (part.kind == NodeDescription::Part::NODE)
                        Node(node.childNodes[part.index]);
                    else if (part.kind == NodeDescription::Part::OBJECT)
                        Object(*node.objects[part.index]);
                }
            }

            void Object(const Types::ObjectParameters& object)
            {
                visitObject(object);
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
            const std::function<void(const NodeDescription&)>& visitNode;
            const std::function<void(const Types::ObjectParameters&)>& visitObject;
        };
    }

    void ForEachNodeAndObject(const LevelDescription& level,
                              const std::function<void(const NodeDescription&)>& node,
                              const std::function<void(const Types::ObjectParameters&)>& object)
    {
        Walk walk(node, object);
        for (const LevelSection& section : level.sections)
        {
            if (section.kind == LevelSection::OBJECT)
                walk.Object(*section.object);
            for (const NodeDescription& child : section.nodes.childNodes)
                walk.Node(child);
        }
    }

    RepeatedName FindRepeatedName(const LevelDescription& level)
    {
        RepeatedName repeated;
        std::unordered_map<String, int> nodes, objects;
        auto give = [&repeated](std::unordered_map<String, int>& names, const String& name, const char* element,
                                int line) {
            if (name.empty() || repeated.element)
                return; // the engine names the unnamed
            auto entered = names.emplace(name, line);
            if (!entered.second)
                repeated = {name, element, line, entered.first->second};
        };
        ForEachNodeAndObject(
            level, [&](const NodeDescription& node) { give(nodes, node.name, node.element, node.line); },
            [&](const Types::ObjectParameters& object) {
                give(objects, object.name, ElementOf(object.objectType), object.line);
            });
        return repeated;
    }

    MissingTarget FindMissingTarget(const LevelDescription& level)
    {
        std::unordered_set<String> names;
        bool moreNodes = false;
        for (const LevelSection& section : level.sections)
            moreNodes = moreNodes || section.kind == LevelSection::TERRAIN;
        ForEachNodeAndObject(
            level,
            [&](const NodeDescription& node) {
                names.insert(node.name);
                moreNodes = moreNodes || !node.modelFile.empty();
            },
            [](const Types::ObjectParameters&) {});
        MissingTarget missing;
        if (moreNodes)
            return missing;
        auto need = [&](const std::vector<Types::LookTarget>& looks, const std::vector<Types::TrackTarget>& tracks,
                        const String& by, int line) {
            for (const Types::LookTarget& target : looks)
                if (!missing.request && !target.isPositionSet && !names.count(target.nodeName))
                    missing = {target.nodeName, by, "looks at", line};
            for (const Types::TrackTarget& target : tracks)
                if (!missing.request && !names.count(target.nodeName))
                    missing = {target.nodeName, by, "tracks", line};
        };
        ForEachNodeAndObject(
            level,
            [&](const NodeDescription& node) {
                const String by = String(node.element) + (node.name.empty() ? "" : " \"" + node.name + "\"");
                need(node.lookTargets, node.trackTargets, by, node.line);
            },
            [&](const Types::ObjectParameters& object) {
                if (object.objectType != Types::CAMERA)
                    return;
                const auto& camera = static_cast<const Types::CameraParameters&>(object);
                need(camera.lookTargets, camera.trackTargets, "camera \"" + camera.name + "\"", camera.line);
            });
        return missing;
    }
}
