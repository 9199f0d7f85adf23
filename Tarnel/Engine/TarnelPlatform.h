#ifndef TARNEL_PLATFORM_H
#define TARNEL_PLATFORM_H

#include <OgrePrerequisites.h>

#include <vector>

namespace Tarnel
{
    /** What this engine release and this platform need of the programs: plug-ins kept
        loaded, the zone manager's nodes made destroyable, and nodes put in their zones. */
    namespace Platform
    {
        /** Loads the plug-ins the engine's plug-in file names so that they stay loaded
            for the life of the process. An engine error raised while the engine starts
            names its source file by a pointer into the plug-in that raised it, and the
            failed start unloads that plug-in before anyone can print the error. */
        void KeepPluginsLoaded(const Ogre::String& pluginsFile);

        /** Engine 1.12's zone manager neither enters the nodes it creates in the scene
            manager's table of names nor records their place in its list of nodes, so the
            scene manager cannot destroy them; static geometry, which destroys its own nodes,
            then ends the program when the scene manager goes. Enters the nodes of the built
            geometry's regions so that they can be destroyed. */
        void MakeStaticGeometryDestroyable(Ogre::SceneManager* sceneManager, const Ogre::StaticGeometry* geometry);

        /** Enters every node of the zone manager as above, so that the scene manager can
            be destroyed whatever made its nodes: the engine's texture shadows, for one,
            make camera nodes on the first frame and destroy them with the scene manager. */
        void MakeNodesDestroyable(Ogre::SceneManager* sceneManager);

        /** Puts a node of a zone manager that was moved, not flown, with its children into
            the zone that holds its new place: the zone manager follows nodes from zone to
            zone only through portals. */
        void PlaceInZone(Ogre::SceneNode* node);

        /** Connects the zone manager's portals to the zones at their places, once a level is
            built, and makes each node's last place its place now. The zone manager moves a node
            into another zone when the line from its last place to its place crosses a portal,
            and engine 1.12 leaves a new node's last place unset: on the first frame, a node
            that never moves could cross into a zone that does not hold it. */
        void ConnectPortals(Ogre::SceneManager* sceneManager);
    }
}

#endif
