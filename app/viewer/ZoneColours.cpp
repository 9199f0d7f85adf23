// The level drawn in its zones' colours.
#include "ZoneColours.h"

#include <OgreEntity.h>
#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreViewport.h>

#include <cmath>

using namespace Ogre;

namespace
{
    const char* const SCHEME = "Tarnel/Zones";
}

ZoneColours::ZoneColours()
{
    MaterialManager::getSingleton().addListener(this, SCHEME);
}

ZoneColours::~ZoneColours()
{
    MaterialManager::getSingleton().removeListener(this, SCHEME);
}

void ZoneColours::SetOn(Viewport* viewport, bool drawZones)
{
    on = drawZones;
    viewport->setMaterialScheme(on ? SCHEME : MaterialManager::DEFAULT_SCHEME_NAME);
    viewport->setShadowsEnabled(!on);
}

ColourValue ZoneColours::ColourOf(size_t zoneIndex, bool defaultZone)
{
    if (defaultZone)
        return ColourValue(0.5f, 0.5f, 0.5f);
    // Hues a golden section apart: zones next in order never look alike.
    const double hue = double(zoneIndex) * 0.618034;
    ColourValue colour;
    colour.setHSB(Real(hue - std::floor(hue)), 0.75f, 0.95f);
    return colour;
}

Technique* ZoneColours::handleSchemeNotFound(unsigned short, const String&, Material* original, unsigned short,
                                             const Renderable* renderable)
{
    // Only entities have a zone of their own; the rest (lines, particles) keep their look.
    const auto* subEntity = dynamic_cast<const SubEntity*>(renderable);
    if (!original || !subEntity)
        return nullptr;
    auto* node = static_cast<PCZSceneNode*>(subEntity->getParent()->getParentSceneNode());
    PCZone* zone = node ? node->getHomeZone() : nullptr;
    const bool outside = !zone || zone == static_cast<PCZSceneManager*>(node->getCreator())->getDefaultZone();
    // The zones' order by name, which a reload of the same level keeps.
    if (indexed != node->getCreator())
    {
        indexed = node->getCreator();
        indices.clear();
        materials.clear();
        auto* zones = static_cast<PCZSceneManager*>(node->getCreator());
        for (auto iterator = zones->getZoneIterator(); iterator.hasMoreElements();)
        {
            PCZone* each = iterator.getNext();
            if (each != zones->getDefaultZone())
                indices.emplace(each->getName(), indices.size());
        }
    }
    const String name = outside ? String() : zone->getName();
    MaterialPtr& material = materials[name];
    if (!material)
    {
        const size_t index = outside ? 0 : indices[name];
        const String materialName = "Tarnel/Zones/" + (outside ? String("outside") : std::to_string(index));
        MaterialManager& manager = MaterialManager::getSingleton();
        material = manager.getByName(materialName, ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
        if (!material)
        {
            material = manager.create(materialName, ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
            Technique* technique = material->getTechnique(0);
            technique->setSchemeName(SCHEME);
            Pass* pass = technique->getPass(0);
            const ColourValue colour = ColourOf(index, outside);
            // Mostly its own light, the rest from the viewer's, so that faces still part.
            pass->setSelfIllumination(colour * 0.6f);
            pass->setDiffuse(colour * 0.4f);
            pass->setAmbient(ColourValue::Black);
            pass->setSpecular(ColourValue::Black);
            material->load();
        }
    }
    return material->getBestTechnique();
}
