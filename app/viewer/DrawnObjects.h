#ifndef TARNEL_APP_DRAWN_OBJECTS_H
#define TARNEL_APP_DRAWN_OBJECTS_H

#include <OgreMovableObject.h>
#include <OgreSceneManager.h>

#include <map>
#include <set>
#include <vector>

namespace Ogre
{
    class ManualObject;
    class PCZone;
    class Portal;
}

/** What the portal system draws from the viewer's camera, frame by frame: the level's
    objects the engine queues once it has culled by zones and portals, counted with their
    zones and triangles. And a freeze: the set drawn from where the camera stood, kept
    while the camera flies anywhere, with that camera's frustum and the portals it looked
    through drawn as lines, and everything else of the level left out.

    Follows one level at a time: attach it to a level's scene manager once the level is
    loaded, and detach it before that scene manager goes. A freeze outlives a reload: it
    is taken again from the same place in the new level. */
class DrawnObjects : private Ogre::MovableObject::Listener, private Ogre::SceneManager::Listener
{
public:
    /// The frustum's lines and those of the portals looked through.
    static const Ogre::ColourValue FRUSTUM;
    static const Ogre::ColourValue PORTAL;

    DrawnObjects() = default;
    ~DrawnObjects() override;
    DrawnObjects(const DrawnObjects&) = delete;
    DrawnObjects& operator=(const DrawnObjects&) = delete;

    /// Follows the level's objects as they are now, as drawn through the camera.
    void Attach(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, const std::vector<Ogre::Portal*>& portals);
    /// Lets go of the level, before its scene manager is destroyed.
    void Detach();

    /// What a frame drew, of the level's whole.
    struct Counts
    {
        size_t zones = 0, objects = 0, triangles = 0;
        size_t levelZones = 0, levelObjects = 0, levelTriangles = 0;
    };
    /// Of the last frame drawn through the camera.
    const Counts& LastFrame() const { return lastFrame; }

    /// Keeps what the engine draws from where the camera stands now.
    void Freeze();
    void Thaw();
    bool IsFrozen() const { return frozen; }
    /// What the frozen view drew, when it was taken.
    const Counts& FrozenCounts() const { return frozenCounts; }

private:
    struct Pose
    {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        Ogre::Radian fovY;
        Ogre::Real aspect = 1, nearClip = 1, farClip = 0;
    };

    bool objectRendering(const Ogre::MovableObject* object, const Ogre::Camera* camera) override;
    void preFindVisibleObjects(Ogre::SceneManager*, Ogre::SceneManager::IlluminationRenderStage stage,
                               Ogre::Viewport* viewport) override;
    void postFindVisibleObjects(Ogre::SceneManager*, Ogre::SceneManager::IlluminationRenderStage stage,
                                Ogre::Viewport* viewport) override;
    void sceneManagerDestroyed(Ogre::SceneManager* destroyed) override;

    /// The set the engine draws from the pose, found without drawing.
    void Capture();
    void BuildLines();
    Counts Count(const std::set<const Ogre::MovableObject*>& objects) const;
    static Ogre::PCZone* ZoneOf(const Ogre::MovableObject* object);

    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Camera* camera = nullptr;
    std::vector<Ogre::Portal*> portals;
    std::map<const Ogre::MovableObject*, size_t> triangles; ///< every object of the level followed
    size_t levelZones = 0;

    std::set<const Ogre::MovableObject*> drawing; ///< this frame's, so far
    Counts lastFrame;

    bool frozen = false;
    Pose pose;                           ///< where the frozen view stands
    Ogre::Camera* captureCamera = nullptr; ///< during a capture: the objects it queues make the set
    std::set<const Ogre::MovableObject*> frozenSet;
    Counts frozenCounts;
    Ogre::ManualObject* lines = nullptr;
};

#endif
