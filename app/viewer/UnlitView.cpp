// The level at full light: each material's own colour and textures, no lights needed.
#include "UnlitView.h"

#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreViewport.h>

using namespace Ogre;

namespace
{
    const char* const SCHEME = "Tarnel/Unlit";
}

UnlitView::UnlitView()
{
    MaterialManager::getSingleton().addListener(this, SCHEME);
}

UnlitView::~UnlitView()
{
    MaterialManager::getSingleton().removeListener(this, SCHEME);
}

void UnlitView::SetOn(Viewport* viewport, bool drawUnlit)
{
    on = drawUnlit;
    viewport->setMaterialScheme(on ? SCHEME : MaterialManager::DEFAULT_SCHEME_NAME);
    viewport->setShadowsEnabled(!on);
}

Technique* UnlitView::handleSchemeNotFound(unsigned short, const String&, Material* original, unsigned short lodIndex,
                                           const Renderable* renderable)
{
    if (!original || original->getSupportedTechniques().empty())
        return nullptr;
    MaterialPtr& copy = unlit[original];
    if (!copy)
    {
        static unsigned copies = 0;
        copy = original->clone("Tarnel/Unlit/" + std::to_string(++copies) + "/" + original->getName());
        for (Technique* technique : copy->getTechniques())
        {
            technique->setSchemeName(SCHEME);
            for (Pass* pass : technique->getPasses())
            {
                if (!pass->getLightingEnabled())
                    continue; // drawn at full light already
                // Its colour as its own light, so that no light of the level is needed.
                ColourValue colour = pass->getDiffuse();
                pass->setSelfIllumination(ColourValue(colour.r, colour.g, colour.b));
                pass->setAmbient(ColourValue::Black);
                pass->setDiffuse(ColourValue(0, 0, 0, colour.a));
                pass->setSpecular(ColourValue::Black);
                pass->setVertexProgram(BLANKSTRING);
                pass->setFragmentProgram(BLANKSTRING);
                pass->setIteratePerLight(false);
            }
        }
        copy->load();
    }
    return copy->getBestTechnique(lodIndex, renderable);
}
