// The node hierarchy: nodes, zones and portals, look-at and tracking requests.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Scene/TarnelModel.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

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

    void TarnelScene::ApplyTransform(const NodeDescription::Transform& transform, SceneNode* node)
    {
        // Only the part given: each setter marks the node and its parent for an update.
        switch (transform.part)
        {
        case Objects::POSITION: node->setPosition(transform.vector); break;
        case Objects::ROTATION: node->setOrientation(transform.rotation); break;
        case Objects::SCALE: node->setScale(transform.vector); break;
        default: break;
        }
    }

    void TarnelScene::BuildNode(const NodeDescription& description, SceneNode* parent)
    {
        Building(description.line, description.element, description.name);
        String name = description.name;
        if (lenientNames && !name.empty() && nodesByName.Find(name))
            name = Rename(name, [this](const String& candidate) { return nodesByName.Find(candidate) != nullptr; });
        const TarnelModel* model = description.modelFile.empty() ? nullptr : GetModel(description.modelFile);

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
        RequestTargets(description.lookTargets, description.trackTargets, node, nullptr);
        for (const NodeDescription::Part& part : description.order)
        {
            switch (part.kind)
            {
            case NodeDescription::Part::NODE:
                BuildNode(description.childNodes[part.index], node);
                ReleaseBuilt(description.childNodes[part.index]);
                break;
            case NodeDescription::Part::OBJECT:
                BuildObject(*description.objects[part.index], MovableObjectOwner(node));
                break;
            case NodeDescription::Part::PORTAL:
            {
                const PortalDescription& portal = description.portals[part.index];
                Building(portal.line, "portal", portal.name);
                portalsOfZones.emplace_back(node, BuildPortal(node, portal));
                break;
            }
            case NodeDescription::Part::ANIMATION:
                BuildNodeAnimation(description.animations[part.index], node);
                break;
            case NodeDescription::Part::TRANSFORM: ApplyTransform(description.transforms[part.index], node); break;
            }
        }
        // Key frames act relative to the identity; the node's own transform only moves it.
        if (description.animated)
            TarnelUtilities::SetIdentityInitialState(node);
        else
            node->setInitialState();

        // Applied after the children, so that a tree visibility reaches them.
        TarnelUtilities::SetNodeVisibility(description.visibility, node);

        if (description.extraData.HasUserData())
        {
            Types::ObjectExtraDataPtr registered = std::make_shared<Types::ObjectExtraData>(description.extraData);
            registered->node = node;
            AddObjectExtraData(registered);
        }
    }

    void TarnelScene::ReleaseBuilt(const NodeDescription& built) const
    {
        // The description is the load's own, so not const in truth; its place in the tree stays, empty.
        if (releaseBuiltNodes)
            const_cast<NodeDescription&>(built) = NodeDescription();
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

    Portal* TarnelScene::BuildPortal(SceneNode* node, const PortalDescription& description)
    {
        PCZSceneManager* zoneManager = ZoneManager(sceneManager, node);
        if (description.type != "quad")
            return nullptr;

        Portal* portal =
            zoneManager->createPortal(node->getName() + "_" + description.name, PortalBase::PORTAL_TYPE_QUAD);
        portal->setCorners(description.corners.data());
        portal->setNode(node);
        // Placed by the node as it is now; its zone takes it once the nodes are made.
        portal->updateDerivedValues();
        portals.push_back(portal);
        return portal;
    }

    void TarnelScene::RequestTargets(const std::vector<LookTarget>& looks, const std::vector<TrackTarget>& tracks,
                                     SceneNode* node, Camera* camera)
    {
        for (LookTarget target : looks)
        {
            target.sourceNode = node;
            target.camera = camera;
            lookTargets.push_back(target);
        }
        for (TrackTarget target : tracks)
        {
            target.sourceNode = node;
            target.camera = camera;
            trackTargets.push_back(target);
        }
    }

// Cameras keep their own look-at and tracking, which this engine marks as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    void TarnelScene::ApplyLookAndTrackTargets()
    {
        for (const LookTarget& target : lookTargets)
        {
            Vector3 point = target.position;
            Node::TransformSpace relativeTo = target.relativeTo;
            // A point given is looked at as it is: the node named, if any, is not needed.
            if (!target.isPositionSet)
            {
                point = GetSceneNode(target.nodeName)->_getDerivedPosition();
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
