#ifndef TARNEL_KEYWORDS_H
#define TARNEL_KEYWORDS_H

#include "Tarnel/TarnelValues.h"

#include <OgreAnimation.h>
#include <OgreBillboardSet.h>
#include <OgreCommon.h>
#include <OgreHardwareBuffer.h>
#include <OgreLight.h>
#include <OgreNode.h>
#include <OgrePixelFormat.h>
#include <OgreTexture.h>

namespace Tarnel
{
    /** The format's words to engine values. Strict parsers raise
        InvalidParametersException with the text as written; the lenient ones give
        the value 0 of their type. */
    class Keywords
    {
    public:
        // Strict keyword parsers

        static Ogre::Light::LightTypes ParseLightType(const Ogre::String& text);
        static Ogre::ProjectionType ParseProjectionType(const Ogre::String& text);
        static Ogre::BillboardType ParseBillboardType(const Ogre::String& text);
        static Ogre::BillboardOrigin ParseBillboardOrigin(const Ogre::String& text);
        static Ogre::BillboardRotationType ParseBillboardRotationType(const Ogre::String& text);
        static Ogre::HardwareBuffer::Usage ParseHardwareBufferUsage(const Ogre::String& text);
        static Ogre::Node::TransformSpace ParseTransformSpace(const Ogre::String& text);
        static BoundingVolumeType ParseBoundingVolumeType(const Ogre::String& text);
        static Ogre::ShadowTechnique ParseShadowTechnique(const Ogre::String& text);
        static UpAxis ParseUpAxis(const Ogre::String& text);
        static Ogre::Animation::InterpolationMode ParseAnimationInterpolationMode(const Ogre::String& text);
        static Ogre::Animation::RotationInterpolationMode ParseAnimationRotationInterpolationMode(
            const Ogre::String& text);
        static Ogre::TextureType ParseTextureType(const Ogre::String& text);
        /// Digits, or a queue name with an optional "+offset"; at most 105.
        static Ogre::uint8 ParseRenderQueue(const Ogre::String& text);
        /// Case-sensitive: exactly the engine's enumerator names that the format allows.
        static Ogre::PixelFormat ParsePixelFormat(const Ogre::String& text);

        // Lenient keyword parsers

        static Ogre::FogMode ParseFogMode(const Ogre::String& text);
        static ObjectVisibility ParseObjectVisibility(const Ogre::String& text);
    };
}

#endif
