#include "support/SceneTest.h"

#include <OgreCamera.h>
#include <OgreMesh.h>
#include <OgreMovablePlane.h>
#include <OgreRenderSystemCapabilities.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreShadowCameraSetupPlaneOptimal.h>
#include <OgreViewport.h>

using namespace Ogre;

class Environment : public SceneTest
{
protected:
    void LoadEnvironment(const std::string& environment, const std::string& rootAttributes = "")
    {
        LoadText("<scene " + rootAttributes + "><environment>" + environment + "</environment></scene>");
    }
};

TEST_F(Environment, FogIsSetOnceAfterTheLastChild)
{
    const struct
    {
        const char* environment;
        FogMode mode;
        Vector3 startEndDensity;
        ColourValue colour;
    } cases[] = {
        {"", FOG_NONE, Vector3(0, 10000, 0.001f), ColourValue::White},
        {"<fog mode='linear' linearStart='0.5' linearEnd='1'/><clipping far='500'/>", FOG_LINEAR,
         Vector3(250, 500, 0.001f), ColourValue::White},
        // A second fog element changes only what it names, and its absent mode means none.
        {"<fog mode='exp' expDensity='0.01'><colourDiffuse r='1'/></fog><fog linearEnd='0.5'/>", FOG_NONE,
         Vector3(0, 5000, 0.01f), ColourValue(1, 0, 0, 1)},
    };
    for (const auto& c : cases)
    {
        Tarnel::TarnelScene fresh; // the scene keeps its fog settings from one load to the next
        fresh.Load(WriteFile("fog.scene", std::string("<scene><environment>") + c.environment + "</environment></scene>"),
                   TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
        EXPECT_EQ(c.mode, sceneManager->getFogMode()) << c.environment;
        EXPECT_EQ(c.startEndDensity,
                  Vector3(sceneManager->getFogStart(), sceneManager->getFogEnd(), sceneManager->getFogDensity()))
            << c.environment;
        EXPECT_EQ(c.colour, sceneManager->getFogColour()) << c.environment;
    }
}

TEST_F(Environment, AmbientAndBackgroundColours)
{
    Viewport* viewport = TestEngine::Window()->addViewport(sceneManager->createCamera("Viewer"), 7);
    LoadEnvironment("<colourAmbient r='0.4' g='0.4' b='0.4'/><colourBackground r='0.1' g='0.2' b='0.3'/>");
    ColourValue background = viewport->getBackgroundColour();
    TestEngine::Window()->removeViewport(7);
    EXPECT_EQ(ColourValue(0.4f, 0.4f, 0.4f, 1), sceneManager->getAmbientLight());
    EXPECT_EQ(ColourValue(0.1f, 0.2f, 0.3f, 1), background);
}

TEST_F(Environment, SkyDefaultsAndExtraData)
{
    LoadEnvironment("<skyDome material='Test/Blue'><userData>dome</userData></skyDome><skyPlane material='Test/Blue'/>");
    const SceneManager::SkyDomeGenParameters& dome = sceneManager->getSkyDomeGenParameters();
    EXPECT_EQ(Vector3(10, 8, 4000), Vector3(dome.skyDomeCurvature, dome.skyDomeTiling, dome.skyDomeDistance));
    EXPECT_EQ(Vector3(16, 16, -1), Vector3(dome.skyDomeXSegments, dome.skyDomeYSegments, dome.skyDomeYSegments_keep));
    EXPECT_EQ("dome", scene.GetSkyDomeExtraData().userData);
    const SceneManager::SkyPlaneGenParameters& plane = sceneManager->getSkyPlaneGenParameters();
    EXPECT_EQ(Vector3(1000, 10, 0), Vector3(plane.skyPlaneScale, plane.skyPlaneTiling, plane.skyPlaneBow));
    EXPECT_EQ(Vector2(1, 1), Vector2(plane.skyPlaneXSegments, plane.skyPlaneYSegments));
    // Facing down from 5000 above (it was once below), drawn before everything else.
    Entity* planeEntity = static_cast<Entity*>(sceneManager->getSkyPlaneNode()->getAttachedObject(0));
    EXPECT_EQ(Vector3(0, 5000, 0), planeEntity->getMesh()->getBounds().getCenter());
    EXPECT_EQ(RENDER_QUEUE_SKIES_EARLY, planeEntity->getRenderQueueGroup());
}

TEST_F(Environment, ShadowTextureSizeFitsTheRenderSystem)
{
    // Without render to texture or textures of any size, the size fits the window and is a power of two.
    RenderWindow* window = Root::getSingleton().createRenderWindow("Shadow size window", 800, 600, false);
    const std::tuple<int, bool, bool, int> cases[] = {
        {1000, false, false, 512}, {1000, false, true, 600}, {1000, true, false, 512}, {1000, true, true, 1000},
        {512, false, false, 512}};
    for (const auto& [size, renderToTexture, nonPowerOfTwo, expected] : cases)
    {
        RenderSystemCapabilities capabilities;
        if (renderToTexture)
            capabilities.setCapability(RSC_HWRENDER_TO_TEXTURE);
        if (nonPowerOfTwo)
            capabilities.setCapability(RSC_NON_POWER_OF_2_TEXTURES);
        Tarnel::TarnelOneRenderWindow windows(window);
        EXPECT_EQ(expected, Tarnel::TarnelScene::FitShadowTextureSize(size, capabilities, windows))
            << size << renderToTexture << nonPowerOfTwo;
    }
    Root::getSingleton().destroyRenderTarget(window);
}

TEST_F(Environment, ShadowTechniquesAndCameraSetups)
{
    // Texture settings mean nothing to stencils, so values no texture could have do not refuse the level.
    LoadEnvironment("<shadows technique='stencilAdditive' farDistance='80'><shadowTextures count='5' size='-1'/>"
                    "<shadowTextures count='1000000'/></shadows>");
    EXPECT_EQ(SHADOWTYPE_STENCIL_ADDITIVE, sceneManager->getShadowTechnique());
    EXPECT_EQ(80, sceneManager->getShadowFarDistance());
    EXPECT_NE(5u, sceneManager->getShadowTextureConfigList().size()) << "no texture settings for stencils";
    EXPECT_EQ(typeid(DefaultShadowCameraSetup), typeid(*sceneManager->getShadowCameraSetup()));

    LoadEnvironment("<shadows technique='textureModulative'><shadowTextures size='256' count='3'/></shadows>");
    ASSERT_EQ(3u, sceneManager->getShadowTextureConfigList().size());
    EXPECT_EQ(std::make_pair(256u, PF_FLOAT16_R), std::make_pair(sceneManager->getShadowTextureConfigList()[0].width,
                                                                 sceneManager->getShadowTextureConfigList()[0].format));

    // One plane for every plane-optimal setup; its normal defaults to the document's up axis.
    LoadEnvironment("<shadows technique='stencilModulative'><shadowCameraSetup type='PlaneOptimal'/></shadows>",
                    "upAxis='z'");
    MovablePlane* plane = scene.GetShadowCameraPlane();
    ASSERT_NE(nullptr, plane);
    EXPECT_EQ("_shadowOptimalPlane", plane->getName());
    EXPECT_EQ(Plane(0, 0, 1, 0), *plane);
    EXPECT_EQ(typeid(PlaneOptimalShadowCameraSetup), typeid(*sceneManager->getShadowCameraSetup()));
    LoadEnvironment("<shadows technique='stencilModulative' planeX='1' planeY='0' planeZ='0' planeD='3'>"
                    "<shadowCameraSetup type='planeoptimal'/></shadows>");
    EXPECT_EQ(plane, scene.GetShadowCameraPlane());
    EXPECT_EQ(Plane(1, 0, 0, 3), *plane);
}

TEST_F(Environment, APlaneOfZeroNormalIsNoPlane)
{
    // The engine's shadow camera asserts on a plane of no direction at the first frame.
    LogRecorder log;
    LoadText(NodesScene("",
                        "<environment><shadows technique='textureModulative' planeX='0' planeY='0' planeZ='0' "
                        "planeD='2'><shadowCameraSetup type='planeOptimal'/></shadows>"
                        "<skyPlane material='Test/Red' planeX='0' planeY='0' planeZ='0' enable='false'/>"
                        "</environment>"));
    ASSERT_NE(nullptr, scene.GetShadowCameraPlane());
    EXPECT_EQ(Plane(0, 1, 0, 0), *scene.GetShadowCameraPlane());
    EXPECT_EQ(1, log.Count("shadows has planeX=\"0\" planeY=\"0\" planeZ=\"0\", which is no plane: its normal has "
                           "length 0; it keeps the plane 0 1 0 at 0"));
    EXPECT_EQ(1, log.Count("skyPlane has planeX=\"0\" planeY=\"0\" planeZ=\"0\", which is no plane"));
}
