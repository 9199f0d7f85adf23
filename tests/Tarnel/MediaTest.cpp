#include "support/SceneTest.h"

#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>

using namespace Ogre;

using LevelMedia = SceneTest;

TEST_F(LevelMedia, ScriptsBesideTheLevelAreReadInTheEnginesOrder)
{
    // Every program of the new locations is read before any material, whatever the files and folders are called.
    WriteFile("a.material", "material Own/Blue { technique { pass { diffuse 0 0 1\n"
                            "  vertex_program_ref Own/Shader { } } } }");
    WriteFile("programs/b.program", "vertex_program Own/Shader glsl { source own.vert }");
    WriteFile("programs/own.vert", "void main() { gl_Position = ftransform(); }");
    LoadNodes("<node name='N'><entity name='E' meshFile='TwoPart.mesh' materialFile='Own/Blue'/></node>",
              "<resourceLocations><resourceLocation name='programs' type='FileSystem'/></resourceLocations>");
    Pass* pass = Get("E")->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0);
    EXPECT_EQ(ColourValue::Blue, pass->getDiffuse());
    EXPECT_EQ("Own/Shader", pass->getVertexProgramName());
}

TEST_F(LevelMedia, AMaterialDefinedTwiceKeepsItsFirstDefinition)
{
    LogRecorder log;
    WriteFile("twice.material", "material Twice/A { technique { pass { diffuse 1 0 0 } } }\n"
                                "material Twice/A { technique { pass { diffuse 0 1 0 } } }\n"
                                "material Twice/C { }\n");
    LoadText("<scene/>");
    MaterialManager& materials = MaterialManager::getSingleton();
    ASSERT_TRUE(materials.getByName("Twice/A", TestEngine::RESOURCE_GROUP));
    EXPECT_EQ(ColourValue::Red, materials.getByName("Twice/A", TestEngine::RESOURCE_GROUP)->getTechnique(0)->getPass(0)
                                    ->getDiffuse());
    EXPECT_TRUE(materials.getByName("Twice/C", TestEngine::RESOURCE_GROUP)) << "the rest of the file is read";
    EXPECT_EQ(1, log.Count("the material 'Twice/A' is defined again in twice.material; its first definition, in "
                           "twice.material, stays"));
}

TEST_F(LevelMedia, AMissingTextureIsDrawnBlank)
{
    LogRecorder log;
    WriteFile("missing.material", "material Missing/Textures { technique { pass {\n"
                                  "  texture_unit { texture nowhere.png }\n"
                                  "  texture_unit { texture nowhere.dds } } } }");
    LoadNodes("<node name='N'><position z='-3'/><entity name='E' meshFile='TwoPart.mesh' materialFile='Missing/Textures'/>"
              "</node>");
    Camera* camera = sceneManager->createCamera("Viewer");
    sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    TestEngine::Window()->addViewport(camera, 7);
    EXPECT_NO_THROW(TestEngine::Root().renderOneFrame());
    TestEngine::Window()->removeViewport(7);
    for (const String texture : {"nowhere.png", "nowhere.dds"})
    {
        EXPECT_EQ(1, log.Count("the texture '" + texture + "' of the material 'Missing/Textures' cannot be found; it is "
                                                           "drawn blank"));
        TexturePtr blank = TextureManager::getSingleton().getByName(texture, TestEngine::RESOURCE_GROUP);
        ASSERT_TRUE(blank) << texture;
        EXPECT_EQ(1u, blank->getWidth()) << texture;
    }
}

TEST_F(LevelMedia, TheSampleLevelIsWholeAndWearsItsOwnMaterials)
{
    LoadFile(TARNEL_SAMPLE_LEVEL);
    sceneManager->connectPortalsToTargetZonesByLocation();
    int zones = 0, portals = 0;
    for (PCZSceneManager::ZoneIterator zone = sceneManager->getZoneIterator(); zone.hasMoreElements();)
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
