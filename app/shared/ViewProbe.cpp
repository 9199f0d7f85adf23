// What a view shows: each object drawn in a colour of its own, and the pixels counted.
#include "ViewProbe.h"

#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <algorithm>
#include <set>

using namespace Ogre;

namespace
{
    const char* const SCHEME = "Tarnel/Probe";
    const String GROUP = ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME;

    // Six bits a channel, in the middle of each step: the colour read back need not be exact.
    ColourValue CodeColour(size_t code)
    {
        auto channel = [code](int shift) { return Real((((code >> shift) & 63) << 2) | 2) / 255; };
        return ColourValue(channel(12), channel(6), channel(0));
    }

    size_t ColourCode(const uint8* pixel) { return size_t(pixel[0] >> 2) << 12 | size_t(pixel[1] >> 2) << 6 | (pixel[2] >> 2); }

    /// The mark of a back face on an object's code; codes stay below it.
    const size_t BACK_FACE = size_t(1) << 17;

    // 0 is the background: every channel of a code's colour is at least 2.
    bool Background(const uint8* pixel) { return pixel[0] < 2 && pixel[1] < 2 && pixel[2] < 2; }
}

ViewProbe::ViewProbe(SceneManager* sceneManager, const std::vector<LevelExtent::Item>& items,
                     const LevelExtent& extent, unsigned width, unsigned height)
    : sceneManager(sceneManager), width(width), height(height)
{
    for (size_t index = 0; index < items.size(); ++index)
    {
        // Codes stay below the back faces' mark; objects past it are left out of the measures.
        if (items[index].object && index + 1 < BACK_FACE - 1)
            codes[items[index].object] = index + 1;
        roles.push_back(index < extent.roles.size() ? extent.roles[index] : LevelExtent::Role::Level);
        names.push_back(items[index].name);
    }
    // Static geometry's batches are drawn without saying whose they are.
    roles.push_back(LevelExtent::Role::Level);
    names.push_back("static geometry");
    techniques.resize(roles.size() * 3, nullptr);
    flat = MaterialManager::getSingleton().create("Tarnel/Probe/Flat", GROUP);
    flat->removeAllTechniques();

    hidden = MaterialManager::getSingleton().create("Tarnel/Probe/Hidden", GROUP);
    Pass* pass = hidden->getTechnique(0)->getPass(0);
    pass->setColourWriteEnabled(false);
    pass->setDepthWriteEnabled(false);
    pass->setLightingEnabled(false);
    hidden->load();

    texture = TextureManager::getSingleton().createManual("Tarnel/Probe", GROUP, TEX_TYPE_2D, width, height, 0,
                                                          PF_BYTE_RGB, TU_RENDERTARGET);
    target = texture->getBuffer()->getRenderTarget();
    target->setAutoUpdated(false);
    // Left in the scene, empty, when the probe goes: this zone manager cannot find its nodes to destroy them.
    static unsigned probes = 0;
    node = sceneManager->getRootSceneNode()->createChildSceneNode("Tarnel/Probe/" + std::to_string(++probes));
    MaterialManager::getSingleton().addListener(this, SCHEME);
}

ViewProbe::~ViewProbe()
{
    MaterialManager::getSingleton().removeListener(this, SCHEME);
    target->removeAllViewports();
    TextureManager::getSingleton().remove(texture);
    node->detachAllObjects();
    for (Camera* camera : cameras)
        sceneManager->destroyCamera(camera);
    MaterialManager::getSingleton().remove(flat);
    MaterialManager::getSingleton().remove(hidden);
}

Technique* ViewProbe::FlatTechnique(size_t code, Sides sides)
{
    // Techniques of one material, made as they are asked for: thousands of materials would
    // cost more to make than the looks themselves.
    Technique*& technique = techniques[(code - 1) * 3 + size_t(sides)];
    if (!technique)
    {
        technique = flat->createTechnique();
        // Lit by nothing but itself: the colour is exactly the code's. Of the faces marked, the
        // back faces take the code with its mark: the nearest face of a pixel tells which it is.
        auto paint = [](Pass* pass, size_t colour, CullingMode culling) {
            pass->setAmbient(ColourValue::Black);
            pass->setDiffuse(ColourValue::Black);
            pass->setSpecular(ColourValue::Black);
            pass->setSelfIllumination(CodeColour(colour));
            pass->setFog(true, FOG_NONE);
            pass->setCullingMode(culling);
            pass->setMaxSimultaneousLights(0); // no light to set up for each object
        };
        if (sides == Sides::MarkBack)
        {
            paint(technique->createPass(), code | BACK_FACE, CULL_ANTICLOCKWISE);
            paint(technique->createPass(), code, CULL_CLOCKWISE);
        }
        else
            paint(technique->createPass(), code, sides == Sides::Both ? CULL_NONE : CULL_CLOCKWISE);
    }
    return technique;
}

Technique* ViewProbe::handleSchemeNotFound(unsigned short, const String&, Material* original, unsigned short,
                                           const Renderable* renderable)
{
    size_t code = roles.size(); // static geometry, whose batches come without a renderable
    if (!renderable && code >= BACK_FACE - 1)
        return hidden->getTechnique(0);
    if (renderable)
    {
        auto* part = dynamic_cast<const SubEntity*>(renderable);
        auto found = part ? codes.find(part->getParent()) : codes.end();
        if (found == codes.end())
            return hidden->getTechnique(0);
        code = found->second;
    }
    // Faces the material draws from both sides are seen from both, and are no one's back faces.
    const bool twoSided = original && original->getNumTechniques() && original->getTechnique(0)->getNumPasses() &&
                          original->getTechnique(0)->getPass(0)->getCullingMode() == CULL_NONE;
    return FlatTechnique(code, twoSided ? Sides::Both : markingBackFaces ? Sides::MarkBack : Sides::Front);
}

std::vector<size_t> ViewProbe::Draw(Camera* camera, bool markBackFaces)
{
    markingBackFaces = markBackFaces;
    Viewport* viewport = target->addViewport(camera);
    viewport->setBackgroundColour(ColourValue::Black);
    viewport->setClearEveryFrame(true);
    viewport->setOverlaysEnabled(false);
    viewport->setSkiesEnabled(false);
    viewport->setShadowsEnabled(false);
    viewport->setMaterialScheme(SCHEME);
    target->update(false);
    std::vector<uint8> pixels(size_t(width) * height * 3);
    target->copyContentsToMemory(Box(0, 0, width, height),
                                 PixelBox(width, height, 1, PF_BYTE_RGB, pixels.data()), RenderTarget::FB_AUTO);
    target->removeAllViewports();
    std::vector<size_t> found(size_t(width) * height, 0);
    for (size_t at = 0; at < found.size(); ++at)
    {
        const uint8* pixel = &pixels[at * 3];
        if (!Background(pixel))
            found[at] = ColourCode(pixel);
    }
    return found;
}

Camera* ViewProbe::Placed(const Placement& place, Real aspectRatio)
{
    Camera* camera = sceneManager->createCamera(node->getName() + "/" + std::to_string(cameras.size()));
    cameras.push_back(camera);
    node->detachAllObjects();
    node->attachObject(camera);
    camera->setAspectRatio(aspectRatio);
    place(camera);
    camera->setAspectRatio(aspectRatio);
    Tarnel::Platform::PlaceInZone(node);
    return camera;
}

ViewProbe::Measure ViewProbe::Look(const Placement& place, Real aspectRatio, bool backFaces)
{
    ++looks;
    Camera* camera = Placed(place, aspectRatio);

    Measure measure;
    const std::vector<size_t> found = Draw(camera, false);
    std::vector<size_t> counts(roles.size() + 1, 0);
    size_t level = 0, ground = 0, enclosure = 0;
    double levelLeft = 1, levelRight = 0, levelTop = 1, levelBottom = 0;
    std::set<size_t> seen;
    for (size_t at = 0; at < found.size(); ++at)
    {
        const size_t code = found[at];
        if (code == 0 || code > roles.size() || roles[code - 1] == LevelExtent::Role::Backdrop)
            continue;
        ++level;
        ground += roles[code - 1] == LevelExtent::Role::Ground;
        enclosure += roles[code - 1] == LevelExtent::Role::Enclosure;
        // Enclosures are the walls around the view: one of them filling it is no fault.
        if (roles[code - 1] != LevelExtent::Role::Enclosure)
            ++counts[code];
        const double x = double(at % width) / width, y = double(at / width) / height;
        levelLeft = std::min(levelLeft, x), levelRight = std::max(levelRight, x + 1.0 / width);
        levelTop = std::min(levelTop, y), levelBottom = std::max(levelBottom, y + 1.0 / height);
        if (roles[code - 1] != LevelExtent::Role::Level)
            continue;
        seen.insert(code);
        measure.left = std::min(measure.left, x), measure.right = std::max(measure.right, x + 1.0 / width);
        measure.top = std::min(measure.top, y), measure.bottom = std::max(measure.bottom, y + 1.0 / height);
    }
    const double pixels = double(found.size());
    measure.level = double(level) / pixels;
    measure.ground = double(ground) / pixels;
    measure.enclosure = double(enclosure) / pixels;
    auto most = std::max_element(counts.begin(), counts.end());
    measure.largest = double(*most) / pixels;
    if (*most)
        measure.largestName = names[size_t(most - counts.begin()) - 1];
    measure.objectsSeen = seen.size();
    measure.span = level ? std::max(levelRight - levelLeft, levelBottom - levelTop) : 0;
    if (backFaces)
    {
        size_t back = 0;
        // A camera of its own: the zone manager passes over nodes a camera has seen this frame.
        for (size_t code : Draw(Placed(place, aspectRatio), true))
        {
            const size_t object = code & ~BACK_FACE;
            back += (code & BACK_FACE) && object != 0 && object <= roles.size() &&
                    roles[object - 1] != LevelExtent::Role::Backdrop;
        }
        measure.backFaces = double(back) / pixels;
    }
    return measure;
}
