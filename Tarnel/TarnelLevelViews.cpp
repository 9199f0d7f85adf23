// A loaded level drawn as the viewer draws it, for the programs and harnesses that check levels.
#include "Tarnel/TarnelLevelViews.h"
#include "Tarnel/TarnelPlatform.h"
#include "Tarnel/TarnelScene.h"

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

    void LookThrough(Camera* view, const Camera* level)
    {
        SceneNode* node = view->getParentSceneNode();
        node->setPosition(level->getDerivedPosition());
        node->setOrientation(level->getDerivedOrientation());
        view->setFOVy(level->getFOVy());
        view->setNearClipDistance(level->getNearClipDistance());
        view->setFarClipDistance(level->getFarClipDistance());
        Platform::PlaceInZone(node);
    }

    void DrawLevelViews(PCZSceneManager* sceneManager, RenderWindow* window, const TarnelScene& scene)
    {
        std::vector<const Camera*> levelCameras;
        std::set<const Camera*> faces;
        for (const auto& texture : scene.GetRenderTextures())
            faces.insert(texture->cubeFaceCameras.begin(), texture->cubeFaceCameras.end());
        for (const auto& camera : sceneManager->getCameras())
        {
            if (!faces.count(camera.second))
                levelCameras.push_back(camera.second);
        }

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
        for (const Camera* level : levelCameras)
        {
            LookThrough(view, level);
            Root::getSingleton().renderOneFrame();
        }
    }
}
