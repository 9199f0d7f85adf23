#ifndef TARNEL_APP_VIEWER_H
#define TARNEL_APP_VIEWER_H

#include <OgrePrerequisites.h>

#include <vector>

namespace Tarnel
{
    class TarnelMedia;
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
    extern Tarnel::TarnelMedia* media;
    /// The level's own cameras, in the order the scene manager keeps them (not the viewer's, nor a cube map's).
    extern std::vector<Ogre::Camera*> levelCameras;

    /// The level the viewer opens when it is given none.
    extern const char* const DEFAULT_LEVEL;

    /** Starts the engine, loads the level (a path, relative to the working
        directory or absolute), writes the scene-tree report and runs the render
        loop; returns the exit status. Engine errors pass to the caller. */
    int Run(const Ogre::String& levelFile = DEFAULT_LEVEL);
}

#endif
