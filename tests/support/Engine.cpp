#include "support/Engine.h"

#include "Tarnel/TarnelMedia.h"

#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreOverlaySystem.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <dlfcn.h>

namespace
{
    struct EngineState
    {
        Ogre::LogManager* logManager = nullptr;
        Ogre::Root* root = nullptr;
        Ogre::OverlaySystem* overlaySystem = nullptr;
        Tarnel::TarnelMedia* media = nullptr;
        Ogre::RenderWindow* window = nullptr;
        Ogre::PCZSceneManager* sceneManager = nullptr;
    };

    EngineState& State()
    {
        static EngineState state;
        return state;
    }

    void DestroySceneManager(Ogre::SceneManager* sceneManager)
    {
        Ogre::Root::getSingleton().destroySceneManager(sceneManager);
    }

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

    void Start(EngineState& state)
    {
        PinEngineModules();
        // A log of our own keeps the engine's messages out of the test output.
        state.logManager = new Ogre::LogManager();
        state.logManager->createLog("tests-engine.log", true, false, false);
        state.root = new Ogre::Root(TARNEL_TEST_PLUGINS_CFG, "", "");
        // Before the groups are initialised, so that the viewer's overlay script is read.
        state.overlaySystem = new Ogre::OverlaySystem();
        // The viewer's rules for faulty media, before any script is parsed.
        state.media = new Tarnel::TarnelMedia();

        Ogre::RenderSystem* renderSystem = state.root->getRenderSystemByName("OpenGL Rendering Subsystem");
        if (!renderSystem)
            throw std::runtime_error("the OpenGL render system did not load");
        renderSystem->setConfigOption("Full Screen", "No");
        state.root->setRenderSystem(renderSystem);
        state.root->initialise(false);
        // Plug-ins start once the first window exists.
        state.window = state.root->createRenderWindow("Tarnel tests", 64, 64, false);

        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        resources.createResourceGroup(TestEngine::RESOURCE_GROUP);
        resources.addResourceLocation(TARNEL_TEST_MEDIA_DIR, "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.addResourceLocation(TARNEL_TEST_GENERATED_MEDIA_DIR, "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.addResourceLocation(TARNEL_TEST_DATA_DIR, "FileSystem", TestEngine::RESOURCE_GROUP);
        // The viewer's statistics overlay, its panel material and its font.
        resources.addResourceLocation(TARNEL_SAMPLE_MEDIA_DIR "/Overlays", "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.addResourceLocation(TARNEL_SAMPLE_MEDIA_DIR "/Materials", "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.addResourceLocation("/usr/share/fonts/truetype/dejavu", "FileSystem", TestEngine::RESOURCE_GROUP);
        resources.initialiseAllResourceGroups();
    }

    class ShutdownEnvironment : public ::testing::Environment
    {
    public:
        void TearDown() override
        {
            EngineState& state = State();
            if (state.sceneManager)
                DestroySceneManager(state.sceneManager);
            delete state.media;
            delete state.overlaySystem;
            delete state.root;
            delete state.logManager;
            state = EngineState();
        }
    };

    const ::testing::Environment* const shutdown =
        ::testing::AddGlobalTestEnvironment(new ShutdownEnvironment);
}

namespace TestEngine
{
    Ogre::Root& Root()
    {
        EngineState& state = State();
        if (!state.root)
            Start(state);
        return *state.root;
    }

    Ogre::RenderWindow* Window()
    {
        Root();
        return State().window;
    }

    Ogre::PCZSceneManager* NewSceneManager()
    {
        Ogre::Root& root = Root();
        EngineState& state = State();
        if (state.sceneManager)
            DestroySceneManager(state.sceneManager);
        state.sceneManager = static_cast<Ogre::PCZSceneManager*>(root.createSceneManager("PCZSceneManager"));
        state.sceneManager->init("ZoneType_Default");
        state.sceneManager->addRenderQueueListener(state.overlaySystem);
        return state.sceneManager;
    }

    void DestroySceneManager(Ogre::SceneManager* sceneManager)
    {
        ::DestroySceneManager(sceneManager);
    }

    std::string DataDir()
    {
        return TARNEL_TEST_DATA_DIR;
    }

    std::string GeneratedMediaDir()
    {
        return TARNEL_TEST_GENERATED_MEDIA_DIR;
    }
}

void EngineTest::SetUp()
{
    sceneManager = TestEngine::NewSceneManager();
}
