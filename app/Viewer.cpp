#include "Viewer.h"
#include "SceneTreeReport.h"
#include "WindowCloseRequests.h"
#include "ZelFrameListener.h"

#include "Tarnel/TarnelLevelReferences.h"
#include "Tarnel/TarnelMedia.h"
#include "Tarnel/TarnelPlatform.h"
#include "Tarnel/TarnelScene.h"

#include <Bites/OgreBitesConfigDialog.h>
#include <Bites/OgreWindowEventUtilities.h>
#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreOverlaySystem.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreTimer.h>

#include <iomanip>
#include <set>

using namespace Ogre;

namespace Viewer
{
    const char* const DEFAULT_LEVEL = "../Media/Scenes/scene3.scene";
    RenderWindow* renderWindow = nullptr;
    SceneManager* sceneManager = nullptr;
    Camera* camera = nullptr;
    SceneNode* cameraNode = nullptr;
    FrameListener* frameListener = nullptr;
    Tarnel::TarnelMedia* media = nullptr;
    std::vector<Camera*> levelCameras;
}

namespace
{
    /** The one scene loader of the program. It outlives main; that is sound because
        the engine is never shut down, so what it still refers to at exit exists. */
    Tarnel::TarnelScene levelScene;

    void CreateCamera()
    {
        Viewer::camera = Viewer::sceneManager->createCamera("MainCam");
        Viewer::camera->setAspectRatio(1.33333f);
        Viewer::camera->setFOVy(Radian(90 * Math::fDeg2Rad));
        Viewer::camera->setNearClipDistance(0.25f);
        Viewer::camera->setFarClipDistance(100);
        Viewer::cameraNode = Viewer::sceneManager->getRootSceneNode()->createChildSceneNode(
            "CamNode", Vector3::ZERO, Quaternion::IDENTITY);
        Viewer::cameraNode->attachObject(Viewer::camera);
        Viewer::cameraNode->setPosition(0, 1, 2);
        Viewer::cameraNode->_updateBounds();
    }

    void AddResourceLocations()
    {
        ConfigFile resources;
        resources.load(Tarnel::Platform::NativeSeparators("..\\resources.cfg"), "\t:=", true);
        for (const auto& section : resources.getSettingsBySection())
        {
            for (const auto& setting : section.second)
                ResourceGroupManager::getSingleton().addResourceLocation(setting.second, setting.first,
                                                                         section.first, false);
        }
    }

    void CreateCameraLight()
    {
        // A light's own position starts at the origin, where the camera light belongs.
        Light* light = Viewer::sceneManager->createLight("CamLight");
        light->setAttenuation(500, 0.5f, 1, 0);
        Viewer::cameraNode->createChildSceneNode("CamLightNode", Vector3::ZERO, Quaternion::IDENTITY)
            ->attachObject(light);
    }

    String Milliseconds(Timer& timer)
    {
        // Fixed notation: the engine's own formatting turns 12 ms into "1e+01".
        StringStream milliseconds;
        milliseconds << std::fixed << std::setprecision(1) << timer.getMicroseconds() / 1000.0;
        return milliseconds.str();
    }

    /// Each resource the level names that is nowhere to be found, once, in the engine's log.
    void LogMissingResources(const String& levelFile)
    {
        for (const Tarnel::MissingResource& missing : Tarnel::FindMissingResources(levelFile))
        {
            String users;
            for (const String& user : missing.usedBy)
                users += (users.empty() ? "" : ", ") + (user.empty() ? String("the level") : user);
            LogManager::getSingleton().logWarning("Tarnel: missing " + missing.kind + " '" + missing.name +
                                                  "', used by " + users);
        }
    }

    void CollectLevelCameras()
    {
        std::set<const Camera*> notTheLevels = {Viewer::camera};
        for (const auto& texture : levelScene.GetRenderTextures())
            notTheLevels.insert(texture->cubeFaceCameras.begin(), texture->cubeFaceCameras.end());
        for (const auto& camera : Viewer::sceneManager->getCameras())
        {
            if (!notTheLevels.count(camera.second))
                Viewer::levelCameras.push_back(camera.second);
        }
    }

    void LoadLevel(const String& levelFile)
    {
        Timer timer;
        levelScene.Load(levelFile, Viewer::renderWindow, Viewer::sceneManager,
                        ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        String loadTime = Milliseconds(timer);
        timer.reset();
        static_cast<PCZSceneManager*>(Viewer::sceneManager)->connectPortalsToTargetZonesByLocation();
        LogManager::getSingleton().logMessage("Level " + levelFile + " loaded in " + loadTime +
                                              " ms, its portals connected in " + Milliseconds(timer) + " ms");
        LogMissingResources(levelFile);
        CollectLevelCameras();
    }

    /// The engine's own loop of its older releases: window messages, then one frame.
    void RenderLoop(Root& root, Timer& sinceSetup)
    {
        WindowCloseRequests closeRequests(Viewer::renderWindow);
        for (bool first = true;; first = false)
        {
            closeRequests.Translate();
            OgreBites::WindowEventUtilities::messagePump();
            if (!root.renderOneFrame())
                break;
            if (first)
                LogManager::getSingleton().logMessage("First frame " + Milliseconds(sinceSetup) +
                                                      " ms after the configuration dialog");
        }
    }
}

int Viewer::Run(const String& levelFile)
{
    Tarnel::Platform::KeepPluginsLoaded("plugins.cfg");
    Root* root = new Root("plugins.cfg", "ogre.cfg", "Ogre.log");
    if (!root->showConfigDialog(OgreBites::getNativeConfigDialog()))
        return 0;
    Timer sinceSetup;

    renderWindow = root->initialise(true, "My Render Window", BLANKSTRING);
    // The message pump of this engine only looks at the windows it is told about.
    OgreBites::WindowEventUtilities::_addRenderWindow(renderWindow);

    OverlaySystem* overlaySystem = new OverlaySystem();
    sceneManager = root->createSceneManager("PCZSceneManager", "MyPCZSceneMgr");
    static_cast<PCZSceneManager*>(sceneManager)->init("ZoneType_Default", "none");
    sceneManager->addRenderQueueListener(overlaySystem);

    CreateCamera();
    renderWindow->addViewport(camera, 0, 0, 0, 1, 1);

    // Faulty media cost the faulty item, from the first script on.
    media = new Tarnel::TarnelMedia();
    AddResourceLocations();
    ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
    ResourceGroupManager::getSingleton().loadResourceGroup("General", true, true);

    frameListener = new ZelFrameListener();
    root->addFrameListener(frameListener);

    CreateCameraLight();
    LoadLevel(levelFile);
    WriteSceneTreeReport("scenetree.txt", sceneManager->getRootSceneNode());

    RenderLoop(*root, sinceSetup);
    return 0;
}
