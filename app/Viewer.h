#ifndef TARNEL_APP_VIEWER_H
#define TARNEL_APP_VIEWER_H

#include <OgrePrerequisites.h>

#include <vector>

namespace Ogre
{
    class Portal;
}

/** The viewer's engine objects, set during start-up. The level-test listener is
    made without arguments and takes the window and the camera from here. */
namespace Viewer
{
    extern Ogre::RenderWindow* renderWindow;
    extern Ogre::SceneManager* sceneManager;
    extern Ogre::Camera* camera;
    extern Ogre::SceneNode* cameraNode;
    extern Ogre::FrameListener* frameListener;
    /// The level's own cameras, in the order the scene manager keeps them (not the viewer's, nor a cube map's).
    extern std::vector<Ogre::Camera*> levelCameras;
    /// The level's portals, as its loader made them.
    extern std::vector<Ogre::Portal*> levelPortals;
    /// The level on screen: its file, as given, and its load time in milliseconds.
    extern Ogre::String levelFile;
    extern Ogre::String levelLoadTime;

    /// The level the viewer opens when it is given none.
    extern const char* const DEFAULT_LEVEL;

    /// What the command line asks for; the defaults are the specified behaviour.
    struct Options
    {
        Ogre::String levelFile = DEFAULT_LEVEL;
        /// Start with the saved ogre.cfg; the dialog comes only when it holds no usable render system.
        bool noDialog = false;
        /// The engine's own log lines on the terminal too, not only in Ogre.log.
        bool verbose = false;
        /// Read and check the level before the dialog (a level given on the command line).
        bool checkFirst = false;
    };

    /** Starts the engine, loads the level (a path, relative to the working
        directory or absolute), writes the scene-tree report and runs the render
        loop; returns the exit status. Engine errors pass to the caller; so does a
        plug-in file that offers no render system, before any dialog. */
    int Run(const Options& options = Options());

    /** Loads the level's file again, into a fresh scene manager in the same
        window; the camera keeps its place and settings, the engine objects above
        are the new level's, and the scene-tree report is written again. When the
        file cannot be loaded, the level on screen stays, and the error is logged
        and returned in `error`. A file that does not parse or names a missing
        mesh, model file or particle template is refused before anything changes;
        a fault the load itself finds costs the level on screen its render
        textures, whose names the new level needed. */
    bool ReloadLevel(Ogre::String& error);

    /** Puts a node that was moved, not flown, with its children into the zone that
        holds its new place: the zone manager follows nodes from zone to zone only
        through portals. */
    void PlaceInZone(Ogre::SceneNode* node);
}

#endif
