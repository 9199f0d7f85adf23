#ifndef TARNEL_APP_VIEW_PROBE_H
#define TARNEL_APP_VIEW_PROBE_H

#include "LevelExtent.h"

#include <OgreMaterialManager.h>
#include <OgrePrerequisites.h>

#include <functional>
#include <map>
#include <vector>

/** What a view of a level shows, measured on a small picture drawn off screen where each
    drawn object has a flat colour of its own: no skies, shadows, fog, particles or
    overlays, and nothing but the picture's own render target is drawn. */
class ViewProbe : private Ogre::MaterialManager::Listener
{
public:
    /// Shares are of the picture's pixels, 0 to 1.
    struct Measure
    {
        double level = 0;      ///< covered by the level's objects (backdrops are not the level)
        double ground = 0;     ///< of which by grounds far larger than what stands on them
        double enclosure = 0;  ///< of which by what encloses the rest (a hall, a low dome)
        double largest = 0;    ///< covered by the one object that covers most, of those that set the frame or are far
        double backFaces = 0;  ///< where the nearest surface is a back face, which is not drawn (when asked for)
        size_t objectsSeen = 0; ///< of the objects that set the frame
        /// Bounds, from 0 to 1 across and down, of the pixels of the objects that set the frame.
        double left = 1, right = 0, top = 1, bottom = 0;
        /// The larger of the level's width and height in the picture, 0 to 1.
        double span = 0;
        Ogre::String largestName;
    };

    /// Places a camera for one look: its node, orientation, field of view and clip distances.
    typedef std::function<void(Ogre::Camera*)> Placement;

    /** A probe of the level whose drawn objects are `items`, with the roles `extent` gave
        them, drawing pictures of that size. */
    ViewProbe(Ogre::SceneManager* sceneManager, const std::vector<LevelExtent::Item>& items,
              const LevelExtent& extent, unsigned width, unsigned height);
    ~ViewProbe() override;
    ViewProbe(const ViewProbe&) = delete;
    ViewProbe& operator=(const ViewProbe&) = delete;

    /** Draws the view from a camera placed so, with that aspect ratio, and measures it;
        with `backFaces`, draws it again with back faces marked, to measure what they hide. */
    Measure Look(const Placement& place, Ogre::Real aspectRatio, bool backFaces);

    /// How many looks were drawn.
    size_t Looks() const { return looks; }

private:
    Ogre::Technique* handleSchemeNotFound(unsigned short schemeIndex, const Ogre::String& schemeName,
                                          Ogre::Material* originalMaterial, unsigned short lodIndex,
                                          const Ogre::Renderable* renderable) override;
    /// Which faces a flat technique draws: the front, both alike, or both with the back ones marked.
    enum class Sides
    {
        Front,
        Both,
        MarkBack,
    };
    Ogre::Technique* FlatTechnique(size_t code, Sides sides);
    /// A camera of the probe's own, placed so.
    Ogre::Camera* Placed(const Placement& place, Ogre::Real aspectRatio);
    /// Draws the target once from the camera; the codes of the pixels, 0 where nothing is.
    std::vector<size_t> Draw(Ogre::Camera* camera, bool markBackFaces);

    Ogre::SceneManager* sceneManager;
    std::map<const Ogre::MovableObject*, size_t> codes; ///< of each item's object: its index + 1
    std::vector<LevelExtent::Role> roles;               ///< of each code - 1; the last is static geometry's
    std::vector<Ogre::String> names;
    Ogre::MaterialPtr flat;                              ///< holds the flat techniques
    std::vector<Ogre::Technique*> techniques;            ///< three a code (Sides), made as needed
    Ogre::MaterialPtr hidden;                            ///< for what is not a level object
    Ogre::TexturePtr texture;
    Ogre::RenderTarget* target = nullptr;
    std::vector<Ogre::Camera*> cameras; ///< one a look: the zone manager skips nodes already seen by a camera this frame
    Ogre::SceneNode* node = nullptr;
    bool markingBackFaces = false;
    unsigned width, height;
    size_t looks = 0;
};

#endif
