#ifndef TARNEL_APP_LEVEL_PICTURES_H
#define TARNEL_APP_LEVEL_PICTURES_H

#include <OgreColourValue.h>
#include <OgrePrerequisites.h>

/** Pictures of a level, drawn off screen, and their comparison with references: the
    viewer's --screenshot and the checker's report draw them the same way. */
namespace LevelPictures
{
    /** Draws the camera's view into a picture of that size, without overlays, and writes it
        as PNG. Two frames are drawn: the level's own render textures (mirrors) fill in the first. */
    void Write(Ogre::Camera* camera, const Ogre::String& file, unsigned width, unsigned height,
               const Ogre::ColourValue& background);

    /** The share of pixels, from 0 to 1, where a colour channel of the picture differs from
        the reference's by more than `tolerance` (0 to 1 of the channel's range); 1 when the
        sizes differ. Writes the difference, magnified, to `differenceFile` when given.
        Raises the engine's error for a file that is not a readable picture. */
    double DifferingShare(const Ogre::String& picture, const Ogre::String& reference, double tolerance,
                          const Ogre::String& differenceFile);
}

#endif
