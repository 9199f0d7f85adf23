#ifndef TARNEL_INSTANCED_GEOMETRY_H
#define TARNEL_INSTANCED_GEOMETRY_H

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <vector>

namespace Tarnel
{
    /** Copies of one batch of placed meshes, built on the engine's static geometry.

        build() bakes the added entities into one batch; each addBatchInstance()
        bakes one more copy of that batch at the same place, which the
        application may move through its regions. The batches belong to the
        scene manager; this object only remembers them. */
    class TarnelInstancedGeometry
    {
    public:
        TarnelInstancedGeometry(Ogre::SceneManager* sceneManager, const Ogre::String& name);

        const Ogre::String& getName() const { return name; }

        void setCastShadows(bool castShadows) { this->castShadows = castShadows; }
        void setVisible(bool visible) { this->visible = visible; }
        void setOrigin(const Ogre::Vector3& origin) { this->origin = origin; }
        void setRenderQueueGroup(Ogre::uint8 queue);
        void setRenderingDistance(Ogre::Real distance) { renderingDistance = distance; }
        void setBatchInstanceDimensions(const Ogre::Vector3& dimensions) { this->dimensions = dimensions; }

        /// Remembers the entity's mesh, materials and placement; the entity may go at once.
        void addEntity(Ogre::Entity* entity, const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                       const Ogre::Vector3& scale);
        /// Bakes the first batch.
        void build();
        /// Bakes one more copy of the batch.
        void addBatchInstance();
        /// The engine's name of batch n: "InstancedGeometry/" + name + "/" + n (the first is 0).
        Ogre::String BatchName(size_t index) const;

        size_t getBatchInstanceCount() const { return batches.size(); }
        Ogre::StaticGeometry* getBatchInstance(size_t index) const { return batches.at(index); }

        bool getCastShadows() const { return castShadows; }
        bool isVisible() const { return visible; }
        const Ogre::Vector3& getOrigin() const { return origin; }
        Ogre::uint8 getRenderQueueGroup() const { return renderQueue; }
        bool hasRenderQueueGroup() const { return renderQueueSet; }
        Ogre::Real getRenderingDistance() const { return renderingDistance; }
        const Ogre::Vector3& getBatchInstanceDimensions() const { return dimensions; }

    private:
        struct PlacedMesh
        {
            Ogre::String meshName;
            Ogre::String group; ///< the mesh's and its materials' resource group
            std::vector<Ogre::String> materials; ///< per sub-entity, as the entity had them
            Ogre::Vector3 position;
            Ogre::Quaternion orientation;
            Ogre::Vector3 scale;
        };

        Ogre::StaticGeometry* BakeBatch(const Ogre::String& batchName);

        Ogre::SceneManager* sceneManager;
        Ogre::String name;
        bool castShadows = true;
        bool visible = true;
        Ogre::Vector3 origin = Ogre::Vector3::ZERO;
        Ogre::uint8 renderQueue = 0;
        bool renderQueueSet = false;
        Ogre::Real renderingDistance = 0;
        Ogre::Vector3 dimensions = Ogre::Vector3(1000000, 1000000, 1000000);
        std::vector<PlacedMesh> placed;
        std::vector<Ogre::StaticGeometry*> batches;
    };
}

#endif
