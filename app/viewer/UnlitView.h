#ifndef TARNEL_APP_UNLIT_VIEW_H
#define TARNEL_APP_UNLIT_VIEW_H

#include <OgreMaterialManager.h>
#include <OgrePrerequisites.h>

#include <map>

/** The level drawn at full light, for looking at the geometry of a dark or badly lit level:
    every lit material is drawn with its diffuse colour as its own light and its textures,
    without its programs; the level's lights, ambient and shadows add nothing. A material
    scheme of the viewport's: the level's own materials stay as they are. */
class UnlitView : private Ogre::MaterialManager::Listener
{
public:
    UnlitView();
    ~UnlitView() override;
    UnlitView(const UnlitView&) = delete;
    UnlitView& operator=(const UnlitView&) = delete;

    /// Draws the viewport unlit, or with the level's own lighting again.
    void SetOn(Ogre::Viewport* viewport, bool on);
    bool IsOn() const { return on; }

private:
    Ogre::Technique* handleSchemeNotFound(unsigned short schemeIndex, const Ogre::String& schemeName,
                                          Ogre::Material* originalMaterial, unsigned short lodIndex,
                                          const Ogre::Renderable* renderable) override;

    std::map<const Ogre::Material*, Ogre::MaterialPtr> unlit; ///< of each material drawn so far
    bool on = false;
};

#endif
