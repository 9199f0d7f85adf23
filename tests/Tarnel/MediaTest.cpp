#include "support/SceneTest.h"

#include "Tarnel/Engine/TarnelPlatform.h"

#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>

#include <map>

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

TEST_F(LevelMedia, AFontDefinedTwiceKeepsItsFirstDefinition)
{
    // The engine ends the reading of a whole group on a font of a name it has.
    LogRecorder log;
    WriteFile("a.fontdef", "font Twice/Font\n{\n    type truetype\n    source a.ttf\n}\n");
    WriteFile("fonts/b.fontdef", "// a copy of the game's\nTwice/Font\n{\n    type truetype\n    source b.ttf\n}\n");
    LoadNodes("", "<resourceLocations><resourceLocation name='fonts' type='FileSystem'/></resourceLocations>");
    EXPECT_EQ(1, log.Count("the font 'Twice/Font' is defined again in b.fontdef; its first definition stays"));
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
    Tarnel::Platform::ConnectPortals(sceneManager);
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

TEST_F(LevelMedia, NodesThatDoNotMoveStayInTheirZonesAtTheFirstFrame)
{
    LoadFile(TARNEL_SAMPLE_LEVEL);
    Tarnel::Platform::ConnectPortals(sceneManager);
    std::map<PCZSceneNode*, PCZone*> homes;
    for (Node* child : sceneManager->getRootSceneNode()->getChildren())
    {
        auto* node = static_cast<PCZSceneNode*>(child);
        if (node->getName().empty())
            continue;
        EXPECT_EQ(node->_getDerivedPosition(), node->getPrevPosition()) << node->getName();
        homes[node] = node->getHomeZone();
    }
    // What a frame does to the nodes before it draws them.
    Camera* camera = sceneManager->createCamera("Viewer");
    sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    sceneManager->_updateSceneGraph(camera);
    for (const auto& [node, home] : homes)
        EXPECT_EQ(home, node->getHomeZone()) << node->getName();
}

TEST_F(LevelMedia, AnImageThatCannotBeReadCostsOnlyItself)
{
    LogRecorder log;
    const std::string red = "P6\n1 1\n255\n\xff\x20\x20";
    WriteFile("wall.tif", red);                                 // shipped, in a format no codec here reads
    WriteFile("broken.png", "\x89PNG\r\n\x1a\n not the rest"); // corrupt
    WriteFile("raw", "nothing an image starts with");           // no extension, no signature
    const struct
    {
        const char* texture;
        const char* logged;
    } rows[] = {
        {"S4-007-2.tif", "the texture 'S4-007-2.tif' of the material 'Images/0' cannot be found; it is drawn blank"},
        {"wall.tif", "the image 'wall.tif' cannot be read (no image codec of this engine reads .tif files)"},
        {"broken.png", "the image 'broken.png' cannot be read ("},
        {"raw", "the image 'raw' cannot be read (its first bytes are those of no image format this engine reads)"},
    };
    std::string materials, nodes;
    for (size_t index = 0; index < std::size(rows); ++index)
    {
        const std::string name = "Images/" + std::to_string(index);
        materials += "material " + name + " { technique { pass { texture_unit { texture " + rows[index].texture +
                     " } } } }\n";
        nodes += "<node name='N" + std::to_string(index) + "'><position z='-3'/><entity name='E" +
                 std::to_string(index) + "' meshFile='TwoPart.mesh' materialFile='" + name + "'/></node>";
    }
    WriteFile("images.material", materials);
    LoadNodes(nodes);
    Camera* camera = sceneManager->createCamera("Viewer");
    sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    TestEngine::Window()->addViewport(camera, 7);
    EXPECT_NO_THROW(TestEngine::Root().renderOneFrame()) << "textures load at the first frame";
    TestEngine::Window()->removeViewport(7);
    for (const auto& row : rows)
    {
        EXPECT_EQ(1, log.Count(row.logged)) << row.texture;
        TexturePtr blank = TextureManager::getSingleton().getByName(row.texture, TestEngine::RESOURCE_GROUP);
        ASSERT_TRUE(blank) << row.texture;
        EXPECT_EQ(1u, blank->getWidth()) << row.texture;
    }
}

TEST_F(LevelMedia, AMaterialOnlyCgCanDrawIsDrawnFromItsFirstPass)
{
    LogRecorder log;
    WriteFile("toon.program", "vertex_program Toon/VP cg\n{ source toon.cg\n entry_point main\n profiles arbvp1\n}\n"
                              "fragment_program Toon/FP cg\n{ source toon.cg\n entry_point main\n profiles arbfp1\n}\n");
    WriteFile("toon.material", "material Toon/Red { technique { pass {\n diffuse 0.5 0.5 0.5\n cull_hardware none\n"
                               " alpha_rejection greater 128\n scene_blend alpha_blend\n"
                               " vertex_program_ref Toon/VP { }\n fragment_program_ref Toon/FP { }\n"
                               " texture_unit { texture red.png\n tex_coord_set 1\n }\n texture_unit { texture bump.png\n }\n"
                               "} } }\n"
                               "material Toon/Both { technique { pass {\n vertex_program_ref Toon/VP { }\n } }\n"
                               " technique { pass {\n diffuse 0 1 0\n } } }\n");
    LoadNodes("<node name='N'><entity name='E' meshFile='TwoPart.mesh' materialFile='Toon/Red'/></node>"
              "<node name='M'><entity name='F' meshFile='TwoPart.mesh' materialFile='Toon/Both'/></node>");
    Technique* drawn = Get("E")->getSubEntity(0)->getMaterial()->getBestTechnique();
    ASSERT_NE(nullptr, drawn) << "not blank";
    EXPECT_EQ("Tarnel/WithoutPrograms", drawn->getName());
    Pass* pass = drawn->getPass(0);
    EXPECT_FALSE(pass->hasVertexProgram() || pass->hasFragmentProgram());
    ASSERT_EQ(1u, pass->getNumTextureUnitStates()) << "the first layer, which shows the material's image";
    EXPECT_EQ("red.png", pass->getTextureUnitState(0)->getTextureName());
    EXPECT_EQ(1u, pass->getTextureUnitState(0)->getTextureCoordSet());
    EXPECT_EQ(ColourValue(0.5f, 0.5f, 0.5f), pass->getDiffuse());
    EXPECT_EQ(CULL_NONE, pass->getCullingMode());
    EXPECT_EQ(std::make_pair(CMPF_GREATER, 128), std::make_pair(pass->getAlphaRejectFunction(),
                                                                 int(pass->getAlphaRejectValue())));
    EXPECT_EQ(SBF_SOURCE_ALPHA, pass->getSourceBlendFactor());
    EXPECT_TRUE(pass->getLightingEnabled());
    // A material with a technique this engine can draw keeps to the engine's own choice.
    MaterialPtr both = Get("F")->getSubEntity(0)->getMaterial();
    EXPECT_EQ(2u, both->getNumTechniques());
    EXPECT_EQ(ColourValue::Green, both->getBestTechnique()->getPass(0)->getDiffuse());
    EXPECT_EQ(1, log.Count("Tarnel: 1 material uses Cg programs, which this build of the engine cannot compile; "
                           "drawn from its texture without its programs: Toon/Red"));
    EXPECT_EQ(0, log.Count("has no supportable Techniques"));
}
