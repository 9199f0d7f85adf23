// Render textures: made before the nodes, connected to cameras, planes and nodes after them,
// and switched around each of their updates.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Media/TarnelMedia.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgreMovablePlane.h>
#include <OgreRenderTexture.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <tinyxml.h>

using namespace Ogre;

// Face cameras are placed on their own, apart from any node; this engine marks that deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace Tarnel
{
    namespace
    {
        /// Orientations of the six cube face cameras (w, x, y, z), in face order.
        const Quaternion CUBE_FACE_ORIENTATIONS[6] = {
            Quaternion(0.707107f, 0, -0.707107f, 0), Quaternion(-0.707107f, 0, -0.707107f, 0),
            Quaternion(0.707107f, 0.707107f, 0, 0),  Quaternion(0.707107f, -0.707107f, 0, 0),
            Quaternion(1, 0, 0, 0),                  Quaternion(0, 0, -1, 0),
        };

        Vector3 CubePosition(const RenderTexture& renderTexture)
        {
            if (renderTexture.renderObjectNode)
                return renderTexture.renderObjectNode->_getDerivedPosition();
            if (renderTexture.camera)
                return renderTexture.camera->getDerivedPosition();
            return Vector3::ZERO;
        }

        /// A node scaled to nothing on a side has no inside: what hangs on it stays at its place.
        bool IsFlat(const Node* node)
        {
            const Vector3& scale = node->_getDerivedScale();
            return scale.x == 0 || scale.y == 0 || scale.z == 0;
        }

        /// Places a camera in the world, whatever node it hangs on.
        void PlaceCamera(Camera* camera, const Vector3& position, const Quaternion& orientation)
        {
            Node* parent = camera->getParentNode();
            camera->setPosition(!parent ? position
                                : IsFlat(parent) ? Vector3::ZERO
                                                 : parent->convertWorldToLocalPosition(position));
            camera->setOrientation(parent ? parent->convertWorldToLocalOrientation(orientation) : orientation);
        }

        /** Moves the node of a texture's own cameras to the place they render from. The zone
            manager draws what a camera sees from the zone its node is in, so the node joins the
            zone of that place. */
        void MoveCameraNode(SceneNode* node, const Vector3& position)
        {
            Node* parent = node->getParent();
            node->setPosition(IsFlat(parent) ? Vector3::ZERO : parent->convertWorldToLocalPosition(position));
            Platform::PlaceInZone(node);
        }

        void SetVisible(const std::vector<SceneNode*>& nodes, bool visible)
        {
            for (SceneNode* node : nodes)
                node->setVisible(visible, false);
        }
    }

    void TarnelScene::LoadRenderTextures(const std::vector<RenderTextureDescription>& textures)
    {
        if (textures.empty())
            return;
        uint32 colourDepth = 32;
        if (renderWindows->Start())
        {
            do
                colourDepth = std::min(colourDepth, renderWindows->GetCurrent()->getColourDepth());
            while (renderWindows->MoveNext());
        }
        PixelFormat defaultPixelFormat = colourDepth == 16 ? PF_A4R4G4B4 : PF_A8R8G8B8;
        for (const RenderTextureDescription& texture : textures)
            LoadRenderTexture(texture, defaultPixelFormat);
    }

    void TarnelScene::LoadRenderTexture(const RenderTextureDescription& description, PixelFormat defaultPixelFormat)
    {
        renderTextures.push_back(std::make_unique<RenderTexture>());
        RenderTexture& renderTexture = *renderTextures.back();
        static_cast<RenderTextureDescription&>(renderTexture) = description;
        if (renderTexture.pixelFormat == PF_UNKNOWN)
            renderTexture.pixelFormat = defaultPixelFormat;
        if (!renderTexture.backgroundColour)
            renderTexture.backgroundColour = backgroundColour;
        renderTexture.resourceGroupName = defaultResourceGroupName;

        // This engine makes the textures that material scripts name as it reads them; such a
        // stand-in, never loaded from a file, gives way, and the layers that show it follow.
        TextureManager& textures = TextureManager::getSingleton();
        TexturePtr standIn = textures.getByName(renderTexture.name, renderTexture.resourceGroupName);
        if (standIn && !standIn->isManuallyLoaded())
            textures.remove(standIn);
        renderTexture.texture =
            textures.createManual(renderTexture.name, renderTexture.resourceGroupName, renderTexture.textureType,
                                  renderTexture.width, renderTexture.height, 0, renderTexture.pixelFormat,
                                  TU_RENDERTARGET);
        for (const auto& layer : TarnelMedia::LayersShowing(renderTexture.name, renderTexture.resourceGroupName))
            layer.first->_setTexturePtr(renderTexture.texture, layer.second);

        for (size_t face = 0; face < renderTexture.texture->getNumFaces(); ++face)
        {
            RenderTarget* target = renderTexture.texture->getBuffer(face)->getRenderTarget();
            target->setAutoUpdated(renderTexture.autoUpdate);
            target->addListener(this);
            renderTargets[target] = &renderTexture;
        }
    }

    void TarnelScene::FinishLoadingRenderTextures()
    {
        for (; finishedRenderTextureCount < renderTextures.size(); ++finishedRenderTextureCount)
        {
            RenderTexture& renderTexture = *renderTextures[finishedRenderTextureCount];
            if (!renderTexture.scheme.empty())
                MaterialManager::getSingleton()._getSchemeIndex(renderTexture.scheme);
            if (!renderTexture.cameraName.empty() && sceneManager->hasCamera(renderTexture.cameraName))
                renderTexture.camera = sceneManager->getCamera(renderTexture.cameraName);

            if (renderTexture.textureType == TEX_TYPE_2D && renderTexture.camera)
                FinishFlatRenderTexture(renderTexture);
            else if (renderTexture.textureType == TEX_TYPE_CUBE_MAP)
                FinishCubeMap(renderTexture);

            // Both lists start hidden: a hidden node shows outside updates once the texture has been updated.
            renderTexture.hiddenNodes = ExistingNodes(renderTexture.hiddenObjects);
            renderTexture.exclusiveNodes = ExistingNodes(renderTexture.exclusiveObjects);
            SetVisible(renderTexture.hiddenNodes, false);
            SetVisible(renderTexture.exclusiveNodes, false);
        }
    }

    void TarnelScene::FinishFlatRenderTexture(RenderTexture& renderTexture)
    {
        AttachRenderTextureCamera(renderTexture, renderTexture.camera);
        renderTexture.viewports[0] = AddRenderTextureViewport(renderTexture, 0, renderTexture.camera);
        if (renderTexture.renderObjectName.empty())
            return;

        String planeName = renderTexture.renderObjectName + "_movable";
        auto existing = movablePlanes.find(planeName);
        if (existing != movablePlanes.end())
        {
            renderTexture.renderPlaneObject = existing->second.get();
            renderTexture.renderObjectNode = renderTexture.renderPlaneObject->getParentSceneNode();
        }
        else
        {
            auto plane = std::make_unique<MovablePlane>(planeName);
            static_cast<Plane&>(*plane) = renderTexture.renderPlane;
            renderTexture.renderPlaneObject = plane.get();
            movablePlanes[planeName] = std::move(plane);
        }

        for (const RenderTexture::MaterialLayer& layer : renderTexture.materials)
        {
            MaterialPtr material = MaterialManager::getSingleton().getByName(layer.name, renderTexture.resourceGroupName);
            if (!material || layer.technique >= material->getNumTechniques())
                continue;
            Technique* technique = material->getTechnique(layer.technique);
            if (layer.pass >= technique->getNumPasses())
                continue;
            Pass* pass = technique->getPass(layer.pass);
            if (layer.textureUnit >= pass->getNumTextureUnitStates())
                continue;
            TextureUnitState* unit = pass->getTextureUnitState(layer.textureUnit);
            unit->setProjectiveTexturing(true, renderTexture.camera);
            renderTexture.projectedLayers.push_back(unit);
        }

        renderTexture.camera->enableReflection(renderTexture.renderPlaneObject);
        renderTexture.camera->enableCustomNearClipPlane(renderTexture.renderPlaneObject);
    }

    void TarnelScene::FinishCubeMap(RenderTexture& renderTexture)
    {
        SceneNode* const* node = nodesByName.Find(renderTexture.renderObjectName);
        if (!renderTexture.renderObjectName.empty() && node)
            renderTexture.renderObjectNode = *node;
        Vector3 position = CubePosition(renderTexture);
        // Without a camera the faces are named after the texture.
        String baseName = renderTexture.camera ? renderTexture.camera->getName() : renderTexture.name;

        for (size_t face = 0; face < 6; ++face)
        {
            Camera* faceCamera =
                sceneManager->createCamera(baseName + "_CubeFaceCamera" + StringConverter::toString(face));
            faceCamera->setAspectRatio(1);
            faceCamera->setFOVy(Degree(90));
            faceCamera->setPosition(position);
            faceCamera->setOrientation(CUBE_FACE_ORIENTATIONS[face]);
            AttachRenderTextureCamera(renderTexture, faceCamera);
            if (renderTexture.camera)
            {
                faceCamera->setNearClipDistance(renderTexture.camera->getNearClipDistance());
                faceCamera->setFarClipDistance(renderTexture.camera->getFarClipDistance());
            }
            renderTexture.cubeFaceCameras[face] = faceCamera;
            renderTexture.viewports[face] = AddRenderTextureViewport(renderTexture, face, faceCamera);
        }
    }

    std::vector<SceneNode*> TarnelScene::ExistingNodes(const std::vector<String>& names) const
    {
        std::vector<SceneNode*> nodes;
        for (const String& name : names)
        {
            if (SceneNode* const* node = nodesByName.Find(name))
                nodes.push_back(*node);
        }
        return nodes;
    }

    void TarnelScene::AttachRenderTextureCamera(RenderTexture& renderTexture, Camera* camera)
    {
        if (camera->isAttached())
            return;
        // The camera's own place was in the world; the level may have moved the root it now hangs under.
        Vector3 position = camera->getPosition();
        Quaternion orientation = camera->getOrientation();
        if (!renderTexture.cameraNode)
        {
            renderTexture.cameraNode = TarnelUtilities::CreateChildSceneNode(rootNode, renderTexture.name + "_Cameras");
            MoveCameraNode(renderTexture.cameraNode, position);
        }
        renderTexture.cameraNode->attachObject(camera);
        PlaceCamera(camera, position, orientation);
    }

    Viewport* TarnelScene::AddRenderTextureViewport(const RenderTexture& renderTexture, size_t face, Camera* camera)
    {
        Viewport* viewport = renderTexture.texture->getBuffer(face)->getRenderTarget()->addViewport(camera);
        viewport->setClearEveryFrame(renderTexture.clearEveryFrame, FBT_COLOUR | FBT_DEPTH);
        viewport->setBackgroundColour(renderTexture.backgroundColour.value_or(backgroundColour));
        viewport->setMaterialScheme(renderTexture.scheme.empty() ? MaterialManager::DEFAULT_SCHEME_NAME
                                                                 : renderTexture.scheme);
        // A mirror or a cube map shows the level, not the viewer's panels drawn over the window.
        viewport->setOverlaysEnabled(false);
        return viewport;
    }

    void TarnelScene::preRenderTargetUpdate(const RenderTargetEvent& event)
    {
        auto found = renderTargets.find(event.source);
        if (found == renderTargets.end())
            return;
        RenderTexture& renderTexture = *found->second;

        MaterialManager& materials = MaterialManager::getSingleton();
        savedSchemeName = materials.getActiveScheme();
        materials.setActiveScheme(renderTexture.scheme.empty() ? MaterialManager::DEFAULT_SCHEME_NAME
                                                               : renderTexture.scheme);
        if (renderTexture.renderObjectNode && renderTexture.hideRenderObject)
            renderTexture.renderObjectNode->setVisible(false, false);
        SetVisible(renderTexture.hiddenNodes, false);
        SetVisible(renderTexture.exclusiveNodes, true);
        if (renderTexture.textureType == TEX_TYPE_CUBE_MAP)
        {
            Vector3 position = CubePosition(renderTexture);
            if (renderTexture.cameraNode && position != renderTexture.cameraNode->_getDerivedPosition())
                MoveCameraNode(renderTexture.cameraNode, position);
            for (size_t face = 0; face < 6; ++face)
            {
                if (renderTexture.cubeFaceCameras[face])
                    PlaceCamera(renderTexture.cubeFaceCameras[face], position, CUBE_FACE_ORIENTATIONS[face]);
            }
        }
    }

    void TarnelScene::postRenderTargetUpdate(const RenderTargetEvent& event)
    {
        auto found = renderTargets.find(event.source);
        if (found == renderTargets.end())
            return;
        RenderTexture& renderTexture = *found->second;

        MaterialManager::getSingleton().setActiveScheme(savedSchemeName);
        if (renderTexture.renderObjectNode && renderTexture.hideRenderObject)
            renderTexture.renderObjectNode->setVisible(true, false);
        SetVisible(renderTexture.hiddenNodes, true);
        SetVisible(renderTexture.exclusiveNodes, false);
    }

    void TarnelScene::ReleaseRenderTextures()
    {
        for (const auto& renderTexture : renderTextures)
        {
            if (!renderTexture->texture)
                continue; // its creation failed and ended the load
            for (size_t face = 0; face < renderTexture->texture->getNumFaces(); ++face)
            {
                RenderTarget* target = renderTexture->texture->getBuffer(face)->getRenderTarget();
                target->removeListener(this);
                target->removeAllViewports();
            }
            // The level's camera and the materials stay; the plane and the texture go with the scene.
            if (renderTexture->camera && renderTexture->renderPlaneObject)
            {
                renderTexture->camera->disableReflection();
                renderTexture->camera->disableCustomNearClipPlane();
            }
            for (TextureUnitState* unit : renderTexture->projectedLayers)
                unit->setProjectiveTexturing(false);
            // This engine's zone manager cannot destroy a node by itself: the node leaves the
            // scene's graph empty and goes with the scene manager.
            if (renderTexture->cameraNode)
            {
                renderTexture->cameraNode->detachAllObjects();
                if (renderTexture->cameraNode->getParent())
                    renderTexture->cameraNode->getParent()->removeChild(renderTexture->cameraNode);
            }
            for (Camera* faceCamera : renderTexture->cubeFaceCameras)
            {
                if (faceCamera)
                    sceneManager->destroyCamera(faceCamera);
            }
            TextureManager& textures = TextureManager::getSingleton();
            // Its surfaces go now: a layer or pass that still holds the texture would keep them.
            renderTexture->texture->unload();
            textures.remove(renderTexture->texture);
            // The layers that showed it show a texture of its name that was never loaded, as their
            // script made it: naming it again would look for a file of that name, which no level has.
            TexturePtr standIn = textures.create(renderTexture->name, renderTexture->resourceGroupName);
            for (const auto& layer : TarnelMedia::LayersShowing(renderTexture->name, renderTexture->resourceGroupName))
                layer.first->_setTexturePtr(standIn, layer.second);
        }
        renderTextures.clear();
        renderTargets.clear();
        finishedRenderTextureCount = 0;
    }
}

#pragma GCC diagnostic pop
