#include "support/LogRecorder.h"
#include "support/SceneTest.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>

using namespace Ogre;

class LevelMedia : public SceneTest
{
protected:
    static MaterialPtr GetMaterial(const String& name)
    {
        return MaterialManager::getSingleton().getByName(name, TestEngine::RESOURCE_GROUP);
    }
};

TEST_F(LevelMedia, ScriptsBesideTheLevelAreReadInTheEnginesOrder)
{
    // Every program of the new locations is read before any material, whatever the files and folders are called.
    WriteFile("a.material", "material Own/Blue { technique { pass { diffuse 0 0 1\n"
                            "  vertex_program_ref Own/Shader { } } } }");
    WriteFile("programs/b.program", "vertex_program Own/Shader glsl { source own.vert }");
    WriteFile("programs/own.vert", "void main() { gl_Position = ftransform(); }");
    LoadText("<scene><resourceLocations><resourceLocation name='programs' type='FileSystem'/></resourceLocations>" +
             std::string("<nodes><node name='N'><entity name='E' meshFile='TwoPart.mesh' materialFile='Own/Blue'/>"
                         "</node></nodes></scene>"));

    Pass* pass = static_cast<Entity*>(scene.GetObject("E"))->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0);
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
    ASSERT_TRUE(GetMaterial("Twice/A"));
    EXPECT_EQ(ColourValue::Red, GetMaterial("Twice/A")->getTechnique(0)->getPass(0)->getDiffuse());
    EXPECT_TRUE(GetMaterial("Twice/C")) << "the rest of the file is read";
    EXPECT_EQ(1, log.Count("the material 'Twice/A' is defined again in twice.material; its first definition, in "
                           "twice.material, stays"));
}

TEST_F(LevelMedia, AMissingTextureIsDrawnBlank)
{
    LogRecorder log;
    WriteFile("missing.material", "material Missing/Textures { technique { pass {\n"
                                  "  texture_unit { texture nowhere.png }\n"
                                  "  texture_unit { texture nowhere.dds } } } }");
    LoadText(NodesScene("<node name='N'><position z='-3'/>"
                        "<entity name='E' meshFile='TwoPart.mesh' materialFile='Missing/Textures'/></node>"));
    Camera* camera = sceneManager->createCamera("Viewer");
    sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    TestEngine::Window()->addViewport(camera, 7);
    EXPECT_NO_THROW(TestEngine::Root().renderOneFrame());
    TestEngine::Window()->removeViewport(7);

    for (const char* texture : {"nowhere.png", "nowhere.dds"})
    {
        EXPECT_EQ(1, log.Count("the texture '" + String(texture) +
                               "' of the material 'Missing/Textures' cannot be found; it is drawn blank"));
        TexturePtr blank = TextureManager::getSingleton().getByName(texture, TestEngine::RESOURCE_GROUP);
        ASSERT_TRUE(blank) << texture;
        EXPECT_EQ(1u, blank->getWidth()) << texture;
    }
}
