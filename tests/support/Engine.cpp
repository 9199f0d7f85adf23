#include "support/Engine.h"

#include "Tarnel/TarnelMedia.h"

#include <OgreOverlaySystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <dlfcn.h>

namespace
{
    // Plain pointers, so that no start-up order matters; the last test's scene manager goes with the engine.
    Ogre::LogManager* logManager = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::OverlaySystem* overlaySystem = nullptr;
    Tarnel::TarnelMedia* media = nullptr;
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
        logManager = new Ogre::LogManager();
        logManager->createLog("tests-engine.log", true, false, false);
        root = new Ogre::Root(TARNEL_TEST_PLUGINS_CFG, "", "");
        // Before the groups are initialised, so that the viewer's overlay script is read.
        overlaySystem = new Ogre::OverlaySystem();
        // The viewer's rules for faulty media, before any script is parsed.
        media = new Tarnel::TarnelMedia();

        Ogre::RenderSystem* renderSystem = root->getRenderSystemByName("OpenGL Rendering Subsystem");
        if (!renderSystem)
            throw std::runtime_error("the OpenGL render system did not load");
        renderSystem->setConfigOption("Full Screen", "No");
        root->setRenderSystem(renderSystem);
        root->initialise(false);
        // Plug-ins start once the first window exists.
        window = root->createRenderWindow("Tarnel tests", 64, 64, false);

        // Beside the tests' own media, the viewer's statistics overlay, its panel material and its font.
        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        resources.createResourceGroup(TestEngine::RESOURCE_GROUP);
        for (const char* location : {TARNEL_TEST_MEDIA_DIR, TARNEL_TEST_GENERATED_MEDIA_DIR, TARNEL_TEST_DATA_DIR,
                                     TARNEL_SAMPLE_MEDIA_DIR "/Overlays", TARNEL_SAMPLE_MEDIA_DIR "/Materials",
                                     "/usr/share/fonts/truetype/dejavu"})
            resources.addResourceLocation(location, "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.initialiseAllResourceGroups();
    }

    struct Shutdown : ::testing::Environment
    {
        void TearDown() override
        {
            if (sceneManager)
                root->destroySceneManager(sceneManager);
            delete media;
            delete overlaySystem;
            delete root;
            delete logManager;
            root = nullptr;
        }
    };

    const ::testing::Environment* const shutdown = ::testing::AddGlobalTestEnvironment(new Shutdown);
}

Ogre::Root& TestEngine::Root()
{
    if (!root)
        Start();
    return *root;
}

Ogre::RenderWindow* TestEngine::Window()
{
    Root();
    return window;
}

Ogre::PCZSceneManager* TestEngine::NewSceneManager()
{
    if (sceneManager)
        Root().destroySceneManager(sceneManager);
    sceneManager = static_cast<Ogre::PCZSceneManager*>(Root().createSceneManager("PCZSceneManager"));
    sceneManager->init("ZoneType_Default");
    sceneManager->addRenderQueueListener(overlaySystem);
    return sceneManager;
}

std::string TestEngine::GeneratedMediaDir()
{
    return TARNEL_TEST_GENERATED_MEDIA_DIR;
}
