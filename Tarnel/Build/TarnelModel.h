#ifndef TARNEL_MODEL_H
#define TARNEL_MODEL_H

#include "Tarnel/Build/MovableObjectOwner.h"
#include "Tarnel/Read/Types.h"

#include <memory>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    class TarnelScene;

    /** One node of a model file as written: names without any prefix, a nested
        model's file stored, not loaded, and visibility stored, not applied. Not
        copyable: it owns its objects. */
    struct NodeParameters : Types::NodeAttributes
    {
        Types::ObjectExtraDataPtr extraData; ///< only for a node with an id or user data
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
        std::vector<NodeParameters> childNodes;
        std::vector<Types::NodeAnimationParameters> animations;
        /// Every object of the node in document order, all kinds mixed.
        std::vector<std::unique_ptr<Types::ObjectParameters>> objects;

        NodeParameters() = default;
        NodeParameters(const NodeParameters&) = delete;
        NodeParameters& operator=(const NodeParameters&) = delete;
    };

    /** A model file read once into descriptions, from which any number of
        instances are built, each naming its nodes, objects, plane meshes and
        animations with its own base name before the names of the file. */
    class TarnelModel
    {
    public:
        /// The description's transform is not applied to the node an instance is built on.
        static const int NO_INITIAL_TRANSFORMATION = 2;

        virtual ~TarnelModel() = default;

        /// Reads the file from the resource group; the engine's errors pass up.
        void Load(const Ogre::String& fileName, const Ogre::String& resourceGroupName);

        /** Builds an instance under the parent (the root node when null), on the
            instance node when given; nested models come from the scene's cache.
            Returns the node the root description was built on. */
        Ogre::SceneNode* CreateInstance(Ogre::SceneManager* sceneManager, const Ogre::String& baseName, int options,
                                        Ogre::SceneNode* parentNode, const Ogre::String& resourceGroupName,
                                        Ogre::SceneNode* instanceNode, TarnelScene* scene) const;

        NodeParameters rootNode;

    private:
        // Reading
        static void LoadNode(const TiXmlElement* element, NodeParameters& node);
        static void LoadNodeAnimations(const TiXmlElement* element, std::vector<Types::NodeAnimationParameters>& animations);

        // Building

        /// The models being built, innermost first: a model found here again would never end.
        struct Nesting
        {
            const TarnelModel* model;
            const Nesting* outer;
        };

        Ogre::SceneNode* CreateNode(Ogre::SceneManager* sceneManager, const Ogre::String& baseName, int options,
                                    const NodeParameters& record, Ogre::SceneNode* parentNode,
                                    const Ogre::String& resourceGroupName, Ogre::SceneNode* node, TarnelScene* scene,
                                    const Nesting* outer) const;
        static void CreateNodeAnimations(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                         const NodeParameters& record, Ogre::SceneNode* node);
        static void CreateMovableObject(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                        const Types::ObjectParameters& record, const MovableObjectOwner& owner,
                                        const Ogre::String& resourceGroupName, TarnelScene* scene);
        static Ogre::MovableObject* CreateEntity(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                                 const Types::EntityParameters& record,
                                                 const Ogre::String& resourceGroupName, TarnelScene* scene);
    };
}

#endif
