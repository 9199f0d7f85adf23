// Scales multiplied down a chain of nodes, held to the bound of one number.
#include "Tarnel/Check/TarnelScales.h"
#include "Tarnel/Read/TarnelLimits.h"

#include <OgreStringConverter.h>

#include <vector>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        class ScaleWalk
        {
        public:
            explicit ScaleWalk(const LevelDescription& level) : level(level) {}

            /// A node as the build makes it: its own scale applied unless it is a model's root.
            bool Node(const NodeDescription& node, Vector3 scale, bool applied, int levelLine,
                      const ModelDescription* model)
            {
                if (applied && node.scale)
                    scale *= Vector3(std::abs(node.scale->x), std::abs(node.scale->y), std::abs(node.scale->z));
                const Real largest = std::max({scale.x, scale.y, scale.z});
                if (!(largest <= Limits::MAX_REAL))
                {
                    found.name = node.name;
                    found.element = node.element;
                    found.line = model ? levelLine : node.line;
                    found.modelFile = model ? model->file : String();
                    found.scale = largest;
                    return true;
                }
                const int line = model ? levelLine : node.line;
                if (!node.modelFile.empty() && Instance(node.modelFile, scale, line))
                    return true;
                for (const NodeDescription& child : node.childNodes)
                {
                    if (Node(child, scale, true, line, model))
                        return true;
                }
                return false;
            }

            OverscaledNode found;

        private:
            /// A model's root takes no transform of its own: the instancing node has it.
            bool Instance(const String& file, const Vector3& scale, int line)
            {
                auto model = level.models.find(file);
                if (model == level.models.end() || model->second->fault)
                    return false;
                for (const ModelDescription* entered : entering)
                    if (entered == model->second.get())
                        return false; // the load ends on it elsewhere
                entering.push_back(model->second.get());
                const bool over = Node(model->second->rootNode, scale, false, line, model->second.get());
                entering.pop_back();
                return over;
            }

            const LevelDescription& level;
            std::vector<const ModelDescription*> entering;
        };
    }

    OverscaledNode FindOverscaledNode(const LevelDescription& level)
    {
        ScaleWalk walk(level);
        for (const LevelSection& section : level.sections)
        {
            if (walk.Node(section.nodes, Vector3::UNIT_SCALE, true, section.nodes.line, nullptr))
                break;
        }
        return walk.found;
    }

    String OverscaledNodeFault(const OverscaledNode& node, const String& levelFile)
    {
        if (!node.element)
            return "";
        const String name = node.name.empty() ? String("(unnamed)") : "\"" + node.name + "\"";
        return levelFile + ":" + std::to_string(node.line) + ": " + node.element + " " + name +
               (node.modelFile.empty() ? String() : " of model file " + node.modelFile) + " is scaled " +
               StringConverter::toString(node.scale) + " times with its parents' scales, past the " +
               StringConverter::toString(Limits::MAX_REAL) +
               " a level may use: the engine's bounding boxes would fail on it; scale fewer of its nodes";
    }
}
