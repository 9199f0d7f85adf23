// The model files a level instances, read once each into the level's description.
#include "Tarnel/Read/TarnelModelFiles.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelPaths.h"

#include <OgreStringConverter.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        String Describe(const TiXmlElement* element)
        {
            const char* name = element->Attribute("name");
            return element->ValueStr() + (name && *name ? String(" \"") + name + "\"" : String());
        }

        /// Names the model files below the node, with the node's line and the file it stands in.
        void Gather(const NodeDescription& node, const String& in,
                    std::vector<std::tuple<String, int, String>>& named)
        {
            if (!node.modelFile.empty())
                named.emplace_back(node.modelFile, node.line, in);
            for (const NodeDescription& child : node.childNodes)
                Gather(child, in, named);
        }
    }

    ModelOpener OpenModelsFrom(const String& resourceGroupName)
    {
        return [resourceGroupName](const String& file, TiXmlDocument& document) {
            TarnelUtilities::LoadXmlDocument(file, document, resourceGroupName, true);
        };
    }

    std::shared_ptr<ModelDescription> ReadModelFile(const String& file, const ModelOpener& open)
    {
        auto model = std::make_shared<ModelDescription>();
        model->file = file;
        const String native = TarnelUtilities::NativeSeparators(file);
        TiXmlDocument document;
        NodeReader reader(Objects::Rules::MODEL);
        try
        {
            open(native, document);
            model->found = true;
            const TiXmlElement* root = document.FirstChildElement();
            if (!root)
                TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel model file: " + native,
                              "TarnelModel::Load", "Tarnel/TarnelModel");
            model->rootNode = reader.ReadNode(root);
        }
        catch (const Exception& error)
        {
            model->fault = std::current_exception();
            model->rootNode = NodeDescription();
            model->refusal = error.getDescription();
            const TiXmlElement* at = reader.Reading();
            model->faultText = at && at->Row() > 0 ? file + ":" + StringConverter::toString(at->Row()) + ": " +
                                                         Describe(at) + ": " + error.getDescription()
                                                   : file + ": " + error.getDescription();
        }
        return model;
    }

    void ReadModelFiles(LevelDescription& level, const ModelOpener& open)
    {
        std::vector<std::tuple<String, int, String>> named;
        for (const LevelSection& section : level.sections)
            Gather(section.nodes, "", named);
        // Each file read adds the files it names, until no file names one not read yet.
        for (size_t next = 0; next < named.size(); ++next)
        {
            auto [file, line, in] = named[next];
            if (level.models.count(file))
                continue;
            std::shared_ptr<ModelDescription> model;
            {
                // Said by the load with the level's own warnings, as the reading of the level is.
                Domains::QuietLog held;
                model = ReadModelFile(file, open);
                level.said.insert(level.said.end(), held.Said().begin(), held.Said().end());
            }
            model->instancedAt = line;
            model->instancedIn = in;
            Gather(model->rootNode, file, named);
            level.models.emplace(file, std::move(model));
        }
    }
}
