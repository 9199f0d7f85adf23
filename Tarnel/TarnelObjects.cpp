// What the object elements of scene and model files share, and building objects from descriptions.
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelDomains.h"
#include "Tarnel/TarnelLimits.h"
#include "Tarnel/TarnelKeywords.h"
#include "Tarnel/TarnelReaders.h"
#include "Tarnel/TarnelSceneGraph.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>

#include <tinyxml.h>

#include <chrono>

using namespace Ogre;

namespace Tarnel
{
    void Objects::ReadCommonAttributes(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        enum { QUERY_FLAGS, VISIBILITY_FLAGS, VISIBLE };
        TarnelUtilities::Attributes attributes(element, {"queryFlags", "visibilityFlags", "visible"});
        parameters.queryFlags = attributes.UInt(QUERY_FLAGS, 0);
        parameters.visibilityFlags = attributes.UInt(VISIBILITY_FLAGS, 0);
        parameters.visibility = attributes.Visible(VISIBLE);
    }

    void Objects::ApplyCommonSettings(MovableObject* object, const Types::ObjectParameters& parameters)
    {
        if (parameters.queryFlags != 0)
            object->setQueryFlags(parameters.queryFlags);
        if (parameters.visibilityFlags != 0)
            object->setVisibilityFlags(parameters.visibilityFlags);
        if (parameters.visibility == OBJECT_VISIBLE)
            object->setVisible(true);
        else if (parameters.visibility == OBJECT_HIDDEN)
            object->setVisible(false);
    }

    void Objects::ReadQueueAndDistance(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        enum { RENDER_QUEUE, RENDERING_DISTANCE };
        TarnelUtilities::Attributes attributes(element, {"renderQueue", "renderingDistance"});
        parameters.renderQueue = Domains::RenderQueue(element, "renderQueue", attributes.String(RENDER_QUEUE));
        parameters.renderingDistance = attributes.Real(RENDERING_DISTANCE, 0);
    }

    void Objects::ApplyQueueAndDistance(MovableObject* object, const Types::ObjectParameters& parameters)
    {
        object->setRenderQueueGroup(parameters.renderQueue);
        object->setRenderingDistance(parameters.renderingDistance);
    }

    bool Objects::LoadExtraDataChild(const TiXmlElement* child, Types::ObjectExtraData& extraData)
    {
        if (TarnelUtilities::LoadUserDataElement(child, extraData))
            return true;
        if (child->ValueStr() != "noteTracks")
            return false;
        extraData.noteTracks = std::make_shared<Types::NoteTracks>();
        TarnelUtilities::LoadNoteTracks(child, *extraData.noteTracks);
        return true;
    }

    Objects::TransformPart Objects::LoadTransformChild(const TiXmlElement* child, Vector3& position,
                                                       Quaternion& rotation, Vector3& scale)
    {
        std::string_view name = child->ValueStr();
        if (name == "position")
            position = TarnelUtilities::LoadXYZ(child);
        else if (name == "rotation")
            rotation = TarnelUtilities::LoadRotation(child);
        else if (name == "scale")
            scale = TarnelUtilities::LoadScale(child);
        else
            return NO_TRANSFORM;
        return name == "position" ? POSITION : name == "rotation" ? ROTATION : SCALE;
    }

    void Objects::ReadEntityAttributes(const TiXmlElement* element, Types::EntityParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.meshFile = ReadMeshFile(element);
        enum { MATERIAL_FILE, CAST_SHADOWS };
        TarnelUtilities::Attributes attributes(element, {"materialFile", "castShadows"});
        parameters.materialFile = attributes.String(MATERIAL_FILE);
        parameters.castShadows = attributes.Bool(CAST_SHADOWS, true);
    }

    bool Objects::LoadEntityChild(const TiXmlElement* child, Types::EntityParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "vertexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
        else if (name == "indexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else if (name == "subentities")
            TarnelUtilities::LoadSubentities(child, parameters.subentities);
        else
            return false;
        return true;
    }

    void Objects::ReadLightAttributes(const TiXmlElement* element, Types::LightParameters& parameters,
                                      bool castShadowsDefault)
    {
        parameters.lightType = TarnelUtilities::ParseLightType(TarnelUtilities::GetStringAttribute(element, "type", "point"));
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", castShadowsDefault);
        parameters.power = TarnelUtilities::GetRealAttribute(element, "power", 1);
    }

    void Objects::LoadLightRange(const TiXmlElement* element, Radian& inner, Radian& outer, Real& falloff)
    {
        inner = Domains::SpotlightAngle(element, "inner",
                                        TarnelUtilities::GetRealAttribute(element, "inner", inner.valueRadians()), inner);
        outer = Domains::SpotlightAngle(element, "outer",
                                        TarnelUtilities::GetRealAttribute(element, "outer", outer.valueRadians()), outer);
        falloff = TarnelUtilities::GetRealAttribute(element, "falloff", falloff);
    }

    void Objects::LoadLightAttenuation(const TiXmlElement* element, Real& range, Real& constant, Real& linear,
                                       Real& quadric)
    {
        range = Domains::Positive(element, "range", TarnelUtilities::GetRealAttribute(element, "range", range), range);
        constant = Domains::NotNegative(element, "constant",
                                        TarnelUtilities::GetRealAttribute(element, "constant", constant), constant);
        linear = Domains::NotNegative(element, "linear", TarnelUtilities::GetRealAttribute(element, "linear", linear),
                                      linear);
        quadric = Domains::NotNegative(element, "quadric",
                                       TarnelUtilities::GetRealAttribute(element, "quadric", quadric), quadric);
    }

    void Objects::ReadCameraAttributes(const TiXmlElement* element, Types::CameraParameters& parameters)
    {
        parameters.fovy = Domains::FieldOfView(element, "fov", TarnelUtilities::GetRealAttribute(element, "fov", Math::HALF_PI),
                                               Radian(Math::HALF_PI));
        parameters.aspectRatio = Domains::AspectRatio(
            element, "aspectRatio", TarnelUtilities::GetRealAttribute(element, "aspectRatio", 1.33f), 1.33f);
        parameters.projectionType =
            TarnelUtilities::ParseProjectionType(TarnelUtilities::GetStringAttribute(element, "type", "perspective"));
    }

    void Objects::ReadParticleSystemAttributes(const TiXmlElement* element, Types::ParticleSystemParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.file = TarnelUtilities::GetStringAttribute(element, "file");
    }

    void Objects::ReadBillboardSetAttributes(const TiXmlElement* element, Types::BillboardSetParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        // A set of negative size has inverted bounds.
        parameters.width = Domains::NotNegative(element, "width", TarnelUtilities::GetRealAttribute(element, "width", 10), 10);
        parameters.height =
            Domains::NotNegative(element, "height", TarnelUtilities::GetRealAttribute(element, "height", 10), 10);
        parameters.billboardType =
            TarnelUtilities::ParseBillboardType(TarnelUtilities::GetStringAttribute(element, "type", "point"));
        parameters.billboardOrigin =
            TarnelUtilities::ParseBillboardOrigin(TarnelUtilities::GetStringAttribute(element, "origin", "center"));
        parameters.billboardRotationType = TarnelUtilities::ParseBillboardRotationType(
            TarnelUtilities::GetStringAttribute(element, "rotationType", "vertex"));
        parameters.poolSize = TarnelUtilities::GetUIntAttribute(element, "poolSize", 0);
        TarnelUtilities::CheckRange(parameters.poolSize, 0, Limits::MAX_BILLBOARD_POOL_SIZE,
                                    "The poolSize of billboard set " + parameters.name, "Objects::ReadBillboardSetAttributes");
        parameters.autoExtendPool = TarnelUtilities::GetBoolAttribute(element, "autoExtendPool", true);
        parameters.cullIndividual = TarnelUtilities::GetBoolAttribute(element, "cullIndividual", false);
        parameters.sort = TarnelUtilities::GetBoolAttribute(element, "sort", false);
        parameters.accurateFacing = TarnelUtilities::GetBoolAttribute(element, "accurateFacing", false);
    }

    bool Objects::LoadBillboardSetChild(const TiXmlElement* child, Types::BillboardSetParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "billboard")
            parameters.billboards.push_back(LoadBillboard(child));
        else if (name == "commonDirection")
            parameters.commonDirection = TarnelUtilities::LoadXYZ(child);
        else if (name == "commonUpVector")
            parameters.commonUpVector = TarnelUtilities::LoadXYZ(child);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else
            return false;
        return true;
    }

    Types::Billboard Objects::LoadBillboard(const TiXmlElement* element)
    {
        Types::Billboard billboard;
        billboard.width = TarnelUtilities::GetRealAttribute(element, "width", 0);
        billboard.height = TarnelUtilities::GetRealAttribute(element, "height", 0);
        billboard.rotation = Radian(TarnelUtilities::GetRealAttribute(element, "rotation", 0));
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name == "position")
                billboard.position = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
            {
                // A billboard turns only about its facing axis: the angle counts, the axis does not.
                Vector3 axis;
                TarnelUtilities::LoadRotation(child).ToAngleAxis(billboard.rotation, axis);
            }
            else if (name == "colourDiffuse")
                billboard.color = TarnelUtilities::LoadColor(child);
            else if (name == "texCoordRectangle")
                billboard.texCoordRectangle = TarnelUtilities::LoadFloatRectangle(child);
        }
        return billboard;
    }

    void Objects::ReadPlaneAttributes(const TiXmlElement* element, Types::PlaneParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.distance = TarnelUtilities::GetRealAttribute(element, "distance", 0);
        parameters.width = TarnelUtilities::GetRealAttribute(element, "width", 10);
        parameters.height = TarnelUtilities::GetRealAttribute(element, "height", 10);
        parameters.xSegments = TarnelUtilities::GetIntAttribute(element, "xSegments", 1);
        parameters.ySegments = TarnelUtilities::GetIntAttribute(element, "ySegments", 1);
        parameters.numTexCoordSets = TarnelUtilities::GetIntAttribute(element, "numTexCoordSets", 1);
        TarnelUtilities::CheckSegments(parameters.xSegments, parameters.ySegments, "plane " + parameters.name,
                                       "Objects::ReadPlaneAttributes");
        TarnelUtilities::CheckRange(parameters.numTexCoordSets, 0, Limits::MAX_TEXTURE_COORD_SETS,
                                    "The numTexCoordSets of plane " + parameters.name,
                                    "Objects::ReadPlaneAttributes");
        parameters.uTile = TarnelUtilities::GetRealAttribute(element, "uTile", 1);
        parameters.vTile = TarnelUtilities::GetRealAttribute(element, "vTile", 1);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        parameters.normals = TarnelUtilities::GetBoolAttribute(element, "normals", true);
        parameters.movablePlane = TarnelUtilities::GetBoolAttribute(element, "movablePlane", true);
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
    }

    bool Objects::LoadPlaneChild(const TiXmlElement* child, Types::PlaneParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "normal")
            parameters.normal = TarnelUtilities::LoadXYZ(child);
        else if (name == "upVector")
            parameters.upVector = TarnelUtilities::LoadXYZ(child);
        else if (name == "vertexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
        else if (name == "indexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else
            return false;
        return true;
    }

    void Objects::ReadNodeAnimationShape(const TiXmlElement* element, Types::NodeAnimationParameters& parameters)
    {
        parameters.length = TarnelUtilities::GetRealAttribute(element, "length", 0);
        if (parameters.length < 0)
            Domains::Warn(element, "length", "which is below 0", "the animation stays at its start");
        String mode = TarnelUtilities::GetStringAttribute(element, "interpolationMode");
        if (!mode.empty())
            parameters.interpolationMode = TarnelUtilities::ParseAnimationInterpolationMode(mode);
        String rotationMode = TarnelUtilities::GetStringAttribute(element, "rotationInterpolationMode");
        if (!rotationMode.empty())
            parameters.rotationInterpolationMode = TarnelUtilities::ParseAnimationRotationInterpolationMode(rotationMode);
    }

    Types::KeyFrameParameters Objects::LoadNodeAnimationKeyFrame(const TiXmlElement* element)
    {
        Types::KeyFrameParameters keyFrame;
        keyFrame.time = TarnelUtilities::GetRealAttribute(element, "time", 0);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name == "translation")
                keyFrame.translation = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
            {
                // Nodes take rotations of any length, but key frames are blended as they are.
                keyFrame.rotation = TarnelUtilities::LoadRotation(child);
                keyFrame.rotation.normalise();
            }
            else if (name == "scale")
                keyFrame.scale = TarnelUtilities::LoadScale(child);
        }
        return keyFrame;
    }

    Entity* Objects::CreateEntity(SceneManager* sceneManager, const String& name,
                                  const Types::EntityParameters& parameters, const String& resourceGroupName,
                                  double* meshReadingMs)
    {
        // Not the engine's timer: it reads the process's CPU clock too, which costs more than the lookup of a loaded mesh.
        const auto reading = std::chrono::steady_clock::now();
        // Mesh and materials from the group named: another group may hold a level of the same names.
        const String& group = parameters.resourceGroupName.empty() ? resourceGroupName : parameters.resourceGroupName;
        MeshManager::getSingleton().load(parameters.meshFile, group, parameters.vertexBufferUsage,
                                         parameters.indexBufferUsage, parameters.vertexBufferShadowed,
                                         parameters.indexBufferShadowed);
        if (meshReadingMs)
            *meshReadingMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - reading).count();
        Entity* entity = sceneManager->createEntity(name, parameters.meshFile, group);
        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.materialFile.empty())
            entity->setMaterialName(parameters.materialFile, group);
        // Sub-entity materials win over the whole-entity material for their indices.
        for (size_t i = 0; i < entity->getNumSubEntities() && i < parameters.subentities.size(); ++i)
        {
            if (!parameters.subentities[i].empty())
                entity->getSubEntity(i)->setMaterialName(parameters.subentities[i], group);
        }
        return entity;
    }

// Lights and cameras are placed on their own, apart from their nodes; this engine keeps
// that positioning but marks it as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Light* Objects::CreateLight(SceneManager* sceneManager, const String& name, const Types::LightParameters& parameters)
    {
        Light* light = sceneManager->createLight(name);
        ApplyCommonSettings(light, parameters);
        light->setType(parameters.lightType);
        light->setCastShadows(parameters.castShadows);
        light->setPowerScale(parameters.power);
        light->setDiffuseColour(parameters.diffuseColor);
        light->setSpecularColour(parameters.specularColor);
        light->setSpotlightInnerAngle(parameters.spotlightInnerAngle);
        light->setSpotlightOuterAngle(parameters.spotlightOuterAngle);
        light->setSpotlightFalloff(parameters.spotlightFalloff);
        light->setAttenuation(parameters.attenuationRange, parameters.attenuationConstant, parameters.attenuationLinear,
                              parameters.attenuationQuadric);
        light->setPosition(parameters.position);
        light->setDirection(parameters.direction);
        return light;
    }

    Camera* Objects::CreateCamera(SceneManager* sceneManager, const String& name,
                                  const Types::CameraParameters& parameters)
    {
        Camera* camera = sceneManager->createCamera(name);
        ApplyCommonSettings(camera, parameters);
        camera->setFOVy(parameters.fovy);
        camera->setAspectRatio(parameters.aspectRatio);
        camera->setProjectionType(parameters.projectionType);
        camera->setNearClipDistance(parameters.nearClip);
        camera->setFarClipDistance(parameters.farClip);
        camera->setPosition(parameters.position);
        if (parameters.aim != Types::CameraParameters::AIM_NONE)
            camera->setOrientation(parameters.orientation);
        if (parameters.aim == Types::CameraParameters::AIM_DIRECTION)
            camera->setDirection(parameters.direction);
        return camera;
    }
#pragma GCC diagnostic pop

    ParticleSystem* Objects::CreateParticleSystem(SceneManager* sceneManager, const String& name,
                                                  const Types::ParticleSystemParameters& parameters)
    {
        ParticleSystem* particleSystem = sceneManager->createParticleSystem(name, parameters.file);
        ApplyCommonSettings(particleSystem, parameters);
        ApplyQueueAndDistance(particleSystem, parameters);
        return particleSystem;
    }

    BillboardSet* Objects::CreateBillboardSet(SceneManager* sceneManager, const String& name,
                                              const Types::BillboardSetParameters& parameters,
                                              const String& resourceGroupName)
    {
        // The pool always starts at 20; a given pool size is applied below.
        BillboardSet* set = sceneManager->createBillboardSet(name, 20);
        ApplyCommonSettings(set, parameters);
        ApplyQueueAndDistance(set, parameters);
        TarnelUtilities::SetCustomParameters(static_cast<Renderable*>(set), parameters.customParameters);
        if (!parameters.material.empty())
            set->setMaterialName(parameters.material, resourceGroupName);
        set->setDefaultWidth(parameters.width);
        set->setDefaultHeight(parameters.height);
        set->setBillboardType(parameters.billboardType);
        set->setBillboardOrigin(parameters.billboardOrigin);
        set->setBillboardRotationType(parameters.billboardRotationType);
        set->setCommonDirection(parameters.commonDirection);
        set->setCommonUpVector(parameters.commonUpVector);
        if (parameters.poolSize != 0)
            set->setPoolSize(parameters.poolSize);
        set->setAutoextend(parameters.autoExtendPool);
        set->setCullIndividually(parameters.cullIndividual);
        set->setSortingEnabled(parameters.sort);
        set->setUseAccurateFacing(parameters.accurateFacing);

        size_t leftOut = 0;
        for (const Types::Billboard& description : parameters.billboards)
        {
            Billboard* billboard = set->createBillboard(description.position, description.color);
            // A fixed pool that is full makes no more billboards.
            if (!billboard)
            {
                ++leftOut;
                continue;
            }
            if (description.rotation != Radian(0))
                billboard->setRotation(description.rotation);
            // Without both sizes the billboard keeps the set's; without an area, the set's coordinates.
            if (description.width != 0 && description.height != 0)
                billboard->setDimensions(description.width, description.height);
            const FloatRectangle& rectangle = description.texCoordRectangle;
            if (rectangle.right - rectangle.left != 0 && rectangle.bottom - rectangle.top != 0)
                billboard->setTexcoordRect(rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
        }
        if (leftOut)
            LogManager::getSingleton().logWarning(
                "Tarnel: billboard set \"" + name + "\" has " + std::to_string(parameters.billboards.size()) +
                " billboards, more than its fixed pool of " + std::to_string(set->getPoolSize()) + " holds (autoExtendPool=\"false\"); the last " +
                std::to_string(leftOut) + " are left out");
        return set;
    }

    Entity* Objects::CreatePlane(SceneManager* sceneManager, const String& name, const String& meshName,
                                 const Types::PlaneParameters& parameters, const String& resourceGroupName)
    {
        // The points at that distance along the normal.
        const Plane plane(parameters.normal, parameters.distance);
        const String& group = parameters.resourceGroupName.empty() ? resourceGroupName : parameters.resourceGroupName;
        MeshManager::getSingleton().createPlane(
            meshName, group, plane,
            parameters.width, parameters.height, parameters.xSegments, parameters.ySegments, parameters.normals,
            parameters.numTexCoordSets, parameters.uTile, parameters.vTile, parameters.upVector,
            parameters.vertexBufferUsage, parameters.indexBufferUsage, parameters.vertexBufferShadowed,
            parameters.indexBufferShadowed);
        Entity* entity = sceneManager->createEntity(name, meshName, group);
        ApplyCommonSettings(entity, parameters);
        entity->setCastShadows(parameters.castShadows);
        ApplyQueueAndDistance(entity, parameters);
        TarnelUtilities::SetCustomParameters(entity, parameters.customParameters);
        if (!parameters.material.empty())
            entity->setMaterialName(parameters.material, group);
        return entity;
    }

    Animation* Objects::CreateNodeAnimation(SceneManager* sceneManager, const String& name,
                                            const Types::NodeAnimationParameters& parameters)
    {
        Animation* animation = sceneManager->createAnimation(name, parameters.length);
        animation->setInterpolationMode(parameters.interpolationMode);
        animation->setRotationInterpolationMode(parameters.rotationInterpolationMode);
        return animation;
    }

    AnimationState* Objects::CreateAnimationState(SceneManager* sceneManager, const String& name, bool enabled,
                                                  bool looping)
    {
        AnimationState* state = sceneManager->createAnimationState(name);
        state->setEnabled(enabled);
        state->setLoop(looping && state->getLength() > 0);
        return state;
    }

    void Objects::CreateKeyFrame(NodeAnimationTrack* track, const Types::KeyFrameParameters& keyFrame)
    {
        TransformKeyFrame* created = track->createNodeKeyFrame(keyFrame.time);
        created->setTranslate(keyFrame.translation);
        created->setRotation(keyFrame.rotation);
        created->setScale(keyFrame.scale);
    }
}
