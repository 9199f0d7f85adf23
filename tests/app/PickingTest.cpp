#include "LevelPicking.h"
#include "support/Engine.h"

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreManualObject.h>
#include <OgreMesh.h>
#include <OgrePCZSceneManager.h>
#include <OgrePortal.h>
#include <OgreSceneNode.h>

using namespace Ogre;

using Picking = EngineTest;

TEST_F(Picking, TheNearestObjectOnTheRay)
{
    auto place = [this](const char* name, const Vector3& at) {
        Entity* entity = sceneManager->createEntity(name, "TwoPart.mesh", TestEngine::RESOURCE_GROUP);
        sceneManager->getRootSceneNode()->createChildSceneNode(name, at)->attachObject(entity);
        return entity;
    };
    Entity* nearer = place("Nearer", Vector3(0, 0, -5));
    Entity* farther = place("Farther", Vector3(0.5f, 0, -9)); // overlaps the nearer one in the view
    // One triangle across its box's lower left half: the box's upper right is empty.
    ManualObject* shape = sceneManager->createManualObject();
    shape->begin("BaseWhiteNoLighting");
    for (const Vector3& corner : {Vector3(-1, -1, 0), Vector3(1, -1, 0), Vector3(-1, 1, 0)})
        shape->position(corner);
    shape->triangle(0, 1, 2);
    shape->end();
    shape->convertToMesh("Triangle.mesh", TestEngine::RESOURCE_GROUP);
    sceneManager->destroyManualObject(shape);
    Entity* triangle = sceneManager->createEntity("Triangle", "Triangle.mesh", TestEngine::RESOURCE_GROUP);
    sceneManager->getRootSceneNode()->createChildSceneNode("TriangleNode", Vector3(20, 0, -3))->attachObject(triangle);
    Entity* behind = place("Behind", Vector3(20.7f, 0.7f, -8));
    Light* lamp = sceneManager->createLight("Lamp");
    sceneManager->getRootSceneNode()->createChildSceneNode("LampNode", Vector3(6, 0, -5))->attachObject(lamp);
    const Real side = farther->getBoundingBox().getSize().x;

    const struct
    {
        const char* what;
        Ray ray;
        MovableObject* picked;
    } rows[] = {
        {"the nearer of two boxes on the ray", Ray(Vector3::ZERO, Vector3::NEGATIVE_UNIT_Z), nearer},
        {"past the nearer box's side, the farther", Ray(Vector3(0.5f + side * 0.45f, 0, 0), Vector3::NEGATIVE_UNIT_Z),
         farther},
        {"from behind, the box that is nearer from there", Ray(Vector3(0, 0, -20), Vector3::UNIT_Z), farther},
        {"a light by its marker", Ray(Vector3::ZERO, Vector3(6, 0, -5).normalisedCopy()), lamp},
        {"empty sky", Ray(Vector3::ZERO, Vector3::UNIT_Y), nullptr},
        {"a triangle where it is", Ray(Vector3(19.5f, -0.5f, 0), Vector3::NEGATIVE_UNIT_Z), triangle},
        {"through a triangle's box where it is not, what lies behind", Ray(Vector3(20.7f, 0.7f, 0), Vector3::NEGATIVE_UNIT_Z),
         behind},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.picked, LevelPicking::Pick(sceneManager, row.ray, 0.5f, nullptr)) << row.what;

    nearer->setVisible(false);
    EXPECT_EQ(farther, LevelPicking::Pick(sceneManager, rows[0].ray, 0.5f, nullptr)) << "a hidden object is not met";
    EXPECT_LT(LevelPicking::MeetTriangles(Ray(Vector3::ZERO, Vector3::UNIT_X), farther), 0) << "a ray beside it";
}

TEST_F(Picking, APortalByItsOutlineOnly)
{
    // A doorway 2 wide and 2 high at z = -4, facing the camera, with a box beyond it.
    auto* zones = static_cast<PCZSceneManager*>(sceneManager);
    SceneNode* room = sceneManager->getRootSceneNode()->createChildSceneNode("Room");
    Portal* door = zones->createPortal("Room_Door", PortalBase::PORTAL_TYPE_QUAD);
    const Vector3 corners[4] = {Vector3(-1, -1, -4), Vector3(1, -1, -4), Vector3(1, 1, -4), Vector3(-1, 1, -4)};
    door->setCorners(corners);
    door->setNode(room);
    Entity* beyond = sceneManager->createEntity("Beyond", "TwoPart.mesh", TestEngine::RESOURCE_GROUP);
    sceneManager->getRootSceneNode()->createChildSceneNode("BeyondNode", Vector3(0, 0, -8))->attachObject(beyond);
    const std::vector<Portal*> portals = {door};
    const struct
    {
        const char* what;
        Vector3 from;
        MovableObject* picked;
    } rows[] = {
        {"through the doorway's middle, what lies beyond", Vector3::ZERO, beyond},
        {"on its edge, the portal", Vector3(0.97f, 0, 0), door},
        {"at a corner, the portal", Vector3(-0.98f, 0.98f, 0), door},
        {"beside it, nothing", Vector3(3, 3, 0), nullptr},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.picked, LevelPicking::Pick(sceneManager, Ray(row.from, Vector3::NEGATIVE_UNIT_Z), 0.5f, nullptr,
                                                 portals))
            << row.what;
    EXPECT_EQ(nullptr, LevelPicking::Pick(sceneManager, Ray(Vector3(0.97f, 0, 0), Vector3::NEGATIVE_UNIT_Z), 0.5f,
                                          nullptr))
        << "portals are met only when given";
}
