#ifndef TARNEL_LEVEL_VIEWS_H
#define TARNEL_LEVEL_VIEWS_H

#include <OgrePrerequisites.h>

#include <vector>

namespace Ogre
{
    class PCZSceneManager;
}

namespace Tarnel
{
    class TarnelScene;

    /** The level's own cameras, in the scene manager's order: not the cameras of its mirrors
        (which see the level reflected and clipped at the mirror's plane) nor its cube maps'
        faces, not the engine's shadow cameras, nor the programs' own views ("Tarnel/" names
        and `viewerCamera`). A camera that renders a flat texture is one of them: through it
        the level looks as the texture shows it. */
    std::vector<Ogre::Camera*> LevelCameras(Ogre::SceneManager* sceneManager, const TarnelScene& scene,
                                            const Ogre::Camera* viewerCamera = nullptr);

    /** Brings every node's world place up to date and carries out the level's tracking
        requests (of nodes and of cameras), as drawing a frame through that camera does:
        before the first frame, and for cameras nothing draws through, the engine has not. */
    void UpdateTracking(Ogre::SceneManager* sceneManager);

    /** Puts the view's node where the level's camera is, in that place's zone, facing as it
        faces once the scene graph and every tracking request are up to date, and gives the
        view the level camera's field of view and clip distances: as a person looks through a
        level's camera, without drawing from a camera the level may have hung on nothing. The
        viewer's C and --camera, the checker's pictures and the fuzzers' drawing all look
        through level cameras this one way. */
    void LookThrough(Ogre::Camera* view, Ogre::Camera* level);

    /** Draws the loaded level for one frame from the viewer's start view and one through
        each of its cameras (the viewer's camera put where the level's is, in that place's
        zone), with every render texture updated, into the window. The engine checks much
        of a level only when it draws it, so the checker and the fuzzing harnesses draw
        what they load. The view's camera and node ("Tarnel/View") stay in the scene. */
    void DrawLevelViews(Ogre::PCZSceneManager* sceneManager, Ogre::RenderWindow* window, const TarnelScene& scene);
}

#endif
