#include "Tarnel/Scene/TarnelSceneGraph.h"
#include "Tarnel/Read/TarnelObjects.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>

using namespace Ogre;

namespace Tarnel
{
namespace TarnelUtilities
{
    void SetNodeVisibility(ObjectVisibility visibility, SceneNode* node)
    {
        switch (visibility)
        {
        case OBJECT_VISIBLE: node->setVisible(true, false); break;
        case OBJECT_HIDDEN: node->setVisible(false, false); break;
        case OBJECT_TREE_VISIBLE: node->setVisible(true, true); break;
        case OBJECT_TREE_HIDDEN: node->setVisible(false, true); break;
        case OBJECT_VISIBILITY_DEFAULT: break;
        }
    }

    bool ApplyTransformChild(const TiXmlElement* child, SceneNode* node)
    {
        Vector3 position = node->getPosition();
        Quaternion orientation = node->getOrientation();
        Vector3 scale = node->getScale();
        // Only the part given: each setter marks the node and its parent for an update.
        switch (Objects::LoadTransformChild(child, position, orientation, scale))
        {
        case Objects::POSITION: node->setPosition(position); return true;
        case Objects::ROTATION: node->setOrientation(orientation); return true;
        case Objects::SCALE: node->setScale(scale); return true;
        default: return false;
        }
    }

    void SetCustomParameters(Renderable* renderable, const CustomParameters& parameters)
    {
        for (const CustomParameter& parameter : parameters)
            renderable->setCustomParameter(parameter.id, parameter.value);
    }

    void SetCustomParameters(Entity* entity, const CustomParameters& parameters)
    {
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            SetCustomParameters(entity->getSubEntity(i), parameters);
    }

    void SetIdentityInitialState(Node* node)
    {
        Vector3 position = node->getPosition();
        Quaternion orientation = node->getOrientation();
        Vector3 scale = node->getScale();
        node->setPosition(Vector3::ZERO);
        node->setOrientation(Quaternion::IDENTITY);
        node->setScale(Vector3::UNIT_SCALE);
        node->setInitialState();
        node->setPosition(position);
        node->setOrientation(orientation);
        node->setScale(scale);
    }

    SceneNode* CreateChildSceneNode(SceneNode* parent, const String& name)
    {
        static unsigned long unnamedCount = 0;
        String nodeName = name.empty() ? "Unnamed_" + StringConverter::toString(++unnamedCount) : name;
        return parent->createChildSceneNode(nodeName, Vector3::ZERO, Quaternion::IDENTITY);
    }

    Entity* CreateEntity(SceneManager* sceneManager, const String& entityName, const String& meshFile,
                         const SubentityMaterials& materialNames, const String& resourceGroupName)
    {
        Entity* entity = sceneManager->createEntity(entityName, meshFile, resourceGroupName);
        for (size_t i = 0; i < entity->getNumSubEntities() && i < materialNames.size(); ++i)
            entity->getSubEntity(i)->setMaterialName(materialNames[i], resourceGroupName);
        return entity;
    }
}
}
