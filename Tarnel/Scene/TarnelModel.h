#ifndef TARNEL_MODEL_H
#define TARNEL_MODEL_H

#include "Tarnel/Scene/MovableObjectOwner.h"
#include "Tarnel/Read/TarnelNodes.h"
#include "Tarnel/Read/Types.h"

#include <memory>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    class TarnelScene;

    /** A model file read once into descriptions, from which any number of
        instances are built, each naming its nodes, objects, plane meshes and
        animations with its own base name before the names of the file. */
    class TarnelModel
    {
    public:
        /// The description's transform is not applied to the node an instance is built on.
        static const int NO_INITIAL_TRANSFORMATION = 2;

        TarnelModel() = default;
        /// A model from the level's description of the file, which the model shares.
        explicit TarnelModel(std::shared_ptr<const ModelDescription> described) : described(std::move(described)) {}
        virtual ~TarnelModel() = default;

        /// Reads the file from the resource group; the engine's errors pass up.
        void Load(const Ogre::String& fileName, const Ogre::String& resourceGroupName);

        /** Builds an instance under the parent (the root node when null), on the
            instance node when given; nested models come from the scene's cache.
            Returns the node the root description was built on. */
        Ogre::SceneNode* CreateInstance(Ogre::SceneManager* sceneManager, const Ogre::String& baseName, int options,
                                        Ogre::SceneNode* parentNode, const Ogre::String& resourceGroupName,
                                        Ogre::SceneNode* instanceNode, TarnelScene* scene) const;

        /// The file's root node as written, read by the node reader with a model's rules.
        NodeDescription rootNode;

        /// The root node the instances are built from: the description's, else the one Load read.
        const NodeDescription& Root() const { return described ? described->rootNode : rootNode; }

    private:
        std::shared_ptr<const ModelDescription> described;

        /// The models being built, innermost first: a model found here again would never end.
        struct Nesting
        {
            const TarnelModel* model;
            const Nesting* outer;
        };

        Ogre::SceneNode* CreateNode(Ogre::SceneManager* sceneManager, const Ogre::String& baseName, int options,
                                    const NodeDescription& record, Ogre::SceneNode* parentNode,
                                    const Ogre::String& resourceGroupName, Ogre::SceneNode* node, TarnelScene* scene,
                                    const Nesting* outer) const;
        static void CreateNodeAnimations(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                         const NodeDescription& record, Ogre::SceneNode* node);
        static void CreateMovableObject(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                        const Types::ObjectParameters& record, const MovableObjectOwner& owner,
                                        const Ogre::String& resourceGroupName, TarnelScene* scene);
        static Ogre::MovableObject* CreateEntity(Ogre::SceneManager* sceneManager, const Ogre::String& baseName,
                                                 const Types::EntityParameters& record,
                                                 const Ogre::String& resourceGroupName, TarnelScene* scene);
    };
}

#endif
