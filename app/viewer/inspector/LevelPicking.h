#ifndef TARNEL_APP_LEVEL_PICKING_H
#define TARNEL_APP_LEVEL_PICKING_H

#include <OgrePrerequisites.h>
#include <OgreRay.h>

#include <vector>

/** What lies under a point of the view: the nearest drawn object that the ray through
    the point meets. Entities (planes among them) are met by their meshes' triangles, at
    rest; particle systems and billboard sets by their boxes; lights and cameras by a
    marker, a ball of the given radius around where they are. The viewer's own camera and
    light, and objects not in the scene or hidden, are never met. A portal is met on its
    outline only (a tenth of its size from an edge): a click through the doorway meets what
    lies beyond it. */
namespace Ogre
{
    class Portal;
}

namespace LevelPicking
{
    /// The nearest object the ray meets, or null; the level's portals among them when given.
    Ogre::MovableObject* Pick(Ogre::SceneManager* sceneManager, const Ogre::Ray& ray, Ogre::Real markerRadius,
                              const Ogre::Camera* viewer, const std::vector<Ogre::Portal*>& portals = {});

    /// How far along the ray it meets the portal's outline; negative when it does not.
    Ogre::Real MeetPortalOutline(const Ogre::Ray& ray, Ogre::Portal* portal);

    /// How far along the ray it meets the entity's triangles; negative when it does not.
    Ogre::Real MeetTriangles(const Ogre::Ray& ray, const Ogre::Entity* entity);
}

#endif
