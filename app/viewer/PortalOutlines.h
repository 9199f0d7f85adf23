#ifndef TARNEL_APP_PORTAL_OUTLINES_H
#define TARNEL_APP_PORTAL_OUTLINES_H

#include <OgrePrerequisites.h>

#include <vector>

namespace Ogre
{
    class Portal;
}

/** Lines along the edges of every portal of a level, drawn over the walls:
    green where the portal leads into a zone, red where it found none. The
    lines are made in the scene manager of the level the first time they are
    shown, and again for the next scene manager after a reload. */
class PortalOutlines
{
public:
    static const Ogre::ColourValue CONNECTED;
    static const Ogre::ColourValue UNCONNECTED;

    /// Marks an object as the viewer's own, drawn over the level: not the level's.
    static void MarkAsTool(Ogre::MovableObject* object);
    static bool IsTool(const Ogre::MovableObject* object);

    /// Shows or hides the outlines of the portals of the scene manager's level.
    void SetVisible(bool visible, Ogre::SceneManager* sceneManager, const std::vector<Ogre::Portal*>& portals);
    bool IsVisible() const { return visible; }

private:
    void Build(Ogre::SceneManager* sceneManager, const std::vector<Ogre::Portal*>& portals);

    bool visible = false;
    Ogre::SceneManager* builtFor = nullptr;
    std::vector<Ogre::SceneNode*> nodes;
};

#endif
