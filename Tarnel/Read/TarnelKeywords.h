#ifndef TARNEL_KEYWORDS_H
#define TARNEL_KEYWORDS_H

#include "Tarnel/Read/TarnelValues.h"

#include <OgreAnimation.h>
#include <OgreBillboardSet.h>
#include <OgreCommon.h>
#include <OgreHardwareBuffer.h>
#include <OgreLight.h>
#include <OgreNode.h>
#include <OgrePixelFormat.h>
#include <OgreTexture.h>

#include <vector>

namespace Tarnel
{
    /** The format's words to engine values. Strict parsers raise
        InvalidParametersException with the text as written; the lenient ones give
        the value 0 of their type. */
    namespace TarnelUtilities
    {
        // Strict keyword parsers

        /** The keywords of the strict parser that refused a word in these words ("Invalid light
            type specified: spott"), in lower case, so that the nearest can be offered; empty
            for other messages. */
        std::vector<Ogre::String> KeywordsRefusing(const Ogre::String& refusal);

        Ogre::Light::LightTypes ParseLightType(const Ogre::String& text);
        Ogre::ProjectionType ParseProjectionType(const Ogre::String& text);
        Ogre::BillboardType ParseBillboardType(const Ogre::String& text);
        Ogre::BillboardOrigin ParseBillboardOrigin(const Ogre::String& text);
        Ogre::BillboardRotationType ParseBillboardRotationType(const Ogre::String& text);
        Ogre::HardwareBuffer::Usage ParseHardwareBufferUsage(const Ogre::String& text);
        Ogre::Node::TransformSpace ParseTransformSpace(const Ogre::String& text);
        BoundingVolumeType ParseBoundingVolumeType(const Ogre::String& text);
        Ogre::ShadowTechnique ParseShadowTechnique(const Ogre::String& text);
        UpAxis ParseUpAxis(const Ogre::String& text);
        Ogre::Animation::InterpolationMode ParseAnimationInterpolationMode(const Ogre::String& text);
        Ogre::Animation::RotationInterpolationMode ParseAnimationRotationInterpolationMode(
            const Ogre::String& text);
        Ogre::TextureType ParseTextureType(const Ogre::String& text);
        /// Digits, or a queue name with an optional "+offset"; at most 105.
        Ogre::uint8 ParseRenderQueue(const Ogre::String& text);
        /// Case-sensitive: exactly the engine's enumerator names that the format allows.
        Ogre::PixelFormat ParsePixelFormat(const Ogre::String& text);

        // Lenient keyword parsers

        Ogre::FogMode ParseFogMode(const Ogre::String& text);
        ObjectVisibility ParseObjectVisibility(const Ogre::String& text);
    }
}

#endif
