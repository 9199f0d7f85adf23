#ifndef TARNEL_LEVEL_VIEWS_H
#define TARNEL_LEVEL_VIEWS_H

#include <OgrePrerequisites.h>

namespace Ogre
{
    class PCZSceneManager;
}

namespace Tarnel
{
    class TarnelScene;

    /** Puts the view's node where the level's camera is, in that place's zone, and gives the
        view the level camera's field of view and clip distances: as a person looks through a
        level's camera, without drawing from a camera the level may have hung on nothing. */
    void LookThrough(Ogre::Camera* view, const Ogre::Camera* level);

    /** Draws the loaded level for one frame from the viewer's start view and one through
        each of its cameras (the viewer's camera put where the level's is, in that place's
        zone), with every render texture updated, into the window. The engine checks much
        of a level only when it draws it, so the checker and the fuzzing harnesses draw
        what they load. The view's camera and node ("Tarnel/View") stay in the scene. */
    void DrawLevelViews(Ogre::PCZSceneManager* sceneManager, Ogre::RenderWindow* window, const TarnelScene& scene);
}

#endif
