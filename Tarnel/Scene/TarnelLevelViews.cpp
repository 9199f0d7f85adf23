// A loaded level drawn as the viewer draws it, for the programs and harnesses that check levels.
#include "Tarnel/Scene/TarnelLevelViews.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Scene/TarnelScene.h"

#include <OgreCamera.h>
#include <OgrePCZSceneManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <set>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// The window is left without the view's viewport, however the drawing ends.
        struct ViewportOfTheView
        {
            RenderWindow* window;
            ~ViewportOfTheView() { window->removeAllViewports(); }
        };
    }

    std::vector<Camera*> LevelCameras(SceneManager* sceneManager, const TarnelScene& scene, const Camera* viewerCamera)
    {
        std::set<const Camera*> faces;
        for (const auto& texture : scene.GetRenderTextures())
            faces.insert(texture->cubeFaceCameras.begin(), texture->cubeFaceCameras.end());
        std::vector<Camera*> cameras;
        for (const auto& camera : sceneManager->getCameras())
        {
            bool programs = camera.second == viewerCamera || camera.first.compare(0, 7, "Tarnel/") == 0 ||
                            camera.first.compare(0, 5, "Ogre/") == 0;
            if (!programs && !faces.count(camera.second) && !camera.second->isReflected())
                cameras.push_back(camera.second);
        }
        return cameras;
    }

// Cameras that track a target are still in the format, and this engine keeps them, deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    void UpdateTracking(SceneManager* sceneManager)
    {
        SceneNode* root = sceneManager->getRootSceneNode();
        root->_update(true, false);
        std::vector<SceneNode*> pending = {root};
        bool tracked = false;
        while (!pending.empty())
        {
            SceneNode* node = pending.back();
            pending.pop_back();
            if (node->getAutoTrackTarget())
                node->_autoTrack(), tracked = true;
            for (Node* child : node->getChildren())
                pending.push_back(static_cast<SceneNode*>(child));
        }
        if (tracked)
            root->_update(true, false);
        for (const auto& camera : sceneManager->getCameras())
        {
            if (camera.second->getAutoTrackTarget())
                camera.second->_autoTrack();
        }
    }

    void LookThrough(Camera* view, Camera* level)
    {
        UpdateTracking(level->getSceneManager());
        SceneNode* node = view->getParentSceneNode();
        node->setPosition(level->getDerivedPosition());
        node->setOrientation(level->getDerivedOrientation());
        // The arrow keys turn the view's camera itself: through a level camera it faces as its node does.
        view->setOrientation(Quaternion::IDENTITY);
        view->setFOVy(level->getFOVy());
        view->setNearClipDistance(level->getNearClipDistance());
        view->setFarClipDistance(level->getFarClipDistance());
        Platform::PlaceInZone(node);
    }
#pragma GCC diagnostic pop

    void DrawLevelViews(PCZSceneManager* sceneManager, RenderWindow* window, const TarnelScene& scene)
    {
        std::vector<Camera*> levelCameras = LevelCameras(sceneManager, scene);

        // The viewer's camera as it starts: a right angle of view, from 0.25 to 100 units.
        Camera* view = sceneManager->createCamera("Tarnel/View");
        view->setFOVy(Degree(90));
        view->setNearClipDistance(0.25f);
        view->setFarClipDistance(100);
        SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Tarnel/View");
        node->attachObject(view);
        node->setPosition(0, 1, 2);
        Platform::PlaceInZone(node);

        window->addViewport(view);
        ViewportOfTheView removed{window};
        Root::getSingleton().renderOneFrame();
        for (Camera* level : levelCameras)
        {
            LookThrough(view, level);
            Root::getSingleton().renderOneFrame();
        }
    }
}
