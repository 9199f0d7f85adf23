#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMovablePlane.h>
#include <OgreParticleSystem.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTagPoint.h>

using namespace Ogre;

class Effects : public SceneTest
{
protected:
    template <typename T> T* Get(const String& name) { return dynamic_cast<T*>(scene.GetObject(name)); }
};

TEST_F(Effects, BillboardSets)
{
    LoadText(NodesScene("<node name='Signs'><billboardSet poolSize='50' material='Test/Red'>"
                        "  <billboard width='3'><position x='1' y='2' z='3'/><colourDiffuse g='1'/></billboard>"
                        "  <billboard width='3' height='4'><rotation angleX='1.5707964'/>"
                        "    <texCoordRectangle left='0.5' top='0' right='0.5' bottom='1'/></billboard>"
                        "  <billboard><texCoordRectangle left='0' top='0' right='0.5' bottom='0.5'/></billboard>"
                        "</billboardSet></node>"));
    BillboardSet* set = Get<BillboardSet>("Signs");
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(Vector2(10, 10), Vector2(set->getDefaultWidth(), set->getDefaultHeight()));
    EXPECT_EQ(BBR_VERTEX, set->getBillboardRotationType());
    EXPECT_EQ(50u, set->getPoolSize());
    EXPECT_EQ("Test/Red", set->getMaterialName());
    ASSERT_EQ(3, set->getNumBillboards());

    Billboard* first = set->getBillboard(0);
    EXPECT_EQ(Vector3(1, 2, 3), first->getPosition());
    EXPECT_EQ(ColourValue(0, 1, 0, 1), first->mColour);
    EXPECT_FALSE(first->hasOwnDimensions()) << "a width alone keeps the set's size";

    // A quarter turn about any axis is a quarter turn about the facing axis.
    Billboard* second = set->getBillboard(1);
    EXPECT_FLOAT_EQ(Math::HALF_PI, second->getRotation().valueRadians());
    EXPECT_EQ(Vector2(3, 4), Vector2(second->getOwnWidth(), second->getOwnHeight()));
    EXPECT_FALSE(second->isUseTexcoordRect()) << "a rectangle without width keeps the set's coordinates";
    EXPECT_TRUE(set->getBillboard(2)->isUseTexcoordRect());
}

TEST_F(Effects, Planes)
{
    LoadText(NodesScene("<node name='Pool'><plane name='Water' distance='2' width='4' height='6' material='Test/Blue'"
                        "  castShadows='false'><normal y='1'/></plane>"
                        "<plane name='Flat' movablePlane='false'><normal y='1'/></plane></node>"));
    Entity* water = Get<Entity>("Water");
    ASSERT_NE(nullptr, water);
    EXPECT_EQ("Test/Blue", water->getSubEntity(0)->getMaterialName());
    EXPECT_FALSE(water->getCastShadows());
    EXPECT_FLOAT_EQ(2, water->getMesh()->getBounds().getCenter().y) << "at the distance along the normal";
    EXPECT_NEAR(24, water->getMesh()->getBounds().getSize().x * water->getMesh()->getBounds().getSize().z, 1);

    MovablePlane* movable = scene.GetMovablePlane("Water_movable");
    ASSERT_NE(nullptr, movable);
    EXPECT_EQ(Plane(Vector3::UNIT_Y, 2), *movable);
    EXPECT_EQ(scene.GetSceneNode("Pool"), movable->getParentSceneNode());
    EXPECT_EQ(nullptr, scene.GetMovablePlane("Flat_movable"));
    EXPECT_EQ(3u, scene.GetSceneNode("Pool")->numAttachedObjects()) << "two entities, one movable plane";
}

TEST_F(Effects, APlaneWithoutANormalFailsInTheEngine)
{
    // The zero normal reaches the movable plane, made first, and then the engine, which refuses it.
    EXPECT_THROW(LoadText(NodesScene("<node name='N'><plane name='Unset'/></node>")), InvalidParametersException);
    ASSERT_NE(nullptr, scene.GetMovablePlane("Unset_movable"));
    EXPECT_EQ(Vector3::ZERO, scene.GetMovablePlane("Unset_movable")->normal);
}

TEST_F(Effects, ParticleSystemsOnNodesAndBones)
{
    LoadText(NodesScene("<node name='Brazier'><particleSystem file='Test/Sparks' renderQueue='80'/></node>"
                        "<node name='Body'><entity name='Walker' meshFile='Walker.mesh'><boneAttachments>"
                        "  <boneAttachment bone='Head'><particleSystem name='Breath' file='Test/Sparks'/></boneAttachment>"
                        "</boneAttachments></entity></node>"));
    ParticleSystem* brazier = Get<ParticleSystem>("Brazier");
    ASSERT_NE(nullptr, brazier);
    EXPECT_EQ(10u, brazier->getParticleQuota()) << "made from the template";
    EXPECT_EQ(80, brazier->getRenderQueueGroup());
    EXPECT_NE(nullptr, dynamic_cast<TagPoint*>(Get<ParticleSystem>("Breath")->getParentNode()));
}
