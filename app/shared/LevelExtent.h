#ifndef TARNEL_APP_LEVEL_EXTENT_H
#define TARNEL_APP_LEVEL_EXTENT_H

#include <OgreAxisAlignedBox.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

/** Where a level's drawn things are, as a person would frame it: the objects that enclose
    most of the others (sky domes, sky boxes and backdrops modelled as meshes, whatever
    their names) and lone objects far from the rest do not count. */
struct LevelExtent
{
    /// One drawn object: an entity or a region of static or instanced geometry, in world space.
    struct Item
    {
        Ogre::String name;
        Ogre::AxisAlignedBox box;
        const Ogre::MovableObject* object = nullptr; ///< what draws it, when it is in a scene
        /// The corners of its own box as placed in the world, tighter than `box` when turned; none: the box's.
        std::vector<Ogre::Vector3> corners;
    };

    /// What an object is to a person looking at the level.
    enum class Role
    {
        Level,    ///< sets the frame
        Ground,   ///< a ground far larger than what stands on it: the level, but not its frame
        Enclosure, ///< encloses the rest, a few times their size (a hall, a low dome): drawn, but not the frame
        Backdrop, ///< a sky dome, sky box or backdrop many times the size of the level: not the level
        Far,      ///< a lone piece far from the rest: the level, but not its frame
    };

    /// One object left out of the frame, and why, in words.
    struct LeftOut
    {
        Ogre::String name;
        Ogre::String why;
    };

    Ogre::AxisAlignedBox bounds;       ///< of the objects kept; null when nothing is drawn
    std::vector<Ogre::Vector3> corners; ///< of each kept object's box, as placed
    size_t kept = 0;
    size_t total = 0;
    std::vector<LeftOut> leftOut;
    std::vector<Role> roles; ///< of each object given to Choose, in its order

    /** Chooses the objects that set the frame. Far: an object whose box lies, from the box
        of the middle half of the objects' centres, more than four times that box's size away
        (or the typical object's, when the middle half is a point); in levels of 20 objects or
        more, also one whose centre lies outside the box of the middle 90 % of the centres
        grown by half its size on every side. Enclosing: of the objects kept, one whose box
        holds at least half of the others' centres. A flat one (its height under a third of
        its width) more than 1.5 times the size of what the others fill is a ground; another
        more than three times that size is a backdrop, and one more than 1.5 times that size
        and more than four times as high as what it holds (a low dome) an enclosure; none of
        them sets the frame. A hall about the size and height of what it holds stays. Levels
        of few objects keep them all. */
    static LevelExtent Choose(const std::vector<Item>& items, const Ogre::Vector3& up = Ogre::Vector3::UNIT_Y);

    /** The drawn objects below the scene's root node, but those under `skip` (the viewer's
        camera): entities and static geometry. Skies the environment sets hang elsewhere. */
    static std::vector<Item> DrawnItems(Ogre::SceneManager* sceneManager, const Ogre::SceneNode* skip);

    /// "framed on 1,640 of 1,649 drawn objects; left out: Dome (encloses 98 % of the level), ..."
    Ogre::String Describe() const;
};

#endif
