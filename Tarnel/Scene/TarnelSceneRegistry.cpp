// The scene's lifetime and its tables of created names and extra data.
#include "Tarnel/Scene/TarnelScene.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Scene/TarnelInstancedGeometry.h"
#include "Tarnel/Scene/TarnelModel.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreMovableObject.h>
#include <OgreStringConverter.h>
#include <OgreMovablePlane.h>
#include <OgreSceneNode.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    TarnelScene::TarnelScene()
        : renderWindows(nullptr),
          sceneManager(nullptr),
          rootNode(nullptr),
          loadedFromFileSystem(false),
          upAxis(UP_AXIS_Y),
          unitsPerMeter(0),
          backgroundColour(ColourValue::Black),
          nearClipDistance(0),
          farClipDistance(10000),
          finishedRenderTextureCount(0)
    {
    }

    TarnelScene::~TarnelScene()
    {
        Destroy();
    }

    void TarnelScene::Destroy()
    {
        // The scene manager may still hold a camera setup on it; it is not used past this point.
        shadowCameraPlane.reset();
        // Before the planes, which the textures' cameras reflect in.
        ReleaseRenderTextures();
        // The planes hang on the scene's nodes, which would otherwise still point at them.
        for (auto& entry : movablePlanes)
        {
            if (entry.second->isAttached())
                entry.second->detachFromParent();
        }
        movablePlanes.clear();
        // Entities that show a plane keep their mesh; the manager forgets the name.
        for (const auto& meshes : {&planeMeshes, &instancePlaneMeshes})
        {
            for (const auto& mesh : *meshes)
                MeshManager::getSingleton().remove(mesh.first, mesh.second);
        }
        planeMeshes.clear();
        instancePlaneMeshes.clear();
        animationStates.clear();
        nodesByName.Clear();
        objects.Clear();
        objectExtraData.Clear();
        nodeExtraData.Clear();
        models.clear();
        externalItems.clear();
        // The batches stay with the scene manager, like static geometry.
        instancedGeometries.clear();
        lookTargets.clear();
        trackTargets.clear();
        portals.clear();
        portalsOfZones.clear();
        modelInstanceCount = 0;
        queryFlagAliases.clear();
        visibilityFlagAliases.clear();
        resourceLocations.clear();
        baseResourceLocation.clear();
        loadedFromFileSystem = false;
    }

    String TarnelScene::Rename(const String& name, const std::function<bool(const String&)>& taken)
    {
        String made;
        for (unsigned number = 2;; ++number)
        {
            made = name + "#" + StringConverter::toString(number);
            if (!taken(made))
                break;
        }
        renamed.emplace_back(name, made);
        return made;
    }

    void TarnelScene::LogRenames() const
    {
        if (renamed.empty())
            return;
        const size_t shown = 5;
        String examples;
        for (size_t i = 0; i < renamed.size() && i < shown; ++i)
            examples += (i ? ", " : "") + renamed[i].first + " -> " + renamed[i].second;
        LogManager::getSingleton().logWarning(
            "Tarnel: " + StringConverter::toString(renamed.size()) +
            " repeated node and object names were renamed (lenient names): " + examples +
            (renamed.size() > shown ? ", ..." : ""));
    }

    String TarnelScene::GetNewObjectName(const String& given, const SceneNode* node)
    {
        String name = given;
        if (name.empty() && node)
            name = node->getName();
        if (!objects.Find(name))
            return name;
        if (lenientNames)
            return Rename(name, [this](const String& candidate) { return objects.Find(candidate) != nullptr; });
        TARNEL_EXCEPT(Exception::ERR_DUPLICATE_ITEM, "Duplicate object name: " + name,
                      "TarnelScene::GetNewObjectName", SCENE_SOURCE_FILE);
    }

    void TarnelScene::AddObjectExtraData(const Types::ObjectExtraDataPtr& extraData)
    {
        // A second record for the same object or node replaces the first.
        if (extraData->object)
        {
            auto entered = objectExtraData.Insert(extraData);
            if (!entered.second)
                *entered.first = extraData;
        }
        else if (extraData->node)
        {
            auto entered = nodeExtraData.Insert(extraData);
            if (!entered.second)
                *entered.first = extraData;
        }
    }

    Types::ObjectExtraDataPtr TarnelScene::GetObjectExtraData(const MovableObject* object) const
    {
        const Types::ObjectExtraDataPtr* found = objectExtraData.Find(static_cast<const void*>(object));
        return found ? *found : nullptr;
    }

    Types::ObjectExtraDataPtr TarnelScene::GetNodeExtraData(const SceneNode* node) const
    {
        const Types::ObjectExtraDataPtr* found = nodeExtraData.Find(static_cast<const void*>(node));
        return found ? *found : nullptr;
    }

    MovableObject* TarnelScene::GetObject(const String& name) const
    {
        MovableObject* const* found = objects.Find(name);
        return found ? *found : nullptr;
    }

    const TarnelModel* TarnelScene::GetModel(const String& fileName)
    {
        auto found = models.find(fileName);
        if (found != models.end())
            return found->second.get();
        // Entered only once it loaded: a failed file is read, and fails, again at its next mention.
        std::unique_ptr<TarnelModel> model;
        std::shared_ptr<const ModelDescription> described;
        if (describedModels && describedModels->count(fileName))
            described = describedModels->at(fileName);
        if (described)
        {
            // Read with the level: its error is raised here, where the load meets the file.
            if (described->fault)
                std::rethrow_exception(described->fault);
            model = std::make_unique<TarnelModel>(described);
        }
        else
        {
            model = std::make_unique<TarnelModel>();
            model->Load(TarnelUtilities::NativeSeparators(fileName), defaultResourceGroupName);
        }
        return (models[fileName] = std::move(model)).get();
    }

    AnimationState* TarnelScene::GetAnimationState(const String& name) const
    {
        auto found = animationStates.find(name);
        return found == animationStates.end() ? nullptr : found->second;
    }

    MovablePlane* TarnelScene::GetMovablePlane(const String& name) const
    {
        auto found = movablePlanes.find(name);
        return found == movablePlanes.end() ? nullptr : found->second.get();
    }

    void TarnelScene::RegisterObject(const String& name, MovableObject* object,
                                     const Types::ObjectExtraDataPtr& extraData)
    {
        // Registered under the name it was made with, which is the name the index reads from it.
        OgreAssert(object->getName() == name, "an object is registered under its own name");
        *objects.Insert(object).first = object;
        extraData->object = object;
        AddObjectExtraData(extraData);
    }
}
