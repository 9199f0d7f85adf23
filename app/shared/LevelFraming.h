#ifndef TARNEL_APP_LEVEL_FRAMING_H
#define TARNEL_APP_LEVEL_FRAMING_H

#include <OgreAxisAlignedBox.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

/** A view of the level: where the camera stands and looks, and the clip distances, flying
    speed and light reach that fit the level's size. FirstView chooses among them. */
struct LevelFraming
{
    Ogre::Vector3 position;
    Ogre::Vector3 target;
    Ogre::Vector3 up;
    Ogre::Real nearClip;
    Ogre::Real farClip;
    Ogre::Real moveSpeed;  ///< units a second: the level's size is crossed in a few seconds
    Ogre::Real lightRange; ///< of the light on the camera: the far side of the level is lit

    /** The view of the bounds from a raised diagonal, with the level's up axis up, at a
        distance where the camera's field of view holds every corner (the bounds' own when
        none are given); `quarter` turns the diagonal a quarter turn about the up axis at a time. */
    static LevelFraming Of(const Ogre::AxisAlignedBox& bounds, const std::vector<Ogre::Vector3>& corners,
                           const Ogre::Vector3& up, Ogre::Radian fovY, Ogre::Real aspectRatio, int quarter = 0);

    /** The view from that place toward that target, sized by the level's bounds. */
    static LevelFraming Looking(const Ogre::AxisAlignedBox& bounds, const Ogre::Vector3& up,
                                const Ogre::Vector3& position, const Ogre::Vector3& target);

    /** The view from a raised corner inside a zone, looking across it: a camera outside
        every zone sees none of them. Sized by the level's bounds. */
    static LevelFraming Within(const Ogre::AxisAlignedBox& zone, const Ogre::AxisAlignedBox& bounds,
                               const Ogre::Vector3& up);

    /** Puts the camera's node where the framing stands, looking at its target, turning
        about the up axis from then on; sets the clip distances and the light's reach. */
    void Apply(Ogre::Camera* camera, Ogre::Light* light) const;

private:
    /// Clip distances, speed and light reach for a level of those bounds; no place yet.
    static LevelFraming Sized(const Ogre::AxisAlignedBox& bounds, const Ogre::Vector3& up);
};

#endif
