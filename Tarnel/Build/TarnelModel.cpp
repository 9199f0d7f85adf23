// Model files, read once into descriptions: the node and object elements of a scene, recorded.
#include "Tarnel/Build/TarnelModel.h"
#include "Tarnel/Check/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    namespace
    {
        const char* const MODEL_SOURCE_FILE = "Tarnel/TarnelModel";
    }

    void TarnelModel::Load(const String& fileName, const String& resourceGroupName)
    {
        TiXmlDocument document;
        TarnelUtilities::LoadXmlDocument(fileName, document, resourceGroupName);
        const TiXmlElement* root = document.FirstChildElement();
        if (!root)
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel model file: " + fileName,
                          "TarnelModel::Load", MODEL_SOURCE_FILE);
        LoadNode(root, rootNode);
    }

    void TarnelModel::LoadNode(const TiXmlElement* element, NodeParameters& node)
    {
        static_cast<Types::NodeAttributes&>(node) = ReadNodeAttributes(element);
        // Sized first and filled in place: a node owns its objects and is never copied.
        node.childNodes = std::vector<NodeParameters>(TarnelUtilities::GetChildElementCount(element, "node"));
        Types::ObjectExtraData extraData;
        extraData.id = node.id;

        size_t childIndex = 0;
        // Looks and tracks, instances and portals are the scene's own; they are skipped here.
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (TarnelUtilities::LoadUserDataElement(child, extraData))
                continue;
            if (LoadTransformChild(child, node.position, node.orientation, node.scale))
                continue;
            if (name == "node")
                LoadNode(child, node.childNodes[childIndex++]);
            else if (name == "animations")
                LoadNodeAnimations(child, node.animations);
            else if (std::unique_ptr<Types::ObjectParameters> object = ReadObject(child, Rules::MODEL))
                node.objects.push_back(std::move(object));
        }
        if (extraData.HasUserData())
            node.extraData = std::make_shared<Types::ObjectExtraData>(extraData);
    }

    void TarnelModel::LoadNodeAnimations(const TiXmlElement* element,
                                         std::vector<Types::NodeAnimationParameters>& animations)
    {
        // A second animations element reads over the first, from its first entry.
        animations.resize(TarnelUtilities::GetChildElementCount(element, "animation"));
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("animation"); child;
             child = child->NextSiblingElement("animation"))
            Objects::LoadNodeAnimation(child, animations[index++], true);
    }
}
