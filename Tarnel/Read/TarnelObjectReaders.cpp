// One reader for each kind of object element, for scene and model files alike.
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Read/TarnelReadMarks.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <cmath>

using namespace Ogre;

namespace Tarnel
{
    // A scene's lights keep the engine's own cone and direction; a model's have the format's.
    const Objects::Rules Objects::Rules::SCENE = {
        /* castShadows */ true,          /* receiveShadows */ true,   /* effectsReceiveShadows */ false,
        /* spotlightInner */ Degree(30), /* spotlightOuter */ Degree(40),
        /* lightDirection */ Vector3::NEGATIVE_UNIT_Z,
        /* cameraDirectionLast */ false, /* cameraTargets */ true,
        /* boneObjectsInOrder */ true,   /* unnamedTakeNodeName */ true, /* sceneNodeParts */ true,
        /* lastAnimationsOnly */ false};
    const Objects::Rules Objects::Rules::MODEL = {
        /* castShadows */ false,         /* receiveShadows */ false,  /* effectsReceiveShadows */ true,
        /* spotlightInner */ Degree(40), /* spotlightOuter */ Degree(30),
        /* lightDirection */ Vector3::UNIT_Z,
        /* cameraDirectionLast */ true,  /* cameraTargets */ false,
        /* boneObjectsInOrder */ false,  /* unnamedTakeNodeName */ false, /* sceneNodeParts */ false,
        /* lastAnimationsOnly */ true};

    namespace
    {
        using namespace Objects;

        /// A new description with its name, the attributes every object has, and its extra data's id.
        template <typename Record> std::unique_ptr<Record> Begin(const TiXmlElement* element, const String& name)
        {
            auto record = std::make_unique<Record>();
            record->name = name;
            record->line = element->Row();
            ReadCommonAttributes(element, *record);
            record->extraData = std::make_shared<Types::ObjectExtraData>();
            record->extraData->id = TarnelUtilities::GetStringAttribute(element, "id");
            return record;
        }

        /// Extra data children, then the kind's own (when it has a reader for them).
        template <typename Record>
        void ReadChildren(const TiXmlElement* element, Record& record,
                          bool (*readChild)(const TiXmlElement*, Record&) = nullptr)
        {
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (!LoadExtraDataChild(child, *record.extraData) && readChild)
                    readChild(child, record);
            }
        }

        std::unique_ptr<Types::ObjectParameters> LoadLight(const TiXmlElement* element, const String& name,
                                                           const Rules& rules)
        {
            auto light = Begin<Types::LightParameters>(element, name);
            ReadLightAttributes(element, *light, rules.castShadows);
            light->spotlightInnerAngle = rules.spotlightInner;
            light->spotlightOuterAngle = rules.spotlightOuter;
            light->direction = rules.lightDirection;
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                std::string_view kind = child->ValueStr();
                if (LoadExtraDataChild(child, *light->extraData))
                    continue;
                if (kind == "colourDiffuse")
                    light->diffuseColor = TarnelUtilities::LoadColor(child);
                else if (kind == "colourSpecular")
                    light->specularColor = TarnelUtilities::LoadColor(child);
                // A light range only shapes a spotlight.
                else if (kind == "lightRange" && light->lightType == Light::LT_SPOTLIGHT)
                    LoadLightRange(child, light->spotlightInnerAngle, light->spotlightOuterAngle,
                                   light->spotlightFalloff);
                else if (kind == "lightRange")
                    ReadMarks::MarkWhole(child); // exporters write a cone for every light
                else if (kind == "lightAttenuation")
                    LoadLightAttenuation(child, light->attenuationRange, light->attenuationConstant,
                                         light->attenuationLinear, light->attenuationQuadric);
                else if (kind == "position")
                    light->position = TarnelUtilities::LoadXYZ(child);
                else if (kind == "normal")
                    light->direction = Domains::Direction(child, TarnelUtilities::LoadXYZ(child), light->direction);
            }
            return light;
        }

        /// Where the camera looks so far: a fixed yaw axis makes the last aim decide.
        Vector3 CurrentDirection(const Types::CameraParameters& camera)
        {
            switch (camera.aim)
            {
            case Types::CameraParameters::AIM_ORIENTATION: return camera.orientation * Vector3::NEGATIVE_UNIT_Z;
            case Types::CameraParameters::AIM_DIRECTION: return camera.direction.normalisedCopy();
            default: return Vector3::NEGATIVE_UNIT_Z;
            }
        }

        std::unique_ptr<Types::ObjectParameters> LoadCamera(const TiXmlElement* element, const String& name,
                                                            const Rules& rules)
        {
            auto camera = Begin<Types::CameraParameters>(element, name);
            ReadCameraAttributes(element, *camera);
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                std::string_view kind = child->ValueStr();
                if (LoadExtraDataChild(child, *camera->extraData))
                    continue;
                if (kind == "clipping")
                    TarnelUtilities::LoadClipping(child, camera->nearClip, camera->farClip);
                else if (kind == "position")
                    camera->position = TarnelUtilities::LoadXYZ(child);
                else if (kind == "rotation")
                {
                    camera->orientation = TarnelUtilities::LoadRotation(child);
                    if (!rules.cameraDirectionLast)
                        camera->aim = Types::CameraParameters::AIM_ORIENTATION;
                }
                else if (kind == "normal")
                {
                    // One out of its domain aims the camera where it looked.
                    Vector3 current = rules.cameraDirectionLast ? camera->direction : CurrentDirection(*camera);
                    camera->direction = Domains::Direction(child, TarnelUtilities::LoadXYZ(child), current);
                    camera->aim = Types::CameraParameters::AIM_DIRECTION;
                }
                else if (kind == "lookTarget" && rules.cameraTargets)
                    camera->lookTargets.push_back(LoadLookTarget(child));
                else if (kind == "trackTarget" && rules.cameraTargets)
                    camera->trackTargets.push_back(LoadTrackTarget(child));
            }
            // A model's camera is aimed along its normal, given or not, after its rotation.
            if (rules.cameraDirectionLast)
                camera->aim = Types::CameraParameters::AIM_DIRECTION;
            return camera;
        }

        /// A boneAttachment element's tag points, as the rules hang its objects.
        void LoadBoneAttachment(const TiXmlElement* element, const Rules& rules,
                                std::vector<Types::BoneAttachment>& attachments)
        {
            Types::BoneAttachment attachment;
            attachment.name = TarnelUtilities::GetStringAttribute(element, "name");
            attachment.boneName = TarnelUtilities::GetStringAttribute(element, "bone");
            bool attachedObject = false;
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (LoadTransformChild(child, attachment.attachPosition, attachment.attachRotation,
                                       attachment.attachScale))
                    continue;
                std::unique_ptr<Types::ObjectParameters> object = ReadObject(child, rules);
                if (!object)
                    continue;
                attachedObject = true;
                if (!rules.boneObjectsInOrder)
                {
                    attachment.object = std::move(object); // one object: the last stays
                    continue;
                }
                Types::BoneAttachment placed;
                placed.name = attachment.name;
                placed.boneName = attachment.boneName;
                placed.attachPosition = attachment.attachPosition;
                placed.attachRotation = attachment.attachRotation;
                placed.attachScale = attachment.attachScale;
                placed.object = std::move(object);
                attachments.push_back(std::move(placed));
            }
            if (!rules.boneObjectsInOrder || !attachedObject)
                attachments.push_back(std::move(attachment));
        }

        std::unique_ptr<Types::ObjectParameters> LoadEntity(const TiXmlElement* element, const String& name,
                                                            const Rules& rules)
        {
            auto entity = Begin<Types::EntityParameters>(element, name);
            ReadEntityAttributes(element, *entity);
            entity->extraData->receiveShadows = TarnelUtilities::GetBoolAttribute(element, "receiveShadows", rules.receiveShadows);
            const TiXmlElement* boneAttachments = nullptr;
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (LoadExtraDataChild(child, *entity->extraData) || LoadEntityChild(child, *entity))
                    continue;
                if (child->ValueStr() == "boneAttachments")
                    boneAttachments = child;
            }
            // Only the last of them, after every other child.
            if (!boneAttachments)
                return entity;
            // A scene takes every child as an attachment, whatever its name.
            for (const TiXmlElement* child = boneAttachments->FirstChildElement(); child;
                 child = child->NextSiblingElement())
            {
                if (rules.boneObjectsInOrder || child->ValueStr() == "boneAttachment")
                    LoadBoneAttachment(child, rules, entity->boneAttachments);
            }
            return entity;
        }

        /// Says what a fixed pool leaves out: the engine never shrinks a pool below the 20 it starts with.
        void CheckPool(const Types::BillboardSetParameters& set, const TiXmlElement* element)
        {
            const size_t pool = std::max<size_t>(Limits::BILLBOARD_POOL_START, set.poolSize);
            if (set.autoExtendPool || set.billboards.size() <= pool)
                return;
            LogManager::getSingleton().logWarning(
                "Tarnel: billboard set \"" + set.name + "\" has " + std::to_string(set.billboards.size()) +
                " billboards, more than its fixed pool of " + std::to_string(pool) +
                " holds (autoExtendPool=\"false\"); the last " + std::to_string(set.billboards.size() - pool) +
                " are left out" + Domains::Where(element));
        }

        /// A particle system, billboard set or plane: attributes, extra data with its shadow flag, children.
        template <typename Record>
        std::unique_ptr<Types::ObjectParameters> LoadShadowReceiver(const TiXmlElement* element, const String& name,
                                                            bool receiveShadowsRead, bool receiveShadows,
                                                            void (*readAttributes)(const TiXmlElement*, Record&),
                                                            bool (*readChild)(const TiXmlElement*, Record&))
        {
            auto record = Begin<Record>(element, name);
            readAttributes(element, *record);
            if (receiveShadowsRead)
                record->extraData->receiveShadows = TarnelUtilities::GetBoolAttribute(element, "receiveShadows", receiveShadows);
            ReadChildren(element, *record, readChild);
            return record;
        }
    }

    std::unique_ptr<Types::ObjectParameters> Objects::ReadObject(const TiXmlElement* element, const Rules& rules)
    {
        return ReadObject(element, TarnelUtilities::GetStringAttribute(element, "name"), rules);
    }

    std::unique_ptr<Types::ObjectParameters> Objects::ReadObject(const TiXmlElement* element, const String& name,
                                                                 const Rules& rules)
    {
        std::string_view kind = element->ValueStr();
        if (kind == "entity")
            return LoadEntity(element, name, rules);
        if (kind == "light")
            return LoadLight(element, name, rules);
        if (kind == "camera")
            return LoadCamera(element, name, rules);
        if (kind == "particleSystem")
            return LoadShadowReceiver<Types::ParticleSystemParameters>(element, name, rules.effectsReceiveShadows,
                                                               rules.receiveShadows, &ReadParticleSystemAttributes,
                                                               nullptr);
        if (kind == "billboardSet")
        {
            auto set = LoadShadowReceiver<Types::BillboardSetParameters>(element, name, rules.effectsReceiveShadows,
                                                                 rules.receiveShadows, &ReadBillboardSetAttributes,
                                                                 &LoadBillboardSetChild);
            CheckPool(static_cast<const Types::BillboardSetParameters&>(*set), element);
            return set;
        }
        if (kind == "plane")
        {
            auto plane = LoadShadowReceiver<Types::PlaneParameters>(element, name, true, rules.receiveShadows,
                                                            &ReadPlaneAttributes, &LoadPlaneChild);
            auto& parameters = static_cast<Types::PlaneParameters&>(*plane);
            parameters.planeName = plane->name;
            // No normal (none is given, or one of length 0) makes no plane: the engine refuses it.
            if (!(parameters.normal.squaredLength() > 0) || !std::isfinite(parameters.normal.squaredLength()))
                TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS,
                              "The normal of plane " + plane->name + " is " +
                                  StringConverter::toString(parameters.normal) + ", which is no direction",
                              "Objects::ReadObject", UTILITIES_SOURCE_FILE);
            parameters.upVector = Domains::PlaneUp(element, parameters.normal, parameters.upVector);
            return plane;
        }
        return nullptr;
    }

    bool Objects::IsObject(const TiXmlElement* element)
    {
        std::string_view kind = element->ValueStr();
        return kind == "entity" || kind == "light" || kind == "camera" || kind == "particleSystem" ||
               kind == "billboardSet" || kind == "plane";
    }

    Types::NodeAttributes Objects::ReadNodeAttributes(const TiXmlElement* element)
    {
        enum { NAME, MODEL_FILE, MODEL_NAME, ID, VISIBILITY };
        TarnelUtilities::Attributes attributes(element, {"name", "modelFile", "modelName", "id", "visibility"});
        Types::NodeAttributes node;
        node.name = attributes.String(NAME);
        node.modelFile = attributes.String(MODEL_FILE);
        if (node.modelFile.empty())
            node.modelFile = attributes.String(MODEL_NAME);
        node.id = attributes.String(ID);
        node.visibility = TarnelUtilities::ParseObjectVisibility(attributes.String(VISIBILITY));
        return node;
    }

    String Objects::ReadMeshFile(const TiXmlElement* element)
    {
        // A mesh in a folder of a location, as Windows tools write it: "props\crate.mesh".
        return TarnelUtilities::NativeSeparators(TarnelUtilities::GetStringAttribute(element, "meshFile"));
    }

    Types::LookTarget Objects::LoadLookTarget(const TiXmlElement* element)
    {
        Types::LookTarget target;
        target.nodeName = TarnelUtilities::GetStringAttribute(element, "nodeName");
        String relativeTo = TarnelUtilities::GetStringAttribute(element, "relativeTo");
        if (!relativeTo.empty())
            target.relativeTo = TarnelUtilities::ParseTransformSpace(relativeTo);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (child->ValueStr() == "position")
            {
                target.position = TarnelUtilities::LoadXYZ(child);
                target.isPositionSet = true;
            }
            else if (child->ValueStr() == "localDirection")
                target.localDirection = TarnelUtilities::LoadXYZ(child);
        }
        return target;
    }

    Types::TrackTarget Objects::LoadTrackTarget(const TiXmlElement* element)
    {
        Types::TrackTarget target;
        target.nodeName = TarnelUtilities::GetStringAttribute(element, "nodeName");
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (child->ValueStr() == "offset")
                target.offset = TarnelUtilities::LoadXYZ(child);
            else if (child->ValueStr() == "localDirection")
                target.localDirection = TarnelUtilities::LoadXYZ(child);
        }
        return target;
    }

    void Objects::LoadNodeAnimation(const TiXmlElement* element, Types::NodeAnimationParameters& animation,
                                    bool withShape)
    {
        animation.name = TarnelUtilities::GetStringAttribute(element, "name");
        animation.enabled = TarnelUtilities::GetBoolAttribute(element, "enable", true);
        animation.looping = TarnelUtilities::GetBoolAttribute(element, "loop", true);
        if (withShape)
            ReadNodeAnimationShape(element, animation);
        animation.keyFrames.clear();
        for (const TiXmlElement* child = element->FirstChildElement("keyframe"); child;
             child = child->NextSiblingElement("keyframe"))
            animation.keyFrames.push_back(LoadNodeAnimationKeyFrame(child));
    }
}
