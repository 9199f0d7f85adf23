#ifndef TARNEL_OBJECT_BUILDERS_H
#define TARNEL_OBJECT_BUILDERS_H

#include "Tarnel/Read/TarnelObjects.h"

namespace Tarnel
{
    /// The engine's objects made from the descriptions TarnelObjects.h reads.
    namespace Objects
    {
        /// Zero flags and a default visibility leave the engine's own values.
        void ApplyCommonSettings(Ogre::MovableObject* object, const Types::ObjectParameters& parameters);
        void ApplyQueueAndDistance(Ogre::MovableObject* object, const Types::ObjectParameters& parameters);

        /** The entity of a description with its mesh loaded (in the description's group,
            else the given one), its settings and materials; not attached, and without
            what hangs on its bones. The time the mesh took to load is added to
            `meshReadingMs` when given. A mesh file that is there but cannot be read
            (corrupt, cut short, of a version the engine refuses) makes no entity when
            `unreadable` is given: null comes back, with the engine's reason there, and the
            mesh is forgotten so that a mended file is read again. */
        Ogre::Entity* CreateEntity(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                   const Types::EntityParameters& parameters, const Ogre::String& resourceGroupName,
                                   double* meshReadingMs = nullptr, Ogre::String* unreadable = nullptr);
        Ogre::ParticleSystem* CreateParticleSystem(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                                   const Types::ParticleSystemParameters& parameters);
        /** The light with its settings and its own position and direction; not attached.
            Every value is set: a description's defaults are where the file was silent. */
        Ogre::Light* CreateLight(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                 const Types::LightParameters& parameters);
        /// The camera with its settings, placed and aimed as described; not attached, without its targets.
        Ogre::Camera* CreateCamera(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                   const Types::CameraParameters& parameters);
        /// The set with its settings and billboards; not attached.
        Ogre::BillboardSet* CreateBillboardSet(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                               const Types::BillboardSetParameters& parameters,
                                               const Ogre::String& resourceGroupName);
        /// The plane mesh of that name and the entity that shows it; not attached.
        Ogre::Entity* CreatePlane(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                  const Ogre::String& meshName, const Types::PlaneParameters& parameters,
                                  const Ogre::String& resourceGroupName);

        /// A node animation of that name with the description's length and interpolation modes.
        Ogre::Animation* CreateNodeAnimation(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                             const Types::NodeAnimationParameters& parameters);
        void CreateKeyFrame(Ogre::NodeAnimationTrack* track, const Types::KeyFrameParameters& keyFrame);
        /** The state of the animation of that name. An animation without a length cannot
            loop (its time would be taken modulo 0), so it stays at its start. */
        Ogre::AnimationState* CreateAnimationState(Ogre::SceneManager* sceneManager, const Ogre::String& name,
                                                   bool enabled, bool looping);
    }
}

#endif
