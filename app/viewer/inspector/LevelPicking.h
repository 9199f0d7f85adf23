#ifndef TARNEL_APP_LEVEL_PICKING_H
#define TARNEL_APP_LEVEL_PICKING_H

#include <OgrePrerequisites.h>
#include <OgreRay.h>

/** What lies under a point of the view: the nearest drawn object that the ray through
    the point meets. Entities (planes among them) are met by their meshes' triangles, at
    rest; particle systems and billboard sets by their boxes; lights and cameras by a
    marker, a ball of the given radius around where they are. The viewer's own camera and
    light, and objects not in the scene or hidden, are never met. */
namespace LevelPicking
{
    /// The nearest object the ray meets, or null.
    Ogre::MovableObject* Pick(Ogre::SceneManager* sceneManager, const Ogre::Ray& ray, Ogre::Real markerRadius,
                              const Ogre::Camera* viewer);

    /// How far along the ray it meets the entity's triangles; negative when it does not.
    Ogre::Real MeetTriangles(const Ogre::Ray& ray, const Ogre::Entity* entity);
}

#endif
