#ifndef TARNEL_SCENE_GRAPH_H
#define TARNEL_SCENE_GRAPH_H

#include "Tarnel/Read/TarnelValues.h"

class TiXmlElement;

namespace Tarnel
{
    /// What the readers do to the engine's nodes and entities, whatever element they read.
    namespace TarnelUtilities
    {
        void SetNodeVisibility(ObjectVisibility visibility, Ogre::SceneNode* node);
        void SetCustomParameters(Ogre::Renderable* renderable, const CustomParameters& parameters);
        void SetCustomParameters(Ogre::Entity* entity, const CustomParameters& parameters);
        /// A position, rotation or scale child applied to the node as it is read; false for other children.
        bool ApplyTransformChild(const TiXmlElement* child, Ogre::SceneNode* node);
        /// Makes the identity the node's initial state while keeping its transform.
        void SetIdentityInitialState(Ogre::Node* node);
        /** A child of the parent; an empty name gets a name made as the engine used
            to make it, "Unnamed_" and a program-wide count from 1. */
        Ogre::SceneNode* CreateChildSceneNode(Ogre::SceneNode* parent, const Ogre::String& name);
        /// An entity of the group's mesh with the materials of its first subentities replaced.
        Ogre::Entity* CreateEntity(Ogre::SceneManager* sceneManager, const Ogre::String& entityName,
                                   const Ogre::String& meshFile, const SubentityMaterials& materialNames,
                                   const Ogre::String& resourceGroupName);
    }
}

#endif
