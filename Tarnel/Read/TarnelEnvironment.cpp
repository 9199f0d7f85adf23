// The environment element read into its description: colours, clipping, fog, skies and shadows.
#include "Tarnel/Read/TarnelEnvironment.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreStringConverter.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        

        /// User data of a sky, and its rotation when the sky kind has one.
        Types::ObjectExtraData LoadSkyChildren(const TiXmlElement* element, Quaternion* orientation)
        {
            Types::ObjectExtraData extraData;
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (orientation && child->ValueStr() == "rotation")
                    *orientation = TarnelUtilities::LoadRotation(child);
                else
                    TarnelUtilities::LoadUserDataElement(child, extraData);
            }
            return extraData;
        }

        /// A second fog element changes only what it names, but its mode always.
        void ReadFog(const TiXmlElement* element, FogSettings& fog)
        {
            fog.expDensity = TarnelUtilities::GetRealAttribute(element, "expDensity", fog.expDensity);
            fog.linearStart = TarnelUtilities::GetRealAttribute(element, "linearStart", fog.linearStart);
            fog.linearEnd = TarnelUtilities::GetRealAttribute(element, "linearEnd", fog.linearEnd);
            fog.mode = TarnelUtilities::ParseFogMode(TarnelUtilities::GetStringAttribute(element, "mode", "none"));
            if (const TiXmlElement* colour = element->FirstChildElement("colourDiffuse"))
                fog.colour = TarnelUtilities::LoadColor(colour);
        }

        ShadowSettings::CameraSetup ParseShadowCameraSetup(const String& type)
        {
            String keyword = type;
            StringUtil::toLowerCase(keyword);
            if (keyword == "uniform")
                return ShadowSettings::UNIFORM;
            if (keyword == "uniformfocused")
                return ShadowSettings::UNIFORM_FOCUSED;
            if (keyword == "lispsm")
                return ShadowSettings::LISPSM;
            if (keyword == "planeoptimal")
                return ShadowSettings::PLANE_OPTIMAL;
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, "Invalid shadow camera setup specified: " + type,
                          "TarnelScene::ParseShadowCameraSetup", SCENE_SOURCE_FILE);
        }

        ShadowSettings ReadShadows(const TiXmlElement* element, const Vector3& upAxis)
        {
            ShadowSettings shadows;
            shadows.technique =
                TarnelUtilities::ParseShadowTechnique(TarnelUtilities::GetStringAttribute(element, "technique", "none"));
            shadows.selfShadow = TarnelUtilities::GetBoolAttribute(element, "selfShadow", true);
            shadows.farDistance = TarnelUtilities::GetRealAttribute(element, "farDistance", 0);
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                std::string_view name = child->ValueStr();
                if (name == "shadowTextures")
                {
                    shadows.textureSize = TarnelUtilities::GetIntAttribute(child, "size", shadows.textureSize);
                    shadows.textureCount = TarnelUtilities::GetIntAttribute(child, "count", shadows.textureCount);
                    // Other techniques have no shadow textures: what they say of them reaches nothing.
                    if (shadows.technique & SHADOWDETAILTYPE_TEXTURE)
                    {
                        TarnelUtilities::CheckRange(shadows.textureSize, 1, Limits::MAX_TEXTURE_SIZE,
                                                    "The shadow texture size", "TarnelScene::LoadShadows");
                        TarnelUtilities::CheckRange(shadows.textureCount, 1, Limits::MAX_SHADOW_TEXTURES,
                                                    "The shadow texture count", "TarnelScene::LoadShadows");
                    }
                    shadows.textureOffset = TarnelUtilities::GetRealAttribute(child, "offset", shadows.textureOffset);
                    shadows.textureFadeStart =
                        TarnelUtilities::GetRealAttribute(child, "fadeStart", shadows.textureFadeStart);
                    shadows.textureFadeEnd = TarnelUtilities::GetRealAttribute(child, "fadeEnd", shadows.textureFadeEnd);
                    shadows.textureShadowCasterMaterial = TarnelUtilities::GetStringAttribute(
                        child, "shadowCasterMaterial", shadows.textureShadowCasterMaterial);
                    shadows.textureShadowReceiverMaterial = TarnelUtilities::GetStringAttribute(
                        child, "shadowReceiverMaterial", shadows.textureShadowReceiverMaterial);
                }
                else if (name == "colourShadow")
                    shadows.shadowColour = TarnelUtilities::LoadColor(child);
                else if (name == "shadowCameraSetup")
                {
                    shadows.cameraSetup =
                        ParseShadowCameraSetup(TarnelUtilities::GetStringAttribute(child, "type", "lispsm"));
                    // The plane is given on the shadows element itself.
                    shadows.optimalPlane = Domains::PlaneWithNormal(
                        element, TarnelUtilities::GetPlaneAttributes(element, Plane(upAxis, 0)), Plane(upAxis, 0));
                }
            }
            return shadows;
        }
    }

    bool Environment::IsSky(const TiXmlElement* element)
    {
        std::string_view name = element->ValueStr();
        return name == "skyBox" || name == "skyDome" || name == "skyPlane";
    }

    EnvironmentDescription Environment::Read(const TiXmlElement* element, const Vector3& upAxis,
                                             const TiXmlElement*& reading)
    {
        EnvironmentDescription environment;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            reading = child;
            std::string_view name = child->ValueStr();
            if (name == "fog")
                ReadFog(child, environment.fog);
            else if (IsSky(child))
                environment.skies.push_back(ReadSky(child));
            else if (name == "clipping")
            {
                Real nearClip, farClip;
                TarnelUtilities::LoadClipping(child, nearClip, farClip);
                environment.nearClip = nearClip;
                environment.farClip = farClip;
            }
            else if (name == "colourAmbient")
                environment.ambient = TarnelUtilities::LoadColor(child);
            else if (name == "colourBackground")
                environment.background = TarnelUtilities::LoadColor(child);
            else if (name == "shadows")
                environment.shadows.push_back(ReadShadows(child, upAxis));
        }
        return environment;
    }

    Types::SkyParameters Environment::ReadSky(const TiXmlElement* element)
    {
        Types::SkyParameters sky;
        std::string_view kind = element->ValueStr();
        sky.kind = kind == "skyDome" ? Types::SkyParameters::DOME
                   : kind == "skyPlane" ? Types::SkyParameters::PLANE
                                        : Types::SkyParameters::BOX;
        sky.enable = TarnelUtilities::GetBoolAttribute(element, "enable", true);
        sky.line = element->Row();
        if (sky.kind == Types::SkyParameters::PLANE)
            sky.plane = Domains::PlaneWithNormal(element, TarnelUtilities::GetPlaneAttributes(element, Plane(0, -1, 0, 5000)),
                                       Plane(0, -1, 0, 5000));
        sky.material = TarnelUtilities::GetStringAttribute(element, "material");
        switch (sky.kind)
        {
        case Types::SkyParameters::BOX:
            sky.distance = TarnelUtilities::GetRealAttribute(element, "distance", 5000);
            sky.drawFirst = TarnelUtilities::GetBoolAttribute(element, "drawFirst", true);
            break;
        case Types::SkyParameters::DOME:
            sky.curvature = TarnelUtilities::GetRealAttribute(element, "curvature", 10);
            sky.tiling = TarnelUtilities::GetRealAttribute(element, "tiling", 8);
            sky.distance = TarnelUtilities::GetRealAttribute(element, "distance", 4000);
            sky.drawFirst = TarnelUtilities::GetBoolAttribute(element, "drawFirst", true);
            sky.xSegments = TarnelUtilities::GetIntAttribute(element, "xSegments", 16);
            sky.ySegments = TarnelUtilities::GetIntAttribute(element, "ySegments", 16);
            TarnelUtilities::CheckSegments(sky.xSegments, sky.ySegments, "the sky dome", "TarnelScene::LoadSkyDome");
            break;
        case Types::SkyParameters::PLANE:
            sky.scale = TarnelUtilities::GetRealAttribute(element, "scale", 1000);
            sky.tiling = TarnelUtilities::GetRealAttribute(element, "tiling", 10);
            sky.drawFirst = TarnelUtilities::GetBoolAttribute(element, "drawFirst", true);
            sky.bow = TarnelUtilities::GetRealAttribute(element, "bow", 0);
            sky.xSegments = TarnelUtilities::GetIntAttribute(element, "xSegments", 1);
            sky.ySegments = TarnelUtilities::GetIntAttribute(element, "ySegments", 1);
            TarnelUtilities::CheckSegments(sky.xSegments, sky.ySegments, "the sky plane", "TarnelScene::LoadSkyPlane");
            break;
        }
        sky.extraData = LoadSkyChildren(element, sky.kind == Types::SkyParameters::PLANE ? nullptr : &sky.orientation);
        return sky;
    }
}
