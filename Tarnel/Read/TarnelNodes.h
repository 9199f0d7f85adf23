#ifndef TARNEL_NODES_H
#define TARNEL_NODES_H

#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/Types.h"

#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /// A portal element of a node: the node becomes a zone; a quad also makes a portal.
    struct PortalDescription
    {
        Ogre::String name;
        Ogre::String type; ///< only "quad" makes a portal
        /// Vectors are not zeroed by their constructor.
        std::array<Ogre::Vector3, 4> corners{Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
        int line = 0;
    };

    /** A node element of a scene or model file as written, with everything under it, read
        in one walk without the engine's scene: names as written (no prefix, no renames), a
        model file named, not loaded, and each part with the line it came from. Not
        copyable: it owns its objects. */
    struct NodeDescription : Types::NodeAttributes
    {
        int line = 0;
        const char* element = "node"; ///< "node" or "modelInstance"
        Types::ObjectExtraData extraData; ///< id and user data; filed only when it has user data
        /// A position, rotation or scale child, as given.
        struct Transform
        {
            Objects::TransformPart part = Objects::NO_TRANSFORM;
            Ogre::Vector3 vector = Ogre::Vector3::ZERO; ///< position or scale
            Ogre::Quaternion rotation = Ogre::Quaternion::IDENTITY;
        };
        /// In document order; a scene's portal takes the node's transform as it is at the portal.
        std::vector<Transform> transforms;
        /// The last given of each kind; unset when none was.
        std::optional<Ogre::Vector3> position;
        std::optional<Ogre::Quaternion> orientation;
        std::optional<Ogre::Vector3> scale;
        /// An animations element was read: key frames act relative to the identity.
        bool animated = false;
        std::vector<Types::NodeAnimationParameters> animations;
        std::vector<Types::LookTarget> lookTargets;
        std::vector<Types::TrackTarget> trackTargets;
        std::vector<NodeDescription> childNodes;
        std::vector<std::unique_ptr<Types::ObjectParameters>> objects;
        std::vector<PortalDescription> portals;

        /** A child node, object, portal or animation, for builders that make them in document
            order (a scene's: model files leave it empty). */
        struct Part
        {
            enum Kind
            {
                NODE,
                OBJECT,
                PORTAL,
                ANIMATION,
                TRANSFORM
            } kind;
            size_t index; ///< into childNodes, objects, portals, animations or transforms
        };
        std::vector<Part> order;

        NodeDescription() = default;
        NodeDescription(NodeDescription&&) = default;
        NodeDescription& operator=(NodeDescription&&) = default;
        NodeDescription(const NodeDescription&) = delete;
        NodeDescription& operator=(const NodeDescription&) = delete;
    };

    /** A model file as a level instances it: read once, with a model's rules, however many
        nodes name it. */
    struct ModelDescription
    {
        Ogre::String file; ///< as the first node that names it writes it
        NodeDescription rootNode; ///< empty when the file could not be read
        /// Why it could not be read, the engine's error: the build raises it where it instances the file.
        std::exception_ptr fault;
        /// That error in one line, at the model file's line when the reader refused an element.
        Ogre::String faultText;
        Ogre::String refusal; ///< the error's own description
        bool found = false; ///< the file was opened
        /// The first node that names it: its line, and the model file it stands in (empty: the level).
        int instancedAt = 0;
        Ogre::String instancedIn;
    };

    /** Reads node elements into descriptions, by the object rules of scene or model files,
        which also say what else a node holds in each. One reader per file: it knows which
        node animations the file has named already. */
    class NodeReader
    {
    public:
        explicit NodeReader(const Objects::Rules& rules) : rules(rules) {}

        /// A node or modelInstance element and everything under it.
        NodeDescription ReadNode(const TiXmlElement* element);
        /** A scene's nodes element: its own transforms and its node and modelInstance
            children (objects straight under it are not the format's). */
        NodeDescription ReadNodes(const TiXmlElement* element);
        /** An object element; an unnamed one of a scene carries its node's name for its
            messages and is marked to take its node's name when built. */
        std::unique_ptr<Types::ObjectParameters> ReadObject(const TiXmlElement* element, const Ogre::String& nodeName);

        /// The element being read when a reader raised, for where the reading stopped; null when none.
        const TiXmlElement* Reading() const { return reading; }

    private:
        /// Room for the parts and child nodes the element holds.
        void Reserve(const TiXmlElement* element, NodeDescription& node) const;
        /// Enters the part in the node's document order, when the rules keep one.
        void Place(NodeDescription& node, NodeDescription::Part::Kind kind, size_t index) const;
        /// A position, rotation or scale child; false for other children.
        bool ReadTransformChild(const TiXmlElement* child, NodeDescription& node) const;
        /// ReadNode into a description made in its place.
        void ReadNode(const TiXmlElement* element, NodeDescription& node);
        void ReadChild(const TiXmlElement* child, NodeDescription& node);
        void ReadAnimations(const TiXmlElement* element, NodeDescription& node);
        static PortalDescription ReadPortal(const TiXmlElement* element);

        const Objects::Rules& rules;
        const TiXmlElement* reading = nullptr;
        std::set<Ogre::String> animationNames;
    };
}

#endif
