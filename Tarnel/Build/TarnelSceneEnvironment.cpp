// What surrounds the level: ambient and background colours, fog, skies and shadows.
#include "Tarnel/Build/TarnelScene.h"
#include "Tarnel/Check/TarnelDomains.h"
#include "Tarnel/Build/TarnelEnvironment.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreBitwise.h>
#include <OgreMaterialManager.h>
#include <OgreMovablePlane.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreShadowCameraSetup.h>
#include <OgreShadowCameraSetupFocused.h>
#include <OgreShadowCameraSetupLiSPSM.h>
#include <OgreShadowCameraSetupPlaneOptimal.h>
#include <OgreViewport.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// A shadows element as read, before the engine is configured with it.
        struct ShadowParameters
        {
            ShadowTechnique technique = SHADOWTYPE_NONE;
            bool selfShadow = true;
            Real farDistance = 0; ///< 0 or less keeps the engine's
            int textureSize = 512;
            int textureCount = 2;
            Real textureOffset = 0.6f;
            Real textureFadeStart = 0.7f;
            Real textureFadeEnd = 0.9f;
            String textureShadowCasterMaterial;
            String textureShadowReceiverMaterial;
            ColourValue shadowColour = ColourValue::Black;
            String cameraSetupType; ///< empty: no camera setup was given
            Plane optimalPlane = Plane(0, 0, 0, 0);
        };

        /** The named material; null for an empty name. A name that names no material
            fails, as this engine would otherwise fall back to its default unseen. */
        MaterialPtr ShadowMaterial(const String& name, const String& group, const char* setter)
        {
            if (name.empty())
                return MaterialPtr();
            MaterialPtr material = MaterialManager::getSingleton().getByName(name, group);
            if (!material)
                TARNEL_EXCEPT(Exception::ERR_ITEM_NOT_FOUND, "Cannot locate material called '" + name + "'",
                              String("SceneManager::") + setter, SCENE_SOURCE_FILE);
            return material;
        }

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
    }

    bool Environment::IsSky(const TiXmlElement* element)
    {
        std::string_view name = element->ValueStr();
        return name == "skyBox" || name == "skyDome" || name == "skyPlane";
    }

    void TarnelScene::LoadEnvironment(const TiXmlElement* element)
    {
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            reading = child;
            std::string_view name = child->ValueStr();
            if (name == "fog")
                LoadFog(child);
            else if (Environment::IsSky(child))
                CreateSky(Environment::ReadSky(child));
            else if (name == "clipping")
                TarnelUtilities::LoadClipping(child, nearClipDistance, farClipDistance);
            else if (name == "colourAmbient")
                sceneManager->setAmbientLight(TarnelUtilities::LoadColor(child));
            else if (name == "colourBackground")
                SetBackgroundColour(TarnelUtilities::LoadColor(child));
            else if (name == "shadows")
                LoadShadows(child);
        }
        // Last, so that a clipping element after the fog still scales it.
        sceneManager->setFog(fog.mode, fog.colour, fog.expDensity, farClipDistance * fog.linearStart,
                             farClipDistance * fog.linearEnd);
    }

    void TarnelScene::SetBackgroundColour(const ColourValue& colour)
    {
        backgroundColour = colour;
        if (!renderWindows->Start())
            return;
        do
        {
            RenderWindow* window = renderWindows->GetCurrent();
            for (unsigned short i = 0; i < window->getNumViewports(); ++i)
                window->getViewport(i)->setBackgroundColour(backgroundColour);
        } while (renderWindows->MoveNext());
    }

    void TarnelScene::LoadFog(const TiXmlElement* element)
    {
        // A second fog element changes only what it names, but its mode always.
        fog.expDensity = TarnelUtilities::GetRealAttribute(element, "expDensity", fog.expDensity);
        fog.linearStart = TarnelUtilities::GetRealAttribute(element, "linearStart", fog.linearStart);
        fog.linearEnd = TarnelUtilities::GetRealAttribute(element, "linearEnd", fog.linearEnd);
        fog.mode = TarnelUtilities::ParseFogMode(TarnelUtilities::GetStringAttribute(element, "mode", "none"));
        if (const TiXmlElement* colour = element->FirstChildElement("colourDiffuse"))
            fog.colour = TarnelUtilities::LoadColor(colour);
    }

    Types::SkyParameters Environment::ReadSky(const TiXmlElement* element)
    {
        Types::SkyParameters sky;
        std::string_view kind = element->ValueStr();
        sky.kind = kind == "skyDome" ? Types::SkyParameters::DOME
                   : kind == "skyPlane" ? Types::SkyParameters::PLANE
                                        : Types::SkyParameters::BOX;
        sky.enable = TarnelUtilities::GetBoolAttribute(element, "enable", true);
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

    void TarnelScene::CreateSky(const Types::SkyParameters& sky)
    {
        switch (sky.kind)
        {
        case Types::SkyParameters::BOX:
            skyBoxExtraData = sky.extraData;
            sceneManager->setSkyBox(sky.enable, sky.material, sky.distance, sky.drawFirst, sky.orientation,
                                    defaultResourceGroupName);
            break;
        case Types::SkyParameters::DOME:
        {
            skyDomeExtraData = sky.extraData;
            const int keepAllYSegments = -1;
            sceneManager->setSkyDome(sky.enable, sky.material, sky.curvature, sky.tiling, sky.distance, sky.drawFirst,
                                     sky.orientation, sky.xSegments, sky.ySegments, keepAllYSegments,
                                     defaultResourceGroupName);
            break;
        }
        case Types::SkyParameters::PLANE:
            skyPlaneExtraData = sky.extraData;
            sceneManager->setSkyPlane(sky.enable, sky.plane, sky.material, sky.scale, sky.tiling, sky.drawFirst,
                                      sky.bow, sky.xSegments, sky.ySegments, defaultResourceGroupName);
            break;
        }
    }

    void TarnelScene::LoadShadows(const TiXmlElement* element)
    {
        ShadowParameters shadows;
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
                shadows.textureFadeStart = TarnelUtilities::GetRealAttribute(child, "fadeStart", shadows.textureFadeStart);
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
                shadows.cameraSetupType = TarnelUtilities::GetStringAttribute(child, "type", "lispsm");
                // The plane is given on the shadows element itself.
                shadows.optimalPlane = Domains::PlaneWithNormal(
                    element, TarnelUtilities::GetPlaneAttributes(element, Plane(GetUpAxisVector(), 0)),
                    Plane(GetUpAxisVector(), 0));
            }
        }

        sceneManager->setShadowTechnique(shadows.technique);
        if (shadows.technique == SHADOWTYPE_NONE)
            return;
        sceneManager->setShadowTextureSelfShadow(shadows.selfShadow);
        sceneManager->setShadowColour(shadows.shadowColour);
        if (shadows.farDistance > 0)
            sceneManager->setShadowFarDistance(shadows.farDistance);

        if (sceneManager->isShadowTechniqueTextureBased())
        {
            RenderSystem* renderSystem = Root::getSingleton().getRenderSystem();
            int size = FitShadowTextureSize(shadows.textureSize, *renderSystem->getCapabilities(), *renderWindows);
            bool gl = renderSystem->getName().find("GL") != String::npos;
            sceneManager->setShadowTextureSettings(size, shadows.textureCount, gl ? PF_FLOAT16_R : PF_FLOAT32_R);
            sceneManager->setShadowDirLightTextureOffset(shadows.textureOffset);
            sceneManager->setShadowTextureFadeStart(shadows.textureFadeStart);
            sceneManager->setShadowTextureFadeEnd(shadows.textureFadeEnd);
            sceneManager->setShadowTextureCasterMaterial(
                ShadowMaterial(shadows.textureShadowCasterMaterial, defaultResourceGroupName, "setShadowTextureCasterMaterial"));
            sceneManager->setShadowTextureReceiverMaterial(
                ShadowMaterial(shadows.textureShadowReceiverMaterial, defaultResourceGroupName,
                               "setShadowTextureReceiverMaterial"));
        }

        sceneManager->setShadowCameraSetup(shadows.cameraSetupType.empty()
                                               ? ShadowCameraSetupPtr(new DefaultShadowCameraSetup())
                                               : ParseShadowCameraSetup(shadows.cameraSetupType, shadows.optimalPlane));
    }

    int TarnelScene::FitShadowTextureSize(int size, const RenderSystemCapabilities& capabilities,
                                          TarnelRenderWindowIterator& windows)
    {
        if (!capabilities.hasCapability(RSC_HWRENDER_TO_TEXTURE))
        {
            // Without render targets of its own the texture is drawn in a window.
            int limit = 4096;
            if (windows.Start())
            {
                do
                {
                    RenderWindow* window = windows.GetCurrent();
                    limit = int(std::min(window->getWidth(), window->getHeight()));
                } while (windows.MoveNext());
            }
            size = std::min(size, limit);
        }
        if (!capabilities.hasCapability(RSC_NON_POWER_OF_2_TEXTURES) && size > 0 &&
            !Bitwise::isPO2(unsigned(size)))
            size = int(TarnelScene::PreviousPowerOfTwo(unsigned(size)));
        return size;
    }

    ShadowCameraSetupPtr TarnelScene::ParseShadowCameraSetup(const String& type, const Plane& plane)
    {
        String keyword = type;
        StringUtil::toLowerCase(keyword);
        if (keyword == "uniform")
            return ShadowCameraSetupPtr(new DefaultShadowCameraSetup());
        if (keyword == "uniformfocused")
            return ShadowCameraSetupPtr(new FocusedShadowCameraSetup());
        if (keyword == "lispsm")
            return ShadowCameraSetupPtr(new LiSPSMShadowCameraSetup());
        if (keyword == "planeoptimal")
        {
            // One plane serves every plane-optimal setup of the scene.
            if (!shadowCameraPlane)
                shadowCameraPlane.reset(new MovablePlane("_shadowOptimalPlane"));
            shadowCameraPlane->normal = plane.normal;
            shadowCameraPlane->d = plane.d;
            return ShadowCameraSetupPtr(new PlaneOptimalShadowCameraSetup(shadowCameraPlane.get()));
        }
        TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, "Invalid shadow camera setup specified: " + type,
                      "TarnelScene::ParseShadowCameraSetup", SCENE_SOURCE_FILE);
    }

    unsigned int TarnelScene::PreviousPowerOfTwo(unsigned int value)
    {
        if (value <= 1)
            return 0;
        unsigned int power = 1;
        while (power <= (value - 1) / 2)
            power *= 2;
        return power;
    }
}
