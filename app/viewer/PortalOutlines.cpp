#include "PortalOutlines.h"

#include <OgreManualObject.h>
#include <OgreUserObjectBindings.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePortal.h>
#include <OgreRenderQueue.h>

using namespace Ogre;

const ColourValue PortalOutlines::CONNECTED(0.2f, 1, 0.2f);
const ColourValue PortalOutlines::UNCONNECTED(1, 0.2f, 0.2f);

void PortalOutlines::MarkAsTool(MovableObject* object)
{
    object->getUserObjectBindings().setUserAny("Tarnel/ViewerTool", Any(true));
}

bool PortalOutlines::IsTool(const MovableObject* object)
{
    return object->getUserObjectBindings().getUserAny("Tarnel/ViewerTool").has_value();
}

void PortalOutlines::SetVisible(bool show, SceneManager* sceneManager, const std::vector<Portal*>& portals)
{
    visible = show;
    if (visible && builtFor != sceneManager)
        Build(sceneManager, portals);
    if (builtFor == sceneManager)
    {
        for (SceneNode* node : nodes)
            node->setVisible(visible);
    }
}

void PortalOutlines::Build(SceneManager* sceneManager, const std::vector<Portal*>& portals)
{
    // The nodes of an earlier scene manager went with it.
    nodes.clear();
    builtFor = sceneManager;
    auto* zoneManager = static_cast<PCZSceneManager*>(sceneManager);
    for (Portal* portal : portals)
    {
        portal->updateDerivedValues();
        const Vector3 centre = portal->getDerivedCP();
        ManualObject* lines = sceneManager->createManualObject(portal->getName() + "/Outline");
        lines->setRenderQueueGroup(RENDER_QUEUE_OVERLAY - 1);
        lines->setCastShadows(false);
        MarkAsTool(lines);
        lines->begin("Tarnel/PortalOutline", RenderOperation::OT_LINE_STRIP);
        const ColourValue& colour = portal->getTargetZone() ? CONNECTED : UNCONNECTED;
        for (int corner : {0, 1, 2, 3, 0})
        {
            lines->position(portal->getDerivedCorner(corner) - centre);
            lines->colour(colour);
        }
        lines->end();
        // A node in the portal's zone, standing in the opening, is drawn from either side.
        SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode(centre);
        node->attachObject(lines);
        zoneManager->addPCZSceneNode(static_cast<PCZSceneNode*>(node), portal->getCurrentHomeZone());
        nodes.push_back(node);
    }
}
