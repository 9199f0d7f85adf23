// Pictures of a level drawn off screen, and compared with references.
#include "LevelPictures.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreRenderTexture.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cmath>
#include <fstream>

using namespace Ogre;

void LevelPictures::Write(Camera* camera, const String& file, unsigned width, unsigned height,
                          const ColourValue& background)
{
    // Drawn off screen: a hidden window's pixels are not kept.
    TexturePtr texture = TextureManager::getSingleton().createManual(
        "Tarnel/Picture", ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME, TEX_TYPE_2D, width, height, 0,
        PF_BYTE_RGB, TU_RENDERTARGET);
    RenderTarget* target = texture->getBuffer()->getRenderTarget();
    Viewport* viewport = target->addViewport(camera);
    viewport->setOverlaysEnabled(false);
    viewport->setBackgroundColour(background);
    const Real aspect = camera->getAspectRatio();
    camera->setAspectRatio(Real(width) / Real(height));
    Root::getSingleton().renderOneFrame();
    Root::getSingleton().renderOneFrame();
    target->writeContentsToFile(file);
    target->removeAllViewports();
    TextureManager::getSingleton().remove(texture);
    camera->setAspectRatio(aspect);
}

namespace
{
    Image Load(const String& file)
    {
        std::ifstream* in = new std::ifstream(file, std::ios::binary);
        if (!*in)
        {
            delete in;
            OGRE_EXCEPT(Exception::ERR_FILE_NOT_FOUND, "Cannot read the picture " + file, "LevelPictures::Load");
        }
        DataStreamPtr stream(new FileStreamDataStream(file, in, true));
        Image image;
        image.load(stream, "png");
        return image;
    }
}

double LevelPictures::DifferingShare(const String& picture, const String& reference, double tolerance,
                                     const String& differenceFile)
{
    Image drawn = Load(picture);
    Image expected = Load(reference);
    if (drawn.getWidth() != expected.getWidth() || drawn.getHeight() != expected.getHeight())
        return 1;
    const uint32 width = drawn.getWidth(), height = drawn.getHeight();
    Image difference(PF_BYTE_RGB, width, height);
    size_t differing = 0;
    for (uint32 y = 0; y < height; ++y)
    {
        for (uint32 x = 0; x < width; ++x)
        {
            ColourValue a = drawn.getColourAt(x, y, 0), b = expected.getColourAt(x, y, 0);
            float most = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            if (most > tolerance)
                ++differing;
            // Magnified, so that small differences show; pixels within the tolerance stay black.
            float shown = most > tolerance ? std::min(1.f, 0.25f + most * 4) : 0.f;
            difference.setColourAt(ColourValue(shown, shown * 0.2f, shown * 0.2f), x, y, 0);
        }
    }
    if (!differenceFile.empty())
        difference.save(differenceFile);
    return double(differing) / double(std::max<size_t>(1, size_t(width) * height));
}
