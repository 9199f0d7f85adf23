#ifndef TARNEL_ENGINE_H
#define TARNEL_ENGINE_H

#include <OgrePrerequisites.h>

#include <memory>

namespace Ogre
{
    class PCZSceneManager;
}

namespace Tarnel
{
    class TarnelMedia;

    /** The engine as every host of the loader starts it: the viewer, the checker, the
        tests, the fuzzing harnesses and the benchmark. The plug-ins stay loaded for the
        life of the process, the log is the host's, and the loader's rules for faulty
        media hold from the first script on. The engine's objects are singletons; this
        object makes them and ends them when it goes. A host that never ends the engine
        (the viewer, whose level outlives main) keeps it to the end. */
    class Engine
    {
    public:
        struct Settings
        {
            Ogre::String pluginsFile;
            Ogre::String configFile; ///< the saved choice of render system; empty for none
            Ogre::String logFile;
            bool logToTerminal = false;
            bool logToFile = true;
        };

        /// Starts the log, the root and the media rules; the plug-ins' errors pass up.
        explicit Engine(const Settings& settings);
        ~Engine();
        Engine(const Engine&) = delete;
        Engine& operator=(const Engine&) = delete;

        Ogre::Root& GetRoot() const { return *root; }

        /** Chooses OpenGL and starts it without a window of its own, then opens a small
            window to draw levels in, hidden when asked: the plug-ins start with the first
            window. Raises when the plug-ins offer no OpenGL. */
        Ogre::RenderWindow* StartOpenGL(const Ogre::String& windowTitle, bool hidden);

        /// A portal-connected-zone scene manager with the default zone type; the engine names it when the name is empty.
        static Ogre::PCZSceneManager* NewSceneManager(const Ogre::String& name = Ogre::String());
        /** Destroys a zone scene manager whatever made its nodes: this engine's zone manager
            cannot destroy some of them on its own. */
        static void DestroySceneManager(Ogre::SceneManager* sceneManager);

    private:
        std::unique_ptr<Ogre::LogManager> logManager;
        std::unique_ptr<Ogre::Root> root;
        std::unique_ptr<TarnelMedia> media;
    };
}

#endif
