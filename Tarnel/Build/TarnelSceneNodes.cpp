// The node hierarchy: nodes, zones and portals, look-at and tracking requests.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Build/TarnelModel.h"
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Build/TarnelSceneGraph.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>

#include <tinyxml.h>

#include <unordered_map>

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

        PCZSceneManager* ZoneManager(SceneManager* sceneManager, const SceneNode* node)
        {
            PCZSceneManager* zoneManager = dynamic_cast<PCZSceneManager*>(sceneManager);
            if (!zoneManager)
                TARNEL_EXCEPT(Exception::ERR_INVALID_STATE,
                              "Zones need a portal-connected-zone scene manager: " + node->getName(),
                              "TarnelScene::LoadNode", SCENE_SOURCE_FILE);
            return zoneManager;
        }
    }

    void TarnelScene::IndexSceneNodes(SceneNode* node)
    {
        nodesByName.Insert(node);
        for (Node* child : node->getChildren())
            IndexSceneNodes(static_cast<SceneNode*>(child));
    }

    bool TarnelScene::AddInstanceNode(SceneNode* node) { return nodesByName.Insert(node).second; }

    void TarnelScene::LoadNode(const TiXmlElement* element, SceneNode* parent)
    {
        reading = element;
        const Types::NodeAttributes attributes = Objects::ReadNodeAttributes(element);
        String name = attributes.name;
        if (lenientNames && !name.empty() && nodesByName.Find(name))
            name = Rename(name, [this](const String& candidate) { return nodesByName.Find(candidate) != nullptr; });
        const TarnelModel* model = attributes.modelFile.empty() ? nullptr : GetModel(attributes.modelFile);

        Types::ObjectExtraData extraData;
        extraData.id = attributes.id;

        // The zone manager would take a second node of one name without a word.
        if (!name.empty() && nodesByName.Find(name))
            TARNEL_EXCEPT(Exception::ERR_DUPLICATE_ITEM, "A scene node with the name " + name + " already exists",
                          "TarnelScene::LoadNode", SCENE_SOURCE_FILE);
        SceneNode* node = TarnelUtilities::CreateChildSceneNode(parent, name);
        nodesByName.Insert(node);
        if (model)
        {
            ++modelInstanceCount;
            // The instance hangs on an unnamed child, built before the node's own children.
            SceneNode* instanceNode = TarnelUtilities::CreateChildSceneNode(node, "");
            model->CreateInstance(sceneManager, name, TarnelModel::NO_INITIAL_TRANSFORMATION, node,
                                  defaultResourceGroupName, instanceNode, this);
            IndexSceneNodes(instanceNode);
        }
        bool animationsLoaded = false;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view childName = child->ValueStr();
            if (TarnelUtilities::LoadUserDataElement(child, extraData))
                continue;
            if (TarnelUtilities::ApplyTransformChild(child, node))
                continue;
            if (childName == "lookTarget")
            {
                lookTargets.push_back(Objects::LoadLookTarget(child));
                lookTargets.back().sourceNode = node;
            }
            else if (childName == "trackTarget")
            {
                trackTargets.push_back(Objects::LoadTrackTarget(child));
                trackTargets.back().sourceNode = node;
            }
            else if (childName == "node" || childName == "modelInstance")
                LoadNode(child, node);
            else if (childName == "portal")
                portalsOfZones.emplace_back(node, LoadPortal(node, child));
            else if (childName == "animations")
            {
                // Key frames act relative to the identity; later transforms only move the node.
                LoadNodeAnimations(child, node);
                TarnelUtilities::SetIdentityInitialState(node);
                animationsLoaded = true;
            }
            else
                LoadObject(child, MovableObjectOwner(node));
        }
        if (!animationsLoaded)
            node->setInitialState();

        // Applied after the children, so that a tree visibility reaches them.
        TarnelUtilities::SetNodeVisibility(attributes.visibility, node);

        if (extraData.HasUserData())
        {
            Types::ObjectExtraDataPtr registered = std::make_shared<Types::ObjectExtraData>(extraData);
            registered->node = node;
            AddObjectExtraData(registered);
        }
    }

    void TarnelScene::LoadZones()
    {
        // Made once the nodes are: the zone manager visits every zone for each node it makes,
        // so zones made among the nodes would cost zones times nodes.
        std::unordered_map<const SceneNode*, PCZone*> zones;
        std::vector<std::pair<SceneNode*, PCZone*>> made;
        for (const auto& [node, portal] : portalsOfZones)
        {
            PCZone*& zone = zones[node];
            if (!zone)
            {
                zone = CreateZone(node);
                made.emplace_back(node, zone);
            }
            if (portal)
                zone->_addPortal(portal);
        }
        portalsOfZones.clear();
        // A node takes its parent's zone when it is made, so the nodes below a zone's node went to
        // the zone above; left there, the zone manager would search every zone for each of them.
        for (const auto& [node, zone] : made)
        {
            for (Node* child : node->getChildren())
                PutInZone(static_cast<SceneNode*>(child), zone, zones);
        }
    }

    void TarnelScene::PutInZone(SceneNode* node, PCZone* zone,
                                const std::unordered_map<const SceneNode*, PCZone*>& zones)
    {
        if (zones.count(node))
            return; // a zone of its own, with what is below it
        static_cast<PCZSceneManager*>(sceneManager)->addPCZSceneNode(static_cast<PCZSceneNode*>(node), zone);
        for (Node* child : node->getChildren())
            PutInZone(static_cast<SceneNode*>(child), zone, zones);
    }

    PCZone* TarnelScene::CreateZone(SceneNode* node)
    {
        PCZSceneManager* zoneManager = ZoneManager(sceneManager, node);
        PCZSceneNode* zoneNode = static_cast<PCZSceneNode*>(node);
        PCZone* zone = zoneManager->createZone("ZoneType_Default", node->getName() + "_PCZone");
        zone->setEnclosureNode(zoneNode);
        zoneManager->addPCZSceneNode(zoneNode, zone);
        return zone;
    }

    Portal* TarnelScene::LoadPortal(SceneNode* node, const TiXmlElement* element)
    {
        PCZSceneManager* zoneManager = ZoneManager(sceneManager, node);
        String name = TarnelUtilities::GetStringAttribute(element, "name");
        String type = TarnelUtilities::GetStringAttribute(element, "type");
        if (type != "quad")
            return nullptr;

        const Vector3 corners[4] = {ReadCorner(element, "x0", "y0", "z0"), ReadCorner(element, "x1", "y1", "z1"),
                                    ReadCorner(element, "x2", "y2", "z2"), ReadCorner(element, "x3", "y3", "z3")};
        Portal* portal = zoneManager->createPortal(node->getName() + "_" + name, PortalBase::PORTAL_TYPE_QUAD);
        portal->setCorners(corners);
        portal->setNode(node);
        // Placed by the node as it is now; its zone takes it once the nodes are made.
        portal->updateDerivedValues();
        portals.push_back(portal);
        return portal;
    }

// Cameras keep their own look-at and tracking, which this engine marks as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    void TarnelScene::ApplyLookAndTrackTargets()
    {
        for (const LookTarget& target : lookTargets)
        {
            SceneNode* targetNode = GetSceneNode(target.nodeName);
            Vector3 point = target.position;
            Node::TransformSpace relativeTo = target.relativeTo;
            if (!target.isPositionSet)
            {
                point = targetNode->_getDerivedPosition();
                relativeTo = Node::TS_WORLD;
            }
            if (target.sourceNode)
                target.sourceNode->lookAt(point, relativeTo, target.localDirection);
            else if (target.camera)
                target.camera->lookAt(point);
        }
        lookTargets.clear();

        for (const TrackTarget& target : trackTargets)
        {
            SceneNode* targetNode = GetSceneNode(target.nodeName);
            if (target.sourceNode)
                target.sourceNode->setAutoTracking(true, targetNode, target.localDirection, target.offset);
            else if (target.camera)
                target.camera->setAutoTracking(true, targetNode, target.offset);
        }
        trackTargets.clear();
    }
#pragma GCC diagnostic pop
}
