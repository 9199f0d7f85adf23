#include "support/SceneTest.h"

#include <OgrePCZone.h>
#include <OgrePortal.h>

using namespace Ogre;

class SampleLevel : public SceneTest
{
};

TEST_F(SampleLevel, EveryPortalLeadsToAZone)
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
}
