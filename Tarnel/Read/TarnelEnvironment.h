#ifndef TARNEL_ENVIRONMENT_H
#define TARNEL_ENVIRONMENT_H

#include "Tarnel/Read/Types.h"

#include <OgreColourValue.h>
#include <OgreCommon.h>
#include <OgrePlane.h>

#include <optional>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /// The fog a level asks for; the linear distances are fractions of the far clip distance.
    struct FogSettings
    {
        Ogre::FogMode mode = Ogre::FOG_NONE;
        Ogre::Real expDensity = 0.001f;
        Ogre::Real linearStart = 0;
        Ogre::Real linearEnd = 1;
        Ogre::ColourValue colour = Ogre::ColourValue::White;
    };

    /// A shadows element as read, before the engine is configured with it.
    struct ShadowSettings
    {
        Ogre::ShadowTechnique technique = Ogre::SHADOWTYPE_NONE;
        bool selfShadow = true;
        Ogre::Real farDistance = 0; ///< 0 or less keeps the engine's
        int textureSize = 512;
        int textureCount = 2;
        Ogre::Real textureOffset = 0.6f;
        Ogre::Real textureFadeStart = 0.7f;
        Ogre::Real textureFadeEnd = 0.9f;
        Ogre::String textureShadowCasterMaterial;
        Ogre::String textureShadowReceiverMaterial;
        Ogre::ColourValue shadowColour = Ogre::ColourValue::Black;
        /// The shadow camera setup, as a keyword the engine's setups are made from.
        enum CameraSetup
        {
            DEFAULT_SETUP, ///< none was given
            UNIFORM,
            UNIFORM_FOCUSED,
            LISPSM,
            PLANE_OPTIMAL
        } cameraSetup = DEFAULT_SETUP;
        Ogre::Plane optimalPlane = Ogre::Plane(0, 0, 0, 0);
    };

    /** An environment element as read: what each of its children says, the later of a kind
        over the earlier, fog settings added up, skies and shadows in document order. */
    struct EnvironmentDescription
    {
        FogSettings fog;
        std::optional<Ogre::Real> nearClip, farClip;
        std::optional<Ogre::ColourValue> ambient, background;
        std::vector<Types::SkyParameters> skies;
        std::vector<ShadowSettings> shadows;
    };

    /// Readers of the environment's elements that the load and the resource walk share.
    namespace Environment
    {
        /// Whether the element is a sky box, dome or plane.
        bool IsSky(const TiXmlElement* element);
        /// A sky's description; segment counts out of the engine's bounds are refused.
        Types::SkyParameters ReadSky(const TiXmlElement* element);
        /** The whole environment element; a shadow camera plane not given lies across the
            level's up axis. Keywords and sizes out of their bounds are refused; `reading` is
            left at the child that was being read. */
        EnvironmentDescription Read(const TiXmlElement* element, const Ogre::Vector3& upAxis,
                                    const TiXmlElement*& reading);
    }
}

#endif
