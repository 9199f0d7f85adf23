// What surrounds the level: ambient and background colours, fog, skies and shadows.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelEnvironment.h"
#include "Tarnel/Read/TarnelExcept.h"

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

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
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
    }

    void TarnelScene::BuildEnvironment(const EnvironmentDescription& environment)
    {
        if (environment.nearClip)
            nearClipDistance = *environment.nearClip;
        if (environment.farClip)
            farClipDistance = *environment.farClip;
        if (environment.ambient)
            sceneManager->setAmbientLight(*environment.ambient);
        if (environment.background)
            SetBackgroundColour(*environment.background);
        for (const Types::SkyParameters& sky : environment.skies)
            CreateSky(sky);
        for (const ShadowSettings& shadows : environment.shadows)
            BuildShadows(shadows);
        // Scaled by the far clip distance, wherever the clipping element stands.
        fog = environment.fog;
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

    void TarnelScene::BuildShadows(const ShadowSettings& shadows)
    {
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
            sceneManager->setShadowTextureCasterMaterial(ShadowMaterial(
                shadows.textureShadowCasterMaterial, defaultResourceGroupName, "setShadowTextureCasterMaterial"));
            sceneManager->setShadowTextureReceiverMaterial(ShadowMaterial(
                shadows.textureShadowReceiverMaterial, defaultResourceGroupName, "setShadowTextureReceiverMaterial"));
        }
        sceneManager->setShadowCameraSetup(ShadowCameraSetup(shadows.cameraSetup, shadows.optimalPlane));
    }

    ShadowCameraSetupPtr TarnelScene::ShadowCameraSetup(ShadowSettings::CameraSetup setup, const Plane& plane)
    {
        switch (setup)
        {
        case ShadowSettings::UNIFORM_FOCUSED: return ShadowCameraSetupPtr(new FocusedShadowCameraSetup());
        case ShadowSettings::LISPSM: return ShadowCameraSetupPtr(new LiSPSMShadowCameraSetup());
        case ShadowSettings::PLANE_OPTIMAL:
            // One plane serves every plane-optimal setup of the scene.
            if (!shadowCameraPlane)
                shadowCameraPlane.reset(new MovablePlane("_shadowOptimalPlane"));
            shadowCameraPlane->normal = plane.normal;
            shadowCameraPlane->d = plane.d;
            return ShadowCameraSetupPtr(new PlaneOptimalShadowCameraSetup(shadowCameraPlane.get()));
        default: return ShadowCameraSetupPtr(new DefaultShadowCameraSetup());
        }
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
