#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Media/TarnelMedia.h"
#include "Tarnel/Engine/TarnelPlatform.h"

#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>

namespace Tarnel
{
    Engine::Engine(const Settings& settings)
    {
        Platform::KeepPluginsLoaded(settings.pluginsFile);
        logManager = std::make_unique<Ogre::LogManager>();
        logManager->createLog(settings.logFile, true, settings.logToTerminal, !settings.logToFile);
        root = std::make_unique<Ogre::Root>(settings.pluginsFile, settings.configFile, settings.logFile);
        media = std::make_unique<TarnelMedia>();
    }

    Engine::~Engine()
    {
        media.reset();
        root.reset();
        logManager.reset();
    }

    Ogre::RenderWindow* Engine::StartOpenGL(const Ogre::String& windowTitle, bool hidden)
    {
        Ogre::RenderSystem* renderSystem = root->getRenderSystemByName("OpenGL Rendering Subsystem");
        if (!renderSystem)
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALID_STATE, "The plug-ins offer no OpenGL render system",
                        "Engine::StartOpenGL");
        renderSystem->setConfigOption("Full Screen", "No");
        root->setRenderSystem(renderSystem);
        root->initialise(false);
        Ogre::NameValuePairList options;
        if (hidden)
            options["hidden"] = "true";
        return root->createRenderWindow(windowTitle, 64, 64, false, &options);
    }

    Ogre::PCZSceneManager* Engine::NewSceneManager(const Ogre::String& name)
    {
        auto* sceneManager =
            static_cast<Ogre::PCZSceneManager*>(Ogre::Root::getSingleton().createSceneManager("PCZSceneManager", name));
        sceneManager->init("ZoneType_Default");
        return sceneManager;
    }

    void Engine::DestroySceneManager(Ogre::SceneManager* sceneManager)
    {
        Platform::MakeNodesDestroyable(sceneManager);
        Ogre::Root::getSingleton().destroySceneManager(sceneManager);
    }
}
