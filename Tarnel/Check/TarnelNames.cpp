// Names a level gives twice, found on its description.
#include "Tarnel/Check/TarnelNames.h"
#include "Tarnel/Read/TarnelIndex.h"

#include <algorithm>
#include <deque>
#include <string_view>
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

    namespace
    {
        /// A name seen on the walk, where it was first seen.
        struct SeenName
        {
            std::string_view name;
            int line = 0;
        };
        struct NameOfSeen
        {
            std::string_view operator()(const SeenName& seen) const { return seen.name; }
        };
        /// Tens of thousands of names a level: one array, no allocation a name.
        typedef Index<SeenName, NameOfSeen, std::hash<std::string_view>> SeenNames;

        /// The build's order and names: BuildNode for the level's nodes, CreateNode for a model's.
        class BuildWalk
        {
        public:
            BuildWalk(const LevelDescription& level, const std::function<void(const BuiltPart&)>& visit)
                : level(level), visit(visit)
            {
            }

            void LevelNode(const NodeDescription& node)
            {
                Visit(&node, nullptr, node.name, !node.name.empty(), nullptr, node.line);
                // The instance hangs on an unnamed node: a model nested at its root takes the engine's name.
                if (!node.modelFile.empty())
                    Instance(node.modelFile, node.name, !node.name.empty(), true, node.line, nullptr);
                for (const NodeDescription::Part& part : node.order)
                {
                    if (part.kind == NodeDescription::Part::NODE)
                        LevelNode(node.childNodes[part.index]);
                    else if (part.kind == NodeDescription::Part::OBJECT)
                        Object(*node.objects[part.index], "", true, nullptr, node.objects[part.index]->line);
                }
            }

            void Object(const Types::ObjectParameters& object, const String& base, bool named,
                        const ModelDescription* model, int line)
            {
                // The level's own objects are named as written, without a copy.
                if (base.empty())
                    Visit(nullptr, &object, object.name, named, model, line);
                else
                    Visit(nullptr, &object, base + object.name, named, model, line);
                if (object.objectType != Types::ENTITY)
                    return;
                for (const Types::BoneAttachment& attachment :
                     static_cast<const Types::EntityParameters&>(object).boneAttachments)
                {
                    // A model's parts stand at the level's line that instances them.
                    if (attachment.object)
                        Object(*attachment.object, base, named, model, model ? line : attachment.object->line);
                }
            }

        private:
            struct Nesting
            {
                const ModelDescription* model;
                const Nesting* outer;
            };

            void Visit(const NodeDescription* node, const Types::ObjectParameters* object, const String& name,
                       bool named, const ModelDescription* model, int line)
            {
                visit(BuiltPart{node, object, name, named, model, line});
            }

            /// A model built on a node that exists: its root record names nothing of its own.
            void Instance(const String& file, const String& base, bool named, bool unnamedRoot, int line,
                          const Nesting* outer)
            {
                auto found = level.models.find(file);
                if (found == level.models.end() || found->second->fault)
                    return;
                const ModelDescription* model = found->second.get();
                for (const Nesting* at = outer; at; at = at->outer)
                    if (at->model == model)
                        return; // the load ends here
                const Nesting nesting{model, outer};
                ModelNode(*model, model->rootNode, base, named, true, unnamedRoot, line, &nesting);
            }

            void ModelNode(const ModelDescription& model, const NodeDescription& record, const String& base,
                           bool named, bool existing, bool unnamedNode, int line, const Nesting* nesting)
            {
                String nodeName = base;
                bool nodeNamed = named && !unnamedNode;
                if (!existing)
                {
                    nodeName = base + record.name;
                    nodeNamed = named;
                    // An unnamed record's node takes the instance's name, which is not entered again.
                    if (!record.name.empty())
                        Visit(&record, nullptr, nodeName, named, &model, line);
                }
                if (!record.modelFile.empty())
                    Instance(record.modelFile, nodeName, nodeNamed, false, line, nesting);
                for (const auto& object : record.objects)
                    Object(*object, base, named, &model, line);
                for (const NodeDescription& child : record.childNodes)
                    ModelNode(model, child, base, named, false, false, line, nesting);
            }

            const LevelDescription& level;
            const std::function<void(const BuiltPart&)>& visit;
        };
    }

    void ForEachBuiltPart(const LevelDescription& level, const std::function<void(const BuiltPart&)>& visit)
    {
        BuildWalk walk(level, visit);
        for (const LevelSection& section : level.sections)
        {
            if (section.kind == LevelSection::OBJECT)
                walk.Object(*section.object, "", true, nullptr, section.object->line);
            for (const NodeDescription& child : section.nodes.childNodes)
                walk.LevelNode(child);
        }
    }

    String FindModelFault(const LevelDescription& level, const String& levelFile, String* refusal)
    {
        auto where = [&levelFile](const ModelDescription& model) {
            return (model.instancedIn.empty() ? levelFile : model.instancedIn) + ":" +
                   std::to_string(model.instancedAt);
        };
        for (const auto& [file, model] : level.models)
        {
            if (model->fault && model->found && refusal)
                *refusal = model->refusal;
            if (model->fault && model->found)
                return where(*model) + ": model file \"" + file + "\" does not load: " + model->faultText;
        }
        // A file that instances itself, directly or through others: the build would never end.
        std::vector<String> chain;
        std::unordered_set<String> clean; // explored whole, without a loop
        std::function<String(const NodeDescription&, const String&)> loop = [&](const NodeDescription& node,
                                                                              const String& in) -> String {
            if (!node.modelFile.empty())
            {
                if (std::find(chain.begin(), chain.end(), node.modelFile) != chain.end())
                    return in + ":" + std::to_string(node.line) + ": node instances model file \"" + node.modelFile +
                           "\", which holds it: a model file may not instance itself";
                auto nested = level.models.find(node.modelFile);
                if (nested != level.models.end() && !nested->second->fault && !clean.count(node.modelFile))
                {
                    chain.push_back(node.modelFile);
                    String found = loop(nested->second->rootNode, node.modelFile);
                    chain.pop_back();
                    if (!found.empty())
                        return found;
                    clean.insert(node.modelFile);
                }
            }
            for (const NodeDescription& child : node.childNodes)
            {
                String found = loop(child, in);
                if (!found.empty())
                    return found;
            }
            return "";
        };
        for (const LevelSection& section : level.sections)
        {
            String found = loop(section.nodes, levelFile);
            if (!found.empty())
                return found;
        }
        return "";
    }

    const std::vector<String>& ArchiveTypes()
    {
        // Those the engine's root registers; the engine lists them to no one.
        static const std::vector<String> types = {"FileSystem", "Zip", "EmbeddedZip"};
        return types;
    }

    const ResourceLocation* FindUnknownArchiveType(const LevelDescription& level)
    {
        if (!level.resourceLocations)
            return nullptr;
        for (const ResourceLocation& location : *level.resourceLocations)
        {
            const std::vector<String>& known = ArchiveTypes();
            if (std::find(known.begin(), known.end(), location.type) == known.end())
                return &location;
        }
        return nullptr;
    }

    NameFaults FindNameFaults(const LevelDescription& level, bool lenient)
    {
        // One walk, for tens of thousands of nodes: their descriptions are read from memory once.
        NameFaults faults;
        RepeatedName& repeated = faults.repeated;
        // The level's names are seen where its description holds them; a model's, made on the
        // walk, are kept here.
        SeenNames nodes, objects;
        std::deque<String> madeNames;
        struct Request
        {
            const String* node;
            const char* request;
            const NodeDescription* byNode;
            const Types::CameraParameters* byCamera;
        };
        std::vector<Request> requests; // the level's own, in document order
        auto want = [&requests](const std::vector<Types::LookTarget>& looks, const std::vector<Types::TrackTarget>& tracks,
                                const NodeDescription* node, const Types::CameraParameters* camera) {
            for (const Types::LookTarget& target : looks)
                if (!target.isPositionSet)
                    requests.push_back({&target.nodeName, "looks at", node, camera});
            for (const Types::TrackTarget& target : tracks)
                requests.push_back({&target.nodeName, "tracks", node, camera});
        };
        // Nodes the terrain makes, whose names the engine gives, or that a file not read would
        // make, are not known: with any, no target is said to be missing.
        bool moreNodes = false;
        for (const LevelSection& section : level.sections)
            moreNodes = moreNodes || section.kind == LevelSection::TERRAIN;
        bool unnamedNode = false;

        ForEachBuiltPart(level, [&](const BuiltPart& part) {
            if (part.node)
            {
                const bool unread = !part.node->modelFile.empty() && (!level.models.count(part.node->modelFile) ||
                                                                      level.models.at(part.node->modelFile)->fault);
                moreNodes = moreNodes || (!part.named && part.model) || unread;
                unnamedNode = unnamedNode || part.name.empty();
                if (!part.model)
                    want(part.node->lookTargets, part.node->trackTargets, part.node, nullptr);
            }
            else if (!part.model && part.object->objectType == Types::CAMERA)
            {
                const auto& camera = static_cast<const Types::CameraParameters&>(*part.object);
                want(camera.lookTargets, camera.trackTargets, nullptr, &camera);
            }
            // The engine names the unnamed; lenient names rename the level's own repeats.
            if (part.name.empty() || !part.named)
                return;
            const std::string_view name = part.model ? std::string_view(madeNames.emplace_back(part.name)) : part.name;
            auto entered = (part.node ? nodes : objects).Insert(SeenName{name, part.levelLine});
            if (entered.second || (lenient && !part.model) || repeated.element)
                return;
            repeated.name = part.name;
            repeated.element = part.node ? part.node->element : ElementOf(part.object->objectType);
            repeated.line = part.levelLine;
            repeated.firstLine = entered.first->line;
            if (part.model)
            {
                repeated.modelFile = part.model->file;
                repeated.modelLine = part.node ? part.node->line : part.object->line;
            }
        });

        if (moreNodes)
            return faults;
        for (const Request& request : requests)
        {
            if (nodes.Find(std::string_view(*request.node)) || (request.node->empty() && unnamedNode))
                continue;
            if (request.byNode)
                faults.missing = {*request.node,
                                  String(request.byNode->element) +
                                      (request.byNode->name.empty() ? "" : " \"" + request.byNode->name + "\""),
                                  request.request, request.byNode->line};
            else
                faults.missing = {*request.node, "camera \"" + request.byCamera->name + "\"", request.request,
                                  request.byCamera->line};
            break;
        }
        return faults;
    }
}
