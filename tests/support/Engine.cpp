#include "support/Engine.h"

#include "Tarnel/Engine/TarnelEngine.h"

#include <OgreOverlaySystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <dlfcn.h>

namespace
{
    // Plain pointers, so that no start-up order matters; the last test's scene manager goes with the engine.
    Tarnel::Engine* engine = nullptr;
    Ogre::OverlaySystem* overlaySystem = nullptr;
    Ogre::RenderWindow* window = nullptr;
    Ogre::PCZSceneManager* sceneManager = nullptr;

    /** Keeps the engine's plug-ins and the GL driver mapped after they are
        closed, so that leak reports from inside them can still be attributed
        to their libraries (and suppressed there) when the program ends. */
    void PinEngineModules()
    {
#ifdef TARNEL_SANITIZE
        for (const char* module : {TARNEL_PLUGIN_DIR "/RenderSystem_GL.so", TARNEL_PLUGIN_DIR "/Plugin_OctreeZone.so",
                                   TARNEL_PLUGIN_DIR "/Plugin_ParticleFX.so", TARNEL_PLUGIN_DIR "/Codec_STBI.so",
                                   "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
            dlopen(module, RTLD_LAZY | RTLD_NODELETE);
#endif
    }

    void Start()
    {
        PinEngineModules();
        // A log of our own keeps the engine's messages out of the test output.
        engine = new Tarnel::Engine({TARNEL_TEST_PLUGINS_CFG, "", "tests-engine.log", false, true});
        // Before the groups are initialised, so that the viewer's overlay script is read.
        overlaySystem = new Ogre::OverlaySystem();
        window = engine->StartOpenGL("Tarnel tests", false);

        // Beside the tests' own media, the viewer's statistics overlay, its panel material and its font.
        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        resources.createResourceGroup(TestEngine::RESOURCE_GROUP);
        for (const char* location : {TARNEL_TEST_MEDIA_DIR, TARNEL_TEST_GENERATED_MEDIA_DIR, TARNEL_TEST_DATA_DIR,
                                     TARNEL_SAMPLE_MEDIA_DIR "/Overlays", TARNEL_SAMPLE_MEDIA_DIR "/Materials",
                                     "/usr/share/fonts/truetype/dejavu"})
            resources.addResourceLocation(location, "FileSystem", TestEngine::RESOURCE_GROUP);
        // The engine's own programs that a frame with shadows needs, as the run tree lists them.
        resources.addResourceLocation("/usr/share/OGRE/Media/ShadowVolume", "FileSystem",
                                      Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
        resources.initialiseAllResourceGroups();
    }

    struct Shutdown : ::testing::Environment
    {
        void TearDown() override
        {
            if (sceneManager)
                Tarnel::Engine::DestroySceneManager(sceneManager);
            delete overlaySystem;
            delete engine;
            engine = nullptr;
        }
    };

    const ::testing::Environment* const shutdown = ::testing::AddGlobalTestEnvironment(new Shutdown);
}

Ogre::Root& TestEngine::Root()
{
    if (!engine)
        Start();
    return engine->GetRoot();
}

Ogre::RenderWindow* TestEngine::Window()
{
    Root();
    return window;
}

Ogre::PCZSceneManager* TestEngine::NewSceneManager()
{
    Root();
    if (sceneManager)
        Tarnel::Engine::DestroySceneManager(sceneManager);
    sceneManager = Tarnel::Engine::NewSceneManager();
    sceneManager->addRenderQueueListener(overlaySystem);
    return sceneManager;
}

std::string TestEngine::GeneratedMediaDir()
{
    return TARNEL_TEST_GENERATED_MEDIA_DIR;
}
