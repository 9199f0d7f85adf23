#include "support/SceneTest.h"
#include "support/Xml.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMovablePlane.h>
#include <OgreRenderSystemCapabilities.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreShadowCameraSetupLiSPSM.h>
#include <OgreShadowCameraSetupPlaneOptimal.h>
#include <OgreViewport.h>

using namespace Ogre;

class Environment : public SceneTest
{
protected:
    void LoadEnvironment(const std::string& environment, const std::string& rootAttributes = "")
    {
        LoadText("<scene " + rootAttributes + "><environment>" + environment + "</environment><nodes/></scene>");
    }
};

TEST_F(Environment, FogIsSetOnceAfterTheLastChild)
{
    struct Case
    {
        const char* environment;
        FogMode mode;
        Real start, end, density;
        ColourValue colour;
    };
    const Case cases[] = {
        {"", FOG_NONE, 0, 10000, 0.001f, ColourValue::White},
        {"<fog mode='linear' linearStart='0.5' linearEnd='1'/><clipping far='500'/>", FOG_LINEAR, 250, 500, 0.001f,
         ColourValue::White},
        {"<fog mode='EXP' expDensity='0.01'><colourDiffuse r='1'/><colourDiffuse g='1'/></fog><fog linearEnd='0.5'/>",
         FOG_NONE, 0, 5000, 0.01f, ColourValue(1, 0, 0, 1)},
        {"<fog mode='mist'/>", FOG_NONE, 0, 10000, 0.001f, ColourValue::White},
    };
    for (const Case& c : cases)
    {
        Tarnel::TarnelScene fresh;
        std::string path = WriteFile("fog.scene", "<scene><environment>" + std::string(c.environment) +
                                                      "</environment></scene>");
        fresh.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
        EXPECT_EQ(c.mode, sceneManager->getFogMode()) << c.environment;
        EXPECT_FLOAT_EQ(c.start, sceneManager->getFogStart()) << c.environment;
        EXPECT_FLOAT_EQ(c.end, sceneManager->getFogEnd()) << c.environment;
        EXPECT_FLOAT_EQ(c.density, sceneManager->getFogDensity()) << c.environment;
        EXPECT_EQ(c.colour, sceneManager->getFogColour()) << c.environment;
    }
}

TEST_F(Environment, AmbientAndBackgroundColours)
{
    Camera* camera = sceneManager->createCamera("EnvironmentCamera");
    Viewport* viewport = TestEngine::Window()->addViewport(camera, 7);
    LoadEnvironment("<colourAmbient r='0.4' g='0.4' b='0.4'/><colourBackground r='0.1' g='0.2' b='0.3'/>"
                    "<clipping near='2' far='300'/>");
    ColourValue background = viewport->getBackgroundColour();
    TestEngine::Window()->removeViewport(7);

    EXPECT_EQ(ColourValue(0.4f, 0.4f, 0.4f, 1), sceneManager->getAmbientLight());
    EXPECT_EQ(ColourValue(0.1f, 0.2f, 0.3f, 1), background);
    EXPECT_EQ(ColourValue(0.1f, 0.2f, 0.3f, 1), scene.GetBackgroundColour());
    EXPECT_EQ(2, scene.GetNearClipDistance());
    EXPECT_EQ(300, scene.GetFarClipDistance());
}

TEST_F(Environment, SkyDefaultsAndExtraData)
{
    LoadEnvironment("<skyDome material='Test/Blue'><userData>dome</userData></skyDome>"
                    "<skyPlane material='Test/Blue'/>"
                    "<skyBox material='Test/Red' enable='false' distance='50'><userDataReference id='box'/></skyBox>");
    EXPECT_TRUE(sceneManager->isSkyDomeEnabled());
    const SceneManager::SkyDomeGenParameters& dome = sceneManager->getSkyDomeGenParameters();
    EXPECT_EQ(10, dome.skyDomeCurvature);
    EXPECT_EQ(8, dome.skyDomeTiling);
    EXPECT_EQ(4000, dome.skyDomeDistance);
    EXPECT_EQ(16, dome.skyDomeXSegments);
    EXPECT_EQ(16, dome.skyDomeYSegments);
    EXPECT_EQ(-1, dome.skyDomeYSegments_keep);
    EXPECT_EQ("dome", scene.GetSkyDomeExtraData().userData);

    EXPECT_TRUE(sceneManager->isSkyPlaneEnabled());
    const SceneManager::SkyPlaneGenParameters& plane = sceneManager->getSkyPlaneGenParameters();
    EXPECT_EQ(1000, plane.skyPlaneScale);
    EXPECT_EQ(10, plane.skyPlaneTiling);
    EXPECT_EQ(0, plane.skyPlaneBow);
    EXPECT_EQ(1, plane.skyPlaneXSegments);
    EXPECT_EQ(1, plane.skyPlaneYSegments);
    // Across the Y axis at distance 5000, drawn before everything else.
    Entity* planeEntity = static_cast<Entity*>(sceneManager->getSkyPlaneNode()->getAttachedObject(0));
    EXPECT_FLOAT_EQ(5000, std::abs(planeEntity->getMesh()->getBounds().getCenter().y));
    EXPECT_FLOAT_EQ(0, planeEntity->getMesh()->getBounds().getSize().y);
    EXPECT_EQ(RENDER_QUEUE_SKIES_EARLY, planeEntity->getRenderQueueGroup());

    EXPECT_FALSE(sceneManager->isSkyBoxEnabled());
    EXPECT_EQ("box", scene.GetSkyBoxExtraData().userDataReference);
}

TEST_F(Environment, ShadowTextureSizeFitsTheRenderSystem)
{
    RenderWindow* window = Root::getSingleton().createRenderWindow("Shadow size window", 800, 600, false);
    struct Case
    {
        int size;
        bool renderToTexture, nonPowerOfTwo;
        int expected;
    };
    const Case cases[] = {
        {1000, false, false, 512}, {1000, false, true, 600}, {1000, true, false, 512},
        {1000, true, true, 1000},  {512, false, false, 512},
    };
    for (const Case& c : cases)
    {
        RenderSystemCapabilities capabilities;
        if (c.renderToTexture)
            capabilities.setCapability(RSC_HWRENDER_TO_TEXTURE);
        if (c.nonPowerOfTwo)
            capabilities.setCapability(RSC_NON_POWER_OF_2_TEXTURES);
        Tarnel::TarnelOneRenderWindow windows(window);
        EXPECT_EQ(c.expected, Tarnel::TarnelScene::FitShadowTextureSize(c.size, capabilities, windows))
            << c.size << " " << c.renderToTexture << c.nonPowerOfTwo;
    }
    Tarnel::TarnelOneRenderWindow noWindow(nullptr);
    EXPECT_EQ(4096, Tarnel::TarnelScene::FitShadowTextureSize(5000, RenderSystemCapabilities(), noWindow));
    Root::getSingleton().destroyRenderTarget(window);
}

TEST_F(Environment, ShadowTechniquesAndCameraSetups)
{
    LoadEnvironment("<shadows selfShadow='false'><colourShadow r='0.5'/></shadows>");
    EXPECT_EQ(SHADOWTYPE_NONE, sceneManager->getShadowTechnique());

    sceneManager = TestEngine::NewSceneManager();
    LoadEnvironment("<shadows technique='stencilAdditive' farDistance='80' selfShadow='false'>"
                    "<colourShadow r='0.5'/><shadowTextures size='64' count='5'/></shadows>");
    EXPECT_EQ(SHADOWTYPE_STENCIL_ADDITIVE, sceneManager->getShadowTechnique());
    EXPECT_EQ(ColourValue(0.5f, 0, 0, 1), sceneManager->getShadowColour());
    EXPECT_EQ(80, sceneManager->getShadowFarDistance());
    EXPECT_NE(5u, sceneManager->getShadowTextureConfigList().size()) << "no texture settings for stencils";
    const ShadowCameraSetup* setup = sceneManager->getShadowCameraSetup().get();
    EXPECT_EQ(typeid(DefaultShadowCameraSetup), typeid(*setup));

    sceneManager = TestEngine::NewSceneManager();
    LoadEnvironment("<shadows technique='textureModulative'><shadowTextures size='256' count='3' offset='0.4'/>"
                    "<shadowCameraSetup/></shadows>");
    EXPECT_TRUE(sceneManager->getShadowTextureSelfShadow());
    const ShadowTextureConfigList& textures = sceneManager->getShadowTextureConfigList();
    ASSERT_EQ(3u, textures.size());
    EXPECT_EQ(256u, textures[0].width);
    EXPECT_EQ(PF_FLOAT16_R, textures[0].format);
    EXPECT_FLOAT_EQ(0.4f, sceneManager->getShadowDirLightTextureOffset());
    setup = sceneManager->getShadowCameraSetup().get();
    EXPECT_EQ(typeid(LiSPSMShadowCameraSetup), typeid(*setup));
}

TEST_F(Environment, PlaneOptimalSetupsShareOnePlane)
{
    LoadEnvironment("<shadows technique='stencilModulative'><shadowCameraSetup type='PlaneOptimal'/></shadows>",
                    "upAxis='z'");
    MovablePlane* plane = scene.GetShadowCameraPlane();
    ASSERT_NE(nullptr, plane);
    EXPECT_EQ("_shadowOptimalPlane", plane->getName());
    EXPECT_EQ(Vector3::UNIT_Z, plane->normal);
    EXPECT_EQ(0, plane->d);
    const ShadowCameraSetup* setup = sceneManager->getShadowCameraSetup().get();
    EXPECT_EQ(typeid(PlaneOptimalShadowCameraSetup), typeid(*setup));

    std::string path = WriteFile("second.scene", "<scene><environment><shadows technique='stencilModulative' "
                                                 "planeX='1' planeZ='0' planeD='3'><shadowCameraSetup type='planeoptimal'/>"
                                                 "</shadows></environment></scene>");
    LoadFile(path);
    EXPECT_EQ(plane, scene.GetShadowCameraPlane());
    EXPECT_EQ(Vector3(1, 0, 0), plane->normal);
    EXPECT_EQ(3, plane->d);
}

TEST_F(Environment, Errors)
{
    struct Case
    {
        const char* environment;
        const std::type_info& kind;
        const char* description;
        const char* source;
        const char* file;
    };
    const Case cases[] = {
        {"<shadows technique='stencil'/>", typeid(InvalidParametersException), "Invalid shadow technique specified: stencil",
         "TarnelUtilities::ParseShadowTechnique", "Tarnel/TarnelUtilities"},
        {"<shadows technique='stencilAdditive'><shadowCameraSetup type='Sideways'/></shadows>",
         typeid(InvalidParametersException), "Invalid shadow camera setup specified: Sideways",
         "TarnelScene::ParseShadowCameraSetup", "Tarnel/TarnelScene"},
        {"<shadows technique='textureAdditive'><shadowTextures shadowCasterMaterial='No/Such'/></shadows>",
         typeid(ItemIdentityException), "Cannot locate material called 'No/Such'",
         "SceneManager::setShadowTextureCasterMaterial", "Tarnel/TarnelScene"},
    };
    for (const Case& c : cases)
    {
        Tarnel::TarnelScene fresh;
        std::string path = WriteFile("errors.scene", "<scene><environment>" + std::string(c.environment) +
                                                         "</environment></scene>");
        EXPECT_TRUE(RaisesEngineError(
            [&]() { fresh.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP); }, c.kind,
            c.description, c.source, c.file))
            << c.environment;
    }
}
