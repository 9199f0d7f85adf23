#ifndef TARNEL_APP_ZONE_COLOURS_H
#define TARNEL_APP_ZONE_COLOURS_H

#include <OgreMaterialManager.h>
#include <OgrePrerequisites.h>

#include <map>

/** The zone view: every object of the level drawn in its zone's own flat colour, lit a
    little by the viewer's light so that shapes still show; objects outside every zone in
    grey. A material scheme of the viewport's, as the unlit view is: the level's own
    materials stay as they are. A zone's colour follows from its name, so it keeps its
    colour through a reload. */
class ZoneColours : private Ogre::MaterialManager::Listener
{
public:
    ZoneColours();
    ~ZoneColours() override;
    ZoneColours(const ZoneColours&) = delete;
    ZoneColours& operator=(const ZoneColours&) = delete;

    /// Draws the viewport in the zones' colours, or with the level's materials again.
    void SetOn(Ogre::Viewport* viewport, bool on);
    bool IsOn() const { return on; }

    /// The colour of the zone at that place by name; the default zone's is grey.
    static Ogre::ColourValue ColourOf(size_t zoneIndex, bool defaultZone);

private:
    Ogre::Technique* handleSchemeNotFound(unsigned short schemeIndex, const Ogre::String& schemeName,
                                          Ogre::Material* originalMaterial, unsigned short lodIndex,
                                          const Ogre::Renderable* renderable) override;

    std::map<Ogre::String, Ogre::MaterialPtr> materials; ///< by zone name
    std::map<Ogre::String, size_t> indices;               ///< the zones' places by name
    const Ogre::SceneManager* indexed = nullptr;          ///< whose zones `indices` holds
    bool on = false;
};

#endif
