// Node elements of scene and model files, read into descriptions in one walk.
#include "Tarnel/Read/TarnelNodes.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        Vector3 ReadCorner(const TiXmlElement* element, const char* x, const char* y, const char* z)
        {
            return Vector3(TarnelUtilities::GetRealAttribute(element, x, 0),
                           TarnelUtilities::GetRealAttribute(element, y, 0),
                           TarnelUtilities::GetRealAttribute(element, z, 0));
        }

        bool IsNodeElement(const TiXmlElement* element, const Objects::Rules& rules)
        {
            return element->ValueStr() == "node" || (rules.sceneNodeParts && element->ValueStr() == "modelInstance");
        }
    }

    bool NodeReader::ReadTransformChild(const TiXmlElement* child, NodeDescription& node) const
    {
        NodeDescription::Transform transform;
        transform.part = Objects::LoadTransformChild(child, transform.vector, transform.rotation, transform.vector);
        switch (transform.part)
        {
        case Objects::POSITION: node.position = transform.vector; break;
        case Objects::ROTATION: node.orientation = transform.rotation; break;
        case Objects::SCALE: node.scale = transform.vector; break;
        default: return false;
        }
        Place(node, NodeDescription::Part::TRANSFORM, node.transforms.size());
        node.transforms.push_back(transform);
        return true;
    }

    void NodeReader::Reserve(const TiXmlElement* element, NodeDescription& node) const
    {
        // Counted first: rooms of a big level hold hundreds of nodes, made in place, never moved.
        size_t elements = 0, nodes = 0;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            ++elements;
            nodes += IsNodeElement(child, rules);
        }
        node.childNodes.reserve(nodes);
        if (rules.sceneNodeParts)
            node.order.reserve(elements);
    }

    void NodeReader::Place(NodeDescription& node, NodeDescription::Part::Kind kind, size_t index) const
    {
        if (rules.sceneNodeParts)
            node.order.push_back({kind, index});
    }

    NodeDescription NodeReader::ReadNodes(const TiXmlElement* element)
    {
        reading = element;
        NodeDescription nodes;
        nodes.line = element->Row();
        nodes.element = "nodes";
        Reserve(element, nodes);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            reading = element;
            if (IsNodeElement(child, rules))
            {
                Place(nodes, NodeDescription::Part::NODE, nodes.childNodes.size());
                ReadNode(child, nodes.childNodes.emplace_back());
            }
            else
                ReadTransformChild(child, nodes);
        }
        reading = nullptr;
        return nodes;
    }

    NodeDescription NodeReader::ReadNode(const TiXmlElement* element)
    {
        NodeDescription node;
        ReadNode(element, node);
        return node;
    }

    void NodeReader::ReadNode(const TiXmlElement* element, NodeDescription& node)
    {
        reading = element;
        static_cast<Types::NodeAttributes&>(node) = Objects::ReadNodeAttributes(element);
        node.line = element->Row();
        node.element = element->ValueStr() == "modelInstance" ? "modelInstance" : "node";
        node.extraData.id = node.id;
        Reserve(element, node);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            reading = element; // the node, unless an object or animation of it is read
            ReadChild(child, node);
        }
        reading = nullptr;
    }

    void NodeReader::ReadChild(const TiXmlElement* child, NodeDescription& node)
    {
        if (TarnelUtilities::LoadUserDataElement(child, node.extraData) || ReadTransformChild(child, node))
            return;
        std::string_view name = child->ValueStr();
        if (IsNodeElement(child, rules))
        {
            Place(node, NodeDescription::Part::NODE, node.childNodes.size());
            ReadNode(child, node.childNodes.emplace_back());
        }
        else if (name == "animations")
            ReadAnimations(child, node);
        else if (!rules.sceneNodeParts)
        {
            if (std::unique_ptr<Types::ObjectParameters> object = ReadObject(child, node.name))
                node.objects.push_back(std::move(object));
        }
        else if (name == "lookTarget")
            node.lookTargets.push_back(Objects::LoadLookTarget(child));
        else if (name == "trackTarget")
            node.trackTargets.push_back(Objects::LoadTrackTarget(child));
        else if (name == "portal")
        {
            Place(node, NodeDescription::Part::PORTAL, node.portals.size());
            node.portals.push_back(ReadPortal(child));
        }
        else if (std::unique_ptr<Types::ObjectParameters> object = ReadObject(child, node.name))
        {
            Place(node, NodeDescription::Part::OBJECT, node.objects.size());
            node.objects.push_back(std::move(object));
        }
    }

    std::unique_ptr<Types::ObjectParameters> NodeReader::ReadObject(const TiXmlElement* element,
                                                                    const String& nodeName)
    {
        if (!Objects::IsObject(element))
            return nullptr;
        reading = element;
        const String written = TarnelUtilities::GetStringAttribute(element, "name");
        const bool namedByNode = written.empty() && rules.unnamedTakeNodeName;
        std::unique_ptr<Types::ObjectParameters> object =
            Objects::ReadObject(element, namedByNode ? nodeName : written, rules);
        object->namedByNode = namedByNode;
        return object;
    }

    void NodeReader::ReadAnimations(const TiXmlElement* element, NodeDescription& node)
    {
        node.animated = true;
        if (rules.lastAnimationsOnly)
            node.animations.clear();
        for (const TiXmlElement* child = element->FirstChildElement("animation"); child;
             child = child->NextSiblingElement("animation"))
        {
            reading = child;
            // In a scene, the first element of a name shapes the animation; later ones only add tracks.
            const String name = TarnelUtilities::GetStringAttribute(child, "name");
            const bool shaped = rules.lastAnimationsOnly || animationNames.insert(name).second;
            Place(node, NodeDescription::Part::ANIMATION, node.animations.size());
            node.animations.emplace_back();
            Objects::LoadNodeAnimation(child, node.animations.back(), shaped);
        }
    }

    PortalDescription NodeReader::ReadPortal(const TiXmlElement* element)
    {
        PortalDescription portal;
        portal.name = TarnelUtilities::GetStringAttribute(element, "name");
        portal.type = TarnelUtilities::GetStringAttribute(element, "type");
        portal.line = element->Row();
        // Only a quad's corners are read: no other type makes a portal.
        if (portal.type == "quad")
            portal.corners = {ReadCorner(element, "x0", "y0", "z0"), ReadCorner(element, "x1", "y1", "z1"),
                              ReadCorner(element, "x2", "y2", "z2"), ReadCorner(element, "x3", "y3", "z3")};
        return portal;
    }
}
