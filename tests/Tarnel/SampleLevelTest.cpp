#include "support/SceneTest.h"

#include <OgreEntity.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreSubEntity.h>

using namespace Ogre;

class SampleLevel : public SceneTest
{
};

TEST_F(SampleLevel, EveryPortalLeadsToAZoneAndEveryEntityWearsAMaterialOfTheLevel)
{
    LoadFile(TARNEL_SAMPLE_LEVEL);
    sceneManager->connectPortalsToTargetZonesByLocation();

    int zones = 0, portals = 0;
    PCZSceneManager::ZoneIterator zone = sceneManager->getZoneIterator();
    while (zone.hasMoreElements())
    {
        PCZone* current = zone.getNext();
        if (current == sceneManager->getDefaultZone())
            continue;
        ++zones;
        for (Portal* portal : current->mPortals)
        {
            ++portals;
            ASSERT_NE(nullptr, portal->getTargetZone()) << portal->getName();
            EXPECT_NE(current, portal->getTargetZone()) << portal->getName();
            EXPECT_EQ(portal, portal->getTargetPortal()->getTargetPortal()) << portal->getName();
        }
    }
    EXPECT_GE(zones, 3);
    EXPECT_GE(portals, 4);

    // The level's materials are in a script beside it, not in a location the engine knew before.
    for (const auto& entry : sceneManager->getMovableObjects("Entity"))
    {
        Entity* entity = static_cast<Entity*>(entry.second);
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            EXPECT_NE("BaseWhite", entity->getSubEntity(i)->getMaterialName()) << entity->getName();
    }
}
