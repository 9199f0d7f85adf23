#ifndef TARNEL_APP_VIEWER_H
#define TARNEL_APP_VIEWER_H

#include <OgrePrerequisites.h>

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

    /** Starts the engine, loads the level, writes the scene-tree report and runs
        the render loop; returns the exit status. Engine errors pass to the caller. */
    int Run();
}

#endif
